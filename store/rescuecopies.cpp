#include "store/rescuecopies.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString copyPattern = QStringLiteral("cellora_*.xml");
// The readers hold the data file in memory; no store comes near this size. A larger file
// is not read, and so never overwritten: it cannot be kept as a rescue copy either.
constexpr qint64 largestStore = qint64(512) * 1024 * 1024;

// What the file at `path` holds now, empty when there is none; false when it is there but
// cannot be read whole.
bool readPresent(const QString &path, QByteArray *present)
{
    present->clear();
    return !QFileInfo::exists(path) || FileBytes::readWhole(path, *present, largestStore);
}

// An empty file holds nothing to lose.
bool keepUnlessEmpty(const QByteArray &present, const QString &storageFolder)
{
    return present.isEmpty() || RescueCopies(storageFolder).keep(present);
}

struct Copy {
    QString path;
    qint64 modifiedNs;
};

} // namespace

RescueCopies::RescueCopies(const QString &storageFolder)
    : dir(QDir(storageFolder).filePath(QStringLiteral("rescue")))
{
}

QStringList RescueCopies::copies() const
{
    QVector<Copy> found;
    for (const QString &name : dir.entryList({ copyPattern }, QDir::Files)) {
        const QString path = dir.filePath(name);
        found.append({ path, FileBytes::Stamp::of(path).modifiedNs });
    }
    std::sort(found.begin(), found.end(), [](const Copy &a, const Copy &b) {
        return a.modifiedNs != b.modifiedNs ? a.modifiedNs < b.modifiedNs : a.path < b.path;
    });
    QStringList paths;
    for (const Copy &copy : found)
        paths << copy.path;
    return paths;
}

bool RescueCopies::keep(const QByteArray &content)
{
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    if (holds(content))
        return true;
    if (!FileBytes::replaceFile(newName(), content))
        return false;
    removeOldest();
    return true;
}

bool RescueCopies::holds(const QByteArray &content) const
{
    for (const QString &path : copies()) {
        QByteArray copy;
        if (QFileInfo(path).size() == content.size()
            && FileBytes::readWhole(path, copy, content.size()) && copy == content)
            return true;
    }
    return false;
}

QString RescueCopies::newName() const
{
    const QString stem = QStringLiteral("cellora_")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QString name = stem + QStringLiteral(".xml");
    for (int suffix = 1; dir.exists(name); ++suffix)
        name = stem + QStringLiteral("_%1.xml").arg(suffix);
    return dir.filePath(name);
}

void RescueCopies::removeOldest()
{
    const QStringList all = copies();
    for (int i = 0; i < all.size() - kept; ++i)
        QFile::remove(all.at(i));
}

void OverwriteGuard::forget()
{
    Listener kept = std::move(listener);
    *this = OverwriteGuard();
    listener = std::move(kept);
}

void OverwriteGuard::noteRead(
    const QByteArray &readContent, const FileBytes::Stamp &readStamp, bool readDamaged)
{
    known = true;
    damaged = readDamaged;
    stamp = readStamp;
    content = readContent;
}

void OverwriteGuard::noteWritten(const QString &path, const QByteArray &written)
{
    known = true;
    damaged = false;
    stamp = FileBytes::Stamp::of(path);
    content = written;
}

bool OverwriteGuard::protect(const QString &path, const QString &storageFolder, QByteArray *present)
{
    // The ordinary save: nobody touched the file since this store read or wrote it.
    const FileBytes::Stamp now = FileBytes::Stamp::of(path);
    if (known && !damaged && now == stamp) {
        *present = content;
        return true;
    }
    if (!readPresent(path, present))
        return false; // what cannot be read cannot be kept: leave the file alone
    // Touched, but with the same content (compared, not judged by the time stamp).
    if (known && !damaged && *present == content) {
        stamp = now;
        return true;
    }
    return keepUnlessEmpty(*present, storageFolder);
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

bool OverwriteGuard::keepPresent(
    const QString &path, const QString &storageFolder, QByteArray *present)
{
    QByteArray read;
    if (!present)
        present = &read;
    return readPresent(path, present) && keepUnlessEmpty(*present, storageFolder);
}
