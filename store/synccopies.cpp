#include "store/synccopies.h"

#include "store/filebytes.h"
#include "store/rescuecopies.h"
#include "store/storefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The index and the rescue copies are small; no data file comes near the readers' limit.
constexpr qint64 largestCopy = qint64(512) * 1024 * 1024;

// The name of the file a sync engine's copy was made of; empty when `fileName` is none.
QString originalOf(const QString &fileName)
{
    // Syncthing: <stem>.sync-conflict-<date>-<time>-<device><extension>
    static const QRegularExpression syncthing(
        QStringLiteral("^(.+)\\.sync-conflict-\\d{8}-\\d{6}(?:-[A-Z0-9]+)?(\\.[^.]+)?$"));
    // Nextcloud, ownCloud's client and Dropbox: <stem> (<...conflicted copy...>)<extension>,
    // Dropbox also <stem> (Case Conflict[ n])<extension>
    static const QRegularExpression bracketed(
        QStringLiteral(
            "^(.+) \\((?:[^()]*conflicted copy[^()]*|case conflict[^()]*)\\)(\\.[^.]+)?$"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpression *form : { &syncthing, &bracketed }) {
        const QRegularExpressionMatch match = form->match(fileName);
        if (match.hasMatch())
            return match.captured(1) + match.captured(2);
    }
    return QString();
}

bool isRescueCopyName(const QString &name)
{
    static const QRegularExpression copy(QLatin1Char('^') + StoreFiles::copyPrefix
        + QStringLiteral("\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(?:_\\d+)?")
        + QRegularExpression::escape(StoreFiles::copySuffix) + QLatin1Char('$'));
    return copy.match(name).hasMatch();
}

bool sameContent(const QString &a, const QString &b)
{
    QByteArray first;
    QByteArray second;
    return QFileInfo(a).size() == QFileInfo(b).size() && FileBytes::readWhole(a, first, largestCopy)
        && FileBytes::readWhole(b, second, largestCopy) && first == second;
}

// Renames `copy` to `target` in the rescue folder and lists it; a file of that name with the
// same bytes makes the copy superfluous.
bool moveInto(RescueCopies &copies, const QString &copy, const QString &target)
{
    if (QFileInfo::exists(target)) {
        if (!sameContent(copy, target))
            return false;
        QFile::remove(copy);
    } else if (!QFile::rename(copy, target))
        return false;
    FileBytes::syncFolder(copies.folder());
    return copies.list(QFileInfo(target).fileName());
}

} // namespace

bool SyncCopies::isDataFileCopy(const QString &fileName)
{
    return originalOf(fileName) == StoreFiles::dataFile;
}

QVector<SyncCopies::Copy> SyncCopies::find(const QString &storageFolder)
{
    QVector<Copy> found;
    const QDir folder(storageFolder);
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString original = originalOf(name);
        if (original == StoreFiles::dataFile)
            found.append({ folder.filePath(name), Of::DataFile });
        else if (original == StoreFiles::lockFile)
            found.append({ folder.filePath(name), Of::Lock });
    }
    const QDir rescue(RescueCopies(storageFolder).folder());
    for (const QString &name : rescue.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString original = originalOf(name);
        if (original == StoreFiles::rescueIndex)
            found.append({ rescue.filePath(name), Of::RescueIndex });
        else if (isRescueCopyName(original))
            found.append({ rescue.filePath(name), Of::RescueCopy });
    }
    return found;
}

bool SyncCopies::keepAmongRescueCopies(const QString &storageFolder, const QString &copy)
{
    RescueCopies copies(storageFolder);
    const QDir rescue(copies.folder());
    if (!rescue.mkpath(QStringLiteral(".")))
        return false;
    // The same name on every machine: two machines moving the same copy agree.
    const QFileInfo info(copy);
    QString target = rescue.filePath(info.fileName());
    for (int n = 1; QFileInfo::exists(target) && !sameContent(copy, target); ++n)
        target = rescue.filePath(
            info.completeBaseName() + QStringLiteral("_%1.").arg(n) + info.suffix());
    return moveInto(copies, copy, target);
}

bool SyncCopies::mergeIndexCopy(const QString &storageFolder, const QString &copy)
{
    QByteArray index;
    if (!FileBytes::readWhole(copy, index, largestCopy))
        return false;
    RescueCopies copies(storageFolder);
    const QDir rescue(copies.folder());
    for (const QByteArray &line : index.split('\n')) {
        // "name size checksum" as the store writes each line; the name alone as older ones did.
        const int last = line.lastIndexOf(' ');
        const int before = last > 0 ? line.lastIndexOf(' ', last - 1) : -1;
        const QString name = QFile::decodeName(before > 0 ? line.left(before) : line);
        if (!name.isEmpty() && !name.contains(QLatin1Char('/')) && rescue.exists(name)
            && !copies.list(name))
            return false;
    }
    return QFile::remove(copy);
}

bool SyncCopies::adoptRescueCopy(const QString &storageFolder, const QString &copy)
{
    RescueCopies copies(storageFolder);
    const QDir rescue(copies.folder());
    const QString original = originalOf(QFileInfo(copy).fileName());
    const QString stem = original.left(original.size() - StoreFiles::copySuffix.size());
    QString target = rescue.filePath(original);
    for (int n = 1; QFileInfo::exists(target) && !sameContent(copy, target); ++n)
        target = rescue.filePath(stem + QStringLiteral("_%1").arg(n) + StoreFiles::copySuffix);
    return moveInto(copies, copy, target);
}
