#include "store/recordwriter.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/textforms.h"

#include <QBuffer>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

// Values of every other kind are written alike when they are equal.
template <typename Value> bool writtenAlike(const Value &a, const Value &b)
{
    return a == b;
}

// A date-time's text depends on its kind of time as well as on its fields: only two
// local, valid ones with the same date and time are surely written alike. Null ones are
// both written as empty text.
template <> bool writtenAlike(const QDateTime &a, const QDateTime &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.timeSpec() == Qt::LocalTime && b.timeSpec() == Qt::LocalTime && a.isValid()
        && b.isValid() && a.date() == b.date() && a.time() == b.time();
}

// Every field of the list written alike.
template <typename Fields, typename Record>
bool fieldsWrittenAlike(const Fields &fields, const Record &a, const Record &b)
{
    bool alike = true;
    RecordFields::forEach(fields, [&](const auto &field) {
        alike = alike && writtenAlike(a.*field.member, b.*field.member);
    });
    return alike;
}

template <> bool writtenAlike(const LogData &a, const LogData &b)
{
    return fieldsWrittenAlike(RecordFields::logEntry(), a, b);
}

// Lists still shared with the kept copy are equal without a look at their items.
template <typename Item> bool listWrittenAlike(const QVector<Item> &a, const QVector<Item> &b)
{
    if (a.constData() == b.constData() && a.size() == b.size())
        return true;
    return a.size() == b.size()
        && std::equal(a.cbegin(), a.cend(), b.cbegin(),
            [](const Item &x, const Item &y) { return writtenAlike(x, y); });
}

// The columns as the writer reads them: as many entries as dates, 0 where a column ends.
bool columnsWrittenAlike(const CycleColumns &a, const CycleColumns &b)
{
    if (a.dates.size() != b.dates.size())
        return false;
    bool alike = true;
    RecordFields::forEach(RecordFields::cycle(), [&](const auto &field) {
        alike = alike && listWrittenAlike(a.*field.column, b.*field.column);
    });
    return alike;
}

template <typename Fields, typename Record>
void writeTextChildren(QXmlStreamWriter &writer, const Fields &fields, const Record &record)
{
    RecordFields::forEach(fields, [&](const auto &field) {
        writer.writeTextElement(field.name, field.text(record.*field.member));
    });
}

} // namespace

BatteryValues BatteryValues::of(const BatteryWidget &battery)
{
    return { { battery.batteryName(), battery.batteryCapacity(), battery.batteryChargeRate(),
                 battery.batteryRating(), battery.purchaseDate(), battery.batteryCycles(),
                 battery.batteryCharged(), battery.lastUpdated(), {} },
        { battery.cycleDates(), battery.cycleDischarged(), battery.cycleCurrents(),
            battery.cycleMinVoltages(), battery.cycleResistances() } };
}

BatteryValues BatteryValues::of(const BatteryRecord &battery)
{
    BatteryValues values { battery, {} };
    values.record.cycleData.clear();
    RecordFields::forEach(RecordFields::cycle(), [&](const auto &field) {
        auto &column = values.cycles.*field.column;
        column.reserve(battery.cycleData.size());
        for (const CycleRecord &cycle : battery.cycleData)
            column.append(cycle.*field.member);
    });
    return values;
}

bool BatteryValues::writesAs(const BatteryValues &other) const
{
    return fieldsWrittenAlike(RecordFields::battery(), record, other.record)
        && columnsWrittenAlike(cycles, other.cycles);
}

ModelValues ModelValues::of(const ModelWidget &model)
{
    return { { model.modelName(), model.modelType(), model.modelWeight(), model.modelSize(),
        model.purchaseDate(), model.modelFlights(), model.notes(), model.lastUpdate(),
        QStringList(model.modelBatteries().toList()), model.flightLog() } };
}

bool ModelValues::writesAs(const ModelValues &other) const
{
    return fieldsWrittenAlike(RecordFields::model(), record, other.record)
        && record.batteries == other.record.batteries
        && listWrittenAlike(record.flightLog, other.record.flightLog);
}

StoreValues StoreValues::of(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    StoreValues store;
    store.locations = locations;
    store.batteries.reserve(batteries.size());
    for (const BatteryWidget *battery : batteries)
        store.batteries.append(BatteryValues::of(*battery));
    store.models.reserve(models.size());
    for (const ModelWidget *model : models)
        store.models.append(ModelValues::of(*model));
    return store;
}

StoreValues StoreValues::of(const StoreRecords &records)
{
    StoreValues store { records.locations, {}, {} };
    store.batteries.reserve(records.batteries.size());
    for (const BatteryRecord &battery : records.batteries)
        store.batteries.append(BatteryValues::of(battery));
    store.models.reserve(records.models.size());
    for (const ModelRecord &model : records.models)
        store.models.append({ model });
    return store;
}

namespace RecordWriter {

void writeLocations(QXmlStreamWriter &writer, const QStringList &locations)
{
    writer.writeStartElement(QStringLiteral("Locations"));
    for (const QString &location : locations) {
        writer.writeEmptyElement(QStringLiteral("Location"));
        writer.writeAttribute(QStringLiteral("Name"), xmlText(location));
    }
    writer.writeEndElement();
}

static void writeBatteryData(QXmlStreamWriter &writer, const CycleColumns &cycles)
{
    if (cycles.dates.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("Data"));
    for (int i = 0; i < cycles.dates.size(); ++i)
        writeCycle(writer, cycles, i);
    writer.writeEndElement();
}

void writeCycle(QXmlStreamWriter &writer, const CycleColumns &cycles, int i)
{
    writer.writeEmptyElement(QStringLiteral("Cycle"));
    RecordFields::forEach(RecordFields::cycle(), [&](const auto &field) {
        // value() gives 0 should a column ever be shorter than the dates
        const auto value = (cycles.*field.column).value(i);
        if (!field.known || field.known(value))
            writer.writeAttribute(field.name, field.text(value));
    });
}

bool cycleWrittenAlike(const CycleColumns &a, int i, const CycleColumns &b, int j)
{
    bool alike = true;
    RecordFields::forEach(RecordFields::cycle(), [&](const auto &field) {
        alike = alike && writtenAlike((a.*field.column).value(i), (b.*field.column).value(j));
    });
    return alike;
}

void writeBattery(QXmlStreamWriter &writer, const BatteryValues &values)
{
    writer.writeStartElement(QStringLiteral("Battery"));
    writeTextChildren(writer, RecordFields::battery(), values.record);
    writeBatteryData(writer, values.cycles);
    writer.writeEndElement();
}

static void writeFlightLog(QXmlStreamWriter &writer, const ModelRecord &model)
{
    if (model.flightLog.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("FlightLog"));
    for (const LogData &entry : model.flightLog)
        writeLogEntry(writer, entry);
    writer.writeEndElement();
}

void writeLogEntry(QXmlStreamWriter &writer, const LogData &entry)
{
    writer.writeEmptyElement(QStringLiteral("LogData"));
    RecordFields::forEach(RecordFields::logEntry(), [&](const auto &field) {
        writer.writeAttribute(field.name, field.text(entry.*field.member));
    });
}

bool logEntryWrittenAlike(const LogData &a, const LogData &b)
{
    return writtenAlike(a, b);
}

void writeModel(QXmlStreamWriter &writer, const ModelValues &values)
{
    const ModelRecord &model = values.record;
    writer.writeStartElement(QStringLiteral("Model"));
    writeTextChildren(writer, RecordFields::model(), model);
    for (const QString &batteryName : model.batteries)
        writer.writeTextElement(QStringLiteral("Battery"), xmlText(batteryName));
    writeFlightLog(writer, model);
    writer.writeEndElement();
}

QByteArray wholeDocument(const StoreValues &store)
{
    QByteArray document;
    QBuffer buffer(&document);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeDTD(QStringLiteral("<!DOCTYPE Cellora>"));
    writer.writeStartElement(QStringLiteral("Cellora"));
    if (!store.locations.isEmpty())
        writeLocations(writer, store.locations);
    for (const BatteryValues &battery : store.batteries)
        writeBattery(writer, battery);
    for (const ModelValues &model : store.models)
        writeModel(writer, model);
    writer.writeEndElement();
    writer.writeEndDocument();
    forgetSavedDays();
    return writer.hasError() ? QByteArray() : document;
}

QByteArray wholeDocument(const StoreRecords &store)
{
    return wholeDocument(StoreValues::of(store));
}

} // namespace RecordWriter
