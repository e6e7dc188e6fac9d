#ifndef TELEMETRYFLIGHTS_H
#define TELEMETRYFLIGHTS_H

#include "exchange/telemetrylog.h"

#include <QDate>
#include <QVector>

#include <deque>
#include <vector>

// How the rows of a log become flights with plausible figures: a sensor glitch (a current
// of 10^8 A, a counter that leaps, a voltage lead come loose) is left out and counted,
// never taken for a figure. Internal to the log reader.

// One row of a log as numbers.
struct TelemetryRow {
    enum Channel { Current, Capacity, Voltage, Channels };
    QDate date;
    qint64 msOfDay = 0;
    qint64 ms = 0; // on one scale across days
    double value[Channels] = {};
    bool has[Channels] = {};
    int glitches = 0; // readings of this row left out
};

// The voltages of one flight in steps of 0.01 V: their median and their lowest, in the same
// memory whatever the flight's length.
class VoltageHistogram {
public:
    void add(double volts, bool underLoad);
    void clear();
    bool isEmpty() const { return total == 0; }
    double median() const;
    int countBelow(double volts) const;
    // The lowest reading at or above `floor`, under load when any was; false when none is.
    bool lowestFrom(double floor, double &volts) const;

private:
    std::vector<int> all = std::vector<int>(bins, 0);
    std::vector<int> loaded = std::vector<int>(bins, 0);
    int low = bins; // the range of bins in use, so that clearing costs little
    int high = -1;
    int total = 0;
    int totalLoaded = 0;

    static const int bins;
};

// The pack's internal resistance from short windows in which the current steps by several
// amperes: each gives the voltage's change over the current's, and the mean of their middle
// half, weighted by the size of the step, is the figure.
class ResistanceSteps {
public:
    void add(qint64 ms, double amps, double volts);
    void clear();
    // Over the steps whose voltages stay at or above `floor`; false without any.
    bool estimate(double floor, double &milliohms, int &steps) const;

private:
    struct Step {
        float milliohms;
        float weight;
        float lowVolts;
    };
    struct Reading {
        qint64 ms;
        double amps;
        double volts;
    };
    std::vector<Step> steps;
    bool anchored = false;
    Reading anchor {}; // where the window starts
    Reading previous {};
};

// Gathers rows, once filtered, into flights.
class FlightSplitter {
public:
    explicit FlightSplitter(QVector<TelemetryFlight> &flights);
    void add(const TelemetryRow &row);
    void close();

private:
    void begin(const TelemetryRow &row);
    bool freshPack(const TelemetryRow &row) const;
    void countCapacity(const TelemetryRow &row);
    void settleVoltages();

    QVector<TelemetryFlight> &flights;
    TelemetryFlight flight;
    bool open = false;
    qint64 latestMs = 0; // the latest time of the flight's rows
    qint64 loggedMs = 0;
    TelemetryRow lastRow;
    bool counting = false;
    double firstCounter = 0;
    double lastCounter = 0;
    qint64 lastCounterMs = 0;
    VoltageHistogram voltages;
    ResistanceSteps resistance;
};

// Leaves out what no pack logs: at once a reading outside the discharge page's limits, and,
// a few rows later, a reading that leaves the run of its neighbours (a Hampel filter: the
// median and the median absolute deviation of a short window), unless the pack answered it
// (a current step met by a voltage step the other way). Hands every row on, in order.
class ReadingFilter {
public:
    explicit ReadingFilter(FlightSplitter &splitter);
    void add(TelemetryRow row);
    void flush();

private:
    void judge(size_t at);
    int window(size_t at, int channel, double *values) const;
    bool isGlitch(size_t at, int channel) const;
    bool answered(size_t at) const;

    FlightSplitter &splitter;
    std::deque<TelemetryRow> rows;
    size_t next = 0; // the first row not yet judged
};

// What the counter can have added in `ms` at the page's highest current; rows at one time
// are taken as a second apart.
double mostCounted(qint64 ms);
// Flights end at a pause longer than this.
constexpr qint64 flightGapMs = 20000;
// Fewer steps of the current in a flight give no resistance rather than a guess.
constexpr int leastResistanceSteps = 10;

#endif // TELEMETRYFLIGHTS_H
