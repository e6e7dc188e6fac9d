#ifndef STOREFOLDER_H
#define STOREFOLDER_H

#include "cellora_global.h"
#include "store/datachange.h"
#include "store/storesnapshot.h"

#include <QByteArray>
#include <QString>

// A storage folder's data file as the desktop program reads it, the one way all its parts
// do: whether there is one and it was read whole, its bytes (within the store's own size
// limit) and its records. A change of those records goes back through the store's change
// operation with the bytes it was made from.
class CELLORA_PRIVATE_EXPORT StoreFolder {
public:
    enum class Status {
        Read, // read to its end
        NoDataFile,
        Unreadable, // there, but it cannot be read whole (too large, no permission, no file)
        Damaged, // the readers broke off: the records hold what came before the fault
    };

    static StoreFolder load(const QString &storageFolder);

    bool isWhole() const { return status == Status::Read; }

    // Writes `after`, made from these records, as a program without a window of the
    // folder does: the present data file is kept as a rescue copy first.
    ChangeOutcome change(const StoreRecords &after) const;

    QString folder; // absolute
    QString dataFile;
    Status status = Status::NoDataFile;
    QByteArray bytes;
    StoreSnapshot records;
};

#endif // STOREFOLDER_H
