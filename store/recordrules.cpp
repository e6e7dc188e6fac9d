#include "store/recordrules.h"

#include "records/batterywidget.h"

#include <QMultiHash>

#include <algorithm>
#include <limits>

CyclePairing::CyclePairing(const QVector<BatteryWidget *> &batteries)
{
    for (int b = 0; b < batteries.size(); ++b) {
        const QVector<QDateTime> &dates = batteries.at(b)->cycleDates();
        for (int c = 0; c < dates.size(); ++c)
            addCycle(b, c, dates.at(c));
    }
}

CyclePairing::CyclePairing(const StoreRecords &store)
{
    for (int b = 0; b < store.batteries.size(); ++b) {
        const QVector<CycleRecord> &cycles = store.batteries.at(b).cycleData;
        for (int c = 0; c < cycles.size(); ++c)
            addCycle(b, c, cycles.at(c).date);
    }
}

CyclePairing::Moment CyclePairing::momentOf(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return { std::numeric_limits<qint64>::min(), -1 }; // every undated entry alike
    const QDateTime local
        = dateTime.timeSpec() == Qt::LocalTime ? dateTime : dateTime.toLocalTime();
    return { local.date().toJulianDay(), local.time().msecsSinceStartOfDay() };
}

void CyclePairing::addCycle(int battery, int cycle, const QDateTime &moment)
{
    CycleRef &found = byMoment[momentOf(moment)];
    if (found.battery < battery)
        found = { battery, cycle };
}

CycleRef CyclePairing::find(const QDateTime &moment) const
{
    return byMoment.value(momentOf(moment));
}

namespace RecordRules {
namespace {

using Moment = CyclePairing::Moment;

template <typename Record> int lastNamed(const QVector<Record> &records, const QString &name)
{
    for (int i = int(records.size()) - 1; i >= 0; --i) {
        if (records.at(i).name == name)
            return i;
    }
    return -1;
}

// The record of `before` that `after`'s record `i` was made from: the one at the same place
// when it has the same name (the usual case: no record added or removed), else by name.
template <typename Record>
const Record *counterpart(const QVector<Record> &before, const QVector<Record> &after, int i)
{
    if (i < before.size() && before.at(i).name == after.at(i).name)
        return &before.at(i);
    const int named = lastNamed(before, after.at(i).name);
    return named >= 0 ? &before.at(named) : nullptr;
}

bool sameFlight(const LogData &a, const LogData &b)
{
    return a.date == b.date && a.duration == b.duration && a.location == b.location
        && a.temperature == b.temperature && a.notes == b.notes;
}

// A moment that a new entry takes, with how many cycle entries and flights hold it on
// either side of the change.
struct TakenMoment {
    QDateTime moment;
    QString record;
    bool newCycle = false;
    bool newFlight = false;
    int cyclesBefore = 0;
    int cyclesAfter = 0;
    int flightsBefore = 0;
    int flightsAfter = 0;
};

class ChangeCheck {
public:
    RuleBreak check(const StoreRecords &before, const StoreRecords &after)
    {
        for (int i = 0; i < after.batteries.size() && !found.isBroken(); ++i)
            checkCycles(counterpart(before.batteries, after.batteries, i), after.batteries.at(i));
        for (int i = 0; i < after.models.size() && !found.isBroken(); ++i)
            checkFlights(counterpart(before.models, after.models, i), after.models.at(i));
        if (!found.isBroken() && !taken.isEmpty())
            checkMoments(before, after);
        return found;
    }

private:
    void refuse(Refusal refusal, const QString &record, const QDateTime &moment)
    {
        if (refusal != Refusal::None && !found.isBroken())
            found = { refusal, record, moment };
    }

    TakenMoment &take(const QDateTime &moment, const QString &record)
    {
        TakenMoment &entry = taken[CyclePairing::momentOf(moment)];
        entry.moment = moment;
        entry.record = record;
        return entry;
    }

    // Pairs the entries of a record with those it was made from: first the equal ones, then
    // the rest of the same moment (changed), each at most once; `judge` gets every entry that
    // is not equal to one before, with the entry it changed (null for a new one).
    template <typename Entry, typename Same, typename Judge>
    static void matchEntries(
        const QVector<Entry> *was, const QVector<Entry> &is, Same same, Judge judge)
    {
        QMultiHash<Moment, const Entry *> old;
        if (was) {
            for (const Entry &entry : *was)
                old.insert(CyclePairing::momentOf(entry.date), &entry);
        }
        QVector<const Entry *> unequal;
        for (const Entry &entry : is) {
            const Moment moment = CyclePairing::momentOf(entry.date);
            auto it = old.find(moment);
            while (it != old.end() && it.key() == moment && !same(**it, entry))
                ++it;
            if (it != old.end() && it.key() == moment)
                old.erase(it);
            else
                unequal.append(&entry);
        }
        for (const Entry *entry : qAsConst(unequal)) {
            const auto it = old.find(CyclePairing::momentOf(entry->date));
            const Entry *prior = it != old.end() ? *it : nullptr;
            if (prior)
                old.erase(it);
            judge(*entry, prior);
        }
    }

    void checkCycles(const BatteryRecord *was, const BatteryRecord &is)
    {
        // A copy of the records shares every list it did not change.
        if (was && was->cycleData.isSharedWith(is.cycleData))
            return;
        const auto same = [](const CycleRecord &a, const CycleRecord &b) {
            return a.discharged == b.discharged && a.current == b.current;
        };
        // A changed entry answers for the figures it changed, a new one for all of them.
        const auto judge = [&](const CycleRecord &cycle, const CycleRecord *prior) {
            const bool newDischarged = !prior || prior->discharged != cycle.discharged;
            const bool newCurrent = !prior || prior->current != cycle.current;
            refuse(figuresRefusal(
                       newDischarged ? cycle.discharged : 0, newCurrent ? cycle.current : 0),
                is.name, cycle.date);
            if (!prior)
                take(cycle.date, is.name).newCycle = true;
        };
        matchEntries(was ? &was->cycleData : nullptr, is.cycleData, same, judge);
    }

    void checkFlights(const ModelRecord *was, const ModelRecord &is)
    {
        if (was && was->flightLog.isSharedWith(is.flightLog))
            return;
        const auto judge = [&](const LogData &flight, const LogData *prior) {
            if (!prior || prior->temperature != flight.temperature)
                refuse(temperatureRefusal(flight.temperature), is.name, flight.date);
            if (!prior)
                take(flight.date, is.name).newFlight = true;
        };
        matchEntries(was ? &was->flightLog : nullptr, is.flightLog, sameFlight, judge);
    }

    // One pass over both sides counts the holders of the moments new entries take.
    void count(const StoreRecords &store, int TakenMoment::*cycles, int TakenMoment::*flights)
    {
        for (const BatteryRecord &battery : store.batteries) {
            for (const CycleRecord &cycle : battery.cycleData) {
                const auto it = taken.find(CyclePairing::momentOf(cycle.date));
                if (it != taken.end())
                    ++(*it.*cycles);
            }
        }
        for (const ModelRecord &model : store.models) {
            for (const LogData &flight : model.flightLog) {
                const auto it = taken.find(CyclePairing::momentOf(flight.date));
                if (it != taken.end())
                    ++(*it.*flights);
            }
        }
    }

    // A moment nobody held before must be a date the discharge page takes; no moment may
    // end up with more holders than before, beyond one flight and one discharge.
    void checkMoments(const StoreRecords &before, const StoreRecords &after)
    {
        count(before, &TakenMoment::cyclesBefore, &TakenMoment::flightsBefore);
        count(after, &TakenMoment::cyclesAfter, &TakenMoment::flightsAfter);
        for (const TakenMoment &entry : qAsConst(taken)) {
            const bool crowded = (entry.newCycle && entry.cyclesAfter > qMax(entry.cyclesBefore, 1))
                || (entry.newFlight && entry.flightsAfter > qMax(entry.flightsBefore, 1));
            refuse(crowded ? Refusal::MomentTaken : Refusal::None, entry.record, entry.moment);
            const bool unheld = (entry.newCycle && entry.cyclesBefore == 0)
                || (entry.newFlight && entry.flightsBefore == 0);
            if (unheld)
                refuse(momentRefusal(entry.moment), entry.record, entry.moment);
        }
    }

    QHash<Moment, TakenMoment> taken;
    RuleBreak found;
};

} // namespace

int batteryNamed(const StoreRecords &store, const QString &name)
{
    return lastNamed(store.batteries, name);
}

int modelNamed(const StoreRecords &store, const QString &name)
{
    return lastNamed(store.models, name);
}

Refusal momentRefusal(const QDateTime &moment)
{
    const bool inRange
        = moment.isValid() && moment.date() >= earliestDate && moment.date() <= latestDate;
    return inRange ? Refusal::None : Refusal::DateOutOfRange;
}

Refusal figuresRefusal(double dischargedMah, double currentHundredths)
{
    // Written so that a value that is no number is refused too.
    if (!(dischargedMah >= 0 && dischargedMah <= maxDischargedMah))
        return Refusal::DischargedOverLimit;
    if (!(currentHundredths >= 0 && currentHundredths <= maxCurrentHundredths))
        return Refusal::CurrentOverLimit;
    return Refusal::None;
}

Refusal temperatureRefusal(int degrees)
{
    return degrees >= minTemperature && degrees <= maxTemperature ? Refusal::None
                                                                  : Refusal::TemperatureOutOfRange;
}

bool momentTaken(const StoreRecords &store, const QDateTime &moment)
{
    const Moment wanted = CyclePairing::momentOf(moment);
    const auto holds
        = [&wanted](const QDateTime &date) { return CyclePairing::momentOf(date) == wanted; };
    for (const ModelRecord &model : store.models) {
        for (const LogData &flight : model.flightLog) {
            if (holds(flight.date))
                return true;
        }
    }
    for (const BatteryRecord &battery : store.batteries) {
        for (const CycleRecord &cycle : battery.cycleData) {
            if (holds(cycle.date))
                return true;
        }
    }
    return false;
}

CycleRef pairedCycle(const StoreRecords &store, const QDateTime &moment)
{
    // Only the entries of that moment: the pairing's rule decides among them.
    const Moment wanted = CyclePairing::momentOf(moment);
    CyclePairing pairing;
    for (int b = 0; b < store.batteries.size(); ++b) {
        const QVector<CycleRecord> &cycles = store.batteries.at(b).cycleData;
        for (int c = 0; c < cycles.size(); ++c) {
            if (CyclePairing::momentOf(cycles.at(c).date) == wanted)
                pairing.addCycle(b, c, cycles.at(c).date);
        }
    }
    return pairing.find(moment);
}

RuleBreak changeRefusal(const StoreRecords &before, const StoreRecords &after)
{
    return ChangeCheck().check(before, after);
}

} // namespace RecordRules
