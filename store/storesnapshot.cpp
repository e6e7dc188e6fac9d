#include "store/storesnapshot.h"

#include "store/dataprocessor.h"
#include "store/overwriteguard.h"
#include "store/recordreader.h"
#include "store/recordwriter.h"
#include "store/rescuecopies.h"
#include "store/storefiles.h"

#include <QDir>

#include <algorithm>

QString StoreSnapshot::dataFilePath(const QString &storageFolder)
{
    return QDir(storageFolder).absoluteFilePath(StoreFiles::dataFile);
}

QString StoreSnapshot::rescueFolder(const QString &storageFolder)
{
    return RescueCopies(storageFolder).folder();
}

QString StoreSnapshot::rescueElsewhereFolder(const QString &storageFolder)
{
    return RescueCopies::elsewhereFolder(storageFolder);
}

QStringList StoreSnapshot::rescueCopies(const QString &storageFolder)
{
    const QStringList beside = RescueCopies(storageFolder).copies(true);
    const QStringList elsewhere = RescueCopies::elsewhere(storageFolder).copies();
    if (elsewhere.isEmpty())
        return beside;
    // Each list is in order already; the two are merged by the moment each copy was written.
    QStringList all = beside + elsewhere;
    std::stable_sort(all.begin(), all.end(), [](const QString &a, const QString &b) {
        return FileBytes::Stamp::of(a).modifiedNs < FileBytes::Stamp::of(b).modifiedNs;
    });
    return all;
}

bool StoreSnapshot::readFile(const QString &fileName)
{
    QByteArray content;
    if (!fileBytes(fileName, &content))
        return false;
    readBytes(content);
    return true;
}

bool StoreSnapshot::fileBytes(const QString &fileName, QByteArray *content)
{
    // A guard that knows nothing reads the file whole, within the store's own size limit.
    FileBytes::Stamp stamp;
    return OverwriteGuard().readFile(fileName, content, &stamp);
}

void StoreSnapshot::readBytes(const QByteArray &content)
{
    StoreReading reading = RecordReader::read(content);
    readDamaged = reading.anyDamaged();
    StoreRecords::operator=(std::move(reading.records));
    pairFlights();
}

QByteArray StoreSnapshot::toBytes() const
{
    return RecordWriter::wholeDocument(*this);
}

void StoreSnapshot::pairFlights()
{
    CyclePairing pairing;
    for (int b = 0; b < batteries.size(); ++b) {
        const QVector<Cycle> &cycles = batteries.at(b).cycleData;
        for (int c = 0; c < cycles.size(); ++c)
            pairing.addCycle(b, c, cycles.at(c).date);
    }
    flightList.clear();
    for (int m = 0; m < models.size(); ++m) {
        const QVector<LogData> &log = models.at(m).flightLog;
        for (int e = 0; e < log.size(); ++e)
            flightList.append({ m, e, pairing.find(log.at(e).date) });
    }
}

const StoreSnapshot::Battery *StoreSnapshot::batteryOf(const Flight &flight) const
{
    return flight.cycle.isValid() ? &batteries.at(flight.cycle.battery) : nullptr;
}

const StoreSnapshot::Cycle *StoreSnapshot::cycleOf(const Flight &flight) const
{
    return flight.cycle.isValid()
        ? &batteries.at(flight.cycle.battery).cycleData.at(flight.cycle.cycle)
        : nullptr;
}
