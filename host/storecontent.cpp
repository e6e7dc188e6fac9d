#include "host/storecontent.h"

#include "host/logbook.h"
#include "records/batterywidget.h"
#include "records/logdata.h"
#include "records/modelwidget.h"
#include "store/dataprocessor.h"
#include "window/celloragui.h"

#include <QFile>
#include <QTemporaryDir>

namespace StoreContent {
namespace {

SampleBattery plainBattery(const BatteryWidget &record)
{
    SampleBattery battery;
    battery.name = record.batteryName();
    battery.capacity = record.batteryCapacity();
    battery.chargeRate = record.batteryChargeRate();
    battery.rating = record.batteryRating();
    battery.purchase = record.purchaseDate();
    battery.cycles = record.batteryCycles();
    battery.charged = record.batteryCharged();
    battery.lastUse = record.lastUpdated();
    for (int i = 0; i < record.cycleDates().size(); ++i) {
        battery.cycleData << SampleCycle { record.cycleDates()[i], record.cycleDischarged()[i],
            record.cycleCurrents()[i] };
    }
    return battery;
}

SampleModel plainModel(const ModelWidget &record)
{
    SampleModel model;
    model.name = record.modelName();
    model.type = record.modelType();
    model.weight = record.modelWeight();
    model.size = record.modelSize();
    model.purchase = record.purchaseDate();
    model.flights = record.modelFlights();
    model.notes = record.notes();
    model.lastUpdate = record.lastUpdate();
    for (const QString &name : record.modelBatteries())
        model.batteries << name;
    for (const LogData &entry : record.flightLog()) {
        model.flightLog << SampleFlight { entry.date, entry.duration, entry.location,
            entry.temperature, entry.notes };
    }
    return model;
}

BatteryWidget *batteryRecord(const SampleBattery &battery)
{
    auto *record = new BatteryWidget;
    record->setBatteryName(battery.name);
    record->setBatteryCapacity(battery.capacity);
    record->setBatteryChargeRate(battery.chargeRate);
    record->setBatteryRating(battery.rating);
    record->setPurchaseDate(battery.purchase);
    record->setBatteryCycles(battery.cycles);
    // Setting the charged state stamps the present moment: the stored last use follows.
    record->setBatteryCharged(battery.charged, false);
    record->setLastUpdated(battery.lastUse);
    for (const SampleCycle &cycle : battery.cycleData)
        record->addCycleData(cycle.date, cycle.discharged, cycle.current, false);
    return record;
}

ModelWidget *modelRecord(const SampleModel &model)
{
    auto *record = new ModelWidget;
    record->setModelName(model.name);
    record->setModelType(model.type);
    record->setModelWeight(model.weight);
    record->setModelSize(model.size);
    record->setPurchaseDate(model.purchase);
    record->setModelFlights(model.flights);
    record->setNotes(model.notes);
    record->setLastUpdate(model.lastUpdate);
    for (const QString &name : model.batteries)
        record->addBattery(name);
    for (const SampleFlight &flight : model.flightLog)
        record->addLogData(LogData {
            flight.date, flight.duration, flight.location, flight.temperature, flight.notes });
    return record;
}

} // namespace

bool read(const QString &storageFolder, SampleStore &store)
{
    Logbook logbook;
    store = SampleStore();
    if (!logbook.readFolder(storageFolder))
        return false;
    store.locations = logbook.locations();
    for (const BatteryWidget *battery : logbook.batteries())
        store.batteries << plainBattery(*battery);
    for (const ModelWidget *model : logbook.models())
        store.models << plainModel(*model);
    return true;
}

QByteArray written(const SampleStore &store)
{
    QVector<BatteryWidget *> batteries;
    QVector<ModelWidget *> models;
    for (const SampleBattery &battery : store.batteries)
        batteries << batteryRecord(battery);
    for (const SampleModel &model : store.models)
        models << modelRecord(model);
    // The store writes only its own file: let it write into a folder of its own.
    QTemporaryDir folder;
    QByteArray content;
    if (folder.isValid()) {
        DataProcessor writer;
        writer.setStoragePath(folder.path());
        writer.writeData(batteries, models, store.locations);
        QFile file(writer.dataFilePath());
        if (file.open(QIODevice::ReadOnly))
            content = file.readAll();
    }
    qDeleteAll(batteries);
    qDeleteAll(models);
    return content;
}

bool apply(CelloraGui &gui, const QString &label, const QByteArray &content)
{
    Q_UNUSED(label)
    return !content.isEmpty() && gui.replaceStoreContent(content);
}

} // namespace StoreContent
