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
    // Whether this user may write into the regular file at `path` (the kernel's answer, which
    // knows read-only mounts and ACLs too).
    static bool isWritableFile(const QString &path);

    StorageLock();
    ~StorageLock();
    StorageLock(const StorageLock &) = delete;
    StorageLock &operator=(const StorageLock &) = delete;

    Outcome lock(const QString &folder);
    // After InUse: who holds the folder, as "process 1234 (cellora on host1)", and, where
    // this program cannot tell whether that process still runs (another machine, a lock
    // file it cannot read), which file to delete if no Cellora runs there.
    QString holder() const { return holderText; }
    void unlock();
    bool isWritable() const { return file != nullptr; }

private:
    std::unique_ptr<QLockFile> file;
    QString holderText;
};

#endif // STORAGELOCK_H
