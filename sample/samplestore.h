#ifndef SAMPLESTORE_H
#define SAMPLESTORE_H

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

// Plain copies of what the data file holds, free of the module's widgets, so that
// the host's demo, the benchmarks and the tests can make stores without a window.
// Units as in the file: capacities in mAh, currents in hundredths of an ampere,
// charge rates in tenths of C, model weights in hundredths.

struct SampleCycle {
    QDateTime date;
    uint discharged = 0;
    uint current = 0;
};

struct SampleBattery {
    QString name;
    uint capacity = 0;
    uint chargeRate = 0;
    uint rating = 0;
    QDate purchase;
    uint cycles = 0;
    bool charged = false;
    QDateTime lastUse;
    QVector<SampleCycle> cycleData;
};

struct SampleFlight {
    QDateTime date;
    QTime duration;
    QString location;
    int temperature = 0;
    QString notes;
};

struct SampleModel {
    QString name;
    QString type;
    uint weight = 0;
    uint size = 0;
    QDate purchase;
    uint flights = 0;
    QString notes;
    QDateTime lastUpdate;
    QStringList batteries;
    QVector<SampleFlight> flightLog;
};

struct SampleStore {
    QStringList locations;
    QVector<SampleBattery> batteries;
    QVector<SampleModel> models;
};

// Every generator is deterministic: the same anchor gives the same store. All
// flights lie on days before the anchor's date; each flight's date-time equals a
// cycle entry of one of its model's batteries, and each battery's cycle count
// equals its number of cycle entries.

// Ten years of heavy use: 60 batteries x 300 cycles, 15 models x 1,200 flights,
// 25 locations; about 4 MB of XML.
SampleStore tenYearStore(const QDateTime &anchor);

// A season and a half of a club flyer: 8 batteries x 40 cycles, 3 models.
SampleStore typicalStore(const QDateTime &anchor);

// What a newcomer should see: two helicopters, six batteries, a few weeks of flights.
SampleStore demoStore(const QDateTime &anchor);

// The demo store with every battery, model and location name fifty characters long,
// with umlauts and emoji: for looking at what long names do to the pages.
SampleStore longNamesStore(const QDateTime &anchor);

// The stores that the program's demo and screenshots open, by the name its --sample option
// gives: "demo" or "long-names". Null for any other name.
using SampleMaker = SampleStore (*)(const QDateTime &anchor);
SampleMaker sampleNamed(const QString &name);

// Writes the store to filePath in exactly the form of the module's data file.
bool writeStoreFile(const SampleStore &store, const QString &filePath);

#endif // SAMPLESTORE_H
