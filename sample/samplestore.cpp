#include "sample/samplestore.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace {

// The English form of Qt::TextDate, whatever the system's language, as the store writes it.
QString dateTimeText(const QDateTime &when)
{
    return when.isNull() ? QString()
                         : QLocale::c().toString(when, QStringLiteral("ddd MMM d HH:mm:ss yyyy"));
}

QString dateText(const QDate &date)
{
    return date.isNull() ? QString() : date.toString(QStringLiteral("yyyy/MM/dd"));
}

QString timeText(const QTime &time)
{
    return time.isNull() ? QString() : time.toString(Qt::TextDate);
}

void writeLocations(QXmlStreamWriter &xml, const QStringList &locations)
{
    xml.writeStartElement(QStringLiteral("Locations"));
    for (const QString &location : locations) {
        xml.writeEmptyElement(QStringLiteral("Location"));
        xml.writeAttribute(QStringLiteral("Name"), location);
    }
    xml.writeEndElement();
}

void writeBattery(QXmlStreamWriter &xml, const SampleBattery &battery)
{
    xml.writeStartElement(QStringLiteral("Battery"));
    xml.writeTextElement(QStringLiteral("Name"), battery.name);
    xml.writeTextElement(QStringLiteral("Capacity"), QString::number(battery.capacity));
    xml.writeTextElement(QStringLiteral("Chrgrate"), QString::number(battery.chargeRate));
    xml.writeTextElement(QStringLiteral("Dischrgrate"), QString::number(battery.rating));
    xml.writeTextElement(QStringLiteral("Purchase"), dateText(battery.purchase));
    xml.writeTextElement(QStringLiteral("Cycles"), QString::number(battery.cycles));
    xml.writeTextElement(
        QStringLiteral("Charged"), battery.charged ? QStringLiteral("1") : QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("LastUse"), dateTimeText(battery.lastUse));
    if (!battery.cycleData.isEmpty()) {
        xml.writeStartElement(QStringLiteral("Data"));
        for (const SampleCycle &cycle : battery.cycleData) {
            xml.writeEmptyElement(QStringLiteral("Cycle"));
            xml.writeAttribute(QStringLiteral("Discharged"), QString::number(cycle.discharged));
            xml.writeAttribute(QStringLiteral("Current"), QString::number(cycle.current));
            xml.writeAttribute(QStringLiteral("Date"), dateTimeText(cycle.date));
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void writeModel(QXmlStreamWriter &xml, const SampleModel &model)
{
    xml.writeStartElement(QStringLiteral("Model"));
    xml.writeTextElement(QStringLiteral("Name"), model.name);
    xml.writeTextElement(QStringLiteral("Type"), model.type);
    xml.writeTextElement(QStringLiteral("Weight"), QString::number(model.weight));
    xml.writeTextElement(QStringLiteral("Size"), QString::number(model.size));
    xml.writeTextElement(QStringLiteral("Purchase"), dateText(model.purchase));
    xml.writeTextElement(QStringLiteral("Flights"), QString::number(model.flights));
    xml.writeTextElement(QStringLiteral("Notes"), model.notes);
    xml.writeTextElement(QStringLiteral("LastUpdate"), dateTimeText(model.lastUpdate));
    for (const QString &battery : model.batteries)
        xml.writeTextElement(QStringLiteral("Battery"), battery);
    if (!model.flightLog.isEmpty()) {
        xml.writeStartElement(QStringLiteral("FlightLog"));
        for (const SampleFlight &flight : model.flightLog) {
            xml.writeEmptyElement(QStringLiteral("LogData"));
            xml.writeAttribute(QStringLiteral("Date"), dateTimeText(flight.date));
            xml.writeAttribute(QStringLiteral("Location"), flight.location);
            xml.writeAttribute(QStringLiteral("Duration"), timeText(flight.duration));
            xml.writeAttribute(QStringLiteral("Temperature"), QString::number(flight.temperature));
            xml.writeAttribute(QStringLiteral("Notes"), flight.notes);
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

} // namespace

bool writeStoreFile(const SampleStore &store, const QString &filePath)
{
    if (!QDir().mkpath(QFileInfo(filePath).absolutePath()))
        return false;
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;

    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE Cellora>"));
    xml.writeStartElement(QStringLiteral("Cellora"));
    if (!store.locations.isEmpty())
        writeLocations(xml, store.locations);
    for (const SampleBattery &battery : store.batteries)
        writeBattery(xml, battery);
    for (const SampleModel &model : store.models)
        writeModel(xml, model);
    xml.writeEndElement();
    xml.writeEndDocument();

    // A half-written store must never replace the old file.
    if (xml.hasError()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
