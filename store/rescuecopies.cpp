#include "store/rescuecopies.h"

#include "store/filebytes.h"
#include "store/storefiles.h"
#include "store/synccopies.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

struct Copy {
    QString path;
    qint64 modifiedNs;
};

// The index holds one file name a line; no copy is larger than the readers' limit, so
// neither is a list of twenty names.
constexpr qint64 largestIndex = 64 * 1024;

bool isFile(const QString &path, const FileBytes::Stamp &file)
{
    return file.exists && FileBytes::Stamp::of(path).isSameFile(file);
}

} // namespace

RescueCopies::RescueCopies(const QString &storageFolder)
    : dir(QDir(storageFolder).filePath(StoreFiles::rescueFolder))
{
}

QString RescueCopies::elsewhereFolder(const QString &storageFolder)
{
    // The whole path names the folder, with "/" and "%" escaped, so that two storage
    // folders of the same name never share their copies.
    QString name = QDir::cleanPath(QFileInfo(storageFolder).absoluteFilePath()).mid(1);
    name.replace(QLatin1Char('%'), QLatin1String("%25"))
        .replace(QLatin1Char('/'), QLatin1String("%2F"));
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QStringLiteral("Cellora/rescue-elsewhere/") + name);
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
    QStringList names = dir.entryList({ StoreFiles::copyPattern }, QDir::Files);
    if (syncCopies) {
        for (const QString &name : dir.entryList(QDir::Files)) {
            if (SyncCopies::isDataFileCopy(name))
                names << name;
        }
    }
    for (const QString &name : qAsConst(names)) {
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

QStringList RescueCopies::listed() const
{
    QByteArray index;
    if (!FileBytes::readWhole(dir.filePath(StoreFiles::rescueIndex), index, largestIndex))
        return QStringList();
    QStringList names;
    for (const QByteArray &line : index.split('\n')) {
        const QString name = QFile::decodeName(line);
        // Only plain names of files: a damaged index must not point outside the folder.
        if (!name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String("..")
            && dir.exists(name) && !names.contains(name))
            names << name;
    }
    return names;
}

QStringList RescueCopies::made() const
{
    // The copies of another machine's data file moved here are listed, but never rotated
    // away: they may hold the only record of what could not be merged.
    QStringList names = listed();
    for (auto name = names.begin(); name != names.end();)
        name = name->startsWith(StoreFiles::copyPrefix) ? std::next(name) : names.erase(name);
    return names;
}

bool RescueCopies::list(const QString &name)
{
    QStringList names = listed();
    if (names.contains(name))
        return true;
    return writeIndex(names << name, dir.filePath(name));
}

bool RescueCopies::writeIndex(const QStringList &names, const QString &permissionsOf) const
{
    QByteArray index;
    for (const QString &name : names)
        index += QFile::encodeName(name) + '\n';
    return FileBytes::replaceFile(
        dir.filePath(StoreFiles::rescueIndex), index, QByteArray(), { {}, permissionsOf });
}

bool RescueCopies::keep(const QByteArray &content, const QString &permissionsOf)
{
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    if (holds(content))
        return true;
    const QString path = newName();
    if (!FileBytes::replaceFile(path, content, QByteArray(), { {}, permissionsOf }))
        return false;
    // Should the index not be written, the copy stays unlisted: never deleted, and the
    // next save of the same content makes another one.
    writeIndex(listed() << QFileInfo(path).fileName(), permissionsOf);
    return true;
}

void RescueCopies::rotate(const FileBytes::Stamp &spared)
{
    const QStringList copies = made();
    QStringList doomed;
    // The newest copy is the last one listed; it always stays.
    for (int i = 0; i < copies.size() - 1 && copies.size() - doomed.size() > kept; ++i) {
        if (!isFile(dir.filePath(copies.at(i)), spared))
            doomed << copies.at(i);
    }
    if (doomed.isEmpty())
        return;
    QStringList names = listed();
    for (const QString &name : doomed)
        names.removeOne(name);
    // Out of the index first: a kill in between leaves a file that is never deleted.
    if (!writeIndex(names, dir.filePath(names.constLast())))
        return;
    for (const QString &name : doomed)
        QFile::remove(dir.filePath(name));
}

bool RescueCopies::holds(const QByteArray &content) const
{
    for (const QString &name : made()) {
        const QString path = dir.filePath(name);
        QByteArray copy;
        if (QFileInfo(path).size() == content.size()
            && FileBytes::readWhole(path, copy, content.size()) && copy == content)
            return true;
    }
    return false;
}

QString RescueCopies::newName() const
{
    const QString stem = StoreFiles::copyPrefix + StoreFiles::stamp(QDateTime::currentDateTime());
    QString name = stem + StoreFiles::copySuffix;
    for (int suffix = 1; dir.exists(name); ++suffix)
        name = stem + QStringLiteral("_%1").arg(suffix) + StoreFiles::copySuffix;
    return dir.filePath(name);
}
