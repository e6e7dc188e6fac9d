#ifndef RESCUECOPIES_H
#define RESCUECOPIES_H

#include "cellora_global.h"
#include "store/filebytes.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QVector>

// Copies of the data file that the store keeps before it overwrites content it did not
// read or write itself: in the subfolder "rescue" of the storage folder, named like
// backups (see storefiles.h), so that the ordinary Import brings one back. The store lists
// the copies it made, in the order it made them, with the size and checksum of what it
// wrote, in an index in that folder: only copies that still hold what the store wrote
// count when it looks for a copy of the same content, and only those are ever deleted, so
// a file the user put there stays, whatever the index says. The newest `kept` copies are
// kept. Nothing in the folder is reached through a link, and no file there is replaced.
class RescueCopies {
public:
    static constexpr int kept = 20;

    explicit RescueCopies(const QString &storageFolder);

    // Where the previous bytes go when the storage folder refuses new files (a folder of
    // another user) but the data file may be written in place: the user's application data
    // folder, in a folder named after the storage folder.
    static RescueCopies elsewhere(const QString &storageFolder);
    static QString elsewhereFolder(const QString &storageFolder);
    // The versions of the file that an undo took back and a new change dropped: in the
    // same folder and name form, so that a restore lists them, but in an index and a count
    // of their own, so that they never push out a copy of content no version holds.
    static RescueCopies undone(const QString &storageFolder);

    QString folder() const { return dir.path(); }
    // Every copy in the folder, the user's files of the same name form too, oldest first;
    // links and anything but regular files are left out. With `syncCopies`, also the copies
    // of the data file that sync engines made and that were moved here.
    QStringList copies(bool syncCopies = false) const;
    // Keeps `content` as the newest copy unless a copy made by the store already holds it,
    // with the permission bits of the file at `permissionsOf`; false when it could not be
    // written (failure() says why). Deletes nothing: see rotate().
    bool keep(const QByteArray &content, const QString &permissionsOf = QString());
    // Deletes the oldest copies the store made beyond `kept`, never the newest one, never
    // `spared` (the file being imported), never a file that no longer holds what the store
    // wrote (it is taken off the index instead). Also deletes the temporary files that
    // writes cut short by a kill left in the folder, once they are an hour old.
    void rotate(const FileBytes::Stamp &spared = FileBytes::Stamp());
    // The system's error number of the last keep() that failed.
    int failure() const { return lastError; }
    // Lists the file `name` of the folder in the index, after the others, as it is now; it
    // is never rotated away. False when it is no regular file or the index could not be
    // written.
    bool list(const QString &name);

private:
    struct Entry {
        QString name;
        qint64 size = 0;
        QByteArray checksum;
    };
    // A line of the index: "name size checksum".
    static Entry entryOf(const QByteArray &line, bool *sized);
    // Every file the index lists that still has the size listed; of those, made() gives the
    // copies the store made itself, the only ones it ever deletes.
    QVector<Entry> listed(const FileBytes::Folder &folder, const QString &indexName) const;
    QVector<Entry> listed(const FileBytes::Folder &folder) const { return listed(folder, index); }
    QVector<Entry> made(const FileBytes::Folder &folder, const QString &indexName) const;
    bool stillAsWritten(
        const FileBytes::Folder &folder, const Entry &entry, FileBytes::Stamp *stamp) const;
    bool writeIndex(
        FileBytes::Folder &folder, const QVector<Entry> &entries, const QString &permissionsOf);
    bool holds(const FileBytes::Folder &folder, const QVector<Entry> &entries,
        const QByteArray &content, const QByteArray &checksum) const;

    QDir dir;
    QString index;
    int lastError = 0;
};

#endif // RESCUECOPIES_H
