#ifndef STORERECORDS_H
#define STORERECORDS_H

#include "records/logdata.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// The records of one data file as plain values, free of the module's widgets: what the
// snapshot, the exports and imports, the sample stores and the store's writer work on.
// Units as in the file.

struct CycleRecord {
    QDateTime date;
    uint discharged = 0; // mAh
    uint current = 0; // hundredths of an ampere
    uint minVoltage = 0; // hundredths of a volt, 0 unknown
    uint resistance = 0; // tenths of a milliohm, 0 unknown
};

struct BatteryRecord {
    QString name;
    uint capacity = 0; // mAh
    uint chargeRate = 0; // tenths of C
    uint rating = 0; // C
    QDate purchase;
    uint cycles = 0;
    bool charged = false;
    QDateTime lastUse;
    QVector<CycleRecord> cycleData;
};

struct ModelRecord {
    QString name;
    QString type;
    uint weight = 0; // hundredths
    uint size = 0;
    QDate purchase;
    uint flights = 0;
    QString notes;
    QDateTime lastUpdate;
    QStringList batteries;
    QVector<LogData> flightLog;
};

// Everything the data file holds, in the order it is written.
struct StoreRecords {
    QStringList locations;
    QVector<BatteryRecord> batteries;
    QVector<ModelRecord> models;
};

#endif // STORERECORDS_H
