#include "host/rescuelist.h"

#include "store/storefiles.h"
#include "store/storeoutline.h"
#include "store/storesnapshot.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// A rescue copy is named after the moment it was kept; a name that does not say so
// falls back to the file's time.
QDateTime keptAt(const QFileInfo &copy)
{
    static const QRegularExpression stamp(QLatin1Char('^') + StoreFiles::copyPrefix
        + QStringLiteral("(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)"));
    const QRegularExpressionMatch match = stamp.match(copy.fileName());
    const QDateTime named = match.hasMatch()
        ? QDateTime::fromString(match.captured(1), StoreFiles::stampPattern)
        : QDateTime();
    return named.isValid() ? named : copy.lastModified();
}

} // namespace

QVector<RescueList::Copy> RescueList::copiesOf(const QString &storageFolder)
{
    QStringList paths = StoreSnapshot::rescueCopies(storageFolder);
    std::reverse(paths.begin(), paths.end());
    QVector<Copy> copies;
    // The copies are mostly versions of one store: each is outlined against the one
    // before, and so scanned only where they differ. Only a copy the outline gives up on
    // is read whole.
    StoreOutline previous;
    for (const QString &path : qAsConst(paths)) {
        Copy copy { path, keptAt(QFileInfo(path)) };
        QByteArray content;
        StoreOutline outline;
        if (!StoreSnapshot::fileBytes(path, &content)) {
            // Listed without numbers.
        } else if (outline.scan(content, previous)) {
            copy.batteries = outline.count(RecordKind::Batteries);
            copy.models = outline.count(RecordKind::Models);
            copy.flights = outline.flights();
            previous = outline;
        } else {
            StoreSnapshot store;
            store.readBytes(content);
            copy.batteries = store.batteries.size();
            copy.models = store.models.size();
            copy.flights = store.flights().size();
        }
        copies.append(copy);
    }
    return copies;
}
