#include "store/storesnapshot.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/dataprocessor.h"
#include "store/overwriteguard.h"
#include "store/recordwriter.h"
#include "store/rescuecopies.h"
#include "store/storefiles.h"

#include <QBuffer>
#include <QDir>

#include <limits>

namespace {

// The widgets the store's readers make live only for one conversion.
template <typename Record> struct Records {
    QVector<Record *> list;
    ~Records() { qDeleteAll(list); }
};

} // namespace

CyclePairing::CyclePairing(const QVector<BatteryWidget *> &batteries)
{
    for (int b = 0; b < batteries.size(); ++b) {
        const QVector<QDateTime> &dates = batteries.at(b)->cycleDates();
        for (int c = 0; c < dates.size(); ++c)
            addCycle(b, c, dates.at(c));
    }
}

CyclePairing::Moment CyclePairing::momentOf(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return { std::numeric_limits<qint64>::min(), -1 }; // every undated entry alike
    const QDateTime local
        = dateTime.timeSpec() == Qt::LocalTime ? dateTime : dateTime.toLocalTime();
    return { local.date().toJulianDay(), local.time().msecsSinceStartOfDay() };
}

void CyclePairing::addCycle(int battery, int cycle, const QDateTime &moment)
{
    CycleRef &found = byMoment[momentOf(moment)];
    if (found.battery < battery)
        found = { battery, cycle };
}

CycleRef CyclePairing::find(const QDateTime &moment) const
{
    return byMoment.value(momentOf(moment));
}

QString StoreSnapshot::dataFilePath(const QString &storageFolder)
{
    return QDir(storageFolder).absoluteFilePath(StoreFiles::dataFile);
}

bool StoreSnapshot::importContent(const QString &storageFolder, const QByteArray &content)
{
    QByteArray bytes = content;
    QBuffer source(&bytes);
    DataProcessor store;
    store.setStoragePath(storageFolder);
    return !bytes.isEmpty() && source.open(QIODevice::ReadOnly) && store.importData(&source);
}

QString StoreSnapshot::rescueFolder(const QString &storageFolder)
{
    return RescueCopies(storageFolder).folder();
}

QStringList StoreSnapshot::rescueCopies(const QString &storageFolder)
{
    return RescueCopies(storageFolder).copies(true);
}

bool StoreSnapshot::readFile(const QString &fileName)
{
    // A guard that knows nothing reads the file whole, within the store's own size limit.
    QByteArray content;
    FileBytes::Stamp stamp;
    if (!OverwriteGuard().readFile(fileName, &content, &stamp))
        return false;
    readBytes(content);
    return true;
}

void StoreSnapshot::readBytes(const QByteArray &content)
{
    Records<ModelWidget> models;
    Records<BatteryWidget> batteries;
    QStringList read;
    readDamaged = !DataProcessor().readDocument(content, read, models.list, batteries.list);
    StoreRecords::operator=(StoreValues::of(batteries.list, models.list, read).toRecords());
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
