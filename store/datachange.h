#ifndef DATACHANGE_H
#define DATACHANGE_H

#include "store/recordrules.h"
#include "store/storerecords.h"

#include <QByteArray>

class QIODevice;
struct StoreValues;

// One change of the data file as its writer hands it to the store. DataProcessor::change()
// is the only way the file is written, whoever asks: the module's clicks and pages, the
// program's corrections, telemetry imports, undo and redo, restores and the backup page's
// import. On every way it
// - keeps the file's present bytes as a rescue copy first when the store did not write them
//   or its readers skipped any of them;
// - refuses a change of records that breaks the record rules (see recordrules.h), with the
//   rule, before anything is written;
// - keeps a change whose write failed pending: Retry writes it again, and any other write
//   first keeps it as a rescue copy, or is refused while it cannot.
struct DataChange {
    enum class Kind {
        Save, // the module's records after a click or an edit: `values`
        Records, // whole new records made from the records the bytes `basis` hold
        Version, // bytes the file held once (an undo or redo step) or was to hold (a retry)
        Import, // the lines of a file: the backup page's import, a restore
    };

    static DataChange save(const StoreValues &values)
    {
        DataChange change(Kind::Save);
        change.values = &values;
        return change;
    }
    // `before` must be the records read from `basis`: the rules judge only what changed.
    static DataChange records(
        const QByteArray &basis, const StoreRecords &before, const StoreRecords &after)
    {
        DataChange change(Kind::Records);
        change.content = basis;
        change.before = &before;
        change.after = &after;
        return change;
    }
    static DataChange version(const QByteArray &bytes)
    {
        DataChange change(Kind::Version);
        change.content = bytes;
        return change;
    }
    static DataChange import(QIODevice *source)
    {
        DataChange change(Kind::Import);
        change.source = source;
        return change;
    }

    Kind kind;
    QByteArray content; // Version: the bytes to write; Records: the basis
    const StoreValues *values = nullptr;
    const StoreRecords *before = nullptr;
    const StoreRecords *after = nullptr;
    QIODevice *source = nullptr;

private:
    explicit DataChange(Kind kind)
        : kind(kind)
    {
    }
};

// What became of a change: written, or refused by a rule (and then not tried), or failed
// (DataProcessor::problem() says why).
struct ChangeOutcome {
    bool written = false;
    RecordRules::RuleBreak refused;
    QByteArray content; // what the data file holds when written
};

#endif // DATACHANGE_H
