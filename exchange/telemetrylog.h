#ifndef TELEMETRYLOG_H
#define TELEMETRYLOG_H

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QIODevice;

// The telemetry logs that radios write to their SD card: one CSV file per model and day,
// a header line of column names (Date, Time, then one column per sensor such as
// "Curr(A)"), then one row every 0.1 to 1 s while logging. Read as a stream, so a day of
// 10 Hz logging costs no more memory than one flight's figures.

// Which columns hold the pack's current, used capacity and voltage, by their header
// text. Empty means: find it by its usual names.
struct TelemetryColumns {
    QString current;
    QString capacity;
    QString voltage;

    bool isEmpty() const { return current.isEmpty() && capacity.isEmpty() && voltage.isEmpty(); }
};

// One flight: a run of rows without a gap of more than 20 s, ended early when the
// capacity counter falls back to near zero on the ground (a fresh pack). Its figures come
// from plausible readings only: what a sensor glitch wrote is left out and counted.
struct TelemetryFlight {
    QDateTime start; // the radio's local time
    int seconds = 0; // time logged from the first row to the last
    int rows = 0;
    bool hasCapacity = false;
    double usedMah = 0; // summed across counter resets in the air
    bool hasCurrent = false;
    double maxCurrent = 0; // amperes
    bool hasVoltage = false;
    double minVoltage = 0; // volts: the lowest while current flows
    // The pack's internal resistance, from the voltage's answer to steps of the current.
    bool hasResistance = false;
    double resistanceMilliohms = 0;
    int resistanceSteps = 0; // the steps it was measured on
    int glitches = 0; // readings left out as implausible
    // Where the log ends, for a flight that the radio continued in its next file.
    QDateTime end;
    double firstCounter = 0; // mAh, the capacity counter's first and last plausible reading
    double lastCounter = 0;
};

struct TelemetryLog {
    QString fileName;
    QString modelName; // from the file name: "<model>-<YYYY-MM-DD>[-<HHMMSS>].csv"
    QStringList columnNames; // the header as written
    TelemetryColumns columns; // the columns used, found or given
    QVector<TelemetryFlight> flights;
    int skippedRows = 0; // rows without a readable date and time
    QString error; // why the file was refused; empty when it was read
    bool cancelled = false; // the reading was stopped: refused, with a reason

    bool isValid() const { return error.isEmpty(); }
};

// The model a log belongs to, as the radio names its files.
QString telemetryModelName(const QString &fileName);

// Told now and then how many bytes of the log were read; false stops the reading, and the
// log is refused as cancelled.
using TelemetryProgress = std::function<bool(qint64 bytesRead)>;

// Reads one log from `device`. Columns named in `chosen` win over the usual names; a
// chosen name that the header lacks is looked for by the usual names instead.
TelemetryLog readTelemetryLog(QIODevice &device, const QString &fileName,
    const TelemetryColumns &chosen = {}, const TelemetryProgress &progress = {});
TelemetryLog readTelemetryFile(const QString &path, const TelemetryColumns &chosen = {},
    const TelemetryProgress &progress = {});

// A radio that starts a new file while a flight goes on (a log switch, a full card) splits
// the flight: flights of one model that follow each other from one file to the next within
// 20 s, with the capacity counter going on from where it stood, become one again, kept in
// the earlier file's log.
void joinContinuedFlights(QVector<TelemetryLog> &logs);

// The CSV files of a radio's LOGS folder, or `paths` themselves when they are files.
QStringList telemetryFilesIn(const QStringList &paths);

#endif // TELEMETRYLOG_H
