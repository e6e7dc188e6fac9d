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
    BatteryValues values;
    values.name = battery.batteryName();
    values.capacity = battery.batteryCapacity();
    values.chargeRate = battery.batteryChargeRate();
    values.rating = battery.batteryRating();
    values.purchase = battery.purchaseDate();
    values.cycles = battery.batteryCycles();
    values.charged = battery.batteryCharged();
    values.lastUse = battery.lastUpdated();
    values.dates = battery.cycleDates();
    values.discharged = battery.cycleDischarged();
    values.currents = battery.cycleCurrents();
    return values;
}

bool BatteryValues::writesAs(const BatteryValues &other) const
{
    return capacity == other.capacity && chargeRate == other.chargeRate && rating == other.rating
        && cycles == other.cycles && charged == other.charged && purchase == other.purchase
        && name == other.name && writtenAlike(lastUse, other.lastUse)
        && discharged == other.discharged && currents == other.currents
        && writtenAlike(dates, other.dates);
}

ModelValues ModelValues::of(const ModelWidget &model)
{
    ModelValues values;
    values.name = model.modelName();
    values.type = model.modelType();
    values.weight = model.modelWeight();
    values.size = model.modelSize();
    values.purchase = model.purchaseDate();
    values.flights = model.modelFlights();
    values.notes = model.notes();
    values.lastUpdate = model.lastUpdate();
    values.batteries = model.modelBatteries();
    values.flightLog = model.flightLog();
    return values;
}

bool ModelValues::writesAs(const ModelValues &other) const
{
    return weight == other.weight && size == other.size && flights == other.flights
        && purchase == other.purchase && name == other.name && type == other.type
        && notes == other.notes && writtenAlike(lastUpdate, other.lastUpdate)
        && batteries == other.batteries && writtenAlike(flightLog, other.flightLog);
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
}

bool cycleWrittenAlike(const BatteryValues &a, int i, const BatteryValues &b, int j)
{
    return a.discharged.value(i) == b.discharged.value(j)
        && a.currents.value(i) == b.currents.value(j) && writtenAlike(a.dates.at(i), b.dates.at(j));
}

void writeBattery(QXmlStreamWriter &writer, const BatteryValues &battery)
{
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
    writeBatteryData(writer, battery);
    writer.writeEndElement();
}

static void writeFlightLog(QXmlStreamWriter &writer, const ModelValues &model)
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

void writeModel(QXmlStreamWriter &writer, const ModelValues &model)
{
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

} // namespace RecordWriter
