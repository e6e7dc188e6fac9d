#include "host/storechange.h"

#include <QCoreApplication>
#include <QMap>
#include <QStringList>
#include <QXmlStreamReader>

namespace {

// What one battery or model record holds, enough to tell how it changed.
struct Record {
    QString content; // every name, attribute and text, to notice any change
    int entries = 0; // cycles of a battery, flights of a model
    bool charged = false;
    QStringList batteries;
};

struct Digest {
    QStringList locations;
    QMap<QString, Record> batteries;
    QMap<QString, Record> models;
};

// The names' translation context.
struct Names {
    Q_DECLARE_TR_FUNCTIONS(StoreChange)
};

// Reads one record up to its end tag; its own name comes from the child "Name".
void readRecord(QXmlStreamReader &reader, QMap<QString, Record> &records)
{
    Record record;
    QString name;
    for (int depth = 1; depth > 0 && !reader.atEnd();) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            ++depth;
            const QString element = reader.name().toString();
            record.content += QLatin1Char('<') + element;
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                record.content += QLatin1Char(' ') + attribute.value().toString();
            if (element == QLatin1String("Cycle") || element == QLatin1String("LogData"))
                ++record.entries;
            if (depth == 2 && element != QLatin1String("Data")
                && element != QLatin1String("FlightLog")) {
                // A text field: read whole, with its end tag.
                const QString value = reader.readElementText();
                --depth;
                record.content += value;
                if (element == QLatin1String("Name"))
                    name = value;
                else if (element == QLatin1String("Charged"))
                    record.charged = value == QLatin1String("1");
                else if (element == QLatin1String("Battery"))
                    record.batteries << value;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            record.content += reader.text();
            break;
        default:
            break;
        }
    }
    // Two records of one name: the later one counts, as in the module.
    records.insert(name, record);
}

Digest digestOf(const QByteArray &bytes)
{
    Digest digest;
    QXmlStreamReader reader(bytes);
    if (!reader.readNextStartElement())
        return digest;
    while (reader.readNextStartElement()) {
        const QStringRef element = reader.name();
        if (element == QLatin1String("Battery")) {
            readRecord(reader, digest.batteries);
        } else if (element == QLatin1String("Model")) {
            readRecord(reader, digest.models);
        } else if (element == QLatin1String("Locations")) {
            while (reader.readNextStartElement()) {
                digest.locations << reader.attributes().value(QLatin1String("Name")).toString();
                reader.skipCurrentElement();
            }
        } else {
            reader.skipCurrentElement();
        }
    }
    return digest;
}

void compareLocations(const QStringList &before, const QStringList &after, QStringList &changes)
{
    for (const QString &name : after) {
        if (!before.contains(name))
            changes << Names::tr("Add Location %1").arg(name);
    }
    for (const QString &name : before) {
        if (!after.contains(name))
            changes << Names::tr("Delete Location %1").arg(name);
    }
}

QString batteryChange(const QString &name, const Record &was, const Record &is)
{
    if (is.entries > was.entries)
        return Names::tr("Discharge of %1").arg(name);
    if (is.charged && !was.charged && is.entries == was.entries)
        return Names::tr("Charge of %1").arg(name);
    return Names::tr("Modify Battery %1").arg(name);
}

// A flight logged together with a battery's discharge is named by the battery: empty.
QString modelChange(const QString &name, const Record &was, const Record &is, bool discharge)
{
    for (const QString &battery : is.batteries) {
        if (!was.batteries.contains(battery))
            return Names::tr("Assign %1 to %2").arg(battery, name);
    }
    for (const QString &battery : was.batteries) {
        if (!is.batteries.contains(battery))
            return Names::tr("Remove %1 from %2").arg(battery, name);
    }
    if (is.entries > was.entries)
        return discharge ? QString() : Names::tr("Flight of %1").arg(name);
    return Names::tr("Modify Model %1").arg(name);
}

bool anyDischarged(const QMap<QString, Record> &before, const QMap<QString, Record> &after)
{
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const auto was = before.constFind(it.key());
        if (was != before.cend() && it->entries > was->entries)
            return true;
    }
    return false;
}

template <typename Describe>
void compareRecords(const QMap<QString, Record> &before, const QMap<QString, Record> &after,
    const char *added, const char *deleted, Describe describeChange, QStringList &changes)
{
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const auto was = before.constFind(it.key());
        if (was == before.cend())
            changes << Names::tr(added).arg(it.key());
        else if (was->content != it->content)
            changes << describeChange(it.key(), *was, *it);
    }
    changes.removeAll(QString());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            changes << Names::tr(deleted).arg(it.key());
    }
}

} // namespace

QString StoreChange::describe(const QByteArray &before, const QByteArray &after)
{
    const Digest was = digestOf(before);
    const Digest is = digestOf(after);
    QStringList changes;
    compareLocations(was.locations, is.locations, changes);
    compareRecords(was.batteries, is.batteries, QT_TRANSLATE_NOOP("StoreChange", "Add Battery %1"),
        QT_TRANSLATE_NOOP("StoreChange", "Delete Battery %1"), batteryChange, changes);
    const bool discharge = anyDischarged(was.batteries, is.batteries);
    compareRecords(
        was.models, is.models, QT_TRANSLATE_NOOP("StoreChange", "Add Model %1"),
        QT_TRANSLATE_NOOP("StoreChange", "Delete Model %1"),
        [discharge](const QString &name, const Record &a, const Record &b) {
            return modelChange(name, a, b, discharge);
        },
        changes);
    if (changes.size() == 1)
        return changes.first();
    return changes.isEmpty() ? Names::tr("Change") : Names::tr("Import");
}
