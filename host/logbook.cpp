#include "host/logbook.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/dataprocessor.h"
#include "store/storefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

Logbook::~Logbook()
{
    clear();
}

void Logbook::clear()
{
    qDeleteAll(batteryList);
    batteryList.clear();
    qDeleteAll(modelList);
    modelList.clear();
    locationList.clear();
}

bool Logbook::readFolder(const QString &storageFolder)
{
    clear();
    DataProcessor store;
    store.setStoragePath(storageFolder);
    if (!QFileInfo(store.dataFilePath()).isFile())
        return false;
    store.readLocations(locationList);
    store.readModels(modelList);
    store.readBatteries(batteryList);
    return true;
}

bool Logbook::readFile(const QString &fileName)
{
    clear();
    if (!QFileInfo(fileName).isFile())
        return false;
    // The store reads only its own file name: give it a folder of its own holding a copy.
    QTemporaryDir folder;
    if (!folder.isValid()
        || !QFile::copy(fileName, QDir(folder.path()).filePath(StoreFiles::dataFile)))
        return false;
    return readFolder(folder.path());
}

int Logbook::flightCount() const
{
    int count = 0;
    for (const ModelWidget *model : modelList)
        count += model->flightLog().size();
    return count;
}

const BatteryWidget *Logbook::batteryFlownAt(const QDateTime &moment) const
{
    // An undated flight cannot be told apart from any other undated entry: pair none.
    if (!moment.isValid())
        return nullptr;
    const BatteryWidget *flown = nullptr;
    uint discharged = 0;
    uint current = 0;
    for (const BatteryWidget *battery : batteryList) {
        if (battery->findCycleData(moment, discharged, current))
            flown = battery;
    }
    return flown;
}
