#include "store/dataprocessor.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/filebytes.h"
#include "store/overwriteguard.h"
#include "store/recordwriter.h"
#include "store/rescuecopies.h"
#include "store/storefiles.h"
#include "store/storememory.h"
#include "store/textforms.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString datePattern = QStringLiteral("yyyy/MM/dd");

// Ends a token scan (of Data, FlightLog or Locations) at the token named with
// `endWord`, and also when the document ends or breaks off inside the scan, so that
// a damaged file keeps what was read before the fault and no loop runs forever.
bool nextScanToken(QXmlStreamReader &reader, QLatin1String endWord)
{
    if (reader.atEnd() || reader.hasError())
        return false;
    reader.readNext();
    return !reader.hasError() && !containsWord(reader.name(), endWord);
}

// Only start elements carry items; an end tag or an unresolved entity adds nothing.
bool isScanItem(const QXmlStreamReader &reader, QLatin1String itemWord)
{
    return reader.isStartElement() && containsWord(reader.name(), itemWord);
}

// Hands every root child whose name contains `word` to readRecord and skips the others
// with all their content.
template <typename ReadRecord>
void scanRoot(QXmlStreamReader &reader, QLatin1String word, ReadRecord readRecord)
{
    while (reader.readNextStartElement()) {
        if (containsWord(reader.name(), word))
            readRecord();
        else
            reader.skipCurrentElement();
    }
}

// Moves the reader onto the root element; false when the document holds none.
bool findRoot(QXmlStreamReader &reader)
{
    while (reader.readNextStartElement()) {
        if (containsWord(reader.name(), QLatin1String("Cellora")))
            return true;
    }
    return false;
}

// Reads one of the eight text children of a Battery; false when the name is none of them.
// The first matching name wins, so one child never sets two fields.
bool readBatteryField(QXmlStreamReader &reader, BatteryWidget *battery)
{
    const XmlStringRef name = reader.name();
    if (containsWord(name, QLatin1String("Name")))
        battery->setBatteryName(reader.readElementText());
    else if (containsWord(name, QLatin1String("Capacity")))
        battery->setBatteryCapacity(parseUInt(reader.readElementText()));
    else if (containsWord(name, QLatin1String("Chrgrate")))
        battery->setBatteryChargeRate(parseUInt(reader.readElementText()));
    else if (containsWord(name, QLatin1String("Dischrgrate")))
        battery->setBatteryRating(parseUInt(reader.readElementText()));
    else if (containsWord(name, QLatin1String("Purchase")))
        battery->setPurchaseDate(QDate::fromString(reader.readElementText(), datePattern));
    else if (containsWord(name, QLatin1String("Cycles")))
        battery->setBatteryCycles(parseUInt(reader.readElementText()));
    else if (containsWord(name, QLatin1String("Charged")))
        battery->setBatteryCharged(parseUInt(reader.readElementText()) == 1, false);
    else if (containsWord(name, QLatin1String("LastUse")))
        battery->setLastUpdated(parseDateTime(reader.readElementText()));
    else
        return false;
    return true;
}

// Reads one of the text children of a Model (with its Battery names); false when the
// name is none of them.
bool readModelField(QXmlStreamReader &reader, ModelWidget *model)
{
    const XmlStringRef name = reader.name();
    if (containsWord(name, QLatin1String("Name")))
        model->setModelName(reader.readElementText());
    else if (containsWord(name, QLatin1String("Type")))
        model->setModelType(reader.readElementText());
    else if (containsWord(name, QLatin1String("Weight")))
        model->setModelWeight(parseUInt(reader.readElementText()));
    else if (containsWord(name, QLatin1String("Size")))
        model->setModelSize(parseUInt(reader.readElementText()));
    else if (containsWord(name, QLatin1String("Purchase")))
        model->setPurchaseDate(QDate::fromString(reader.readElementText(), datePattern));
    else if (containsWord(name, QLatin1String("Flights")))
        model->setModelFlights(parseUInt(reader.readElementText()));
    else if (containsWord(name, QLatin1String("Notes")))
        model->setNotes(reader.readElementText());
    else if (containsWord(name, QLatin1String("LastUpdate")))
        model->setLastUpdate(parseDateTime(reader.readElementText()));
    else if (containsWord(name, QLatin1String("Battery")))
        model->addBattery(reader.readElementText());
    else
        return false;
    return true;
}

} // namespace

DataProcessor::DataProcessor(QObject *parent)
    : QObject(parent)
    , guard(std::make_unique<OverwriteGuard>())
{
}

DataProcessor::~DataProcessor() = default;

void DataProcessor::setStoragePath(const QString &path)
{
    storagePath = path;
    guard->forget(); // nothing is known yet about the file of another folder
    guard->setProblem(Problem::None);
}

DataProcessor::Problem DataProcessor::problem() const
{
    return guard->problem();
}

bool DataProcessor::mayReplaceDataFile(const QString &path)
{
    if (FileBytes::mayReplace(storagePath, path))
        return true;
    const QFileInfo existing(path);
    if (!existing.exists())
        guard->setProblem(Problem::FolderUnwritable);
    else
        guard->setProblem(existing.isFile() ? Problem::FileReadOnly : Problem::NotAFile);
    return false;
}

QString DataProcessor::dataFilePath() const
{
    return QDir(storagePath).absoluteFilePath(StoreFiles::dataFile);
}

// One read of the data file: its bytes in memory, parsed by the reader member.
struct DataProcessor::Reading {
    const TimeZoneHeld zone;
    QBuffer source;
    FileBytes::Stamp stamp;
    bool read = false; // the file was read whole
    bool rootFound = false;
};

void DataProcessor::writeData(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    checkReproduction();
    const QByteArray document
        = guard->memory().cache.document(StoreValues::of(batteries, models, locations));
    if (document.isEmpty()) { // the writer failed: the file stays as it is
        guard->setProblem(Problem::WriteFailed);
        guard->report(false, QByteArray(), QByteArray());
        return;
    }
    replaceContent(document);
}

bool DataProcessor::replaceContent(const QByteArray &content)
{
    QByteArray present;
    const bool written = writeContent(dataFilePath(), content, present);
    guard->report(written, present, written ? content : present);
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
    if (!guard->protect(path, storagePath, &present)) {
        // Only on this failing path: the ordinary save asks nothing more of the disk.
        const QFileInfo existing(path);
        if (existing.exists() && !existing.isFile())
            guard->setProblem(Problem::NotAFile);
        return false;
    }
    const auto keepBeforeInPlace
        = [&] { return guard->keepBeforeInPlace(path, storagePath, present); };
    if (!FileBytes::replaceFile(path, content, present, { keepBeforeInPlace, QString() })) {
        if (guard->problem() != Problem::CannotKeepCopy)
            guard->setProblem(Problem::WriteFailed);
        return false;
    }
    guard->noteWritten(path, content);
    guard->rotateCopies(storagePath);
    guard->setProblem(Problem::None);
    return true;
}

// Replaces the data file with the lines of `source`; `present` receives what it held.
bool DataProcessor::importContent(const QString &path, QIODevice *source, QByteArray &present)
{
    if (!mayReplaceDataFile(path))
        return false;
    // Whatever the chosen file holds, the store it replaces stays as a rescue copy.
    if (!OverwriteGuard::readPresent(path, &present)) {
        guard->setProblem(Problem::ImportNotKept);
        return false;
    }
    RescueCopies copies(storagePath);
    if (!present.isEmpty() && !copies.keep(present, path)) {
        guard->setProblem(Problem::ImportNotKept);
        return false;
    }
    // Known by its file, not its name: the chosen file may be one of the rescue copies.
    const auto *chosen = qobject_cast<QFile *>(source);
    const FileBytes::Stamp spared
        = chosen ? FileBytes::Stamp::of(chosen->handle()) : FileBytes::Stamp();
    // The present content is kept already, so the file may be written in place.
    if (!FileBytes::replaceWithLines(path, source, { [] { return true; }, QString() })) {
        guard->setProblem(Problem::WriteFailed);
        return false;
    }
    // Only once the import is in: a failed one deletes nothing, and the copy being
    // restored is never rotated away.
    copies.rotate(spared);
    guard->forget(); // the reload that follows reads what was imported
    guard->setProblem(Problem::None);
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
    guard->setListener(std::move(listener));
}

// Once after reading bytes this store did not write: the readers skip what they do not
// know and drop what they cannot read, so the file counts as damaged (and is kept as a
// rescue copy) unless the writer makes exactly these bytes of the records read. The
// pieces written here serve the save that follows. When the three readers did not all
// read these bytes, nothing can be compared: the file is kept as well.
void DataProcessor::checkReproduction()
{
    if (!guard->needsReproduction())
        return;
    StoreMemory &memory = guard->memory();
    const QByteArray &content = guard->lastContent();
    const bool same = memory.lastRead.allFrom(content)
        && sameBytes(memory.cache.document(memory.lastRead.values()), content);
    guard->noteReproduction(same);
}

bool DataProcessor::readLocations(QStringList &locations)
{
    Reading reading;
    const int before = locations.size();
    if (openForReading(reading) && !readInOnePass(reading, locations) && restartReading(reading))
        scanRoot(reader, QLatin1String("Location"), [&] { readLocationList(locations); });
    finishReading(reading);
    guard->memory().lastRead.noteLocations(reading.source.data(), locations.mid(before));
    return !locations.isEmpty();
}

void DataProcessor::readModels(QVector<ModelWidget *> &models)
{
    Reading reading;
    const int before = models.size();
    if (openForReading(reading) && !guard->memory().stash.takeModels(reading.source.data(), models))
        scanRoot(reader, QLatin1String("Model"), [&] { readModel(models); });
    finishReading(reading);
    guard->memory().lastRead.noteModels(reading.source.data(), models.mid(before));
}

void DataProcessor::readBatteries(QVector<BatteryWidget *> &batteries)
{
    Reading reading;
    const int before = batteries.size();
    if (openForReading(reading)
        && !guard->memory().stash.takeBatteries(reading.source.data(), batteries))
        scanRoot(reader, QLatin1String("Battery"), [&] { readBattery(batteries); });
    finishReading(reading);
    guard->memory().lastRead.noteBatteries(reading.source.data(), batteries.mid(before));
}

// One pass over the file reads the records of all three readers; the models and the
// batteries are kept for their readers. It gives exactly what three passes give as long
// as every root child is read by one reader at most and each reader ends at its record's
// end: otherwise the readers would see different root children, so false, and the
// three passes run.
bool DataProcessor::readInOnePass(Reading &reading, QStringList &locations)
{
    StoreMemory &memory = guard->memory();
    memory.stash.clear();
    memory.passLeftItsRecord = false;
    QStringList found;
    QVector<ModelWidget *> models;
    QVector<BatteryWidget *> batteries;
    bool exact = true;
    while (exact && reader.readNextStartElement()) {
        const XmlStringRef name = reader.name();
        const bool location = containsWord(name, QLatin1String("Location"));
        const bool model = containsWord(name, QLatin1String("Model"));
        const bool battery = containsWord(name, QLatin1String("Battery"));
        if (int(location) + int(model) + int(battery) > 1)
            break; // a child two readers would both take
        const QString child = reader.qualifiedName().toString();
        if (location)
            readLocationList(found);
        else if (model)
            readModel(models);
        else if (battery)
            readBattery(batteries);
        else
            reader.skipCurrentElement();
        exact = !memory.passLeftItsRecord && !reader.hasError() && reader.isEndElement()
            && reader.qualifiedName() == child;
    }
    if (!exact || reader.hasError() || !reader.isEndElement()) {
        qDeleteAll(models);
        qDeleteAll(batteries);
        return false;
    }
    memory.stash.keep(reading.source.data(), models, batteries);
    locations += found;
    return true;
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
        guard->report(false, present, present);
        return false;
    }
    // Rare enough for one more read: the listener is told what the file holds now.
    QByteArray imported;
    FileBytes::Stamp stamp;
    guard->readFile(path, &imported, &stamp);
    guard->report(true, present, imported);
    return true;
}

bool DataProcessor::readDocument(const QByteArray &content, QStringList &locations,
    QVector<ModelWidget *> &models, QVector<BatteryWidget *> &batteries)
{
    const TimeZoneHeld zone;
    if (readDocumentInOnePass(content, locations, models, batteries))
        return true;
    bool clean = true;
    // Otherwise one pass per record kind, as the file's own reads do, so both read alike.
    const auto scan = [&](QLatin1String word, auto readRecord) {
        QBuffer source;
        source.setData(content);
        source.open(QIODevice::ReadOnly);
        reader.setDevice(&source);
        const bool rootFound = findRoot(reader);
        if (rootFound)
            scanRoot(reader, word, readRecord);
        // Empty bytes hold nothing that a save could lose.
        clean = clean && (content.isEmpty() || (rootFound && !reader.hasError()));
        reader.clear();
    };
    scan(QLatin1String("Location"), [&] { readLocationList(locations); });
    scan(QLatin1String("Model"), [&] { readModel(models); });
    scan(QLatin1String("Battery"), [&] { readBattery(batteries); });
    return clean;
}

// The file's own reads take one pass for all three readers whenever it gives what three
// give; so does a snapshot, for the program's views of a large store.
bool DataProcessor::readDocumentInOnePass(const QByteArray &content, QStringList &locations,
    QVector<ModelWidget *> &models, QVector<BatteryWidget *> &batteries)
{
    Reading reading;
    reading.source.setData(content);
    reading.source.open(QIODevice::ReadOnly);
    const bool read = restartReading(reading) && readInOnePass(reading, locations);
    reader.clear();
    if (!read)
        return false;
    ReadStash &stash = guard->memory().stash;
    stash.takeModels(content, models);
    stash.takeBatteries(content, batteries);
    return true;
}

QByteArray DataProcessor::document(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    return RecordWriter::wholeDocument(StoreValues::of(batteries, models, locations));
}

bool DataProcessor::openForReading(Reading &reading)
{
    QByteArray content;
    reading.read = guard->readFile(dataFilePath(), &content, &reading.stamp);
    if (!reading.read)
        return false;
    reading.source.setData(content);
    reading.source.open(QIODevice::ReadOnly);
    return restartReading(reading);
}

// Places the reader on the root element of the bytes read; false when there is none.
bool DataProcessor::restartReading(Reading &reading)
{
    reader.clear();
    reading.source.seek(0);
    reader.setDevice(&reading.source);
    reading.rootFound = findRoot(reader);
    return reading.rootFound;
}

void DataProcessor::finishReading(Reading &reading)
{
    const QByteArray &content = reading.source.data();
    if (reading.stamp.exists && !reading.read) {
        guard->forget(); // there, but unreadable: nothing is known about it
    } else {
        // A read that broke off, or found no store in a file that holds something, leaves
        // content that the next save would drop.
        const bool damaged = reader.hasError() || (!reading.rootFound && !content.isEmpty());
        guard->noteRead(content, reading.stamp, damaged);
    }
    reader.clear();
}

void DataProcessor::readBattery(QVector<BatteryWidget *> &batteries)
{
    auto *battery = new BatteryWidget;
    battery->holdCardLabels();
    while (reader.readNextStartElement()) {
        const bool wasField = readBatteryField(reader, battery);
        // The last values come from the data points only while Data is the last child.
        battery->setBatteryLastDischarged(0);
        battery->setBatteryLastMaxCurrent(0);
        if (wasField)
            continue;
        if (containsWord(reader.name(), QLatin1String("Data")))
            readBatteryData(battery);
        else
            reader.skipCurrentElement(); // a foreign child: its content is none of ours
    }
    battery->showCardLabels();
    batteries.append(battery);
}

void DataProcessor::readBatteryData(BatteryWidget *battery)
{
    while (nextScanToken(reader, QLatin1String("Data"))) {
        if (!isScanItem(reader, QLatin1String("Cycle")))
            continue;
        XmlStringRef date;
        uint discharged = 0;
        uint current = 0;
        uint minVoltage = 0;
        uint resistance = 0;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            const XmlStringRef name = attribute.name();
            if (containsWord(name, QLatin1String("Date")))
                date = attribute.value();
            if (containsWord(name, QLatin1String("Current")))
                current = parseUInt(attribute.value());
            if (containsWord(name, QLatin1String("Discharged")))
                discharged = parseUInt(attribute.value());
            // The figures a log or a charger gave, when known.
            if (containsWord(name, QLatin1String("MinVoltage")))
                minVoltage = parseUInt(attribute.value());
            if (containsWord(name, QLatin1String("Resistance")))
                resistance = parseUInt(attribute.value());
        }
        battery->addCycleData(parseDateTime(date), discharged, current, false);
        if (minVoltage != 0 || resistance != 0)
            battery->setCycleFigures(battery->cycleDates().size() - 1, minVoltage, resistance);
    }
    noteScanEnd();
}

void DataProcessor::readModel(QVector<ModelWidget *> &models)
{
    auto *model = new ModelWidget;
    while (reader.readNextStartElement()) {
        if (readModelField(reader, model))
            continue;
        if (containsWord(reader.name(), QLatin1String("FlightLog")))
            readFlightLog(model);
        else
            reader.skipCurrentElement(); // a foreign child: its content is none of ours
    }
    models.append(model);
}

void DataProcessor::readFlightLog(ModelWidget *model)
{
    while (nextScanToken(reader, QLatin1String("FlightLog"))) {
        if (!isScanItem(reader, QLatin1String("LogData")))
            continue;
        LogData entry;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            const XmlStringRef name = attribute.name();
            if (containsWord(name, QLatin1String("Date")))
                entry.date = parseDateTime(attribute.value());
            if (containsWord(name, QLatin1String("Location")))
                entry.location = attribute.value().toString();
            if (containsWord(name, QLatin1String("Duration")))
                entry.duration = parseTime(attribute.value());
            if (containsWord(name, QLatin1String("Temperature")))
                entry.temperature = attribute.value().toInt(); // 0 when no signed decimal
            if (containsWord(name, QLatin1String("Notes")))
                entry.notes = attribute.value().toString();
        }
        model->addLogData(entry);
    }
    noteScanEnd();
}

void DataProcessor::readLocationList(QStringList &locations)
{
    while (nextScanToken(reader, QLatin1String("Locations"))) {
        if (!isScanItem(reader, QLatin1String("Location")))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            if (containsWord(attribute.name(), QLatin1String("Name")))
                locations.append(attribute.value().toString());
        }
    }
    noteScanEnd();
}

// A scan that ended on the start of an element ended inside its record: the root children
// after it are not those the other readers see.
void DataProcessor::noteScanEnd()
{
    if (reader.isStartElement())
        guard->memory().passLeftItsRecord = true;
}
