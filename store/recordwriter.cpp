#include "store/recordwriter.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/textforms.h"

#include <QBuffer>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

const QString datePattern = QStringLiteral("yyyy/MM/dd");

// A date-time's text depends on its kind of time as well as on its fields: only two
// local, valid ones with the same date and time are surely written alike. Null ones are
// both written as empty text.
bool writtenAlike(const QDateTime &a, const QDateTime &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.timeSpec() == Qt::LocalTime && b.timeSpec() == Qt::LocalTime && a.isValid()
        && b.isValid() && a.date() == b.date() && a.time() == b.time();
}

bool writtenAlike(const LogData &a, const LogData &b)
{
    return a.temperature == b.temperature && a.duration == b.duration && a.notes == b.notes
        && a.location == b.location && writtenAlike(a.date, b.date);
}

// Lists still shared with the kept copy are equal without a look at their items.
template <typename Item> bool writtenAlike(const QVector<Item> &a, const QVector<Item> &b)
{
    if (a.constData() == b.constData() && a.size() == b.size())
        return true;
    return a.size() == b.size()
        && std::equal(a.cbegin(), a.cend(), b.cbegin(),
            [](const Item &x, const Item &y) { return writtenAlike(x, y); });
}

} // namespace

BatteryValues BatteryValues::of(const BatteryWidget &battery)
{
    return { { battery.batteryName(), battery.batteryCapacity(), battery.batteryChargeRate(),
                 battery.batteryRating(), battery.purchaseDate(), battery.batteryCycles(),
                 battery.batteryCharged(), battery.lastUpdated(), {} },
        battery.cycleDates(), battery.cycleDischarged(), battery.cycleCurrents(),
        battery.cycleMinVoltages(), battery.cycleResistances() };
}

BatteryRecord BatteryValues::toRecord() const
{
    BatteryRecord battery = record;
    battery.cycleData.reserve(dates.size());
    // value() gives 0 should a value list ever be shorter than the dates
    for (int i = 0; i < dates.size(); ++i)
        battery.cycleData.append({ dates.at(i), discharged.value(i), currents.value(i),
            minVoltages.value(i), resistances.value(i) });
    return battery;
}

bool BatteryValues::writesAs(const BatteryValues &other) const
{
    const BatteryRecord &a = record;
    const BatteryRecord &b = other.record;
    return a.capacity == b.capacity && a.chargeRate == b.chargeRate && a.rating == b.rating
        && a.cycles == b.cycles && a.charged == b.charged && a.purchase == b.purchase
        && a.name == b.name && writtenAlike(a.lastUse, b.lastUse) && discharged == other.discharged
        && currents == other.currents && minVoltages == other.minVoltages
        && resistances == other.resistances && writtenAlike(dates, other.dates);
}

ModelValues ModelValues::of(const ModelWidget &model)
{
    return { { model.modelName(), model.modelType(), model.modelWeight(), model.modelSize(),
        model.purchaseDate(), model.modelFlights(), model.notes(), model.lastUpdate(),
        QStringList(model.modelBatteries().toList()), model.flightLog() } };
}

bool ModelValues::writesAs(const ModelValues &other) const
{
    const ModelRecord &a = record;
    const ModelRecord &b = other.record;
    return a.weight == b.weight && a.size == b.size && a.flights == b.flights
        && a.purchase == b.purchase && a.name == b.name && a.type == b.type && a.notes == b.notes
        && writtenAlike(a.lastUpdate, b.lastUpdate) && a.batteries == b.batteries
        && writtenAlike(a.flightLog, b.flightLog);
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

StoreRecords StoreValues::toRecords() const
{
    StoreRecords store { locations, {}, {} };
    store.batteries.reserve(batteries.size());
    for (const BatteryValues &battery : batteries)
        store.batteries.append(battery.toRecord());
    store.models.reserve(models.size());
    for (const ModelValues &model : models)
        store.models.append(model.record);
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

static void writeBatteryData(QXmlStreamWriter &writer, const BatteryValues &battery)
{
    if (battery.dates.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("Data"));
    for (int i = 0; i < battery.dates.size(); ++i)
        writeCycle(writer, battery, i);
    writer.writeEndElement();
}

void writeCycle(QXmlStreamWriter &writer, const BatteryValues &battery, int i)
{
    writer.writeEmptyElement(QStringLiteral("Cycle"));
    // value() gives 0 should a value list ever be shorter than the dates
    writer.writeAttribute(
        QStringLiteral("Discharged"), QString::number(battery.discharged.value(i)));
    writer.writeAttribute(QStringLiteral("Current"), QString::number(battery.currents.value(i)));
    writer.writeAttribute(QStringLiteral("Date"), dateTimeText(battery.dates.at(i)));
    // Written only when known: a point without them stays as it always was.
    if (const uint minVoltage = battery.minVoltages.value(i))
        writer.writeAttribute(QStringLiteral("MinVoltage"), QString::number(minVoltage));
    if (const uint resistance = battery.resistances.value(i))
        writer.writeAttribute(QStringLiteral("Resistance"), QString::number(resistance));
}

bool cycleWrittenAlike(const BatteryValues &a, int i, const BatteryValues &b, int j)
{
    return a.discharged.value(i) == b.discharged.value(j)
        && a.currents.value(i) == b.currents.value(j)
        && a.minVoltages.value(i) == b.minVoltages.value(j)
        && a.resistances.value(i) == b.resistances.value(j)
        && writtenAlike(a.dates.at(i), b.dates.at(j));
}

void writeBattery(QXmlStreamWriter &writer, const BatteryValues &values)
{
    const BatteryRecord &battery = values.record;
    writer.writeStartElement(QStringLiteral("Battery"));
    writer.writeTextElement(QStringLiteral("Name"), xmlText(battery.name));
    writer.writeTextElement(QStringLiteral("Capacity"), QString::number(battery.capacity));
    writer.writeTextElement(QStringLiteral("Chrgrate"), QString::number(battery.chargeRate));
    writer.writeTextElement(QStringLiteral("Dischrgrate"), QString::number(battery.rating));
    writer.writeTextElement(QStringLiteral("Purchase"), battery.purchase.toString(datePattern));
    writer.writeTextElement(QStringLiteral("Cycles"), QString::number(battery.cycles));
    writer.writeTextElement(
        QStringLiteral("Charged"), battery.charged ? QStringLiteral("1") : QStringLiteral("0"));
    writer.writeTextElement(QStringLiteral("LastUse"), dateTimeText(battery.lastUse));
    writeBatteryData(writer, values);
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
    writer.writeAttribute(QStringLiteral("Date"), dateTimeText(entry.date));
    writer.writeAttribute(QStringLiteral("Location"), xmlText(entry.location));
    writer.writeAttribute(QStringLiteral("Duration"), timeText(entry.duration));
    writer.writeAttribute(QStringLiteral("Temperature"), QString::number(entry.temperature));
    writer.writeAttribute(QStringLiteral("Notes"), xmlText(entry.notes));
}

bool logEntryWrittenAlike(const LogData &a, const LogData &b)
{
    return writtenAlike(a, b);
}

void writeModel(QXmlStreamWriter &writer, const ModelValues &values)
{
    const ModelRecord &model = values.record;
    writer.writeStartElement(QStringLiteral("Model"));
    writer.writeTextElement(QStringLiteral("Name"), xmlText(model.name));
    writer.writeTextElement(QStringLiteral("Type"), xmlText(model.type));
    writer.writeTextElement(QStringLiteral("Weight"), QString::number(model.weight));
    writer.writeTextElement(QStringLiteral("Size"), QString::number(model.size));
    writer.writeTextElement(QStringLiteral("Purchase"), model.purchase.toString(datePattern));
    writer.writeTextElement(QStringLiteral("Flights"), QString::number(model.flights));
    writer.writeTextElement(QStringLiteral("Notes"), xmlText(model.notes));
    writer.writeTextElement(QStringLiteral("LastUpdate"), dateTimeText(model.lastUpdate));
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

static BatteryValues valuesOf(const BatteryRecord &battery)
{
    BatteryValues values { battery, {}, {}, {}, {}, {} };
    values.record.cycleData.clear();
    for (const CycleRecord &cycle : battery.cycleData) {
        values.dates.append(cycle.date);
        values.discharged.append(cycle.discharged);
        values.currents.append(cycle.current);
        values.minVoltages.append(cycle.minVoltage);
        values.resistances.append(cycle.resistance);
    }
    return values;
}

QByteArray wholeDocument(const StoreRecords &store)
{
    StoreValues values { store.locations, {}, {} };
    for (const BatteryRecord &battery : store.batteries)
        values.batteries.append(valuesOf(battery));
    for (const ModelRecord &model : store.models)
        values.models.append({ model });
    return wholeDocument(values);
}

} // namespace RecordWriter
