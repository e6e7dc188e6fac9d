#include "host/flightedits.h"

#include <algorithm>
#include <cmath>

namespace FlightEdits {
namespace {

bool isKnown(const StoreSnapshot &store, const FlightRef &ref)
{
    return ref.model >= 0 && ref.model < store.models.size() && ref.entry >= 0
        && ref.entry < store.models[ref.model].flightLog.size();
}

// The moment a flight and its discharge move to must be free: the store's change
// operation refuses it otherwise.
bool setDate(StoreSnapshot &store, const FlightRef &ref, const QDateTime &moment)
{
    LogData &flight = store.models[ref.model].flightLog[ref.entry];
    if (moment == flight.date)
        return true;
    if (!moment.isValid())
        return false;
    flight.date = moment;
    if (ref.cycle.battery >= 0)
        store.batteries[ref.cycle.battery].cycleData[ref.cycle.cycle].date = moment;
    return true;
}

bool setCycleFigure(StoreSnapshot &store, const FlightRef &ref, Field field, const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ref.cycle.battery < 0 || !ok)
        return false;
    StoreSnapshot::Cycle &cycle = store.batteries[ref.cycle.battery].cycleData[ref.cycle.cycle];
    if (field == Field::Resistance) {
        // Typed in milliohms with one decimal; 0 makes it unknown again.
        const double tenths = std::round(number * 10);
        if (!(tenths >= 0 && tenths <= RecordRules::maxResistanceTenths))
            return false;
        cycle.resistance = uint(tenths);
        return true;
    }
    const bool discharged = field == Field::Discharged;
    // Whole mAh; amperes kept to the hundredth as the file holds them. Checked before the
    // figure goes into the file's unsigned number, where a large one would wrap.
    const double figure = discharged ? number : std::round(number * 100);
    if ((discharged && figure != std::floor(figure))
        || RecordRules::figuresRefusal(discharged ? figure : 0, discharged ? 0 : figure)
            != RecordRules::Refusal::None)
        return false;
    if (discharged)
        cycle.discharged = uint(figure);
    else
        cycle.current = uint(figure);
    return true;
}

bool isLatestOf(const StoreSnapshot::Battery &battery, const QDateTime &moment)
{
    return std::none_of(battery.cycleData.begin(), battery.cycleData.end(),
        [&moment](const StoreSnapshot::Cycle &entry) { return entry.date > moment; });
}

// A discharge taken off a pack as if it had never been recorded there. Only the module
// discharges a charged pack; when that discharge was the pack's last event (it is empty
// and holds no later one), the pack is charged again, as it was then. The moment of its
// charge click is not kept anywhere: the flight's moment stands for it, when the pack was
// charged for certain. Returns when the discharge was recorded: the pack's last use then,
// else the flight's moment.
QDateTime takeDischargeOff(StoreSnapshot::Battery &pack, int cycleIndex)
{
    const StoreSnapshot::Cycle cycle = pack.cycleData.takeAt(cycleIndex);
    pack.cycles = pack.cycles > 0 ? pack.cycles - 1 : 0;
    if (pack.charged || !isLatestOf(pack, cycle.date))
        return cycle.date;
    const QDateTime recorded = pack.lastUse;
    pack.charged = true;
    if (cycle.date.isValid())
        pack.lastUse = cycle.date;
    return recorded.isValid() ? recorded : cycle.date;
}

// A discharge put onto a pack as if it had been recorded there at `recorded`, in the order
// of the flights. When it is the pack's last event, the pack is empty since then, unless
// it was charged after that moment.
void putDischargeOn(
    StoreSnapshot::Battery &pack, const StoreSnapshot::Cycle &cycle, const QDateTime &recorded)
{
    QVector<StoreSnapshot::Cycle> &data = pack.cycleData;
    const auto later = std::find_if(data.begin(), data.end(),
        [&cycle](const StoreSnapshot::Cycle &entry) { return entry.date > cycle.date; });
    const bool last = later == data.end();
    data.insert(later, cycle);
    ++pack.cycles;
    if (!last || !recorded.isValid())
        return;
    if (pack.charged && pack.lastUse > recorded)
        return;
    pack.charged = false;
    pack.lastUse = qMax(pack.lastUse, recorded);
}

// The last use a pack had before its last charge click: the moment of its last discharge
// up to `now`. A pack that never flew keeps the one it has, since nothing earlier is known.
QDateTime lastUseBeforeCharge(const StoreSnapshot::Battery &pack, const QDateTime &now)
{
    QDateTime latest;
    for (const StoreSnapshot::Cycle &entry : pack.cycleData) {
        if (entry.date.isValid() && entry.date <= now && entry.date > latest)
            latest = entry.date;
    }
    return latest.isValid() ? latest : pack.lastUse;
}

} // namespace

bool setField(StoreSnapshot &store, const FlightRef &ref, Field field, const QVariant &value)
{
    if (!isKnown(store, ref))
        return false;
    LogData &flight = store.models[ref.model].flightLog[ref.entry];
    switch (field) {
    case Field::Date:
        return setDate(store, ref, value.toDateTime());
    case Field::Battery:
        return moveDischarge(store, ref, value.toString());
    case Field::Duration:
        if (!value.toTime().isValid())
            return false;
        flight.duration = value.toTime();
        return true;
    case Field::Discharged:
    case Field::Current:
    case Field::Resistance:
        return setCycleFigure(store, ref, field, value);
    case Field::Temperature: {
        bool ok = false;
        const int degrees = value.toInt(&ok);
        if (!ok || RecordRules::temperatureRefusal(degrees) != RecordRules::Refusal::None)
            return false;
        flight.temperature = degrees;
        return true;
    }
    case Field::Location:
        // The module offers only the listed locations; the entry's own stays possible.
        if (value.toString() != flight.location && !store.locations.contains(value.toString()))
            return false;
        flight.location = value.toString();
        return true;
    case Field::Notes:
        flight.notes = value.toString();
        return true;
    case Field::Model:
        break;
    }
    return false;
}

bool deleteFlight(StoreSnapshot &store, const FlightRef &ref)
{
    if (!isKnown(store, ref))
        return false;
    if (ref.cycle.battery >= 0)
        takeDischargeOff(store.batteries[ref.cycle.battery], ref.cycle.cycle);
    store.models[ref.model].flightLog.remove(ref.entry);
    return true;
}

bool moveDischarge(StoreSnapshot &store, const FlightRef &ref, const QString &batteryName)
{
    const int target = RecordRules::batteryNamed(store, batteryName);
    if (!isKnown(store, ref) || ref.cycle.battery < 0 || target < 0)
        return false;
    if (target == ref.cycle.battery)
        return true;
    const StoreSnapshot::Cycle cycle
        = store.batteries[ref.cycle.battery].cycleData[ref.cycle.cycle];
    const QDateTime recorded
        = takeDischargeOff(store.batteries[ref.cycle.battery], ref.cycle.cycle);
    // Kept in the order of the flights, so that the chart reads left to right in time.
    putDischargeOn(store.batteries[target], cycle, recorded);
    return true;
}

bool markNotCharged(StoreSnapshot &store, const QString &batteryName, const QDateTime &now)
{
    const int index = RecordRules::batteryNamed(store, batteryName);
    if (index < 0 || !store.batteries[index].charged)
        return false;
    StoreSnapshot::Battery &pack = store.batteries[index];
    pack.charged = false;
    pack.lastUse = lastUseBeforeCharge(pack, now);
    return true;
}

} // namespace FlightEdits
