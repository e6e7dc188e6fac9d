#ifndef RESCUECOPIES_H
#define RESCUECOPIES_H

#include "cellora_global.h"
#include "store/filebytes.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

// Copies of the data file that the store keeps before it overwrites content it did not
// read or write itself: in the subfolder "rescue" of the storage folder, named like
// backups (see storefiles.h), so that the ordinary Import brings one back. The store lists
// the copies it made, in the order it made them, in an index in that folder: only those
// count when it looks for a copy of the same content, and only those are ever deleted, so a
// file the user put there stays. The newest `kept` copies are kept.
class RescueCopies {
public:
    static constexpr int kept = 20;

    explicit RescueCopies(const QString &storageFolder);

    // Where the previous bytes go when the storage folder refuses new files (a folder of
    // another user) but the data file may be written in place: the user's application data
    // folder, in a folder named after the storage folder.
    static RescueCopies elsewhere(const QString &storageFolder);
    static QString elsewhereFolder(const QString &storageFolder);

    QString folder() const { return dir.path(); }
    // Every copy in the folder, the user's files of the same name form too, oldest first;
    // with `syncCopies`, also the copies of the data file that sync engines made and that
    // were moved here.
    QStringList copies(bool syncCopies = false) const;
    // Keeps `content` as the newest copy unless a copy made by the store already holds it,
    // with the permission bits of the file at `permissionsOf`; false when it could not be
    // written. Deletes nothing: see rotate().
    bool keep(const QByteArray &content, const QString &permissionsOf = QString());
    // Deletes the oldest copies the store made beyond `kept`, never the newest one, never
    // `spared` (the file being imported), never a file the store did not make.
    void rotate(const FileBytes::Stamp &spared = FileBytes::Stamp());
    // Lists the file `name` of the folder in the index, after the others; false when the
    // index could not be written.
    bool list(const QString &name);

private:
    // Every file of the folder the index lists, and of those the copies the store made.
    QStringList listed() const;
    QStringList made() const;
    bool writeIndex(const QStringList &names, const QString &permissionsOf) const;
    bool holds(const QByteArray &content) const;
    QString newName() const;

    QDir dir;
};

#endif // RESCUECOPIES_H
