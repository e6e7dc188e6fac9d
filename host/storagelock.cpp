#include "host/storagelock.h"

#include "store/storefiles.h"
#include "store/synccopies.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

// A lock file holds a few short lines; anything larger is no lock of ours.
constexpr qint64 largestLock = 4096;

bool isWritableFolder(const QString &folder)
{
    // access() asks the kernel, which also knows read-only mounts and ACLs.
    return QDir().mkpath(folder)
        && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QByteArray ownLock()
{
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n'
        + QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n'
        + QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n'
        + QSysInfo::bootUniqueId() + '\n';
}

// The lock's lines: process, program, host name, machine id, boot id (the last two may be
// missing in locks of other programs). Empty when it is no lock.
QList<QByteArray> linesOf(const QByteArray &lock)
{
    QList<QByteArray> lines = lock.split('\n');
    bool isNumber = false;
    if (lines.size() < 3 || lines.at(0).toLongLong(&isNumber) <= 0 || !isNumber)
        return {};
    while (lines.size() < 5)
        lines.append(QByteArray());
    return lines;
}

QByteArray readLock(const QString &path, bool *readable)
{
    QFile file(path);
    *readable = file.open(QIODevice::ReadOnly);
    return *readable ? file.read(largestLock) : QByteArray();
}

void removeLockCopies(const QString &folder)
{
    // A copy of a lock locks nothing: what counts is the one lock file.
    for (const SyncCopies::Copy &copy : SyncCopies::find(folder)) {
        if (copy.of == SyncCopies::Of::Lock)
            QFile::remove(copy.path);
    }
}

} // namespace

QString StorageLock::filePath(const QString &folder)
{
    return QDir(folder).filePath(StoreFiles::lockFile);
}

bool StorageLock::isWritableFile(const QString &path)
{
    return QFileInfo(path).isFile() && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

StorageLock::StorageLock() = default;

StorageLock::~StorageLock()
{
    unlock();
}

bool StorageLock::tryCreate()
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return false;
    const QByteArray lock = ownLock();
    const bool complete = ::write(fd, lock.constData(), size_t(lock.size())) == lock.size();
    ::close(fd);
    if (!complete) {
        QFile::remove(path);
        errno = ENOSPC;
        return false;
    }
    written = lock;
    held = true;
    return true;
}

bool StorageLock::isStale(const QByteArray &lock) const
{
    // Only a process of this machine can be looked at: the same host name and, where the
    // lock says, the same machine id (a machine cloned from another's image shares its id,
    // not its name). Then a process that no longer runs holds nothing.
    const QList<QByteArray> lines = linesOf(lock);
    if (lines.isEmpty() || lines.at(2) != QSysInfo::machineHostName().toUtf8()
        || (!lines.at(3).isEmpty() && lines.at(3) != QSysInfo::machineUniqueId()))
        return false;
    const pid_t pid = pid_t(lines.at(0).toLongLong());
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

void StorageLock::describeHolder(const QByteArray &lock)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QList<QByteArray> lines = linesOf(lock);
    if (lines.isEmpty()) {
        holderText = QStringLiteral("a program whose lock file cannot be read; if no Cellora "
                                    "uses this folder, delete %1")
                         .arg(shown);
        return;
    }
    const QString host = QString::fromUtf8(lines.at(2));
    holderText = QStringLiteral("process %1 (%2 on %3)")
                     .arg(QString::fromUtf8(lines.at(0)), QString::fromUtf8(lines.at(1)), host);
    if (host != QSysInfo::machineHostName())
        holderText += QStringLiteral("; if no Cellora runs on %1, delete %2").arg(host, shown);
}

StorageLock::Outcome StorageLock::lock(const QString &folder)
{
    unlock();
    if (!isWritableFolder(folder))
        return Outcome::Unwritable;
    path = filePath(folder);
    removeLockCopies(folder);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (tryCreate())
            return Outcome::Locked;
        if (errno != EEXIST)
            return Outcome::Unwritable;
        bool readable = false;
        const QByteArray present = readLock(path, &readable);
        if (!readable || !isStale(present)) {
            describeHolder(present);
            return Outcome::InUse;
        }
        QFile::remove(path); // the lock of a process that died on this machine
    }
    describeHolder(QByteArray());
    return Outcome::InUse;
}

StorageLock::State StorageLock::check()
{
    if (!held)
        return State::Held;
    removeLockCopies(QFileInfo(path).path());
    bool readable = false;
    const QByteArray present = readLock(path, &readable);
    if (readable && present == written)
        return State::Held;
    // Gone (another machine's program deleted what it took for its own): taken again.
    if (!QFileInfo::exists(path) && tryCreate())
        return State::Held;
    describeHolder(present);
    return State::Taken;
}

void StorageLock::unlock()
{
    // Deleted only while it still names this process: a lock that another machine's
    // program wrote over this one's, through the sync engine, stays that program's.
    if (held) {
        bool readable = false;
        if (readLock(path, &readable) == written && readable)
            QFile::remove(path);
    }
    held = false;
    written.clear();
    holderText.clear();
}
