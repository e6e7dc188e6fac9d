#include "host/flightedits.h"

#include <algorithm>

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
    const int number = value.toInt(&ok);
    if (ref.cycle.battery < 0 || !ok)
        return false;
    StoreSnapshot::Cycle &cycle = store.batteries[ref.cycle.battery].cycleData[ref.cycle.cycle];
    const bool discharged = field == Field::Discharged;
    // Checked before the figure goes into the file's unsigned number, where a large one
    // would wrap.
    const double hundredths = discharged ? 0 : number * 100.0;
    if (RecordRules::figuresRefusal(discharged ? number : 0, hundredths)
        != RecordRules::Refusal::None)
        return false;
    if (discharged)
        cycle.discharged = uint(number);
    else
        cycle.current = uint(hundredths);
    return true;
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
    if (ref.cycle.battery >= 0) {
        StoreSnapshot::Battery &battery = store.batteries[ref.cycle.battery];
        battery.cycleData.remove(ref.cycle.cycle);
        battery.cycles = battery.cycles > 0 ? battery.cycles - 1 : 0;
    }
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
    StoreSnapshot::Battery &from = store.batteries[ref.cycle.battery];
    const StoreSnapshot::Cycle cycle = from.cycleData.takeAt(ref.cycle.cycle);
    from.cycles = from.cycles > 0 ? from.cycles - 1 : 0;
    // Kept in the order of the flights, so that the chart reads left to right in time.
    QVector<StoreSnapshot::Cycle> &data = store.batteries[target].cycleData;
    const auto later = std::find_if(data.begin(), data.end(),
        [&cycle](const StoreSnapshot::Cycle &entry) { return entry.date > cycle.date; });
    data.insert(later, cycle);
    ++store.batteries[target].cycles;
    return true;
}

bool markNotCharged(StoreSnapshot &store, const QString &batteryName, const QDateTime &now)
{
    const int index = RecordRules::batteryNamed(store, batteryName);
    if (index < 0 || !store.batteries[index].charged)
        return false;
    store.batteries[index].charged = false;
    store.batteries[index].lastUse = now;
    return true;
}

} // namespace FlightEdits
