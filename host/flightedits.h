#ifndef FLIGHTEDITS_H
#define FLIGHTEDITS_H

#include "store/recordrules.h"
#include "store/storesnapshot.h"

#include <QDateTime>
#include <QVariant>

// The corrections the flight and cycle editor makes, on a plain copy of the store. Each
// edit either changes the copy as a whole or refuses and leaves it as it was. Figures keep
// the record rules' limits here already (a number too large for the file would wrap);
// dates and moments are judged with the rest by the store's change operation.
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

using FlightRef = StoreSnapshot::Flight;

bool setField(StoreSnapshot &store, const FlightRef &ref, Field field, const QVariant &value);
// Each correction leaves every pack's charged state and last use as if the corrected
// history had been recorded so.
//
// The flight and its cycle entry go together, and the battery counts one cycle less; a
// pack that this discharge left empty is charged again.
bool deleteFlight(StoreSnapshot &store, const FlightRef &ref);
// The cycle entry and one cycle of the count move to `batteryName`: the pack it leaves is
// charged again and the pack it joins is empty, where the discharge is their last event.
bool moveDischarge(StoreSnapshot &store, const FlightRef &ref, const QString &batteryName);
// Undoes a charge click: the pack is empty again with the last use of its last discharge
// up to `now`; no cycle, no flight.
bool markNotCharged(StoreSnapshot &store, const QString &batteryName, const QDateTime &now);

} // namespace FlightEdits

#endif // FLIGHTEDITS_H
