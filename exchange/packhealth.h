#ifndef PACKHEALTH_H
#define PACKHEALTH_H

#include "store/storerecords.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// What a pack's own history says about it, for the bench evening: fine, to be watched, or
// to be retired before it puffs or fails in the air.
enum class PackVerdict { Good, Watch, Retire };

// One figure of a discharge at the moment it was flown, for charts over dates.
struct DatedFigure {
    QDateTime date;
    double value = 0;
};

// The health of one battery pack, from its record and its cycle data. A figure that no
// discharge gave is unknown (-1), never 0: Quick entries (0 mAh) and flights without a
// resistance or voltage stay out of every mean, trend and chart.
struct PackHealth {
    QString name;
    uint capacity = 0; // mAh
    uint rating = 0; // C
    QDate purchase;
    int ageDays = -1; // -1: no purchase date
    uint cycles = 0;
    double equivalentCycles = 0; // all discharged mAh over the capacity
    double firstShare = -1; // mean % of capacity used in the first known discharges; -1: none
    double recentShare = -1; // the same for the last known discharges
    double peakC = -1; // highest current as a multiple of the capacity; -1: unknown
    int daysSinceUse = -1; // since the last flight or charge, whatever recorded it; -1: never
    bool charged = false;
    int daysCharged = -1; // since it was charged; -1: not charged or not known when
    bool keptCharged = false; // charged for longer than is good for it: storage charge
    double firstResistance = -1; // mΩ, the pack's own first flights; -1: unknown
    double lastResistance = -1; // mΩ, its latest flights
    double firstMinVoltage = -1; // V, lowest under load in its first flights
    double lastMinVoltage = -1; // V, in its latest flights
    PackVerdict verdict = PackVerdict::Good;
    QStringList reasons; // why it is not good, the gravest first
    QStringList warnings; // the pack's care right now: kept charged, run too deep
    QVector<DatedFigure> shares; // % of the capacity used per discharge of known mAh
    QVector<DatedFigure> resistances; // mΩ per discharge that gave one
};

// The limits of the verdict: each figure, when known, makes a pack "watch" or "retire".
namespace HealthLimits {

constexpr double resistanceWatch = 1.5; // now over its first flights': half again
constexpr double resistanceRetire = 2.0; // doubled
constexpr double sagWatch = 0.92; // lowest voltage under load now over its first flights'
constexpr double heavyUseShare = 80; // % of the capacity, mean of the last discharges
constexpr double shareRiseWatch = 15; // percentage points more than in the first discharges
constexpr uint cyclesWatch = 300;
constexpr uint cyclesRetire = 500;
constexpr int ageWatchDays = 3 * 365;
constexpr int ageRetireDays = 5 * 365;
constexpr int storageDaysLimit = 3; // a pack kept full longer than this ages
constexpr int shareSample = 10; // discharges in the "first" and the "last" share mean
constexpr int figureSample = 3; // flights of the "first" and the "now" figure, when known

} // namespace HealthLimits

namespace PackHealthCheck {

PackHealth assess(const BatteryRecord &battery, const QDateTime &now);

// Every battery of the logbook: "retire" first, then "watch", then "good"; within each, the
// ones with warnings first, then by equivalent cycles.
QVector<PackHealth> assessFleet(const StoreRecords &store, const QDateTime &now);

// "good", "watch", "retire", in the program's language.
QString verdictText(PackVerdict verdict);

} // namespace PackHealthCheck

#endif // PACKHEALTH_H
