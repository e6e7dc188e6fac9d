#include "exchange/telemetryflights.h"

#include "store/recordrules.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr qint64 msPerDay = 86400000;
// A capacity counter at or below this after a fall has been restarted.
constexpr double nearZeroMah = 50;
// Packs are not swapped with the motor running: a counter that restarts while this much
// current flows was reset in the air, and its readings add up within the flight. Below it
// the model is on the ground, and its voltage is no voltage under load.
constexpr double groundCurrent = 2.0;
// No flight pack holds more (24 cells of high-voltage chemistry hold about 105 V).
constexpr double highestPackVolts = 120;
// A reading under this share of the flight's median voltage is no sag: no pack falls that
// far and flies on. A lead come loose reads about 1 V.
constexpr double faultShareOfMedian = 0.3;

// The Hampel window: up to three rows either side, within a second of the row judged, so
// that a slow log judges its rows by their next neighbours only.
constexpr int halfWindow = 3;
constexpr int windowSize = 2 * halfWindow + 1;
constexpr qint64 windowMs = 1000;
constexpr double sigmas = 3;
constexpr double madToSigma = 1.4826;
// In amperes, mAh or volts, and as a share of the median.
constexpr double leastOffReading[TelemetryRow::Channels] = { 5, 5, 0.5 };
constexpr double leastShareOff[TelemetryRow::Channels] = { 0.5, 0, 0.1 };
// A voltage step the other way answers a current step when their ratio is one that a pack
// can have: from half a milliohm (the stoutest packs) to half an ohm (the smallest).
constexpr double leastAnswerOhms = 0.0005;
constexpr double mostAnswerOhms = 0.5;

// A step of the current by this much within this time measures the resistance.
constexpr double stepAmps = 5;
constexpr qint64 stepWindowMs = 1000;

// For the few values of a window: an insertion sort is the fastest there.
void sortFew(double *values, int count)
{
    for (int i = 1; i < count; ++i) {
        for (int j = i; j > 0 && values[j - 1] > values[j]; --j)
            std::swap(values[j - 1], values[j]);
    }
}

double medianOf(double *values, int count)
{
    sortFew(values, count);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

// The same, of readings in row order: a counter, or a current or voltage on its way up or
// down, is in order already.
double windowMedian(double *values, int count)
{
    if (std::is_sorted(values, values + count)
        || std::is_sorted(values, values + count, std::greater<double>()))
        return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
    return medianOf(values, count);
}

// Noise never counts as a glitch: a reading must leave its neighbours' median by more than
// this as well.
double leastOff(int channel, double median)
{
    return std::max(leastOffReading[channel], leastShareOff[channel] * std::abs(median));
}

bool answers(double currentOff, double voltageOff)
{
    const double ratio = -voltageOff / currentOff;
    return ratio >= leastAnswerOhms && ratio <= mostAnswerOhms;
}

} // namespace

const int VoltageHistogram::bins = int(highestPackVolts * 100) + 1;

double mostCounted(qint64 ms)
{
    // A counter's own rounding may add a step or two beyond the figure.
    const double seconds = ms > 0 ? ms / 1000.0 : 1.0;
    return RecordRules::maxCurrentAmperes * seconds / 3.6 + 10;
}

void VoltageHistogram::add(double volts, bool underLoad)
{
    const int bin = std::clamp(int(std::lround(volts * 100)), 0, bins - 1);
    ++all[size_t(bin)];
    ++total;
    if (underLoad) {
        ++loaded[size_t(bin)];
        ++totalLoaded;
    }
    low = std::min(low, bin);
    high = std::max(high, bin);
}

void VoltageHistogram::clear()
{
    for (int bin = low; bin <= high; ++bin)
        all[size_t(bin)] = loaded[size_t(bin)] = 0;
    low = bins;
    high = -1;
    total = totalLoaded = 0;
}

double VoltageHistogram::median() const
{
    int seen = 0;
    for (int bin = low; bin <= high; ++bin) {
        seen += all[size_t(bin)];
        if (2 * seen >= total)
            return bin / 100.0;
    }
    return 0;
}

int VoltageHistogram::countBelow(double volts) const
{
    int count = 0;
    for (int bin = low; bin <= high && bin / 100.0 < volts; ++bin)
        count += all[size_t(bin)];
    return count;
}

bool VoltageHistogram::lowestFrom(double floor, double &volts) const
{
    // Without a reading under load (no current logged, or none flowed) any reading will do.
    const std::vector<int> &counts = totalLoaded > 0 ? loaded : all;
    for (int bin = std::max(low, int(std::ceil(floor * 100))); bin <= high; ++bin) {
        if (counts[size_t(bin)] > 0) {
            volts = bin / 100.0;
            return true;
        }
    }
    return false;
}

void ResistanceSteps::add(qint64 ms, double amps, double volts)
{
    // A window grown too long (the pack's resting voltage moves) starts again at the row
    // before this one, when that is near; a clock gone back starts it here.
    const auto near
        = [ms](const Reading &from) { return from.ms <= ms && ms - from.ms <= stepWindowMs; };
    if (anchored && !near(anchor))
        anchor = previous;
    anchored = anchored && near(anchor);
    const Reading here { ms, amps, volts };
    if (!anchored) {
        anchor = here;
        anchored = true;
    } else if (std::abs(amps - anchor.amps) >= stepAmps) {
        steps.push_back({ float(-(volts - anchor.volts) / (amps - anchor.amps) * 1000),
            float(std::abs(amps - anchor.amps)), float(std::min(volts, anchor.volts)) });
        anchor = here;
    }
    previous = here;
}

void ResistanceSteps::clear()
{
    steps.clear();
    anchored = false;
}

bool ResistanceSteps::estimate(double floor, double &milliohms, int &count) const
{
    std::vector<Step> usable;
    std::copy_if(steps.begin(), steps.end(), std::back_inserter(usable),
        [floor](const Step &step) { return step.lowVolts >= floor; });
    count = int(usable.size());
    if (usable.empty())
        return false;
    // The middle half by weight, and their mean: a large step measures through the sensors'
    // resolution better, and with many steps a voltage logged to 0.1 V still gives the
    // hundredths that lie between its readings.
    std::sort(usable.begin(), usable.end(),
        [](const Step &a, const Step &b) { return a.milliohms < b.milliohms; });
    double total = 0;
    for (const Step &step : usable)
        total += step.weight;
    double seen = 0, weights = 0, sum = 0;
    for (const Step &step : usable) {
        const double middle = (seen + step.weight / 2) / total;
        seen += step.weight;
        if (middle >= 0.25 && middle <= 0.75) {
            weights += step.weight;
            sum += step.weight * step.milliohms;
        }
    }
    // One or two steps have no middle half: their mean stands for it.
    if (weights == 0) {
        for (const Step &step : usable)
            sum += step.weight * step.milliohms;
        weights = total;
    }
    milliohms = sum / weights;
    return true;
}

FlightSplitter::FlightSplitter(QVector<TelemetryFlight> &flights)
    : flights(flights)
{
}

void FlightSplitter::add(const TelemetryRow &row)
{
    using C = TelemetryRow;
    // Time that repeats or runs back (a clock that stutters, or was set on the field) keeps
    // the row in its flight: only a pause ends one.
    if (open && (row.ms - latestMs > flightGapMs || freshPack(row)))
        close();
    if (!open)
        begin(row);
    // The flight lasts as long as its time moved on: a row stamped a moment early and the
    // next back on time count once. A clock set back by more than a pause counts on from
    // its new time.
    if (row.ms > latestMs) {
        loggedMs += row.ms - latestMs;
        latestMs = row.ms;
    } else if (row.ms < latestMs - flightGapMs) {
        latestMs = row.ms;
    }
    lastRow = row;
    ++flight.rows;
    flight.glitches += row.glitches;
    if (row.has[C::Capacity])
        countCapacity(row);
    if (row.has[C::Current] && (!flight.hasCurrent || row.value[C::Current] > flight.maxCurrent)) {
        flight.maxCurrent = row.value[C::Current];
        flight.hasCurrent = true;
    }
    if (row.has[C::Voltage]) {
        const bool underLoad = row.has[C::Current] && row.value[C::Current] >= groundCurrent;
        voltages.add(row.value[C::Voltage], underLoad);
        if (row.has[C::Current])
            resistance.add(row.ms, row.value[C::Current], row.value[C::Voltage]);
    }
}

void FlightSplitter::close()
{
    if (!open)
        return;
    if (counting) {
        flight.usedMah += lastCounter - firstCounter;
        flight.lastCounter = lastCounter;
    }
    flight.seconds = int((loggedMs + 500) / 1000);
    flight.end = QDateTime(lastRow.date, QTime::fromMSecsSinceStartOfDay(int(lastRow.msOfDay)));
    settleVoltages();
    flights.append(flight);
    open = false;
}

void FlightSplitter::begin(const TelemetryRow &row)
{
    flight = TelemetryFlight();
    flight.start = QDateTime(row.date, QTime::fromMSecsSinceStartOfDay(int(row.msOfDay)));
    latestMs = row.ms;
    loggedMs = 0;
    counting = false;
    voltages.clear();
    resistance.clear();
    open = true;
}

// A counter back at near zero on the ground is a fresh pack; not so in a row whose time
// does not move on, which belongs to the flight it sits in.
bool FlightSplitter::freshPack(const TelemetryRow &row) const
{
    using C = TelemetryRow;
    return row.has[C::Capacity] && counting && row.value[C::Capacity] < lastCounter
        && row.value[C::Capacity] <= nearZeroMah && row.ms > lastRow.ms
        && (!row.has[C::Current] || row.value[C::Current] < groundCurrent);
}

void FlightSplitter::countCapacity(const TelemetryRow &row)
{
    const double reading = row.value[TelemetryRow::Capacity];
    if (!counting) {
        firstCounter = flight.firstCounter = reading;
        flight.hasCapacity = counting = true;
    } else if (reading < lastCounter
        || reading - lastCounter > mostCounted(row.ms - lastCounterMs)) {
        // A restart in the air keeps what was counted before it. A leap further than the
        // highest current could have moved the counter is a glitch: counting goes on from
        // the new reading without it.
        if (reading > lastCounter)
            ++flight.glitches;
        flight.usedMah += lastCounter - firstCounter;
        firstCounter = reading;
    }
    lastCounter = reading;
    lastCounterMs = row.ms;
}

void FlightSplitter::settleVoltages()
{
    if (voltages.isEmpty())
        return;
    const double floor = voltages.median() * faultShareOfMedian;
    flight.glitches += voltages.countBelow(floor);
    flight.hasVoltage = voltages.lowestFrom(floor, flight.minVoltage);
    if (resistance.estimate(floor, flight.resistanceMilliohms, flight.resistanceSteps))
        flight.hasResistance
            = flight.resistanceSteps >= leastResistanceSteps && flight.resistanceMilliohms > 0;
}

ReadingFilter::ReadingFilter(FlightSplitter &splitter)
    : splitter(splitter)
{
}

void ReadingFilter::add(TelemetryRow row)
{
    using C = TelemetryRow;
    row.ms = row.date.toJulianDay() * msPerDay + row.msOfDay;
    // Written so that a number too long to hold (read as infinite, or not a number) is
    // left out as well.
    const auto keepWithin = [&row](int channel, double most) {
        if (row.has[channel] && !(row.value[channel] >= 0 && row.value[channel] <= most)) {
            row.has[channel] = false;
            ++row.glitches;
        }
    };
    keepWithin(C::Current, RecordRules::maxCurrentAmperes);
    // A counter may stand anywhere (some sensors count on from pack to pack): what it counts
    // in a flight is held to the page's limit, and a leap is caught by its neighbours.
    keepWithin(C::Capacity, std::numeric_limits<double>::max());
    // A lost voltage sensor may write 0 rather than nothing: a lost reading, not a glitch.
    if (row.has[C::Voltage] && row.value[C::Voltage] == 0)
        row.has[C::Voltage] = false;
    keepWithin(C::Voltage, highestPackVolts);
    // The window never reaches across a pause: the rows after it are another flight.
    if (!rows.empty() && row.ms - rows.back().ms > flightGapMs)
        flush();
    rows.push_back(row);
    for (; rows.size() - next > size_t(halfWindow); ++next)
        judge(next);
    for (; next > size_t(halfWindow); --next)
        rows.pop_front();
}

void ReadingFilter::flush()
{
    for (; next < rows.size(); ++next)
        judge(next);
    rows.clear();
    next = 0;
}

void ReadingFilter::judge(size_t at)
{
    using C = TelemetryRow;
    TelemetryRow row = rows[at];
    bool glitch[C::Channels] = {};
    for (int channel = 0; channel < C::Channels; ++channel)
        glitch[channel] = row.has[channel] && isGlitch(at, channel);
    if ((glitch[C::Current] || glitch[C::Voltage]) && answered(at))
        glitch[C::Current] = glitch[C::Voltage] = false;
    for (int channel = 0; channel < C::Channels; ++channel) {
        if (glitch[channel]) {
            row.has[channel] = false;
            ++row.glitches;
        }
    }
    splitter.add(row);
}

// The readings around row `at`, in row order; none when it has no neighbour on one side (at
// the start or end of a flight a step of the current looks like a glitch from there).
int ReadingFilter::window(size_t at, int channel, double *values) const
{
    int count = 0, before = 0;
    const TelemetryRow &center = rows[at];
    const size_t first = at > size_t(halfWindow) ? at - halfWindow : 0;
    const size_t last = std::min(rows.size() - 1, at + halfWindow);
    for (size_t i = first; i <= last; ++i) {
        if (rows[i].has[channel] && std::abs(rows[i].ms - center.ms) <= windowMs) {
            values[count++] = rows[i].value[channel];
            before += i < at;
        }
    }
    const int after = count - before - 1;
    return before > 0 && after > 0 ? count : 0;
}

bool ReadingFilter::isGlitch(size_t at, int channel) const
{
    double values[windowSize];
    const int count = window(at, channel, values);
    if (count < 3)
        return false;
    // The median lies between the lowest and the highest reading (none is below 0 here): a
    // reading within the noise of both is within it of the median, and needs no more.
    const double reading = rows[at].value[channel];
    const auto range = std::minmax_element(values, values + count);
    const double noise = leastOff(channel, *range.first);
    if (reading - *range.first <= noise && *range.second - reading <= noise)
        return false;
    const double median = windowMedian(values, count);
    const double off = std::abs(reading - median);
    if (off <= leastOff(channel, median))
        return false;
    for (int i = 0; i < count; ++i)
        values[i] = std::abs(values[i] - median);
    return off > sigmas * madToSigma * medianOf(values, count);
}

// Whether the pack answered the row's current with its voltage, the other way.
bool ReadingFilter::answered(size_t at) const
{
    using C = TelemetryRow;
    const TelemetryRow &row = rows[at];
    double current[windowSize], voltage[windowSize];
    const int currents = row.has[C::Current] ? window(at, C::Current, current) : 0;
    const int voltages = row.has[C::Voltage] ? window(at, C::Voltage, voltage) : 0;
    if (currents < 3 || voltages < 3)
        return false;
    const double currentOff = row.value[C::Current] - windowMedian(current, currents);
    const double voltageOff = row.value[C::Voltage] - windowMedian(voltage, voltages);
    return currentOff != 0 && answers(currentOff, voltageOff);
}
