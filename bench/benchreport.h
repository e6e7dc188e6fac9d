#ifndef BENCHREPORT_H
#define BENCHREPORT_H

#include <QString>
#include <QStringList>
#include <QVector>

class QTextStream;

// One line of the benchmark table: a measured value against its target, either
// directly (value < limit) or as a ratio to a floor (value / floor <= limit).
struct Figure {
    enum class Target { Below, RatioAtMost };

    QString name;
    QString store;
    QString unit; // of value and floor: "ms" or "MB"
    QVector<double> samples; // every run; value is their median unless set otherwise
    QVector<double> floorSamples; // empty when the figure has no floor
    QVector<double> cpuSamples; // processor time of each run, where it is known
    QVector<double> floorCpuSamples;
    double value = 0;
    double floor = 0;
    double cpu = 0;
    double floorCpu = 0;
    Target target = Target::Below;
    double limit = 0;
    QString note;

    bool hasFloor() const { return !floorSamples.isEmpty(); }
    double ratio() const { return floor > 0 ? value / floor : 0; }
    bool met() const;
    QString targetText() const;
};

double median(QVector<double> values);

// Sets value, floor and cpu to the medians of their samples.
void settleMedians(Figure &figure);

void printTable(QTextStream &out, const QVector<Figure> &figures);

// The same table as a plain Markdown table, for the README.
QString markdownTable(const QVector<Figure> &figures);

struct RunInfo {
    QString buildType;
    QString qtVersion;
    int cores = 0;
    int runs = 0;
    QString started; // ISO date-time
    QString load; // the machine's load averages at the end, over 1, 5 and 15 minutes
};

bool writeJson(const QString &path, const RunInfo &info, const QVector<Figure> &figures);

#endif // BENCHREPORT_H
