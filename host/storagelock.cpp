#include "host/storagelock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <unistd.h>

namespace {

bool isWritableFolder(const QString &folder)
{
    // access() asks the kernel, which also knows read-only mounts and ACLs.
    return QDir().mkpath(folder)
        && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace

QString StorageLock::filePath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("cellora.lock"));
}

StorageLock::StorageLock() = default;

StorageLock::~StorageLock() = default;

StorageLock::Outcome StorageLock::lock(const QString &folder)
{
    unlock();
    if (!isWritableFolder(folder))
        return Outcome::Unwritable;
    auto candidate = std::make_unique<QLockFile>(filePath(folder));
    // A host runs for hours: only a dead owner makes a lock stale, never its age.
    candidate->setStaleLockTime(0);
    if (candidate->tryLock(0)) {
        file = std::move(candidate);
        return Outcome::Locked;
    }
    if (candidate->error() != QLockFile::LockFailedError)
        return Outcome::Unwritable;
    qint64 pid = 0;
    QString hostName;
    QString application;
    if (candidate->getLockInfo(&pid, &hostName, &application))
        holderText = QStringLiteral("process %1 (%2 on %3)").arg(pid).arg(application, hostName);
    else
        holderText = QStringLiteral("another process");
    return Outcome::InUse;
}

void StorageLock::unlock()
{
    file.reset(); // QLockFile unlocks when it is destroyed
    holderText.clear();
}
