#ifndef BENCHCHANGES_H
#define BENCHCHANGES_H

#include "bench/benchreport.h"

#include <QString>
#include <QVector>

// The program's changes on a store, each until the data file is written and the window's
// pages show it: Undo and Redo of a click, the click that follows 21 undos (and drops the
// redo list), opening Flights and Cycles, and one cell edit there. Each must stay under
// 100 ms; the idle work after the click that follows the undos is reported beside it.
QVector<Figure> measureChanges(const QString &folder, const QString &storeName, int runs);

#endif // BENCHCHANGES_H
