#ifndef FLIGHTEDITS_H
#define FLIGHTEDITS_H

#include "store/recordrules.h"
#include "store/storesnapshot.h"

#include <QDateTime>
#include <QVariant>

// The corrections the flight and cycle editor makes, on a plain copy of the store. Each
// edit either changes the copy as a whole or refuses and leaves it as it was; values obey
// the limits of the module's own discharge inputs.
namespace FlightEdits {

enum class Field {
    Model,
    Date,
    Battery,
    Duration,
    Discharged,
    Current,
    Resistance,
    Temperature,
    Location,
    Notes
};
constexpr int fieldCount = 10;

using RecordRules::earliestDate;
using RecordRules::latestDate;
constexpr int maxDischarged = RecordRules::maxDischargedMah;
using RecordRules::maxCurrentAmperes;
using RecordRules::maxResistanceTenths;
using RecordRules::maxTemperature;
using RecordRules::minTemperature;

using FlightRef = StoreSnapshot::Flight;

bool setField(StoreSnapshot &store, const FlightRef &ref, Field field, const QVariant &value);
// The flight and its cycle entry go together, and the battery counts one cycle less.
bool deleteFlight(StoreSnapshot &store, const FlightRef &ref);
// The cycle entry and one cycle of the count move to `batteryName`.
bool moveDischarge(StoreSnapshot &store, const FlightRef &ref, const QString &batteryName);
// Undoes a charge click: the pack is empty again as of `now`; no cycle, no flight.
bool markNotCharged(StoreSnapshot &store, const QString &batteryName, const QDateTime &now);

} // namespace FlightEdits

#endif // FLIGHTEDITS_H
