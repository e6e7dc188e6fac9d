#ifndef RESCUECOPIES_H
#define RESCUECOPIES_H

#include "cellora_global.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

// Copies of the data file that the store keeps before it overwrites content it did not
// read or write itself: in the subfolder "rescue" of the storage folder, named like
// backups (see storefiles.h), so that the ordinary Import brings one
// back. The newest copies are kept, and never two with the same content.
class RescueCopies {
public:
    static constexpr int kept = 20;

    explicit RescueCopies(const QString &storageFolder);

    QString folder() const { return dir.path(); }
    // Every copy, oldest first.
    QStringList copies() const;
    // Keeps `content` as the newest copy unless a copy already holds it; false when it
    // could not be written.
    bool keep(const QByteArray &content);

private:
    bool holds(const QByteArray &content) const;
    QString newName() const;
    void removeOldest();

    QDir dir;
};

#endif // RESCUECOPIES_H
