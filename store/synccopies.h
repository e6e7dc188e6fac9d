#ifndef SYNCCOPIES_H
#define SYNCCOPIES_H

#include "cellora_global.h"

#include <QString>
#include <QVector>

// The copies a sync engine makes of a file that two machines changed before either saw the
// other's change: Syncthing's "cellora.sync-conflict-20261207-022957-VUU4AIH.xml",
// Nextcloud's and Dropbox's "cellora (conflicted copy 2026-12-07).xml", Dropbox's
// "cellora (Case Conflict).xml". The store finds them for its data file, its lock, the index
// of its rescue copies and the rescue copies themselves, and puts each where its bytes stay
// and count.
namespace SyncCopies {

enum class Of { DataFile, Lock, RescueIndex, RescueCopy };

struct Copy {
    QString path;
    Of of = Of::DataFile;
};

// Every such copy in the storage folder and in its rescue folder, each folder's by name.
CELLORA_PRIVATE_EXPORT QVector<Copy> find(const QString &storageFolder);

// Whether `fileName` names a sync engine's copy of the data file, where it was made or
// kept among the rescue copies.
CELLORA_PRIVATE_EXPORT bool isDataFileCopy(const QString &fileName);

// Moves a copy of the data file among the rescue copies under its own name and lists it in
// their index: its bytes stay, and the move reaches the other machine too. Never deleted
// by the rotation of the copies. False when it could not be moved.
CELLORA_PRIVATE_EXPORT bool keepAmongRescueCopies(
    const QString &storageFolder, const QString &copy);

// A copy of the rescue index: the copies it lists join the index, then it goes.
CELLORA_PRIVATE_EXPORT bool mergeIndexCopy(const QString &storageFolder, const QString &copy);

// A copy of a rescue copy (two machines kept one in the same second): it becomes a rescue
// copy of the usual name form, listed in the index, unless a copy holds its bytes already.
CELLORA_PRIVATE_EXPORT bool adoptRescueCopy(const QString &storageFolder, const QString &copy);

} // namespace SyncCopies

#endif // SYNCCOPIES_H
