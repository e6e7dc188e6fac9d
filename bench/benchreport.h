#ifndef BENCHREPORT_H
#define BENCHREPORT_H

#include <QString>
#include <QStringList>
#include <QVector>

class QTextStream;

// One line of the benchmark table: a measured value against its targets, directly
// (value < below) and as a ratio to a floor (value / floor <= ratioAtMost). A floor is what
// the same work costs at the least, measured in the same run; a figure without targets
// only reports.
struct Figure {
    QString name;
    QString store;
    QString unit; // of value and floor: "ms" or "MB"
    QVector<double> samples; // every run; value is their median unless set otherwise
    QVector<double> cpuSamples; // processor time of each run, where it is known
    QString floorName; // empty when the figure has no floor
    QVector<double> floorSamples;
    QVector<double> floorCpuSamples;
    double value = 0;
    double floor = 0;
    double cpu = 0;
    double floorCpu = 0;
    double below = 0; // 0: no limit for the value
    double ratioAtMost = 0; // 0: no limit for the ratio
    QString note;

    bool hasFloor() const { return !floorSamples.isEmpty(); }
    bool hasTarget() const { return below > 0 || ratioAtMost > 0; }
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
