#include "bench/benchreport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>

namespace {

QString number(double value)
{
    return QString::number(value, 'f', value < 10 ? 2 : 1);
}

QString valueText(const Figure &figure)
{
    const QString sign = figure.unit == QLatin1String("MB") && figure.value > 0 ? "+" : "";
    return sign + number(figure.value) + ' ' + figure.unit;
}

QString floorText(const Figure &figure)
{
    if (!figure.hasFloor())
        return QStringLiteral("-");
    return figure.floorName + ' ' + number(figure.floor) + ' ' + figure.unit;
}

QString cpuText(const Figure &figure)
{
    return figure.cpuSamples.isEmpty() ? QStringLiteral("-")
                                       : number(figure.cpu) + QStringLiteral(" ms");
}

QString ratioText(const Figure &figure)
{
    return figure.hasFloor() ? QString::number(figure.ratio(), 'f', 2) : QStringLiteral("-");
}

QString resultText(const Figure &figure)
{
    if (!figure.hasTarget())
        return QStringLiteral("-");
    return figure.met() ? QStringLiteral("met") : QStringLiteral("MISSED");
}

QStringList cells(const Figure &figure)
{
    return { figure.name, figure.store, valueText(figure), cpuText(figure), floorText(figure),
        ratioText(figure), figure.targetText(), resultText(figure), figure.note };
}

const QStringList headers { QStringLiteral("figure"), QStringLiteral("store"),
    QStringLiteral("median"), QStringLiteral("cpu"), QStringLiteral("floor"),
    QStringLiteral("ratio"), QStringLiteral("target"), QStringLiteral("result"),
    QStringLiteral("note") };

QJsonArray toJson(const QVector<double> &values)
{
    QJsonArray array;
    for (double value : values)
        array.append(value);
    return array;
}

QJsonObject toJson(const Figure &figure)
{
    QJsonObject object { { "name", figure.name }, { "store", figure.store },
        { "unit", figure.unit }, { "value", figure.value }, { "samples", toJson(figure.samples) },
        { "target", figure.targetText() } };
    if (figure.hasTarget())
        object.insert("met", figure.met());
    if (figure.hasFloor()) {
        object.insert("floorName", figure.floorName);
        object.insert("floor", figure.floor);
        object.insert("floorSamples", toJson(figure.floorSamples));
        object.insert("ratio", figure.ratio());
        object.insert("floorCpu", figure.floorCpu);
        object.insert("floorCpuSamples", toJson(figure.floorCpuSamples));
    }
    if (!figure.cpuSamples.isEmpty()) {
        object.insert("cpu", figure.cpu);
        object.insert("cpuSamples", toJson(figure.cpuSamples));
    }
    if (!figure.note.isEmpty())
        object.insert("note", figure.note);
    return object;
}

} // namespace

bool Figure::met() const
{
    const bool valueMet = below <= 0 || value < below;
    const bool ratioMet = ratioAtMost <= 0 || (floor > 0 && ratio() <= ratioAtMost);
    return valueMet && ratioMet;
}

QString Figure::targetText() const
{
    QStringList targets;
    if (below > 0)
        targets << QStringLiteral("< %1 %2").arg(below).arg(unit);
    if (ratioAtMost > 0)
        targets << QStringLiteral("ratio <= %1").arg(ratioAtMost);
    return targets.isEmpty() ? QStringLiteral("-") : targets.join(QStringLiteral(", "));
}

double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2;
}

void settleMedians(Figure &figure)
{
    figure.value = median(figure.samples);
    figure.floor = median(figure.floorSamples);
    figure.cpu = median(figure.cpuSamples);
    figure.floorCpu = median(figure.floorCpuSamples);
}

void printTable(QTextStream &out, const QVector<Figure> &figures)
{
    QVector<QStringList> rows { headers };
    for (const Figure &figure : figures)
        rows.append(cells(figure));
    QVector<int> widths(headers.size(), 0);
    for (const QStringList &row : qAsConst(rows)) {
        for (int i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths.at(i), int(row.at(i).size()));
    }
    for (const QStringList &row : qAsConst(rows)) {
        QString line;
        for (int i = 0; i < row.size(); ++i)
            line += row.at(i).leftJustified(widths.at(i) + 2);
        out << line.trimmed() << '\n';
    }
    out.flush();
}

QString markdownTable(const QVector<Figure> &figures)
{
    QString table = "| " + headers.join(" | ") + " |\n|";
    for (int i = 0; i < headers.size(); ++i)
        table += "---|";
    table += '\n';
    for (const Figure &figure : figures)
        table += "| " + cells(figure).join(" | ") + " |\n";
    return table;
}

bool writeJson(const QString &path, const RunInfo &info, const QVector<Figure> &figures)
{
    QJsonArray list;
    for (const Figure &figure : figures)
        list.append(toJson(figure));
    const QJsonObject root { { "buildType", info.buildType }, { "qt", info.qtVersion },
        { "cores", info.cores }, { "runs", info.runs }, { "started", info.started },
        { "load", info.load }, { "figures", list } };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(root).toJson());
    return file.commit();
}
