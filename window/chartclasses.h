#ifndef CHARTCLASSES_H
#define CHARTCLASSES_H

// The chart classes the window uses. Qt 5 keeps them in the namespace QtCharts, Qt 6 in
// its own namespace; this makes both reachable by their plain names.

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

#ifdef QT_CHARTS_USE_NAMESPACE
QT_CHARTS_USE_NAMESPACE
#endif

#endif // CHARTCLASSES_H
