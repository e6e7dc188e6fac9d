#ifndef STORESNAPSHOT_H
#define STORESNAPSHOT_H

#include "cellora_global.h"
#include "store/storerecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class BatteryWidget;

// Where a flight's battery is found: the battery's place in the store and the entry of
// its cycle data. Both are -1 when no battery was flown at that moment.
struct CycleRef {
    int battery = -1;
    int cycle = -1;
    bool isValid() const { return battery >= 0; }
};

// The one rule that pairs a flight with the battery flown: the cycle data entry of the
// same date-time, an undated flight with an undated entry. When several batteries hold
// that moment the later battery in the store wins; within one battery its first entry of
// that moment does. Built once, then each flight is found without a scan.
class CELLORA_PRIVATE_EXPORT CyclePairing {
public:
    CyclePairing() = default;
    explicit CyclePairing(const QVector<BatteryWidget *> &batteries);

    // Entries are added in the store's order: battery by battery, each in its own order.
    void addCycle(int battery, int cycle, const QDateTime &moment);
    CycleRef find(const QDateTime &moment) const;

private:
    // A moment as its local date and time of day: read dates are local, and comparing them
    // so needs no time-zone conversion, which would cost more than the rest of the pairing.
    using Moment = QPair<qint64, int>;
    static Moment momentOf(const QDateTime &dateTime);

    QHash<Moment, CycleRef> byMoment;
};

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
    // The data file's bytes of the present records; empty when the writer failed.
    QByteArray toBytes() const;

    // Where the store in `storageFolder` keeps its data file and its rescue copies, and
    // those copies, oldest first, with the sync engines' copies of the data file kept there.
    static QString dataFilePath(const QString &storageFolder);
    // Makes `content` the data file of `storageFolder` as an import does: the store it
    // replaces is kept as a rescue copy first. False when nothing was written.
    static bool importContent(const QString &storageFolder, const QByteArray &content);
    static QString rescueFolder(const QString &storageFolder);
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
