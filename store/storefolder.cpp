#include "store/storefolder.h"

#include "store/dataprocessor.h"
#include "store/overwriteguard.h"

#include <QFileInfo>

StoreFolder StoreFolder::load(const QString &storageFolder)
{
    StoreFolder loaded;
    loaded.folder = QFileInfo(storageFolder).absoluteFilePath();
    loaded.dataFile = StoreSnapshot::dataFilePath(loaded.folder);
    // A guard that knows nothing reads the file whole, within the store's own size limit.
    FileBytes::Stamp stamp;
    if (OverwriteGuard().readFile(loaded.dataFile, &loaded.bytes, &stamp)) {
        loaded.records.readBytes(loaded.bytes);
        loaded.status = loaded.records.damaged() ? Status::Damaged : Status::Read;
    } else {
        loaded.bytes.clear();
        loaded.status = stamp.exists ? Status::Unreadable : Status::NoDataFile;
    }
    return loaded;
}

ChangeOutcome StoreFolder::change(const StoreRecords &after) const
{
    DataProcessor store;
    store.setStoragePath(folder);
    return store.change(DataChange::records(bytes, records, after));
}
