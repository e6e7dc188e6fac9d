#include "store/storesnapshot.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/dataprocessor.h"
#include "store/overwriteguard.h"
#include "store/rescuecopies.h"
#include "store/storefiles.h"

#include <QBuffer>
#include <QDir>

#include <limits>

namespace {

// The widgets the store's readers and writer work on live only for one conversion.
template <typename Record> struct Records {
    QVector<Record *> list;
    ~Records() { qDeleteAll(list); }
};

StoreSnapshot::Battery batteryValues(const BatteryWidget &widget)
{
    StoreSnapshot::Battery battery;
    battery.name = widget.batteryName();
    battery.capacity = widget.batteryCapacity();
    battery.chargeRate = widget.batteryChargeRate();
    battery.rating = widget.batteryRating();
    battery.purchase = widget.purchaseDate();
    battery.cycles = widget.batteryCycles();
    battery.charged = widget.batteryCharged();
    battery.lastUse = widget.lastUpdated();
    const QVector<QDateTime> &dates = widget.cycleDates();
    battery.cycleData.reserve(dates.size());
    for (int i = 0; i < dates.size(); ++i) {
        battery.cycleData.append(
            { dates.at(i), widget.cycleDischarged().value(i), widget.cycleCurrents().value(i) });
    }
    return battery;
}

BatteryWidget *batteryWidget(const StoreSnapshot::Battery &battery)
{
    auto *widget = new BatteryWidget;
    widget->holdCardLabels();
    widget->setBatteryName(battery.name);
    widget->setBatteryCapacity(battery.capacity);
    widget->setBatteryChargeRate(battery.chargeRate);
    widget->setBatteryRating(battery.rating);
    widget->setPurchaseDate(battery.purchase);
    widget->setBatteryCycles(battery.cycles);
    // Setting the charged state stamps the battery as used now: the last use comes after.
    widget->setBatteryCharged(battery.charged, false);
    widget->setLastUpdated(battery.lastUse);
    for (const StoreSnapshot::Cycle &cycle : battery.cycleData)
        widget->addCycleData(cycle.date, cycle.discharged, cycle.current, false);
    return widget;
}

StoreSnapshot::Model modelValues(const ModelWidget &widget)
{
    StoreSnapshot::Model model;
    model.name = widget.modelName();
    model.type = widget.modelType();
    model.weight = widget.modelWeight();
    model.size = widget.modelSize();
    model.purchase = widget.purchaseDate();
    model.flights = widget.modelFlights();
    model.notes = widget.notes();
    model.lastUpdate = widget.lastUpdate();
    model.batteries = widget.modelBatteries();
    model.flightLog = widget.flightLog();
    return model;
}

ModelWidget *modelWidget(const StoreSnapshot::Model &model)
{
    auto *widget = new ModelWidget;
    widget->setModelName(model.name);
    widget->setModelType(model.type);
    widget->setModelWeight(model.weight);
    widget->setModelSize(model.size);
    widget->setPurchaseDate(model.purchase);
    widget->setModelFlights(model.flights);
    widget->setNotes(model.notes);
    widget->setLastUpdate(model.lastUpdate);
    for (const QString &battery : model.batteries)
        widget->addBattery(battery);
    for (const LogData &entry : model.flightLog)
        widget->addLogData(entry);
    return widget;
}

} // namespace

CyclePairing::CyclePairing(const QVector<BatteryWidget *> &batteries)
{
    for (int b = 0; b < batteries.size(); ++b) {
        const QVector<QDateTime> &dates = batteries.at(b)->cycleDates();
        for (int c = 0; c < dates.size(); ++c)
            addCycle(b, c, dates.at(c));
    }
}

CyclePairing::Moment CyclePairing::momentOf(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return { std::numeric_limits<qint64>::min(), -1 }; // every undated entry alike
    const QDateTime local
        = dateTime.timeSpec() == Qt::LocalTime ? dateTime : dateTime.toLocalTime();
    return { local.date().toJulianDay(), local.time().msecsSinceStartOfDay() };
}

void CyclePairing::addCycle(int battery, int cycle, const QDateTime &moment)
{
    CycleRef &found = byMoment[momentOf(moment)];
    if (found.battery < battery)
        found = { battery, cycle };
}

CycleRef CyclePairing::find(const QDateTime &moment) const
{
    return byMoment.value(momentOf(moment));
}

QString StoreSnapshot::dataFilePath(const QString &storageFolder)
{
    return QDir(storageFolder).absoluteFilePath(StoreFiles::dataFile);
}

bool StoreSnapshot::importContent(const QString &storageFolder, const QByteArray &content)
{
    QByteArray bytes = content;
    QBuffer source(&bytes);
    DataProcessor store;
    store.setStoragePath(storageFolder);
    return !bytes.isEmpty() && source.open(QIODevice::ReadOnly) && store.importData(&source);
}

QString StoreSnapshot::rescueFolder(const QString &storageFolder)
{
    return RescueCopies(storageFolder).folder();
}

QStringList StoreSnapshot::rescueCopies(const QString &storageFolder)
{
    return RescueCopies(storageFolder).copies();
}

bool StoreSnapshot::readFile(const QString &fileName)
{
    // A guard that knows nothing reads the file whole, within the store's own size limit.
    QByteArray content;
    FileBytes::Stamp stamp;
    if (!OverwriteGuard().readFile(fileName, &content, &stamp))
        return false;
    readBytes(content);
    return true;
}

void StoreSnapshot::readBytes(const QByteArray &content)
{
    Records<ModelWidget> modelWidgets;
    Records<BatteryWidget> batteryWidgets;
    locations.clear();
    readDamaged
        = !DataProcessor().readDocument(content, locations, modelWidgets.list, batteryWidgets.list);
    models.clear();
    models.reserve(modelWidgets.list.size());
    for (const ModelWidget *widget : modelWidgets.list)
        models.append(modelValues(*widget));
    batteries.clear();
    batteries.reserve(batteryWidgets.list.size());
    for (const BatteryWidget *widget : batteryWidgets.list)
        batteries.append(batteryValues(*widget));
    pairFlights();
}

QByteArray StoreSnapshot::toBytes() const
{
    Records<ModelWidget> modelWidgets;
    Records<BatteryWidget> batteryWidgets;
    for (const Model &model : models)
        modelWidgets.list.append(modelWidget(model));
    for (const Battery &battery : batteries)
        batteryWidgets.list.append(batteryWidget(battery));
    return DataProcessor().document(batteryWidgets.list, modelWidgets.list, locations);
}

void StoreSnapshot::pairFlights()
{
    CyclePairing pairing;
    for (int b = 0; b < batteries.size(); ++b) {
        const QVector<Cycle> &cycles = batteries.at(b).cycleData;
        for (int c = 0; c < cycles.size(); ++c)
            pairing.addCycle(b, c, cycles.at(c).date);
    }
    flightList.clear();
    for (int m = 0; m < models.size(); ++m) {
        const QVector<LogData> &log = models.at(m).flightLog;
        for (int e = 0; e < log.size(); ++e)
            flightList.append({ m, e, pairing.find(log.at(e).date) });
    }
}

const StoreSnapshot::Battery *StoreSnapshot::batteryOf(const Flight &flight) const
{
    return flight.cycle.isValid() ? &batteries.at(flight.cycle.battery) : nullptr;
}

const StoreSnapshot::Cycle *StoreSnapshot::cycleOf(const Flight &flight) const
{
    return flight.cycle.isValid()
        ? &batteries.at(flight.cycle.battery).cycleData.at(flight.cycle.cycle)
        : nullptr;
}
