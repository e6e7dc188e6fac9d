#include "store/dataprocessor.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/filebytes.h"
#include "store/rescuecopies.h"
#include "store/textforms.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <new>

namespace {

const QString dataFileName = QStringLiteral("cellora.xml");
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
}

QString DataProcessor::dataFilePath() const
{
    return QDir(storagePath).absoluteFilePath(dataFileName);
}

// One read of the data file: its bytes in memory, parsed by the reader member.
struct DataProcessor::Reading {
    QBuffer source;
    FileBytes::Stamp stamp;
    bool read = false; // the file was read whole
    bool rootFound = false;
};

void DataProcessor::writeData(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    if (!FileBytes::mayReplace(storagePath, dataFilePath())) {
        guard->report(false, QByteArray(), QByteArray());
        return;
    }
    const QByteArray document = storeDocument(batteries, models, locations);
    if (document.isEmpty()) // the writer failed: the file stays as it is
        guard->report(false, QByteArray(), QByteArray());
    else
        replaceContent(document);
}

bool DataProcessor::replaceContent(const QByteArray &content)
{
    const QString path = dataFilePath();
    // A file that this store did not write or read whole is kept as a rescue copy first;
    // when that copy cannot be made, the file stays as it is. The ordinary save finds the
    // present bytes in memory.
    QByteArray present;
    const bool written = FileBytes::mayReplace(storagePath, path)
        && guard->protect(path, storagePath, &present)
        && FileBytes::replaceFile(path, content, present);
    if (written)
        guard->noteWritten(path, content);
    guard->report(written, present, written ? content : present);
    return written;
}

bool DataProcessor::keepRescueCopy()
{
    return OverwriteGuard::keepPresent(dataFilePath(), storagePath);
}

bool DataProcessor::keepRescueCopy(const QByteArray &content)
{
    return content.isEmpty() || RescueCopies(storagePath).keep(content);
}

void DataProcessor::setWriteListener(WriteListener listener)
{
    guard->setListener(std::move(listener));
}

QByteArray DataProcessor::storeDocument(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    // The document is made in memory and handed to the file in one write: through the
    // file's own buffer, the writer's many small writes cost a fifth of a save.
    QByteArray document;
    QBuffer buffer(&document);
    buffer.open(QIODevice::WriteOnly);
    writer.setDevice(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeDTD(QStringLiteral("<!DOCTYPE Cellora>"));
    writer.writeStartElement(QStringLiteral("Cellora"));
    if (!locations.isEmpty())
        writeLocations(locations);
    for (const BatteryWidget *battery : batteries)
        writeBattery(battery);
    for (const ModelWidget *model : models)
        writeModel(model);
    writer.writeEndElement();
    writer.writeEndDocument();
    writer.setDevice(nullptr);
    forgetSavedDays();
    if (!writer.hasError())
        return document;
    // The writer's error state survives setDevice(), so start the next save afresh.
    writer.~QXmlStreamWriter();
    new (&writer) QXmlStreamWriter;
    return QByteArray();
}

bool DataProcessor::readLocations(QStringList &locations)
{
    Reading reading;
    if (openForReading(reading))
        scanRoot(reader, QLatin1String("Location"), [&] { readLocationList(locations); });
    finishReading(reading);
    return !locations.isEmpty();
}

void DataProcessor::readModels(QVector<ModelWidget *> &models)
{
    Reading reading;
    if (openForReading(reading))
        scanRoot(reader, QLatin1String("Model"), [&] { readModel(models); });
    finishReading(reading);
}

void DataProcessor::readBatteries(QVector<BatteryWidget *> &batteries)
{
    Reading reading;
    if (openForReading(reading))
        scanRoot(reader, QLatin1String("Battery"), [&] { readBattery(batteries); });
    finishReading(reading);
}

bool DataProcessor::exportData(QIODevice *target)
{
    QFile file;
    if (!target || !FileBytes::openRegularFile(file, dataFilePath()))
        return false;
    return FileBytes::copyLines(&file, target);
}

bool DataProcessor::importData(QIODevice *source)
{
    const QString path = dataFilePath();
    if (!source || !source->isReadable())
        return false;
    // Whatever the chosen file holds, the store it replaces stays as a rescue copy.
    QByteArray present;
    if (!FileBytes::mayReplace(storagePath, path)
        || !OverwriteGuard::keepPresent(path, storagePath, &present)
        || !FileBytes::replaceWithLines(path, source)) {
        guard->report(false, present, present);
        return false;
    }
    guard->forget(); // the reload that follows reads what was imported
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
    checkTimeZone();
    bool clean = true;
    // One pass per record kind, as the file's own reads do, so both read alike.
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

QByteArray DataProcessor::document(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    return storeDocument(batteries, models, locations);
}

bool DataProcessor::openForReading(Reading &reading)
{
    QByteArray content;
    reading.read = guard->readFile(dataFilePath(), &content, &reading.stamp);
    if (!reading.read)
        return false;
    checkTimeZone();
    reading.source.setData(content);
    reading.source.open(QIODevice::ReadOnly);
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
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            const XmlStringRef name = attribute.name();
            if (containsWord(name, QLatin1String("Date")))
                date = attribute.value();
            if (containsWord(name, QLatin1String("Current")))
                current = parseUInt(attribute.value());
            if (containsWord(name, QLatin1String("Discharged")))
                discharged = parseUInt(attribute.value());
        }
        battery->addCycleData(parseDateTime(date), discharged, current, false);
    }
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
}

void DataProcessor::writeBattery(const BatteryWidget *battery)
{
    writer.writeStartElement(QStringLiteral("Battery"));
    writer.writeTextElement(QStringLiteral("Name"), xmlText(battery->batteryName()));
    writer.writeTextElement(
        QStringLiteral("Capacity"), QString::number(battery->batteryCapacity()));
    writer.writeTextElement(
        QStringLiteral("Chrgrate"), QString::number(battery->batteryChargeRate()));
    writer.writeTextElement(
        QStringLiteral("Dischrgrate"), QString::number(battery->batteryRating()));
    writer.writeTextElement(
        QStringLiteral("Purchase"), battery->purchaseDate().toString(datePattern));
    writer.writeTextElement(QStringLiteral("Cycles"), QString::number(battery->batteryCycles()));
    writer.writeTextElement(QStringLiteral("Charged"),
        battery->batteryCharged() ? QStringLiteral("1") : QStringLiteral("0"));
    writer.writeTextElement(QStringLiteral("LastUse"), dateTimeText(battery->lastUpdated()));
    writeBatteryData(battery);
    writer.writeEndElement();
}

void DataProcessor::writeBatteryData(const BatteryWidget *battery)
{
    const QVector<QDateTime> &dates = battery->cycleDates();
    if (dates.isEmpty())
        return;
    const QVector<uint> &discharged = battery->cycleDischarged();
    const QVector<uint> &currents = battery->cycleCurrents();
    writer.writeStartElement(QStringLiteral("Data"));
    for (int i = 0; i < dates.size(); ++i) {
        writer.writeEmptyElement(QStringLiteral("Cycle"));
        // value() gives 0 should a value list ever be shorter than the dates
        writer.writeAttribute(QStringLiteral("Discharged"), QString::number(discharged.value(i)));
        writer.writeAttribute(QStringLiteral("Current"), QString::number(currents.value(i)));
        writer.writeAttribute(QStringLiteral("Date"), dateTimeText(dates.at(i)));
    }
    writer.writeEndElement();
}

void DataProcessor::writeModel(const ModelWidget *model)
{
    writer.writeStartElement(QStringLiteral("Model"));
    writer.writeTextElement(QStringLiteral("Name"), xmlText(model->modelName()));
    writer.writeTextElement(QStringLiteral("Type"), xmlText(model->modelType()));
    writer.writeTextElement(QStringLiteral("Weight"), QString::number(model->modelWeight()));
    writer.writeTextElement(QStringLiteral("Size"), QString::number(model->modelSize()));
    writer.writeTextElement(
        QStringLiteral("Purchase"), model->purchaseDate().toString(datePattern));
    writer.writeTextElement(QStringLiteral("Flights"), QString::number(model->modelFlights()));
    writer.writeTextElement(QStringLiteral("Notes"), xmlText(model->notes()));
    writer.writeTextElement(QStringLiteral("LastUpdate"), dateTimeText(model->lastUpdate()));
    for (const QString &batteryName : model->modelBatteries())
        writer.writeTextElement(QStringLiteral("Battery"), xmlText(batteryName));
    writeFlightLog(model);
    writer.writeEndElement();
}

void DataProcessor::writeFlightLog(const ModelWidget *model)
{
    const QVector<LogData> &entries = model->flightLog();
    if (entries.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("FlightLog"));
    for (const LogData &entry : entries) {
        writer.writeEmptyElement(QStringLiteral("LogData"));
        writer.writeAttribute(QStringLiteral("Date"), dateTimeText(entry.date));
        writer.writeAttribute(QStringLiteral("Location"), xmlText(entry.location));
        writer.writeAttribute(QStringLiteral("Duration"), timeText(entry.duration));
        writer.writeAttribute(QStringLiteral("Temperature"), QString::number(entry.temperature));
        writer.writeAttribute(QStringLiteral("Notes"), xmlText(entry.notes));
    }
    writer.writeEndElement();
}

void DataProcessor::writeLocations(const QStringList &locations)
{
    writer.writeStartElement(QStringLiteral("Locations"));
    for (const QString &location : locations) {
        writer.writeEmptyElement(QStringLiteral("Location"));
        writer.writeAttribute(QStringLiteral("Name"), xmlText(location));
    }
    writer.writeEndElement();
}
