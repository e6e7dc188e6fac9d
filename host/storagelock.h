#ifndef STORAGELOCK_H
#define STORAGELOCK_H

#include <QByteArray>
#include <QString>

// Keeps a second host off a storage folder while this one runs: two programs saving
// into one data file would each overwrite the other's changes. The lock is the file
// "cellora.lock" in the folder, written as the toolkit's lock files are (process, program,
// host name, machine id, boot id), so that older builds read it; the lock of a process
// that died on this machine is taken over.
//
// In a folder that a sync engine shares, the lock of another machine may arrive while this
// program runs, or replace this one's: this program never deletes a lock that no longer
// names it, and check() tells when another program holds the folder.
class StorageLock {
public:
    enum class Outcome {
        Locked, // this host holds the folder
        InUse, // another running process holds it
        Unwritable, // the folder cannot be made or written: no saves will work
    };
    enum class State {
        Held, // the lock still names this process
        Taken, // it names another process, of this machine or another: see holder()
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
    // After InUse or Taken: who holds the folder, as "process 1234 (cellora on host1)",
    // and, where this program cannot tell whether that process still runs (another
    // machine, a lock file it cannot read), which file to delete if no Cellora runs there.
    QString holder() const { return holderText; }
    void unlock();
    bool isWritable() const { return held; }
    // Reads the lock file again while the folder is held: a lock that vanished is written
    // again, copies a sync engine made of it are deleted.
    State check();

private:
    bool tryCreate();
    bool isStale(const QByteArray &lock) const;
    void describeHolder(const QByteArray &lock);

    QString path;
    QByteArray written; // what this process wrote into the lock file
    bool held = false;
    QString holderText;
};

#endif // STORAGELOCK_H
