#include "host/csvexport.h"

#include "host/logbook.h"
#include "records/batterywidget.h"
#include "records/modelwidget.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QStringList>

const QString CsvExport::flightsFileName = QStringLiteral("flights.csv");
const QString CsvExport::cyclesFileName = QStringLiteral("cycles.csv");

namespace {

QString quoted(const QString &field)
{
    static const QString special = QStringLiteral(",\"\r\n");
    for (const QChar c : field) {
        if (special.contains(c)) {
            QString inner = field;
            inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            return QLatin1Char('"') + inner + QLatin1Char('"');
        }
    }
    return field;
}

void appendRow(QByteArray &csv, const QStringList &fields)
{
    QStringList cells;
    cells.reserve(fields.size());
    for (const QString &field : fields)
        cells << quoted(field);
    // Rows end in CR LF; line breaks inside a quoted note stay as they are.
    csv += cells.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

// 1250 hundredths of an ampere read "12.50".
QString amperes(uint hundredths)
{
    return QStringLiteral("%1.%2")
        .arg(hundredths / 100)
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

// A battery without a capacity has no share: the cell stays empty rather than infinite.
QString capacityShare(uint discharged, uint capacity)
{
    return capacity == 0 ? QString() : QString::number(100.0 * discharged / capacity, 'f', 1);
}

QString isoDate(const QDateTime &moment)
{
    return moment.isValid() ? moment.date().toString(Qt::ISODate) : QString();
}

QString isoTime(const QTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : QString();
}

QStringList flightRow(const Logbook &logbook, const ModelWidget &model, const LogData &flight)
{
    QStringList row { model.modelName(), isoDate(flight.date), isoTime(flight.date.time()),
        isoTime(flight.duration), flight.location, QString::number(flight.temperature),
        flight.notes };
    uint discharged = 0;
    uint current = 0;
    const BatteryWidget *battery = logbook.batteryFlownAt(flight.date);
    if (battery && battery->findCycleData(flight.date, discharged, current))
        row << battery->batteryName() << QString::number(discharged) << amperes(current);
    else
        row << QString() << QString() << QString();
    return row;
}

} // namespace

QByteArray CsvExport::flights(const Logbook &logbook)
{
    QByteArray csv;
    appendRow(csv,
        { "model", "date", "time", "duration", "location", "temperature_c", "notes", "battery",
            "discharged_mah", "max_current_a" });
    for (const ModelWidget *model : logbook.models()) {
        for (const LogData &flight : model->flightLog())
            appendRow(csv, flightRow(logbook, *model, flight));
    }
    return csv;
}

QByteArray CsvExport::cycles(const Logbook &logbook)
{
    QByteArray csv;
    appendRow(csv,
        { "battery", "date_time", "discharged_mah", "max_current_a", "capacity_share_percent" });
    for (const BatteryWidget *battery : logbook.batteries()) {
        const QVector<QDateTime> &dates = battery->cycleDates();
        const QVector<uint> &discharged = battery->cycleDischarged();
        const QVector<uint> &currents = battery->cycleCurrents();
        // The three lists run parallel; a shorter one ends the rows rather than be overrun.
        const int count = std::min({ dates.size(), discharged.size(), currents.size() });
        for (int i = 0; i < count; ++i) {
            appendRow(csv,
                { battery->batteryName(),
                    dates[i].isValid() ? dates[i].toString(Qt::ISODate) : QString(),
                    QString::number(discharged[i]), amperes(currents[i]),
                    capacityShare(discharged[i], battery->batteryCapacity()) });
        }
    }
    return csv;
}

bool CsvExport::writeFile(const QString &fileName, const QByteArray &content, QString *error)
{
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return true;
    if (error) {
        *error = QCoreApplication::translate("CsvExport", "Cannot write %1: %2")
                     .arg(QDir::toNativeSeparators(fileName), file.errorString());
    }
    return false;
}

bool CsvExport::exportAll(const Logbook &logbook, const QString &folder, QString *error)
{
    const QDir target(folder);
    if (!target.mkpath(QStringLiteral("."))) {
        if (error) {
            *error = QCoreApplication::translate("CsvExport", "Cannot create the folder %1")
                         .arg(QDir::toNativeSeparators(folder));
        }
        return false;
    }
    return writeFile(target.filePath(flightsFileName), flights(logbook), error)
        && writeFile(target.filePath(cyclesFileName), cycles(logbook), error);
}
