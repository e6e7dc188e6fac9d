#ifndef STORAGELOCK_H
#define STORAGELOCK_H

#include <QString>

#include <memory>

class QLockFile;

// Keeps a second host off a storage folder while this one runs: two programs saving
// into one data file would each overwrite the other's changes. The lock is the file
// "cellora.lock" in the folder; the lock of a process that died is taken over.
class StorageLock {
public:
    enum class Outcome {
        Locked, // this host holds the folder
        InUse, // another running process holds it
        Unwritable, // the folder cannot be made or written: no saves will work
    };

    // The lock file of `folder`.
    static QString filePath(const QString &folder);

    StorageLock();
    ~StorageLock();
    StorageLock(const StorageLock &) = delete;
    StorageLock &operator=(const StorageLock &) = delete;

    Outcome lock(const QString &folder);
    // After InUse: who holds the folder, as "process 1234 (cellora-host on host1)".
    QString holder() const { return holderText; }
    void unlock();

private:
    std::unique_ptr<QLockFile> file;
    QString holderText;
};

#endif // STORAGELOCK_H
