#include "host/flightedits.h"

#include <algorithm>

namespace FlightEdits {
namespace {

int cycleIndexOf(const SampleBattery &battery, const QDateTime &moment)
{
    for (int i = 0; i < battery.cycleData.size(); ++i) {
        if (battery.cycleData[i].date == moment)
            return i;
    }
    return -1;
}

int batteryIndexOf(const SampleStore &store, const QString &name)
{
    for (int i = 0; i < store.batteries.size(); ++i) {
        if (store.batteries[i].name == name)
            return i;
    }
    return -1;
}

FlightRef pairedRef(const SampleStore &store, int model, int flight)
{
    FlightRef ref { model, flight, -1, -1 };
    const QDateTime &moment = store.models[model].flightLog[flight].date;
    // An undated flight cannot be told apart from any other undated entry: pair none.
    if (!moment.isValid())
        return ref;
    for (int b = 0; b < store.batteries.size(); ++b) {
        const int cycle = cycleIndexOf(store.batteries[b], moment);
        if (cycle >= 0) {
            ref.battery = b;
            ref.cycle = cycle;
        }
    }
    return ref;
}

bool isKnown(const SampleStore &store, const FlightRef &ref)
{
    return ref.model >= 0 && ref.model < store.models.size() && ref.flight >= 0
        && ref.flight < store.models[ref.model].flightLog.size();
}

// A date-time that some other flight or cycle entry holds already would pair the wrong
// entries afterwards, so a moved entry must land on a moment of its own.
bool momentInUse(const SampleStore &store, const QDateTime &moment)
{
    for (const SampleModel &model : store.models) {
        for (const SampleFlight &flight : model.flightLog) {
            if (flight.date == moment)
                return true;
        }
    }
    for (const SampleBattery &battery : store.batteries) {
        if (cycleIndexOf(battery, moment) >= 0)
            return true;
    }
    return false;
}

bool setDate(SampleStore &store, const FlightRef &ref, const QDateTime &moment)
{
    SampleFlight &flight = store.models[ref.model].flightLog[ref.flight];
    if (moment == flight.date)
        return true;
    if (!moment.isValid() || moment.date() < earliestDate || moment.date() > latestDate
        || momentInUse(store, moment))
        return false;
    flight.date = moment;
    if (ref.battery >= 0)
        store.batteries[ref.battery].cycleData[ref.cycle].date = moment;
    return true;
}

bool inRange(const QVariant &value, int lowest, int highest)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok && number >= lowest && number <= highest;
}

bool setCycleFigure(SampleStore &store, const FlightRef &ref, Field field, const QVariant &value)
{
    if (ref.battery < 0)
        return false;
    SampleCycle &cycle = store.batteries[ref.battery].cycleData[ref.cycle];
    if (field == Field::Discharged) {
        if (!inRange(value, 0, maxDischarged))
            return false;
        cycle.discharged = value.toUInt();
    } else {
        if (!inRange(value, 0, maxCurrentAmperes))
            return false;
        cycle.current = value.toUInt() * 100;
    }
    return true;
}

} // namespace

QVector<FlightRef> flights(const SampleStore &store)
{
    QVector<FlightRef> refs;
    for (int m = 0; m < store.models.size(); ++m) {
        for (int f = 0; f < store.models[m].flightLog.size(); ++f)
            refs << pairedRef(store, m, f);
    }
    return refs;
}

bool setField(SampleStore &store, const FlightRef &ref, Field field, const QVariant &value)
{
    if (!isKnown(store, ref))
        return false;
    SampleFlight &flight = store.models[ref.model].flightLog[ref.flight];
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

bool deleteFlight(SampleStore &store, const FlightRef &ref)
{
    if (!isKnown(store, ref))
        return false;
    if (ref.battery >= 0) {
        SampleBattery &battery = store.batteries[ref.battery];
        battery.cycleData.remove(ref.cycle);
        battery.cycles = battery.cycles > 0 ? battery.cycles - 1 : 0;
    }
    store.models[ref.model].flightLog.remove(ref.flight);
    return true;
}

bool moveDischarge(SampleStore &store, const FlightRef &ref, const QString &batteryName)
{
    const int target = batteryIndexOf(store, batteryName);
    if (!isKnown(store, ref) || ref.battery < 0 || target < 0)
        return false;
    if (target == ref.battery)
        return true;
    SampleBattery &from = store.batteries[ref.battery];
    const SampleCycle cycle = from.cycleData.takeAt(ref.cycle);
    from.cycles = from.cycles > 0 ? from.cycles - 1 : 0;
    // Kept in the order of the flights, so that the chart reads left to right in time.
    QVector<SampleCycle> &data = store.batteries[target].cycleData;
    const auto later = std::find_if(data.begin(), data.end(),
        [&cycle](const SampleCycle &entry) { return entry.date > cycle.date; });
    data.insert(later, cycle);
    ++store.batteries[target].cycles;
    return true;
}

bool markNotCharged(SampleStore &store, const QString &batteryName, const QDateTime &now)
{
    const int index = batteryIndexOf(store, batteryName);
    if (index < 0 || !store.batteries[index].charged)
        return false;
    store.batteries[index].charged = false;
    store.batteries[index].lastUse = now;
    return true;
}

} // namespace FlightEdits
