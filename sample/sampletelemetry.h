#ifndef SAMPLETELEMETRY_H
#define SAMPLETELEMETRY_H

#include "sample/samplestore.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// Telemetry logs as a radio writes them to its SD card (LOGS/<model>-<YYYY-MM-DD>.csv),
// made up deterministically: for the demo, the benchmarks and trying the import.

// A fault of the sensors, from a row of the flight on, for a number of rows, or a punch-out
// for comparison.
struct SampleLogFault {
    enum Kind {
        CurrentSpike, // the current reads `value`
        CapacitySpike, // the capacity counter reads `value`
        VoltageSpike, // the voltage reads `value`
        DeadVoltage, // the voltage sensor reads `value` (a loose lead: about 1 V)
        Punch, // no fault: the pilot punches out, the current is `value` and the pack answers
    };
    Kind kind = CurrentSpike;
    int row = 0;
    int rows = 1;
    double value = 0;
};

struct SampleLogFlight {
    QDateTime start;
    int seconds = 300;
    uint usedMah = 0; // about what the capacity counter adds up to
    double peakAmps = 0;
    int cells = 6;
    bool counterReset = false; // the capacity counter restarts in the air
    // A flight of known figures instead of the usual random one: the current steps between
    // `lowAmps` and `peakAmps` every `stepSeconds`, from the first row to the last, while
    // the pack's resting voltage falls evenly from 4.1 to 3.9 V a cell.
    double lowAmps = -1; // below 0: the usual flight around `usedMah`
    double stepSeconds = 2;
    double milliohms = 12; // the pack's internal resistance, which the voltage answers
    double noiseVolts = 0; // the voltage reads up to this much off, either way
    // The counter starts here and wraps at `counterWrap` (0: never), as a sensor that
    // keeps counting from pack to pack does.
    uint counterStart = 0;
    uint counterWrap = 0;
    QVector<SampleLogFault> faults;
};

struct SampleLogStyle {
    int rowsPerSecond = 5;
    bool escNames = false; // the ESC's own sensor names instead of Curr/Capa/VFAS
    int dropoutPercent = 3; // chance per second that the sensors are lost for a moment
    int voltDecimals = 1;
    // Times in whole seconds, so that rows of one second share their time, and every
    // `clockBackEvery`th row a second early (0: never): radios with a clock that stutters.
    bool wholeSeconds = false;
    int clockBackEvery = 0;
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
// Busy days from `first` on, one after the other in one log at `path`, until it holds at
// least `bytes`; written as it is made. False when it could not be written.
bool writeLongTelemetryLog(const QString &path, const QDate &first, qint64 bytes);

// Writes the files into `folder`, made if missing; false when one could not be written.
bool writeTelemetryLogs(const QVector<SampleLogFile> &files, const QString &folder);

#endif // SAMPLETELEMETRY_H
