#include "host/flightedits.h"

#include <algorithm>

namespace FlightEdits {
namespace {

int cycleIndexOf(const StoreSnapshot::Battery &battery, const QDateTime &moment)
{
    for (int i = 0; i < battery.cycleData.size(); ++i) {
        if (battery.cycleData[i].date == moment)
            return i;
    }
    return -1;
}

int batteryIndexOf(const StoreSnapshot &store, const QString &name)
{
    for (int i = 0; i < store.batteries.size(); ++i) {
        if (store.batteries[i].name == name)
            return i;
    }
    return -1;
}

bool isKnown(const StoreSnapshot &store, const FlightRef &ref)
{
    return ref.model >= 0 && ref.model < store.models.size() && ref.entry >= 0
        && ref.entry < store.models[ref.model].flightLog.size();
}

// A date-time that some other flight or cycle entry holds already would pair the wrong
// entries afterwards, so a moved entry must land on a moment of its own.
bool momentInUse(const StoreSnapshot &store, const QDateTime &moment)
{
    for (const StoreSnapshot::Model &model : store.models) {
        for (const LogData &flight : model.flightLog) {
            if (flight.date == moment)
                return true;
        }
    }
    for (const StoreSnapshot::Battery &battery : store.batteries) {
        if (cycleIndexOf(battery, moment) >= 0)
            return true;
    }
    return false;
}

bool setDate(StoreSnapshot &store, const FlightRef &ref, const QDateTime &moment)
{
    LogData &flight = store.models[ref.model].flightLog[ref.entry];
    if (moment == flight.date)
        return true;
    if (!moment.isValid() || moment.date() < earliestDate || moment.date() > latestDate
        || momentInUse(store, moment))
        return false;
    flight.date = moment;
    if (ref.cycle.battery >= 0)
        store.batteries[ref.cycle.battery].cycleData[ref.cycle.cycle].date = moment;
    return true;
}

bool inRange(const QVariant &value, int lowest, int highest)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok && number >= lowest && number <= highest;
}

bool setCycleFigure(StoreSnapshot &store, const FlightRef &ref, Field field, const QVariant &value)
{
    if (ref.cycle.battery < 0)
        return false;
    StoreSnapshot::Cycle &cycle = store.batteries[ref.cycle.battery].cycleData[ref.cycle.cycle];
    if (field == Field::Discharged) {
        if (!inRange(value, 0, maxDischarged))
            return false;
        cycle.discharged = value.toUInt();
    } else if (field == Field::Resistance) {
        // Typed in milliohms with one decimal; 0 makes it unknown again.
        bool ok = false;
        const double tenths = value.toDouble(&ok) * 10;
        if (!ok || tenths < 0 || tenths > maxResistanceTenths)
            return false;
        cycle.resistance = uint(qRound(tenths));
    } else {
        if (!inRange(value, 0, maxCurrentAmperes))
            return false;
        cycle.current = value.toUInt() * 100;
    }
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
    case Field::Resistance:
        return setCycleFigure(store, ref, field, value);
    case Field::Temperature:
        if (!inRange(value, minTemperature, maxTemperature))
            return false;
        flight.temperature = value.toInt();
        return true;
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
    const int target = batteryIndexOf(store, batteryName);
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
    const int index = batteryIndexOf(store, batteryName);
    if (index < 0 || !store.batteries[index].charged)
        return false;
    store.batteries[index].charged = false;
    store.batteries[index].lastUse = now;
    return true;
}

} // namespace FlightEdits
