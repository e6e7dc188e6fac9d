#include "host/storagelock.h"

#include "store/storefiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

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
    return QDir(folder).filePath(StoreFiles::lockFile);
}

bool StorageLock::isWritableFile(const QString &path)
{
    return QFileInfo(path).isFile() && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
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
    const QString lockPath = QDir::toNativeSeparators(QDir(folder).filePath(StoreFiles::lockFile));
    if (!candidate->getLockInfo(&pid, &hostName, &application)) {
        holderText = QStringLiteral("a program whose lock file cannot be read; if no Cellora "
                                    "uses this folder, delete %1")
                         .arg(lockPath);
        return Outcome::InUse;
    }
    holderText = QStringLiteral("process %1 (%2 on %3)").arg(pid).arg(application, hostName);
    if (hostName != QSysInfo::machineHostName())
        holderText
            += QStringLiteral("; if no Cellora runs on %1, delete %2").arg(hostName, lockPath);
    return Outcome::InUse;
}

void StorageLock::unlock()
{
    file.reset(); // QLockFile unlocks when it is destroyed
    holderText.clear();
}
