#ifndef RECORDREADER_H
#define RECORDREADER_H

#include "store/storerecords.h"

#include <QByteArray>
#include <QVector>

#include <array>

// The three kinds of record the data file holds, each with a reader of its own.
enum class RecordKind { Locations, Models, Batteries };

// What reading a battery did besides giving its values, so that a card made from the
// record is the card the reader would have filled: which of its text children were read
// (a card shows its form's sample text until a value is set), and how many cycle entries
// it had when its last child began (every child sets the last discharge's figures to 0,
// so only cycle data at the end shows its last entry's).
struct BatteryReading {
    uint fieldsRead = 0; // bit f for RecordFields::BatteryField f
    int cyclesBeforeLastChild = -1; // -1: the battery has no child at all

    bool hasField(int field) const { return fieldsRead & (1u << field); }
};

// Everything the store's readers make of the bytes of one data file, as plain values.
struct StoreReading {
    StoreRecords records;
    QVector<BatteryReading> batteries; // one for each battery record
    // For each kind: its reader broke off on a fault, or there is content but no store in
    // it, so a save of these records would lose the rest.
    std::array<bool, 3> damaged {};

    bool isDamaged(RecordKind kind) const { return damaged[size_t(kind)]; }
    bool anyDamaged() const { return damaged[0] || damaged[1] || damaged[2]; }
};

namespace RecordReader {

// How the three readers go over the bytes. One pass for all three gives what a pass for
// each gives as long as every child of the root is for one reader at most and each
// reader ends where its record ends; where that does not hold, each reads in a pass of
// its own.
enum class Passes { Shared, OnePerKind };

// Reads the bytes of a data file with the store's readers: the records every reader reads
// (each kind in file order), up to the first fault of that kind's reader, the record it
// was reading included with what it had read of it.
StoreReading read(const QByteArray &content, Passes passes = Passes::Shared);

} // namespace RecordReader

#endif // RECORDREADER_H
