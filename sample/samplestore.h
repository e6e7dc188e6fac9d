#ifndef SAMPLESTORE_H
#define SAMPLESTORE_H

#include "store/storerecords.h"

#include <QDateTime>
#include <QString>

// The sample stores are the store's own plain records, so that the host's demo, the
// benchmarks and the tests can make stores without a window.
using SampleCycle = CycleRecord;
using SampleBattery = BatteryRecord;
using SampleFlight = LogData;
using SampleModel = ModelRecord;
using SampleStore = StoreRecords;

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

// Writes the store to filePath with the store's own writer.
bool writeStoreFile(const SampleStore &store, const QString &filePath);

#endif // SAMPLESTORE_H
