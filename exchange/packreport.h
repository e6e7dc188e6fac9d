#ifndef PACKREPORT_H
#define PACKREPORT_H

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

class StoreSnapshot;
class QTextDocument;

// The health of one battery pack, from its record and its cycle data.
struct PackHealth {
    QString name;
    uint capacity = 0; // mAh
    uint rating = 0; // C
    QDate purchase;
    int ageDays = -1; // -1: no purchase date
    uint cycles = 0;
    double equivalentCycles = 0; // all discharged mAh over the capacity
    double firstShare = -1; // mean % of capacity used in the first discharges; -1: none
    double recentShare = -1; // the same for the last discharges
    double peakC = -1; // highest current as a multiple of the capacity; -1: unknown
    int daysSinceUse = -1; // -1: never used
    bool charged = false;
    QStringList warnings;
    QVector<double> shares; // % of capacity per discharge, in order, for the chart
};

namespace PackReport {

constexpr int sampleSize = 10; // discharges in the "first" and the "last" average
constexpr int storageDaysLimit = 3; // a pack kept full longer than this ages
constexpr double heavyUseShare = 80; // recent discharges beyond this % wear a pack

// Every battery of the logbook, the ones with warnings first, then by equivalent cycles.
QVector<PackHealth> assess(const StoreSnapshot &store, const QDateTime &now);

// The report: a fleet summary, then one page per pack with its figures and a chart.
void compose(QTextDocument &document, const QVector<PackHealth> &fleet,
    const QString &storageFolder, const QDateTime &now);

// The report of `store` as an A4 PDF document.
QByteArray pdf(const StoreSnapshot &store, const QString &storageFolder, const QDateTime &now);

} // namespace PackReport

#endif // PACKREPORT_H
