#ifndef BENCHFIGURES_H
#define BENCHFIGURES_H

#include "bench/benchreport.h"
#include "sample/samplestore.h"

#include <QString>
#include <QVector>

// Each measurement opens its own window on a storage folder that already holds the
// store's data file, and takes `runs` samples after one untimed warm-up. Floors are
// measured in turn with the figure they are compared with.

// writeDataWithDataprocessor(), against writeStoreFile() of the same store (naive-writer)
// and against writing the same bytes crash-safe at the least cost (io-floor).
QVector<Figure> measureSave(
    const SampleStore &store, const QString &folder, const QString &floorFolder, int runs);

// A refresh (changeStoragePath on the same folder), against three tokenizing passes over
// the file (tokenize-3) and against one (tokenize-1).
QVector<Figure> measureRefresh(const QString &folder, int runs);

// The first refresh in a fresh process, against a warm one that parses every record: `benchPath` started with
// --cold-refresh once a run, which calls runColdRefreshChild().
Figure measureColdRefresh(
    const QString &benchPath, const QString &folder, const Figure &warm, int runs);
int runColdRefreshChild(const QString &folder);

// Click on an empty battery's card (charge-click) and on the now charged card in Quick
// mode (quick-discharge), each until the data file is written. Both figures, each against
// the io-floor of the data file written into `ioFloorFolder` unless that is empty.
QVector<Figure> measureClicks(const QString &folder, const QString &storeName, double belowMs,
    const QString &ioFloorFolder, int runs);

// Resident memory growth between the `early`th and the `late`th refresh, or click.
Figure measureMemory(
    const QString &folder, const QString &storeName, int early, int late, bool clicks);

// An edit: one record changed, saved and the store reloaded, against tokenize-1.
Figure measureEdit(const QString &folder, int runs);

// The two clicks above without and with the program's undo history in turn, the history's
// idle work per click, and what it holds after 50 clicks.
QVector<Figure> measureUndo(const QString &folder, const QString &storeName, int runs);

// Opening the program's Edit menu after a few clicks and an undo: naming the steps Undo
// and Redo would take, each named for the first time.
Figure measureEditMenu(const QString &folder, const QString &storeName, int runs);

// File > Restore from Rescue Copy's list of 20 rescue copies, versions of the store one
// click apart, with the numbers of batteries, models and flights of each.
Figure measureRestoreList(const QString &folder, const QString &storeName, int runs);

// Logbook > Packs... of the program opened on the folder: the data file read, every pack
// judged, the table shown and painted; against tokenize-1.
Figure measureFleetView(const QString &folder, int runs);

// The host started on the folder with --startup-probe, as a child process.
Figure measureStartup(
    const QString &hostPath, const QString &folder, const QString &storeName, int runs);

#endif // BENCHFIGURES_H
