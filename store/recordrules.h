#ifndef RECORDRULES_H
#define RECORDRULES_H

#include "cellora_global.h"
#include "store/storerecords.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>

class BatteryWidget;

// Where a flight's battery is found: the battery's place in the store and the entry of
// its cycle data. Both are -1 when no battery was flown at that moment.
struct CycleRef {
    int battery = -1;
    int cycle = -1;
    bool isValid() const { return battery >= 0; }
};

// The one rule that pairs a flight with the battery flown: the cycle data entry of the
// same date-time, an undated flight with an undated entry. When several batteries hold
// that moment the later battery in the store wins; within one battery its first entry of
// that moment does. Built once, then each flight is found without a scan.
class CELLORA_PRIVATE_EXPORT CyclePairing {
public:
    CyclePairing() = default;
    explicit CyclePairing(const QVector<BatteryWidget *> &batteries);
    explicit CyclePairing(const StoreRecords &store);

    // Entries are added in the store's order: battery by battery, each in its own order.
    void addCycle(int battery, int cycle, const QDateTime &moment);
    CycleRef find(const QDateTime &moment) const;

    // A moment as its local date and time of day: read dates are local, and comparing them
    // so needs no time-zone conversion, which would cost more than the rest of the pairing.
    // Every undated moment is the same one.
    using Moment = QPair<qint64, int>;
    static Moment momentOf(const QDateTime &dateTime);

private:
    QHash<Moment, CycleRef> byMoment;
};

// The values a record may hold and how records refer to each other, kept by every path that
// changes records as a whole (the program's corrections and telemetry imports, through the
// store's change operation). The module's own pages keep to their inputs as they are.
namespace RecordRules {

// The discharge page's date field.
const QDate earliestDate(2005, 1, 1);
const QDate latestDate(2031, 1, 11);
// Its capacity and current fields; the current is kept in hundredths of an ampere.
constexpr int maxDischargedMah = 20000;
constexpr int maxCurrentAmperes = 300;
constexpr int maxCurrentHundredths = maxCurrentAmperes * 100;
// Its temperature field, in whole degrees.
constexpr int minTemperature = -99;
constexpr int maxTemperature = 99;
// A pack's internal resistance as a charger measures it, in tenths of a milliohm; 0 is
// unknown.
constexpr int maxResistanceTenths = 9999;

// Why a change was refused; None when it keeps every rule.
enum class Refusal {
    None,
    FileChanged, // the data file no longer holds what the change was made from
    DateOutOfRange, // no date, or one the discharge page does not take
    MomentTaken, // another flight or discharge holds that moment
    DischargedOverLimit,
    CurrentOverLimit,
    TemperatureOutOfRange,
    NoSuchRecord, // no battery or model of that name
};

// A refusal with the record and the moment it concerns, for the message the user sees.
struct RuleBreak {
    Refusal refusal = Refusal::None;
    QString record;
    QDateTime moment;
    bool isBroken() const { return refusal != Refusal::None; }
};

// Which record a name means: names compare exactly, and of two records sharing one the
// later counts, as the module's pages show the later one. -1 when no record has the name.
CELLORA_PRIVATE_EXPORT int batteryNamed(const StoreRecords &store, const QString &name);
CELLORA_PRIVATE_EXPORT int modelNamed(const StoreRecords &store, const QString &name);

// A new moment of a flight or a discharge: dated, within the discharge page's dates.
CELLORA_PRIVATE_EXPORT Refusal momentRefusal(const QDateTime &moment);
// A discharge's figures in mAh and hundredths of an ampere, taken as measured so that no
// figure too large for the file's numbers can wrap into the limits.
CELLORA_PRIVATE_EXPORT Refusal figuresRefusal(double dischargedMah, double currentHundredths);
CELLORA_PRIVATE_EXPORT Refusal temperatureRefusal(int degrees);
// Whether any flight or cycle entry holds `moment`: the pairing goes by the moment alone,
// across the store, so one moment holds at most one flight and one discharge.
CELLORA_PRIVATE_EXPORT bool momentTaken(const StoreRecords &store, const QDateTime &moment);
// The cycle entry a flight at `moment` pairs with (see CyclePairing).
CELLORA_PRIVATE_EXPORT CycleRef pairedCycle(const StoreRecords &store, const QDateTime &moment);

// What `after` holds new or changed against `before` (the records it was made from) checked
// against the rules above; entries as they were are not judged again. The first break found.
CELLORA_PRIVATE_EXPORT RuleBreak changeRefusal(
    const StoreRecords &before, const StoreRecords &after);

} // namespace RecordRules

#endif // RECORDRULES_H
