#ifndef STORESUPPORT_H
#define STORESUPPORT_H

// Helpers of the store tests, free of the window: sample stores, files as bytes, and what
// the store's three readers make of a folder.

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "sample/samplestore.h"
#include "store/dataprocessor.h"
#include "store/storefiles.h"
#include "store/storeoutline.h"
#include "store/storesnapshot.h"

#include <QDir>
#include <QFile>
#include <QMetaType>
#include <QTemporaryDir>

#include <numeric>

namespace TestSupport {

inline const QString &dataFileName()
{
    static const QString name = StoreFiles::dataFile;
    return name;
}

inline QString dataFileIn(const QString &folder)
{
    return QDir(folder).filePath(dataFileName());
}

inline QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeBytes(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(content) == content.size();
}

inline QByteArrayList contentsOf(const QStringList &paths)
{
    QByteArrayList contents;
    for (const QString &path : paths)
        contents << bytesOf(path);
    return contents;
}

using StoreMaker = SampleStore (*)(const QDateTime &);

inline SampleBattery pack(const QString &name, uint capacity = 4500, uint rating = 30,
    uint cycles = 0, bool charged = false)
{
    SampleBattery battery;
    battery.name = name;
    battery.capacity = capacity;
    battery.chargeRate = 10;
    battery.rating = rating;
    battery.purchase = QDate(2023, 4, 15);
    battery.cycles = cycles;
    battery.charged = charged;
    battery.lastUse = QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9));
    return battery;
}

inline SampleModel model(const QString &name, const QStringList &batteries = {})
{
    SampleModel model;
    model.name = name;
    model.type = QStringLiteral("Heli");
    model.weight = 1;
    model.size = 700;
    model.purchase = QDate(2022, 12, 31);
    model.lastUpdate = QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59));
    model.batteries = batteries;
    return model;
}

inline bool writeStore(const QString &folder, const SampleStore &store)
{
    return writeStoreFile(store, dataFileIn(folder));
}

inline QByteArray storeBytes(const SampleStore &store)
{
    QTemporaryDir dir;
    return writeStore(dir.path(), store) ? bytesOf(dataFileIn(dir.path())) : QByteArray();
}

inline QString readStore(const QString &folder)
{
    return QString::fromUtf8(bytesOf(dataFileIn(folder)));
}

inline QString iso(const QDateTime &when)
{
    const QString text = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    return !when.isValid() ? "null" : text + (when.timeSpec() == Qt::LocalTime ? "" : " not local");
}

// Every stored field of a record, as text, so that whole records compare as data.
inline QStringList fields(const BatteryWidget *b)
{
    QStringList all { b->batteryName(), QString::number(b->batteryCapacity()),
        QString::number(b->batteryChargeRate()), QString::number(b->batteryRating()),
        b->purchaseDate().toString(Qt::ISODate), QString::number(b->batteryCycles()),
        b->batteryCharged() ? "charged" : "empty", iso(b->lastUpdated()) };
    for (int i = 0; i < b->cycleDates().size(); ++i)
        all << QStringLiteral("%1 mAh %2 A/100 at %3")
                   .arg(b->cycleDischarged().value(i))
                   .arg(b->cycleCurrents().value(i))
                   .arg(iso(b->cycleDates().at(i)));
    return all;
}

inline QStringList fields(const ModelWidget *m)
{
    QStringList all { m->modelName(), m->modelType(), QString::number(m->modelWeight()),
        QString::number(m->modelSize()), m->purchaseDate().toString(Qt::ISODate),
        QString::number(m->modelFlights()), m->notes(), iso(m->lastUpdate()) };
    for (const QString &battery : m->modelBatteries())
        all << "battery " + battery;
    for (const LogData &entry : m->flightLog())
        all << QStringLiteral("flight %1 %2 at %3, %4 degrees: %5")
                   .arg(iso(entry.date), entry.duration.toString(), entry.location)
                   .arg(entry.temperature)
                   .arg(entry.notes);
    return all;
}

// The records one load of a folder gives, in the order the window reads them. Owns them.
struct Loaded {
    Loaded() = default;
    explicit Loaded(const QString &folder)
    {
        store.setStoragePath(folder);
        readFrom(store);
    }
    // Reads through `reader`, whose state the test follows.
    explicit Loaded(DataProcessor &reader) { readFrom(reader); }
    ~Loaded()
    {
        qDeleteAll(models);
        qDeleteAll(batteries);
    }
    Loaded(const Loaded &) = delete;
    Loaded &operator=(const Loaded &) = delete;

    void readFrom(DataProcessor &reader)
    {
        hasLocations = reader.readLocations(locations);
        reader.readModels(models);
        reader.readBatteries(batteries);
    }

    // Writes what was read into `folder`.
    void saveTo(const QString &folder)
    {
        store.setStoragePath(folder);
        store.writeData(batteries, models, locations);
    }

    // "locations models batteries cycles flights battery-names"
    QString counts() const
    {
        int cycles = 0, flights = 0, names = 0;
        for (const BatteryWidget *battery : batteries)
            cycles += battery->cycleDates().size();
        for (const ModelWidget *model : models) {
            flights += model->flightLog().size();
            names += model->modelBatteries().size();
        }
        QStringList all;
        for (const int count : { int(locations.size()), int(models.size()), int(batteries.size()),
                 cycles, flights, names })
            all << QString::number(count);
        return all.join(' ');
    }

    const BatteryWidget *battery(const QString &name) const
    {
        for (const BatteryWidget *record : batteries)
            if (record->batteryName() == name)
                return record;
        qFatal("no battery %s in the data file", qPrintable(name));
    }
    const ModelWidget *model(const QString &name) const
    {
        for (const ModelWidget *record : models)
            if (record->modelName() == name)
                return record;
        qFatal("no model %s in the data file", qPrintable(name));
    }

    DataProcessor store;
    bool hasLocations = false;
    QStringList locations;
    QVector<ModelWidget *> models;
    QVector<BatteryWidget *> batteries;
};

// Reads `content` in `inFolder`, saves it into `outFolder`, reads it again: what was lost of
// the records and entries (text may change), or nothing.
inline QString probeLoss(
    const QByteArray &content, const QString &inFolder, const QString &outFolder)
{
    QFile::remove(dataFileIn(outFolder));
    if (!writeBytes(dataFileIn(inFolder), content))
        return QStringLiteral("no input file");
    Loaded first(inFolder);
    first.saveTo(outFolder);
    const QString reread = QFile::exists(dataFileIn(outFolder)) ? Loaded(outFolder).counts() : "";
    return reread.isEmpty() || reread == first.counts()
        ? QString()
        : "read " + first.counts() + ", read back " + reread;
}

// The records of a store by name: its locations, "battery NAME", "model NAME: FLIGHTS",
// with the number of cycle entries of each battery where asked.
inline QStringList namesOf(const StoreSnapshot &store, bool cycles)
{
    QStringList names = store.locations;
    for (const StoreSnapshot::Battery &battery : store.batteries)
        names << "battery " + battery.name
                + (cycles ? QString(" %1").arg(battery.cycleData.size()) : "");
    for (const StoreSnapshot::Model &model : store.models)
        names << QString("model %1: %2").arg(model.name).arg(model.flightLog.size());
    return names;
}

// Where the outline (made from `earlier` as far as it can) does not give up, the readers meet
// no fault and read its records, names and flights, also with each record read alone:
// empty, or what each found.
inline QString outlineAgainstReaders(const QByteArray &content, const StoreOutline &earlier = {})
{
    StoreOutline outline;
    if (!outline.scan(content, earlier))
        return QString();
    StoreSnapshot whole, alone;
    whole.readBytes(content);
    QStringList batteries, models;
    for (const StoreOutline::Record &record : outline.records()) {
        if (record.kind == int(RecordKind::Batteries))
            batteries << "battery " + record.name;
        else if (record.kind == int(RecordKind::Models))
            models << QString("model %1: %2").arg(record.name).arg(record.flights);
    }
    QVector<int> all(outline.records().size());
    std::iota(all.begin(), all.end(), 0);
    alone.readBytes(outline.documentOf(all));
    const QStringList found = whole.locations + batteries + models;
    if (!whole.damaged() && found == namesOf(whole, false)
        && namesOf(alone, true) == namesOf(whole, true))
        return QString();
    return found.join('|') + " / read: " + namesOf(whole, true).join('|');
}

} // namespace TestSupport

Q_DECLARE_METATYPE(SampleStore)
Q_DECLARE_METATYPE(TestSupport::StoreMaker)

#endif // STORESUPPORT_H
