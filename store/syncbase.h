#ifndef SYNCBASE_H
#define SYNCBASE_H

#include "cellora_global.h"
#include "store/storerecords.h"

#include <QByteArray>
#include <QString>

#include <memory>

class SyncBasePrivate;

// The versions of a storage folder's data file that this machine read or wrote, kept per
// machine outside the folder (a sync engine must not carry them to the other machine): the
// bases from which two versions that went apart are merged.
//
// A version read from the folder that this machine did not write came from another machine,
// which had it: both had it. Of the versions this machine wrote, the other machine had those
// it received before it changed the store itself; that shows in its version, which holds
// what this machine's change made. The history is kept as pieces of the file, each piece
// once, so that a hundred versions of a large store take little more room than one.
class CELLORA_PRIVATE_EXPORT SyncBase {
public:
    static constexpr int kept = 100;

    explicit SyncBase(const QString &storageFolder);
    ~SyncBase();
    SyncBase(const SyncBase &) = delete;
    SyncBase &operator=(const SyncBase &) = delete;

    // Where the history of `storageFolder` lives: beside the rescue copies kept elsewhere.
    static QString folderFor(const QString &storageFolder);

    // The data file as this machine read it from the folder (written elsewhere), or as it
    // wrote it.
    void noteSeen(const QByteArray &content);
    void noteWritten(const QByteArray &content);
    // The version noted last; empty when none is.
    QByteArray newest() const;
    bool isEmpty() const;

    // The newest version that this machine and the machine which made `theirs` both had;
    // false when this machine's history cannot tell (then there is no base to merge from).
    // `newest`, when given, holds the records of newest(), read already.
    bool commonBase(
        const StoreRecords &theirs, StoreRecords *base, const StoreRecords *newest = nullptr) const;

    // Keeps the history in its folder; false when it could not be written.
    bool save();

private:
    std::unique_ptr<SyncBasePrivate> d;
};

#endif // SYNCBASE_H
