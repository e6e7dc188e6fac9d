#ifndef SAMPLETELEMETRY_H
#define SAMPLETELEMETRY_H

#include "sample/samplestore.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// Telemetry logs as a radio writes them to its SD card (LOGS/<model>-<YYYY-MM-DD>.csv),
// made up deterministically: for the demo, the benchmarks and trying the import.

struct SampleLogFlight {
    QDateTime start;
    int seconds = 300;
    uint usedMah = 0; // about what the capacity counter adds up to
    double peakAmps = 0;
    int cells = 6;
    bool counterReset = false; // the capacity counter restarts in the air
};

struct SampleLogStyle {
    int rowsPerSecond = 5;
    bool escNames = false; // the ESC's own sensor names instead of Curr/Capa/VFAS
    int dropoutPercent = 3; // chance per second that the sensors are lost for a moment
};

struct SampleLogFile {
    QString fileName;
    QByteArray content;
};

// One log file holding `flights`, each logged from spool-up to landing.
QByteArray sampleTelemetryLog(
    const QVector<SampleLogFlight> &flights, const SampleLogStyle &style, quint64 seed);

// The demo store with each model's last session recorded in Quick mode (0 mAh, 0 A,
// 00:00:00), as a newcomer at the field would.
SampleStore quickDemoStore(const QDateTime &anchor);
// The radio's logs of those sessions: every Quick flight, one flight never entered in
// the logbook, sensor dropouts, a counter reset in the air, and one model whose ESC
// names its own columns.
QVector<SampleLogFile> demoTelemetryLogs(const QDateTime &anchor);

// A whole day of 10 Hz logging: a dozen six-minute flights, a few MB.
SampleLogFile busyTelemetryDay(const QDate &day);

// Writes the files into `folder`, made if missing; false when one could not be written.
bool writeTelemetryLogs(const QVector<SampleLogFile> &files, const QString &folder);

#endif // SAMPLETELEMETRY_H
