#include "store/recordreader.h"

#include "store/earlierreading.h"
#include "store/recordfields.h"
#include "store/textforms.h"

#include <QBuffer>
#include <QXmlStreamReader>

namespace {

// The word each kind's reader knows the root's children by.
QLatin1String wordOf(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Locations:
        return QLatin1String("Location");
    case RecordKind::Models:
        return QLatin1String("Model");
    case RecordKind::Batteries:
        break;
    }
    return QLatin1String("Battery");
}

// Reads the text child the reader is on into the first field of the list its name names;
// the field's place in the list, or -1 when it names none (the reader stays on it then).
template <typename Fields, typename Record>
int readTextChild(QXmlStreamReader &reader, const Fields &fields, Record &record)
{
    const XmlStringRef name = reader.name();
    return RecordFields::firstOf(fields, [&](const auto &field) {
        if (!containsWord(name, field.name))
            return false;
        // The text is read up to the end tag, or up to a fault, with what came before it.
        const QString text = reader.readElementText();
        RecordFields::store(record, field, field.read(xmlStringRef(text)));
        return true;
    });
}

// An attribute sets every field of the list its name names.
template <typename Fields, typename Record>
void readAttribute(const Fields &fields, const QXmlStreamAttribute &attribute, Record &record)
{
    const XmlStringRef name = attribute.name();
    RecordFields::forEach(fields, [&](const auto &field) {
        if (containsWord(name, field.name))
            RecordFields::store(record, field, field.read(attribute.value()));
    });
}

// The readers over the bytes of one data file.
class Reader {
public:
    explicit Reader(const QByteArray &content)
    {
        source.setData(content);
        source.open(QIODevice::ReadOnly);
    }

    // Places the reader on the root element from the start; false when there is none.
    bool restart()
    {
        reader.clear();
        source.seek(0);
        reader.setDevice(&source);
        while (reader.readNextStartElement()) {
            if (containsWord(reader.name(), QLatin1String("Cellora")))
                return true;
        }
        return false;
    }

    // Where the root's children begin: just after its start tag.
    qint64 offset() const { return reader.characterOffset(); }
    bool readInOnePass(StoreReading &reading, std::vector<ChildSpan> *spans = nullptr);
    void readKind(RecordKind kind, StoreReading &reading);

private:
    void readBattery(StoreReading &reading);
    void readCycles(BatteryRecord &battery);
    void readModel(QVector<ModelRecord> &models);
    void readFlightLog(ModelRecord &model);
    void readLocationList(QStringList &locations);
    bool nextScanToken(QLatin1String endWord);
    bool isScanItem(QLatin1String itemWord) const;
    void noteScanEnd();

    QBuffer source;
    QXmlStreamReader reader;
    bool leftItsRecord = false; // a scan of the shared pass ended inside its record
    bool batteryStamped = false; // the last battery read holds the moment of reading
};

// The shared pass gives exactly what three passes give as long as every root child is read
// by one reader at most and each reader ends at its record's end: otherwise the readers
// would see different root children, so false, and `reading` is left as it was.
bool Reader::readInOnePass(StoreReading &reading, std::vector<ChildSpan> *spans)
{
    leftItsRecord = false;
    StoreReading read;
    std::vector<ChildSpan> found;
    bool exact = true;
    for (qint64 begin = offset(); exact && reader.readNextStartElement(); begin = offset()) {
        const XmlStringRef name = reader.name();
        const bool location = containsWord(name, wordOf(RecordKind::Locations));
        const bool model = containsWord(name, wordOf(RecordKind::Models));
        const bool battery = containsWord(name, wordOf(RecordKind::Batteries));
        if (int(location) + int(model) + int(battery) > 1)
            break; // a child two readers would both take
        const QString child = reader.qualifiedName().toString();
        ChildSpan span;
        span.begin = begin;
        if (location) {
            span.kind = RecordKind::Locations;
            span.first = read.records.locations.size();
            readLocationList(read.records.locations);
            span.count = read.records.locations.size() - span.first;
        } else if (model) {
            span.kind = RecordKind::Models;
            span.first = read.records.models.size();
            readModel(read.records.models);
            span.count = 1;
        } else if (battery) {
            span.kind = RecordKind::Batteries;
            span.first = read.records.batteries.size();
            readBattery(read);
            span.count = 1;
            span.stamped = batteryStamped;
        } else {
            reader.skipCurrentElement();
        }
        exact = !leftItsRecord && !reader.hasError() && reader.isEndElement()
            && reader.qualifiedName() == child;
        span.end = offset();
        if (location || model || battery)
            found.push_back(span);
    }
    if (!exact || reader.hasError() || !reader.isEndElement())
        return false;
    reading = std::move(read);
    if (spans)
        *spans = std::move(found);
    return true;
}

// One kind's reader: every root child whose name holds its word is its record, the others
// are skipped with all their content.
void Reader::readKind(RecordKind kind, StoreReading &reading)
{
    const QLatin1String word = wordOf(kind);
    while (reader.readNextStartElement()) {
        if (!containsWord(reader.name(), word))
            reader.skipCurrentElement();
        else if (kind == RecordKind::Locations)
            readLocationList(reading.records.locations);
        else if (kind == RecordKind::Models)
            readModel(reading.records.models);
        else
            readBattery(reading);
    }
    reading.damaged[size_t(kind)] = reader.hasError();
}

void Reader::readBattery(StoreReading &reading)
{
    BatteryRecord battery;
    BatteryReading read;
    batteryStamped = false;
    while (reader.readNextStartElement()) {
        const int field = readTextChild(reader, RecordFields::battery(), battery);
        if (field >= 0)
            read.fieldsRead |= 1u << field;
        if (field == RecordFields::Charged || field == RecordFields::LastUse)
            batteryStamped = field == RecordFields::Charged;
        // The last discharge's figures come from the cycle data only while Data is the
        // last child.
        read.cyclesBeforeLastChild = battery.cycleData.size();
        if (field >= 0)
            continue;
        if (containsWord(reader.name(), QLatin1String("Data")))
            readCycles(battery);
        else
            reader.skipCurrentElement(); // a foreign child: its content is none of ours
    }
    reading.records.batteries.append(std::move(battery));
    reading.batteries.append(read);
}

void Reader::readCycles(BatteryRecord &battery)
{
    while (nextScanToken(QLatin1String("Data"))) {
        if (!isScanItem(QLatin1String("Cycle")))
            continue;
        CycleRecord cycle;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes)
            readAttribute(RecordFields::cycle(), attribute, cycle);
        battery.cycleData.append(cycle);
    }
    noteScanEnd();
}

void Reader::readModel(QVector<ModelRecord> &models)
{
    ModelRecord model;
    while (reader.readNextStartElement()) {
        if (readTextChild(reader, RecordFields::model(), model) >= 0)
            continue;
        const XmlStringRef name = reader.name();
        if (containsWord(name, QLatin1String("Battery"))) {
            const QString battery = reader.readElementText();
            if (!model.batteries.contains(battery)) // a name given twice is read once
                model.batteries.append(battery);
        } else if (containsWord(name, QLatin1String("FlightLog"))) {
            readFlightLog(model);
        } else {
            reader.skipCurrentElement(); // a foreign child: its content is none of ours
        }
    }
    models.append(std::move(model));
}

void Reader::readFlightLog(ModelRecord &model)
{
    while (nextScanToken(QLatin1String("FlightLog"))) {
        if (!isScanItem(QLatin1String("LogData")))
            continue;
        LogData entry;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes)
            readAttribute(RecordFields::logEntry(), attribute, entry);
        model.flightLog.append(entry);
    }
    noteScanEnd();
}

void Reader::readLocationList(QStringList &locations)
{
    while (nextScanToken(QLatin1String("Locations"))) {
        if (!isScanItem(QLatin1String("Location")))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            if (containsWord(attribute.name(), QLatin1String("Name")))
                locations.append(attribute.value().toString());
        }
    }
    noteScanEnd();
}

// Ends a token scan (of Data, FlightLog or Locations) at the token named with `endWord`,
// and also when the document ends or breaks off inside the scan, so that a damaged file
// keeps what was read before the fault and no loop runs forever.
bool Reader::nextScanToken(QLatin1String endWord)
{
    if (reader.atEnd() || reader.hasError())
        return false;
    reader.readNext();
    return !reader.hasError() && !containsWord(reader.name(), endWord);
}

// Only start elements carry items; an end tag or an unresolved entity adds nothing.
bool Reader::isScanItem(QLatin1String itemWord) const
{
    return reader.isStartElement() && containsWord(reader.name(), itemWord);
}

// A scan that ended on the start of an element ended inside its record: the root children
// after it are not those the other readers see.
void Reader::noteScanEnd()
{
    if (reader.isStartElement())
        leftItsRecord = true;
}

} // namespace

namespace {

// Reads only the children whose bytes changed since the last exact read, and takes the
// others over from it; false when that cannot give what reading every child would.
bool readChangedChildren(const QByteArray &content, const QByteArray &zone, StoreReading &reading)
{
    EarlierReading earlier = EarlierReading::forContent(content, zone);
    if (earlier.isNull())
        return false;
    const QByteArray part = earlier.changedPart(content);
    if (part.isEmpty())
        return false;
    Reader reader(part);
    StoreReading changed;
    std::vector<ChildSpan> changedSpans;
    if (!reader.restart() || reader.offset() != earlier.headSize()
        || !reader.readInOnePass(changed, &changedSpans))
        return false; // a fault among the changed children: read them all to place it
    if (!EarlierReading::toBytes(part, changedSpans))
        return false;
    std::vector<ChildSpan> spans;
    reading = earlier.splice(changed, changedSpans, &spans);
    EarlierReading::keep(content, zone, reading, spans, int(spans.size() - changedSpans.size()));
    return true;
}

} // namespace

StoreReading RecordReader::read(const QByteArray &content, Passes passes)
{
    const TimeZoneHeld held;
    const QByteArray zone = heldZoneSetting();
    StoreReading reading;
    const bool shared = passes == Passes::Shared;
    if (shared && readChangedChildren(content, zone, reading))
        return reading;
    Reader reader(content);
    std::vector<ChildSpan> spans;
    if (!reader.restart()) {
        // Empty bytes hold nothing that a save could lose.
        reading.damaged.fill(!content.isEmpty());
    } else if (shared && reader.readInOnePass(reading, &spans)) {
        if (!EarlierReading::toBytes(content, spans))
            spans.clear();
    } else {
        for (const RecordKind kind :
            { RecordKind::Locations, RecordKind::Models, RecordKind::Batteries }) {
            reader.restart();
            reader.readKind(kind, reading);
        }
    }
    if (shared) // with no spans, what was kept is forgotten
        EarlierReading::keep(content, zone, reading, spans);
    return reading;
}
