#include "store/dataprocessor.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/dataprocessor_p.h"
#include "store/filebytes.h"
#include "store/recordfields.h"
#include "store/recordreader.h"
#include "store/rescuecopies.h"
#include "store/storefiles.h"
#include "store/textforms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A battery's card as its reader would have filled it: the setters of the fields the file
// gave, in the reader's order, then the cycle entries. Labels are formatted once, at the end.
BatteryWidget *batteryWidgetOf(const BatteryRecord &record, const BatteryReading &read)
{
    using namespace RecordFields;
    auto *battery = new BatteryWidget;
    battery->holdCardLabels();
    if (read.hasField(Name))
        battery->setBatteryName(record.name);
    if (read.hasField(Capacity))
        battery->setBatteryCapacity(record.capacity);
    if (read.hasField(ChargeRate))
        battery->setBatteryChargeRate(record.chargeRate);
    if (read.hasField(Rating))
        battery->setBatteryRating(record.rating);
    battery->setPurchaseDate(record.purchase);
    if (read.hasField(Cycles))
        battery->setBatteryCycles(record.cycles);
    if (read.hasField(Charged))
        battery->setBatteryCharged(record.charged, false);
    // The record holds the moment the Charged child was read when no LastUse followed it.
    if (read.hasField(Charged) || read.hasField(LastUse))
        battery->setLastUpdated(record.lastUse);
    for (const CycleRecord &cycle : record.cycleData) {
        battery->addCycleData(cycle.date, cycle.discharged, cycle.current, false);
        battery->setCycleFigures(
            battery->cycleDates().size() - 1, cycle.minVoltage, cycle.resistance);
    }
    if (read.cyclesBeforeLastChild >= 0 && read.cyclesBeforeLastChild == record.cycleData.size()) {
        battery->setBatteryLastDischarged(0);
        battery->setBatteryLastMaxCurrent(0);
    }
    battery->showCardLabels();
    return battery;
}

ModelWidget *modelWidgetOf(const ModelRecord &record)
{
    auto *model = new ModelWidget;
    model->setModelName(record.name);
    model->setModelType(record.type);
    model->setModelWeight(record.weight);
    model->setModelSize(record.size);
    model->setPurchaseDate(record.purchase);
    model->setModelFlights(record.flights);
    model->setNotes(record.notes);
    model->setLastUpdate(record.lastUpdate);
    for (const QString &battery : record.batteries)
        model->addBattery(battery);
    for (const LogData &entry : record.flightLog)
        model->addLogData(entry);
    return model;
}

} // namespace

std::shared_ptr<const StoreReading> DataProcessorPrivate::readingFor(
    const QString &path, RecordKind kind, QByteArray *content)
{
    FileBytes::Stamp stamp;
    if (!guard.readFile(path, content, &stamp)) {
        content->clear();
        if (stamp.exists) {
            forget(); // there, but unreadable: nothing is known about it
            return nullptr;
        }
    }
    std::shared_ptr<const StoreReading> reading
        = kind == RecordKind::Locations ? nullptr : stash.take(*content, kind);
    if (!reading) {
        reading = std::make_shared<const StoreReading>(RecordReader::read(*content));
        stash.keep(*content, reading, kind);
    }
    pending.inRecords = false; // the records read now hold what the file holds
    // A read that broke off, or found no store in a file that holds something, leaves
    // content that the next save would drop.
    if (!guard.noteRead(*content, stamp, reading->isDamaged(kind)))
        cache.drop(); // an outside change or a damaged read
    return reading;
}

DataProcessor::DataProcessor(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<DataProcessorPrivate>())
{
}

DataProcessor::~DataProcessor() = default;

QString DataProcessor::dataFilePath() const
{
    return QDir(storagePath).absoluteFilePath(StoreFiles::dataFile);
}

bool DataProcessor::readLocations(QStringList &locations)
{
    QByteArray content;
    const auto reading = d->readingFor(dataFilePath(), RecordKind::Locations, &content);
    if (reading) {
        locations += reading->records.locations;
        d->lastRead.noteLocations(content, reading->records.locations);
    }
    return !locations.isEmpty();
}

void DataProcessor::readModels(QVector<ModelWidget *> &models)
{
    QByteArray content;
    const auto reading = d->readingFor(dataFilePath(), RecordKind::Models, &content);
    if (!reading)
        return;
    const int before = models.size();
    for (const ModelRecord &record : reading->records.models)
        models.append(modelWidgetOf(record));
    d->lastRead.noteModels(content, models.mid(before));
}

void DataProcessor::readBatteries(QVector<BatteryWidget *> &batteries)
{
    QByteArray content;
    const auto reading = d->readingFor(dataFilePath(), RecordKind::Batteries, &content);
    if (!reading)
        return;
    // The moments the cards are stamped with look at the time zone held as found.
    const TimeZoneHeld zone;
    const int before = batteries.size();
    const StoreRecords &records = reading->records;
    for (int i = 0; i < records.batteries.size(); ++i)
        batteries.append(batteryWidgetOf(records.batteries.at(i), reading->batteries.at(i)));
    d->lastRead.noteBatteries(content, batteries.mid(before));
}

bool DataProcessor::exportData(QIODevice *target)
{
    QFile file;
    if (!target || !FileBytes::openRegularFile(file, dataFilePath()))
        return false;
    // A backup holds the same data as the logbook: it gets the same permission bits.
    if (auto *backup = qobject_cast<QFileDevice *>(target))
        FileBytes::copyPermissions(backup->handle(), dataFilePath());
    return FileBytes::copyLines(&file, target);
}
