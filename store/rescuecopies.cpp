#include "store/rescuecopies.h"

#include "store/filebytes.h"
#include "store/storefiles.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>

namespace {

struct Copy {
    QString path;
    qint64 modifiedNs;
};

} // namespace

RescueCopies::RescueCopies(const QString &storageFolder)
    : dir(QDir(storageFolder).filePath(StoreFiles::rescueFolder))
{
}

QStringList RescueCopies::copies() const
{
    QVector<Copy> found;
    for (const QString &name : dir.entryList({ StoreFiles::copyPattern }, QDir::Files)) {
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
    const QString stem = StoreFiles::copyPrefix + StoreFiles::stamp(QDateTime::currentDateTime());
    QString name = stem + StoreFiles::copySuffix;
    for (int suffix = 1; dir.exists(name); ++suffix)
        name = stem + QStringLiteral("_%1").arg(suffix) + StoreFiles::copySuffix;
    return dir.filePath(name);
}

void RescueCopies::removeOldest()
{
    const QStringList all = copies();
    for (int i = 0; i < all.size() - kept; ++i)
        QFile::remove(all.at(i));
}
