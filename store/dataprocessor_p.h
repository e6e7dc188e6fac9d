#ifndef DATAPROCESSOR_P_H
#define DATAPROCESSOR_P_H

#include "store/dataprocessor.h"
#include "store/overwriteguard.h"
#include "store/readstash.h"
#include "store/recordcache.h"
#include "store/recordreader.h"

#include <QByteArray>

#include <memory>

// A change whose write failed: its bytes, kept until they are written or kept as a rescue
// copy, and whether the records last handed out still hold it (nothing was read since).
struct PendingChange {
    bool set = false;
    bool inRecords = false;
    QByteArray bytes;

    void note(const QByteArray &content, bool heldByRecords)
    {
        set = true;
        bytes = content;
        inRecords = heldByRecords;
    }
    void drop() { *this = PendingChange(); }
};

// What the store knows of its data file between calls: what it last read or wrote (the
// guard), the bytes of each record it wrote (the write cache), the records of a refresh's
// first read for the readers after it (the read stash), what each reader last returned,
// who hears of every write, why the last one did not reach the file and what it was to
// write.
class DataProcessorPrivate {
public:
    OverwriteGuard guard;
    RecordCache cache;
    ReadStash stash;
    ReadRecords lastRead;
    DataProcessor::WriteListener listener;
    StoreProblem problem = StoreProblem::None;
    int problemError = 0; // the system's error number behind it, when known
    PendingChange pending;

    void setProblem(StoreProblem why, int error = 0)
    {
        problem = why;
        problemError = error;
    }

    // A new storage folder, or a file that is no longer what was known: nothing is known
    // about it. The listener stays, and a failed save stays known (with what it was to
    // write) until a save or an import succeeds; the records read next no longer hold it.
    void forget()
    {
        guard.forget();
        cache.drop();
        stash.clear();
        lastRead = ReadRecords();
        pending.inRecords = false;
    }

    void report(bool written, const QByteArray &before, const QByteArray &after) const
    {
        if (listener)
            listener(written, before, after);
    }

    // The records of the data file for the reader of `kind`, with the bytes they were read
    // from; null when the file is there but cannot be read. The first reader of a refresh
    // reads the bytes afresh (a Charged child stamps its battery with the moment of
    // reading); the others take what it read while the file stays the same.
    std::shared_ptr<const StoreReading> readingFor(
        const QString &path, RecordKind kind, QByteArray *content);
};

#endif // DATAPROCESSOR_P_H
