#ifndef STOREMERGE_H
#define STOREMERGE_H

#include "cellora_global.h"
#include "store/storerecords.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QVector>

// Two versions of one store that went apart (two machines sharing a storage folder through
// a sync engine, each changing it while the other did not see it) made one again, record by
// record, from the last version both had: the base.
//
// Records are known by their identity, never by their place: a location, battery or model
// by its name, a cycle entry by its battery and date-time, a flight by its model and
// date-time, an assignment by its pair. What one side added or deleted is applied (a
// deletion only when there is a base: without one the result is the union, and deleted
// records may return); a battery's cycle count is the base's plus both sides' changes;
// whether a battery is charged follows the side with the later last use; every other value
// merges field by field. What cannot merge keeps this machine's value ("ours") and is listed
// with both values. The result depends on its inputs alone, so two machines merging the same
// versions write the same bytes.
namespace StoreMerge {

struct Conflict {
    enum class Kind {
        Field, // the same value changed differently on both sides
        DeletedChanged, // deleted on one side, changed on the other
        Rename, // renamed on one side and changed or renamed otherwise on the other
        Pairing, // the same moment flown with different packs
    };
    // What a conflict concerns.
    enum class Record { Location, Battery, Model, Cycle, Flight, Moment };

    Kind kind = Kind::Field;
    Record record = Record::Battery;
    QString key; // names the conflict for `takeTheirs`
    QString name; // the battery's, model's or location's name (for entries: their owner's)
    QDateTime moment; // of a cycle entry, a flight or a pairing
    QString field; // the element or attribute of the data file; empty for a whole record
    QString ours; // the values as text; empty where the record is deleted
    QString theirs;
};

// One value that differs between two versions, named as a conflict would name it.
struct Change {
    QString key;
    bool strong = true; // false for values that often come out alike by chance (a flag)
    bool presence = false; // a record or entry that came or went, not a value of one
    QString from; // "1" for a present record, empty for an absent one
    QString to;
};

struct Result {
    StoreRecords records;
    QVector<Conflict> conflicts;
    bool withoutBase = false;
};

// Which side's order the result follows, where both hold records in some order: give the
// same side on both machines (the data file the sync engine kept), so that they agree.
enum class Lead { Ours, Theirs };

// `base` may be null. The conflicts named in `takeTheirs` take the other side's value.
CELLORA_PRIVATE_EXPORT Result merge(const StoreRecords *base, const StoreRecords &ours,
    const StoreRecords &theirs, Lead lead = Lead::Ours, const QSet<QString> &takeTheirs = {});

// What differs from `from` to `to`, in the store's order.
CELLORA_PRIVATE_EXPORT QVector<Change> changes(const StoreRecords &from, const StoreRecords &to);

} // namespace StoreMerge

#endif // STOREMERGE_H
