#include "store/rescuecopies.h"

#include "store/filebytes.h"
#include "store/storefiles.h"
#include "store/synccopies.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cctype>

namespace {

struct Copy {
    QString path;
    qint64 modifiedNs;
};

// The index holds one copy a line; no copy is larger than the readers' limit, so neither is
// a list of twenty names.
constexpr qint64 largestIndex = 64 * 1024;
// The readers' own limit: no copy of a data file they read is larger.
constexpr qint64 largestCopy = qint64(512) * 1024 * 1024;
// The longest file name most file systems take, in bytes.
constexpr int longestName = 255;

QByteArray checksumOf(const QByteArray &content)
{
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex();
}

bool isChecksum(const QByteArray &text)
{
    return text.size() == 64
        && std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(c); });
}

// A plain name of a file in the folder: a damaged index must not point outside it.
bool isPlainName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
        && name != QLatin1String("..");
}

bool isCopyName(const QString &name)
{
    return name.startsWith(StoreFiles::copyPrefix) && name.endsWith(StoreFiles::copySuffix)
        && !name.contains(QLatin1Char('/'));
}

} // namespace

RescueCopies::RescueCopies(const QString &storageFolder)
    : dir(QDir(storageFolder).filePath(StoreFiles::rescueFolder))
    , index(StoreFiles::rescueIndex)
{
}

QString RescueCopies::elsewhereFolder(const QString &storageFolder)
{
    // The whole path names the folder, with "/" and "%" escaped, so that two storage
    // folders of the same name never share their copies.
    const QString path = QDir::cleanPath(QFileInfo(storageFolder).absoluteFilePath());
    QString name = path.mid(1);
    name.replace(QLatin1Char('%'), QLatin1String("%25"))
        .replace(QLatin1Char('/'), QLatin1String("%2F"));
    // Too long for a file name: the folder's own name, cut short, and a checksum of the
    // whole path, which still tells two folders apart.
    if (QFile::encodeName(name).size() > longestName) {
        const QString checksum = QString::fromLatin1(checksumOf(QFile::encodeName(path)));
        name = QFileInfo(path).fileName().replace(QLatin1Char('%'), QLatin1String("%25"));
        while (QFile::encodeName(name).size() > longestName - checksum.size() - 1)
            name.chop(name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
        name += QLatin1Char('-') + checksum;
    }
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QStringLiteral("Cellora/rescue-elsewhere/") + name);
}

RescueCopies RescueCopies::undone(const QString &storageFolder)
{
    RescueCopies copies(storageFolder);
    copies.index = StoreFiles::undoneIndex;
    return copies;
}

RescueCopies RescueCopies::elsewhere(const QString &storageFolder)
{
    RescueCopies copies(storageFolder);
    copies.dir.setPath(elsewhereFolder(storageFolder));
    return copies;
}

QStringList RescueCopies::copies(bool syncCopies) const
{
    QVector<Copy> found;
    QStringList names = dir.entryList({ StoreFiles::copyPattern }, QDir::Files | QDir::NoSymLinks);
    if (syncCopies) {
        for (const QString &name : dir.entryList(QDir::Files | QDir::NoSymLinks)) {
            if (SyncCopies::isDataFileCopy(name))
                names << name;
        }
    }
    for (const QString &name : names) {
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

// A line without the size and checksum of what the store wrote (a hand-made index, or one
// of an older version) names no copy of the store's: that file stays, as one of the user's.
// The name may hold blanks (another machine's copy moved here keeps its sync engine's name),
// so the size and the checksum are taken from the end.
RescueCopies::Entry RescueCopies::entryOf(const QByteArray &line, bool *sized)
{
    const int last = line.lastIndexOf(' ');
    const int before = last > 0 ? line.lastIndexOf(' ', last - 1) : -1;
    *sized = false;
    if (before <= 0)
        return {};
    return { QFile::decodeName(line.left(before)),
        line.mid(before + 1, last - before - 1).toLongLong(sized), line.mid(last + 1) };
}

QVector<RescueCopies::Entry> RescueCopies::listed(
    const FileBytes::Folder &folder, const QString &indexName) const
{
    QVector<Entry> entries;
    QByteArray listed;
    if (!folder.read(indexName, listed, largestIndex))
        return entries;
    QStringList names;
    for (const QByteArray &line : listed.split('\n')) {
        bool sized = false;
        const Entry entry = entryOf(line, &sized);
        if (!isPlainName(entry.name) || !sized || !isChecksum(entry.checksum)
            || names.contains(entry.name))
            continue;
        const FileBytes::Stamp file = folder.fileStamp(entry.name);
        if (!file.exists || file.size != entry.size)
            continue;
        names << entry.name;
        entries << entry;
    }
    return entries;
}

QVector<RescueCopies::Entry> RescueCopies::made(
    const FileBytes::Folder &folder, const QString &indexName) const
{
    // The copies of another machine's data file moved here are listed, but never rotated
    // away: they may hold the only record of what could not be merged.
    QVector<Entry> entries = listed(folder, indexName);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                      [](const Entry &entry) { return !isCopyName(entry.name); }),
        entries.end());
    return entries;
}

bool RescueCopies::list(const QString &name)
{
    FileBytes::Folder folder(dir.path(), true);
    QVector<Entry> entries = listed(folder);
    if (!folder.isOpen() || !isPlainName(name))
        return false;
    for (const Entry &entry : entries) {
        if (entry.name == name)
            return true;
    }
    QByteArray content;
    if (!folder.read(name, content, largestCopy))
        return false;
    return writeIndex(
        folder, entries << Entry { name, content.size(), checksumOf(content) }, dir.filePath(name));
}

bool RescueCopies::stillAsWritten(
    const FileBytes::Folder &folder, const Entry &entry, FileBytes::Stamp *stamp) const
{
    QByteArray content;
    return folder.read(entry.name, content, entry.size, stamp) && content.size() == entry.size
        && checksumOf(content) == entry.checksum;
}

bool RescueCopies::writeIndex(
    FileBytes::Folder &folder, const QVector<Entry> &entries, const QString &permissionsOf)
{
    QByteArray listed;
    for (const Entry &entry : entries)
        listed += QFile::encodeName(entry.name) + ' ' + QByteArray::number(entry.size) + ' '
            + entry.checksum + '\n';
    QFile file;
    if (!folder.openTemporary(file, permissionsOf) || !FileBytes::writeAll(&file, listed)) {
        folder.discardTemporary(file);
        return false;
    }
    return folder.commitReplacing(file, index);
}

bool RescueCopies::keep(const QByteArray &content, const QString &permissionsOf)
{
    const auto failed = [this] {
        lastError = FileBytes::lastError();
        return false;
    };
    FileBytes::Folder folder(dir.path(), true);
    if (!folder.isOpen())
        return failed();
    QVector<Entry> entries = listed(folder);
    const QByteArray checksum = checksumOf(content);
    // Among every copy the store made, of either kind.
    const QString otherIndex = index == StoreFiles::rescueIndex ? QString(StoreFiles::undoneIndex)
                                                                : QString(StoreFiles::rescueIndex);
    if (holds(folder, made(folder, index) + made(folder, otherIndex), content, checksum))
        return true;
    QFile file;
    if (!folder.openTemporary(file, permissionsOf) || !FileBytes::writeAll(&file, content)) {
        folder.discardTemporary(file);
        return failed();
    }
    const QString stem = StoreFiles::copyPrefix + StoreFiles::stamp(QDateTime::currentDateTime());
    const QString name = folder.commitUnderFreeName(file, stem, StoreFiles::copySuffix);
    if (name.isEmpty())
        return failed();
    // Should the index not be written, the copy stays unlisted: never deleted, and the
    // next save of the same content makes another one.
    writeIndex(folder, entries << Entry { name, content.size(), checksum }, permissionsOf);
    return true;
}

void RescueCopies::rotate(const FileBytes::Stamp &spared)
{
    FileBytes::Folder folder(dir.path(), false);
    if (!folder.isOpen())
        return;
    // An hour is far beyond the longest write of a copy.
    folder.removeStaleTemporaries(60 * 60);
    QVector<Entry> copies = made(folder, index);
    QVector<Entry> doomed;
    QVector<FileBytes::Stamp> doomedFiles;
    QStringList unlisted;
    // The newest copy is the last one listed; it always stays.
    for (int i = 0; i + 1 < copies.size() && copies.size() > kept;) {
        FileBytes::Stamp file;
        if (!stillAsWritten(folder, copies.at(i), &file)) {
            unlisted << copies.takeAt(i).name; // changed since: no longer the store's to delete
        } else if (spared.exists && file.isSameFile(spared)) {
            ++i;
        } else {
            unlisted << copies.at(i).name;
            doomed << copies.takeAt(i);
            doomedFiles << file;
        }
    }
    if (unlisted.isEmpty())
        return;
    // What else the index lists (another machine's copies moved here) stays listed.
    QVector<Entry> entries = listed(folder);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                      [&unlisted](const Entry &entry) { return unlisted.contains(entry.name); }),
        entries.end());
    // Out of the index first: a kill in between leaves a file that is never deleted.
    const QString permissionsOf
        = entries.isEmpty() ? QString() : dir.filePath(entries.constLast().name);
    if (!writeIndex(folder, entries, permissionsOf))
        return;
    for (int i = 0; i < doomed.size(); ++i)
        folder.remove(doomed.at(i).name, doomedFiles.at(i));
}

bool RescueCopies::holds(const FileBytes::Folder &folder, const QVector<Entry> &entries,
    const QByteArray &content, const QByteArray &checksum) const
{
    for (const Entry &entry : entries) {
        QByteArray copy;
        if (entry.size == content.size() && entry.checksum == checksum
            && folder.read(entry.name, copy, entry.size) && copy == content)
            return true;
    }
    return false;
}
