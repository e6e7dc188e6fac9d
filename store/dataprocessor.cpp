#include "store/dataprocessor.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/filebytes.h"
#include "store/overwriteguard.h"
#include "store/readstash.h"
#include "store/recordcache.h"
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
    for (const CycleRecord &cycle : record.cycleData)
        battery->addCycleData(cycle.date, cycle.discharged, cycle.current, false);
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

// What the store knows of its data file between calls: what it last read or wrote (the
// guard), the bytes of each record it wrote (the write cache), the records of a refresh's
// first read for the readers after it (the read stash), what each reader last returned,
// who hears of every write, and why the last one did not reach the file.
class DataProcessorPrivate {
public:
    OverwriteGuard guard;
    RecordCache cache;
    ReadStash stash;
    ReadRecords lastRead;
    DataProcessor::WriteListener listener;
    StoreProblem problem = StoreProblem::None;

    // A new storage folder: nothing is known about its file. The listener stays, and why
    // the last save failed stays known until a save or an import succeeds.
    void forget()
    {
        guard.forget();
        cache.drop();
        stash.clear();
        lastRead = ReadRecords();
    }

    void report(bool written, const QByteArray &before, const QByteArray &after) const
    {
        if (listener)
            listener(written, before, after);
    }

    // The records of the data file for the reader of `kind`, with the bytes they were read
    // from; null when the file is there but cannot be read. The first reader of a refresh
    // reads the bytes afresh (a Charged child stamps its battery with the moment of
    // reading); the others take what it read while the file stays the same.
    std::shared_ptr<const StoreReading> readingFor(
        const QString &path, RecordKind kind, QByteArray *content);
};

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

void DataProcessor::setStoragePath(const QString &path)
{
    storagePath = path;
    d->forget(); // nothing is known yet about the file of another folder
    d->problem = Problem::None;
}

DataProcessor::Problem DataProcessor::problem() const
{
    return d->problem;
}

bool DataProcessor::mayReplaceDataFile(const QString &path)
{
    if (FileBytes::mayReplace(storagePath, path))
        return true;
    const QFileInfo existing(path);
    if (!existing.exists())
        d->problem = Problem::FolderUnwritable;
    else
        d->problem = existing.isFile() ? Problem::FileReadOnly : Problem::NotAFile;
    return false;
}

QString DataProcessor::dataFilePath() const
{
    return QDir(storagePath).absoluteFilePath(StoreFiles::dataFile);
}

void DataProcessor::writeData(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    checkReproduction();
    const QByteArray document = d->cache.document(StoreValues::of(batteries, models, locations));
    if (document.isEmpty()) { // the writer failed: the file stays as it is
        d->problem = Problem::WriteFailed;
        d->report(false, QByteArray(), QByteArray());
        return;
    }
    replaceContent(document);
}

bool DataProcessor::replaceContent(const QByteArray &content)
{
    QByteArray present;
    const bool written = writeContent(dataFilePath(), content, present);
    d->report(written, present, written ? content : present);
    return written;
}

// The one save path: `present` receives what the file held. A file that this store did
// not write or read whole is kept as a rescue copy first; when that copy cannot be made,
// the file stays as it is. The ordinary save finds the present bytes in memory.
bool DataProcessor::writeContent(
    const QString &path, const QByteArray &content, QByteArray &present)
{
    if (!mayReplaceDataFile(path))
        return false;
    if (!d->guard.protect(path, storagePath, &present, &d->problem)) {
        // Only on this failing path: the ordinary save asks nothing more of the disk.
        const QFileInfo existing(path);
        if (existing.exists() && !existing.isFile())
            d->problem = Problem::NotAFile;
        return false;
    }
    const auto keepBeforeInPlace
        = [&] { return d->guard.keepBeforeInPlace(path, storagePath, present, &d->problem); };
    if (!FileBytes::replaceFile(path, content, present, { keepBeforeInPlace, QString() })) {
        if (d->problem != Problem::CannotKeepCopy)
            d->problem = Problem::WriteFailed;
        return false;
    }
    d->guard.noteWritten(path, content);
    d->guard.rotateCopies(storagePath);
    d->problem = Problem::None;
    return true;
}

// Replaces the data file with the lines of `source`; `present` receives what it held.
bool DataProcessor::importContent(const QString &path, QIODevice *source, QByteArray &present)
{
    if (!mayReplaceDataFile(path))
        return false;
    // Whatever the chosen file holds, the store it replaces stays as a rescue copy.
    if (!OverwriteGuard::readPresent(path, &present)) {
        d->problem = Problem::ImportNotKept;
        return false;
    }
    RescueCopies copies(storagePath);
    if (!present.isEmpty() && !copies.keep(present, path)) {
        d->problem = Problem::ImportNotKept;
        return false;
    }
    // Known by its file, not its name: the chosen file may be one of the rescue copies.
    const auto *chosen = qobject_cast<QFile *>(source);
    const FileBytes::Stamp spared
        = chosen ? FileBytes::Stamp::of(chosen->handle()) : FileBytes::Stamp();
    // The present content is kept already, so the file may be written in place.
    if (!FileBytes::replaceWithLines(path, source, { [] { return true; }, QString() })) {
        d->problem = Problem::WriteFailed;
        return false;
    }
    // Only once the import is in: a failed one deletes nothing, and the copy being
    // restored is never rotated away.
    copies.rotate(spared);
    d->forget(); // the reload that follows reads what was imported
    d->problem = Problem::None;
    return true;
}

bool DataProcessor::keepRescueCopy()
{
    QByteArray present;
    return OverwriteGuard::readPresent(dataFilePath(), &present) && keepRescueCopy(present);
}

bool DataProcessor::keepRescueCopy(const QByteArray &content)
{
    if (content.isEmpty())
        return true;
    RescueCopies copies(storagePath);
    const bool kept = copies.keep(content, dataFilePath());
    copies.rotate();
    return kept;
}

void DataProcessor::setWriteListener(WriteListener listener)
{
    d->listener = std::move(listener);
}

// Once after reading bytes this store did not write: the readers skip what they do not
// know and drop what they cannot read, so the file counts as damaged (and is kept as a
// rescue copy) unless the writer makes exactly these bytes of the records read. The
// pieces written here serve the save that follows. When the three readers did not all
// read these bytes, nothing can be compared: the file is kept as well.
void DataProcessor::checkReproduction()
{
    if (!d->guard.needsReproduction())
        return;
    const QByteArray &content = d->guard.lastContent();
    const bool same = d->lastRead.allFrom(content)
        && FileBytes::sameBytes(d->cache.document(d->lastRead.values()), content);
    d->guard.noteReproduction(same);
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

bool DataProcessor::importData(QIODevice *source)
{
    const QString path = dataFilePath();
    if (!source || !source->isReadable())
        return false;
    QByteArray present;
    if (!importContent(path, source, present)) {
        d->report(false, present, present);
        return false;
    }
    // Rare enough for one more read: the listener is told what the file holds now.
    QByteArray imported;
    FileBytes::Stamp stamp;
    d->guard.readFile(path, &imported, &stamp);
    d->report(true, present, imported);
    return true;
}
