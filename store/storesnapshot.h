#ifndef STORESNAPSHOT_H
#define STORESNAPSHOT_H

#include "cellora_global.h"
#include "store/recordrules.h"
#include "store/storerecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// Every record of one data file as plain values, read with the store's own readers and
// written back with its own writer: what the exports, reports, importers and editors of
// the desktop program work on. Unchanged content is written back byte for byte as the
// store writes it.
class CELLORA_PRIVATE_EXPORT StoreSnapshot : public StoreRecords {
public:
    using Cycle = CycleRecord;
    using Battery = BatteryRecord;
    using Model = ModelRecord;
    // One flight-log entry with its model, its place in that model's log and the cycle
    // data entry it pairs with.
    struct Flight {
        int model = -1;
        int entry = -1;
        CycleRef cycle;
    };

    // False when the file cannot be read at all; a read that broke off keeps what came
    // before the fault and sets damaged().
    bool readFile(const QString &fileName);
    // The same from the bytes of a data file in memory.
    void readBytes(const QByteArray &content);
    // The bytes of the data file `fileName`, read whole within the store's size limit;
    // false when it cannot be.
    static bool fileBytes(const QString &fileName, QByteArray *content);
    // The data file's bytes of the present records; empty when the writer failed.
    QByteArray toBytes() const;

    // Where the store in `storageFolder` keeps its data file and its rescue copies, and
    // those copies, oldest first, with the sync engines' copies of the data file kept there.
    static QString dataFilePath(const QString &storageFolder);
    static QString rescueFolder(const QString &storageFolder);
    // Where the copies go that the storage folder cannot take (see RescueCopies::elsewhere).
    static QString rescueElsewhereFolder(const QString &storageFolder);
    // The copies of both folders, oldest first.
    static QStringList rescueCopies(const QString &storageFolder);

    // True when the last read ended on a fault or found no store in the content: a save
    // of these records would lose what came after it.
    bool damaged() const { return readDamaged; }

    // Every flight of every model, in the store's order, paired with its battery. Made
    // when the snapshot is read; after a change of records call pairFlights() again.
    const QVector<Flight> &flights() const { return flightList; }
    void pairFlights();
    const LogData &logEntry(const Flight &flight) const
    {
        return models.at(flight.model).flightLog.at(flight.entry);
    }
    // The battery and the cycle entry of a flight; null when it has none.
    const Battery *batteryOf(const Flight &flight) const;
    const Cycle *cycleOf(const Flight &flight) const;

private:
    QVector<Flight> flightList;
    bool readDamaged = false;
};

#endif // STORESNAPSHOT_H
