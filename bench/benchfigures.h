#ifndef BENCHFIGURES_H
#define BENCHFIGURES_H

#include "bench/benchreport.h"

#include <QString>
#include <QVector>

struct SampleStore;

// Each measurement opens its own window on a storage folder that already holds the
// store's data file, and takes `runs` samples after one untimed warm-up.

// writeDataWithDataprocessor() against writeStoreFile() of the same store, interleaved.
Figure measureSave(
    const SampleStore &store, const QString &folder, const QString &floorFolder, int runs);

// A refresh (changeStoragePath on the same folder) against three tokenizing passes.
Figure measureRefresh(const QString &folder, int runs);

// Click on an empty battery's card (charge-click) and on the now charged card in Quick
// mode (quick-discharge), each until the data file is written. Both figures.
QVector<Figure> measureClicks(
    const QString &folder, const QString &storeName, double limitMs, int runs);

// Resident memory growth between the `early`th and the `late`th refresh.
Figure measureMemory(const QString &folder, const QString &storeName, int early, int late);

// The host started on the folder with --startup-probe, as a child process.
Figure measureStartup(const QString &hostPath, const QString &folder, int runs);

#endif // BENCHFIGURES_H
