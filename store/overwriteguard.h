#ifndef OVERWRITEGUARD_H
#define OVERWRITEGUARD_H

#include "store/filebytes.h"
#include "store/storeproblem.h"

#include <QByteArray>
#include <QString>

// What a store last read from or wrote to its data file, to notice before a save that
// something else changed the file since, and to keep that as a rescue copy first.
class OverwriteGuard {
public:
    using Problem = StoreProblem;

    // A new storage folder: nothing is known about its file.
    void forget() { *this = OverwriteGuard(); }
    // False when the content is not what the store last read or wrote, or it is damaged:
    // whatever was kept from the earlier content no longer holds.
    bool noteRead(const QByteArray &content, const FileBytes::Stamp &stamp, bool damaged);
    void noteWritten(const QString &path, const QByteArray &content);

    // Before the data file at `path` is overwritten: keeps its present content as a
    // rescue copy unless it is what the store last read or wrote, from a read that ended
    // cleanly. `present` receives what the file holds. False when a copy was needed and
    // could not be kept, or the file cannot be read: then it must not be overwritten, and
    // `problem` says which.
    bool protect(
        const QString &path, const QString &storageFolder, QByteArray *present, Problem *problem);
    // Where a write in place would cut the file short: keeps `present` first, in the
    // storage folder's rescue copies or, where that folder refuses new files, elsewhere.
    bool keepBeforeInPlace(const QString &path, const QString &storageFolder,
        const QByteArray &present, Problem *problem);
    // Keeps `content` as a rescue copy in the storage folder's rescue folder or, when that
    // cannot take it, in the one elsewhere (see RescueCopies::elsewhere), with the
    // permission bits of the file at `permissionsOf`. False when neither could: then
    // copyError() holds the system's reason.
    bool keepCopy(
        const QString &storageFolder, const QByteArray &content, const QString &permissionsOf);
    int copyError() const { return lastCopyError; }
    // After a save or an import reached the file: the copies made on the way are rotated,
    // never `spared`.
    void rotateCopies(
        const QString &storageFolder, const FileBytes::Stamp &spared = FileBytes::Stamp());
    // The bytes of the file at `path` with their stamp: from memory while the file is still
    // what the store last read or wrote, otherwise read whole. False when it cannot be read.
    bool readFile(const QString &path, QByteArray *bytes, FileBytes::Stamp *stamp) const;

    // Whether the last read of the file broke off before its end (or found no store in it):
    // the records shown are only those before the fault.
    bool readBrokeOff() const { return known && brokeOff; }

    // Whether the bytes last read still need the check that the writer makes them again
    // from the records read: bytes this store wrote need none, nor a damaged or empty file.
    bool needsReproduction() const
    {
        return known && !damaged && !reproduced && !content.isEmpty();
    }
    const QByteArray &lastContent() const { return content; }
    // The check's result: bytes the writer would not make again count as damaged.
    void noteReproduction(bool same);

    // What the file at `path` holds now, empty when there is none; false when it is there
    // but cannot be read whole.
    static bool readPresent(const QString &path, QByteArray *present);

private:
    int lastCopyError = 0;
    bool brokeOff = false;
    bool copiesMade = false;
    bool known = false;
    bool damaged = false;
    bool reproduced = false;
    FileBytes::Stamp stamp;
    QByteArray content;
};

#endif // OVERWRITEGUARD_H
