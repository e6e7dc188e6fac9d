#include "store/overwriteguard.h"

#include "store/rescuecopies.h"

#include <QFileInfo>

namespace {

// The readers hold the data file in memory; no store comes near this size. A larger file
// is not read, and so never overwritten: it cannot be kept as a rescue copy either.
constexpr qint64 largestStore = qint64(512) * 1024 * 1024;

} // namespace

bool OverwriteGuard::noteRead(
    const QByteArray &readContent, const FileBytes::Stamp &readStamp, bool readDamaged)
{
    // The readers of one refresh read the same bytes: a fault that one of them met stays
    // noted when the next reads them cleanly, and so does their check.
    const bool sameContent = known && FileBytes::sameBytes(readContent, content);
    damaged = readDamaged || (sameContent && damaged);
    brokeOff = readDamaged || (sameContent && brokeOff);
    reproduced = sameContent && reproduced;
    known = true;
    stamp = readStamp;
    content = readContent;
    return sameContent && !damaged;
}

void OverwriteGuard::noteWritten(const QString &path, const QByteArray &written)
{
    known = true;
    damaged = false;
    brokeOff = false;
    reproduced = true; // written from the records it holds
    stamp = FileBytes::Stamp::of(path);
    content = written;
}

bool OverwriteGuard::protect(
    const QString &path, const QString &storageFolder, QByteArray *present, Problem *problem)
{
    // The ordinary save: nobody touched the file since this store read or wrote it.
    const FileBytes::Stamp now = FileBytes::Stamp::of(path);
    if (known && !damaged && now == stamp) {
        *present = content;
        return true;
    }
    if (!readPresent(path, present)) {
        *problem = Problem::Unreadable;
        return false; // what cannot be read cannot be kept: leave the file alone
    }
    // Touched, but with the same content (compared, not judged by the time stamp).
    if (known && !damaged && *present == content) {
        stamp = now;
        return true;
    }
    // An empty file holds nothing to lose.
    if (present->isEmpty() || keepCopy(storageFolder, *present, path))
        return true;
    *problem = Problem::CannotKeepCopy;
    return false;
}

bool OverwriteGuard::readFile(const QString &path, QByteArray *bytes, FileBytes::Stamp *now) const
{
    // The three readers of a refresh, and a refresh after a save, find the bytes in memory:
    // a fresh 4 MB buffer for each read would make the C library keep more and more of
    // them (its threshold for returning large blocks grows with their size).
    *now = FileBytes::Stamp::of(path);
    if (known && now->exists && *now == stamp) {
        *bytes = content;
        return true;
    }
    return FileBytes::readWhole(path, *bytes, largestStore, now);
}

void OverwriteGuard::noteReproduction(bool same)
{
    reproduced = same;
    damaged = damaged || !same;
}

bool OverwriteGuard::readPresent(const QString &path, QByteArray *present)
{
    present->clear();
    return !QFileInfo::exists(path) || FileBytes::readWhole(path, *present, largestStore);
}

bool OverwriteGuard::keepBeforeInPlace(
    const QString &path, const QString &storageFolder, const QByteArray &present, Problem *problem)
{
    if (present.isEmpty() || keepCopy(storageFolder, present, path))
        return true;
    *problem = Problem::CannotKeepCopy;
    return false;
}

bool OverwriteGuard::keepCopy(
    const QString &storageFolder, const QByteArray &content, const QString &permissionsOf)
{
    copiesMade = true;
    RescueCopies beside(storageFolder);
    if (beside.keep(content, permissionsOf))
        return true;
    RescueCopies elsewhere = RescueCopies::elsewhere(storageFolder);
    if (elsewhere.keep(content, permissionsOf))
        return true;
    // The folder of the user's own is the last one tried: its reason is the one to fix.
    lastCopyError = elsewhere.failure();
    return false;
}

void OverwriteGuard::rotateCopies(const QString &storageFolder, const FileBytes::Stamp &spared)
{
    if (!copiesMade)
        return;
    copiesMade = false;
    RescueCopies(storageFolder).rotate(spared);
    RescueCopies::elsewhere(storageFolder).rotate(spared);
}
