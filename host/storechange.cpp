#include "host/storechange.h"

#include "store/storeoutline.h"
#include "store/storesnapshot.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QMap>
#include <QSet>
#include <QStringList>

namespace {

// What one battery or model record holds, enough to tell how it changed.
struct Record {
    QByteArray content; // every value, to notice any change
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

Record recordOf(const StoreSnapshot::Battery &battery)
{
    Record record;
    QDataStream values(&record.content, QIODevice::WriteOnly);
    values << battery.capacity << battery.chargeRate << battery.rating << battery.purchase
           << battery.cycles << battery.charged << battery.lastUse;
    for (const StoreSnapshot::Cycle &cycle : battery.cycleData)
        values << cycle.date << cycle.discharged << cycle.current;
    record.entries = battery.cycleData.size();
    record.charged = battery.charged;
    return record;
}

Record recordOf(const StoreSnapshot::Model &model)
{
    Record record;
    QDataStream values(&record.content, QIODevice::WriteOnly);
    values << model.type << model.weight << model.size << model.purchase << model.flights
           << model.notes << model.lastUpdate << model.batteries;
    for (const LogData &entry : model.flightLog)
        values << entry.date << entry.duration << entry.location << entry.temperature
               << entry.notes;
    record.entries = model.flightLog.size();
    record.batteries = QStringList(model.batteries.begin(), model.batteries.end());
    return record;
}

// Two records of one name: the later one counts, as in the module.
Digest digestOf(const QByteArray &bytes)
{
    StoreSnapshot snapshot;
    snapshot.readBytes(bytes);
    Digest digest;
    digest.locations = snapshot.locations;
    for (const StoreSnapshot::Battery &battery : qAsConst(snapshot.batteries))
        digest.batteries.insert(battery.name, recordOf(battery));
    for (const StoreSnapshot::Model &model : qAsConst(snapshot.models))
        digest.models.insert(model.name, recordOf(model));
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

namespace {

QString describeChange(const Digest &was, const Digest &is)
{
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

// Whether a changed battery or model shares its name with an unchanged record: then which
// of them counts depends on all the others, and the versions are read whole.
bool sharesName(const StoreOutline &outline, const QVector<int> &changed)
{
    QSet<QPair<int, QString>> changedNames;
    for (const int place : changed)
        changedNames.insert({ outline.records().at(place).kind, outline.records().at(place).name });
    for (int place = 0; place < outline.records().size(); ++place) {
        const StoreOutline::Record &record = outline.records().at(place);
        if (!changed.contains(place) && changedNames.contains({ record.kind, record.name }))
            return true;
    }
    return false;
}

// The changed records with every list of locations, in the order of the file.
QByteArray changedPart(const StoreOutline &outline, const QVector<int> &changed)
{
    QVector<int> places;
    for (int place = 0; place < outline.records().size(); ++place) {
        if (changed.contains(place)
            || outline.records().at(place).kind == int(RecordKind::Locations))
            places.append(place);
    }
    return outline.documentOf(places);
}

// Outlines `bytes`, taking what it can from the outline made last: the versions named one
// after the other are versions of one store, which share most of their records.
bool outline(const QByteArray &bytes, StoreOutline &outline)
{
    static StoreOutline last;
    if (!outline.scan(bytes, last))
        return false;
    last = outline;
    return true;
}

} // namespace

QString StoreChange::describe(const QByteArray &before, const QByteArray &after)
{
    // Two versions of one store differ in a few records: where the outlines tell which,
    // only those are read. The records both hold alike add nothing to the name.
    StoreOutline was;
    StoreOutline is;
    if (outline(before, was) && outline(after, is)) {
        QVector<int> wasChanged;
        QVector<int> isChanged;
        StoreOutline::pairRecords(was, is, &wasChanged, &isChanged);
        if (!sharesName(was, wasChanged) && !sharesName(is, isChanged))
            return describeChange(
                digestOf(changedPart(was, wasChanged)), digestOf(changedPart(is, isChanged)));
    }
    return describeChange(digestOf(before), digestOf(after));
}
