#ifndef RESCUELIST_H
#define RESCUELIST_H

#include <QDateTime>
#include <QString>
#include <QVector>

// What File > Restore from Rescue Copy lists of the rescue copies of a storage folder.
namespace RescueList {

struct Copy {
    QString path;
    QDateTime keptAt;
    // What the store's readers would read of it; none of a copy that cannot be read.
    int batteries = 0;
    int models = 0;
    int flights = 0;
};

// The copies in the storage folder's rescue folder, newest first.
QVector<Copy> copiesOf(const QString &storageFolder);

} // namespace RescueList

#endif // RESCUELIST_H
