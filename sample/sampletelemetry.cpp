#include "sample/sampletelemetry.h"

#include "sample/samplerandom.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace {

// A radio with a crossfire receiver and a pack voltage and current sensor, as the
// logging of most electric helicopters looks.
QByteArray headerLine(const SampleLogStyle &style)
{
    const QByteArray pack = style.escNames ? QByteArray("EscV(V),EscA(A),EscC(mAh),EscT(°C)")
                                           : QByteArray("VFAS(V),Curr(A),Capa(mAh),Bat%(%)");
    return "Date,Time,1RSS(dB),2RSS(dB),RQly(%),RSNR(dB),TRSS(dB),TQly(%),RxBt(V)," + pack
        + ",Rud,Ele,Thr,Ail,SA,SB,SC,SD,SE,SF,SG,SH,LSW,TxBat(V)\n";
}

QByteArray number(double value, int decimals)
{
    return QByteArray::number(value, 'f', decimals);
}

QByteArray stick(SampleRandom &random, int spread)
{
    return QByteArray::number(random.between(-spread, spread));
}

// What one row of the log reads.
struct Reading {
    double amps = 0;
    double counter = 0; // mAh
    double volts = 0;
    bool lost = false;
    double charge = 1; // the share left, for the percentage column
};

class FlightWriter {
public:
    FlightWriter(QByteArray &out, const SampleLogStyle &style, SampleRandom &random)
        : out(out)
        , style(style)
        , random(random)
    {
    }

    void write(const SampleLogFlight &flight)
    {
        const int rows = flight.seconds * style.rowsPerSecond;
        const double step = 1.0 / style.rowsPerSecond;
        const bool known = flight.lowAmps >= 0;
        // Average current that uses the planned capacity over the flight (mAh = A x s / 3.6).
        const double average = flight.usedMah * 3.6 / std::max(1, flight.seconds);
        // No flight peaks below its average draw, whatever the plan says.
        const double peak = known ? flight.peakAmps : std::max(flight.peakAmps, average * 1.4);
        const int peakRow = known ? -1 : rows / 3 + random.between(0, std::max(1, rows / 3));
        const int resetRow = flight.counterReset ? rows / 2 : -1;
        const int rowsPerStep
            = std::max(1, int(std::lround(flight.stepSeconds * style.rowsPerSecond)));
        double used = 0;
        double counterOffset = 0;
        int lostRows = 0;
        for (int row = 0; row <= rows; ++row) {
            const double t = row * step;
            Reading reading;
            if (known) {
                reading.amps = (row / rowsPerStep) % 2 == 0 ? flight.lowAmps : peak;
                punchOut(flight.faults, row, reading.amps);
            } else {
                reading.amps = currentAt(t, flight.seconds, average);
                // The logged peak is the flight's highest current.
                reading.amps = row == peakRow ? peak : std::min(reading.amps, peak * 0.9);
            }
            if (row == resetRow)
                counterOffset = used;
            if (lostRows > 0)
                --lostRows;
            else if (row % style.rowsPerSecond == 0 && random.chance(style.dropoutPercent))
                lostRows = random.between(1, 3) * style.rowsPerSecond;
            reading.lost = lostRows > 0 && row != peakRow;
            reading.counter = counterReading(flight, used - counterOffset);
            const double fraction = used / std::max(1u, flight.usedMah) * 0.7;
            reading.charge = std::clamp(1.0 - fraction, 0.0, 1.0);
            const double resting = known ? flight.cells * (4.1 - 0.2 * t / flight.seconds)
                                         : flight.cells * (4.17 - 0.45 * fraction);
            reading.volts = resting - reading.amps * flight.milliohms / 1000
                + flight.noiseVolts * random.between(-1000, 1000) / 1000.0;
            const double trueAmps = reading.amps;
            applyFaults(flight.faults, row, reading);
            writeRow(timeOf(flight.start, row), reading);
            // The counter adds what flowed until the next row: the first row reads its start.
            used += trueAmps * step / 3.6;
        }
    }

private:
    double currentAt(double t, int seconds, double average)
    {
        if (t < 8) // spool-up
            return 0.3 + average * t / 8;
        if (t > seconds - 6) // landed, motor stopping
            return 0.4;
        return average * (0.7 + random.between(0, 60) / 100.0);
    }

    static double counterReading(const SampleLogFlight &flight, double used)
    {
        const double counter = flight.counterStart + std::round(used);
        return flight.counterWrap > 0 ? std::fmod(counter, flight.counterWrap) : counter;
    }

    static void punchOut(const QVector<SampleLogFault> &faults, int row, double &amps)
    {
        for (const SampleLogFault &fault : faults) {
            if (fault.kind == SampleLogFault::Punch && row >= fault.row
                && row < fault.row + fault.rows)
                amps = fault.value;
        }
    }

    static void applyFaults(const QVector<SampleLogFault> &faults, int row, Reading &reading)
    {
        for (const SampleLogFault &fault : faults) {
            if (row < fault.row || row >= fault.row + fault.rows)
                continue;
            switch (fault.kind) {
            case SampleLogFault::CurrentSpike:
                reading.amps = fault.value;
                break;
            case SampleLogFault::CapacitySpike:
                reading.counter = fault.value;
                break;
            case SampleLogFault::VoltageSpike:
            case SampleLogFault::DeadVoltage:
                reading.volts = fault.value;
                break;
            case SampleLogFault::Punch:
                break;
            }
        }
    }

    QDateTime timeOf(const QDateTime &start, int row) const
    {
        QDateTime when = start.addMSecs(qint64(row) * 1000 / style.rowsPerSecond);
        if (style.wholeSeconds)
            when = when.addMSecs(-when.time().msec());
        if (style.clockBackEvery > 0 && row % style.clockBackEvery == style.clockBackEvery - 1)
            when = when.addSecs(-1);
        return when;
    }

    void writeRow(const QDateTime &when, const Reading &reading)
    {
        out += when.toString(QStringLiteral("yyyy-MM-dd,HH:mm:ss.zzz")).toLatin1();
        out += ',' + QByteArray::number(-65 + random.between(-3, 3)) + ','
            + QByteArray::number(-70 + random.between(-3, 3)) + ",100,"
            + QByteArray::number(random.between(8, 12)) + ','
            + QByteArray::number(-random.between(40, 60)) + ",100,"
            + number(7.9 + random.between(0, 2) / 10.0, 1) + ',';
        if (reading.lost) {
            out += ",,,,";
        } else {
            const int charge
                = style.escNames ? 40 + int(reading.charge * 20) : int(reading.charge * 100);
            out += number(reading.volts, style.voltDecimals) + ',' + number(reading.amps, 1) + ','
                + number(reading.counter, 0) + ',' + QByteArray::number(charge) + ',';
        }
        out += stick(random, 200) + ',' + stick(random, 300) + ',' + stick(random, 1024) + ','
            + stick(random, 300) + ",1024,-1024,0,0,-1024,-1024,0,1024,0x5100000000000000,";
        out += number(8.1 - random.between(0, 1) / 10.0, 1) + '\n';
    }

    QByteArray &out;
    const SampleLogStyle &style;
    SampleRandom &random;
};

QDate lastSessionDay(const SampleModel &model)
{
    QDate last;
    for (const SampleFlight &flight : model.flightLog)
        last = std::max(last, flight.date.date());
    return last;
}

SampleCycle *cycleAt(SampleStore &store, const QDateTime &when, const SampleBattery **battery)
{
    for (SampleBattery &candidate : store.batteries) {
        for (SampleCycle &cycle : candidate.cycleData) {
            if (cycle.date == when) {
                *battery = &candidate;
                return &cycle;
            }
        }
    }
    return nullptr;
}

int cellsOf(const SampleBattery &battery)
{
    return battery.capacity >= 4000 ? 12 : 6;
}

// What real radios log besides the flights: the first model's current sensor glitches for
// three rows and its pack was plugged in for a moment before the first flight; the
// second model's voltage lead came loose for a few seconds.
void addSensorFaults(QVector<SampleLogFlight> &flights, int model)
{
    if (model == 0) {
        SampleLogFlight powerOn = flights.first();
        powerOn.start = powerOn.start.addSecs(-90);
        powerOn.seconds = 8;
        powerOn.lowAmps = powerOn.peakAmps = 0.4;
        flights.prepend(powerOn);
        flights[2].faults = { { SampleLogFault::CurrentSpike, 700, 3, 130875804.8 } };
    } else if (model == 1) {
        flights[1].faults = { { SampleLogFault::DeadVoltage, 400, 25, 1.08 } };
    }
}

// The figures of each model's last session go to the logs; the logbook keeps zeros.
QVector<SampleLogFile> quickenLastSessions(SampleStore &store)
{
    QVector<SampleLogFile> files;
    SampleRandom random(0x7E1E);
    for (int m = 0; m < store.models.size(); ++m) {
        SampleModel &model = store.models[m];
        const QDate day = lastSessionDay(model);
        QVector<SampleLogFlight> flights;
        for (SampleFlight &entry : model.flightLog) {
            const SampleBattery *battery = nullptr;
            SampleCycle *cycle = cycleAt(store, entry.date, &battery);
            if (entry.date.date() != day || !cycle)
                continue;
            SampleLogFlight flight;
            flight.seconds = QTime(0, 0).secsTo(entry.duration);
            // Quick entry is tapped a minute or three after landing.
            flight.start = entry.date.addSecs(-flight.seconds - random.between(60, 180));
            flight.usedMah = cycle->discharged;
            flight.peakAmps = cycle->current / 100.0 + random.between(0, 9) / 10.0;
            flight.cells = cellsOf(*battery);
            flights.append(flight);
            entry.duration = QTime(0, 0);
            cycle->discharged = 0;
            cycle->current = 0;
        }
        if (flights.isEmpty())
            continue;
        // One more pack flown that day and never entered in the logbook.
        SampleLogFlight unrecorded = flights.last();
        unrecorded.start = unrecorded.start.addSecs(unrecorded.seconds + 25 * 60);
        unrecorded.usedMah = unrecorded.usedMah * 9 / 10;
        flights.append(unrecorded);
        SampleLogStyle style;
        style.escNames = m % 2 == 1;
        flights[flights.size() / 2].counterReset = m % 2 == 1;
        addSensorFaults(flights, m);
        files.append({ QStringLiteral("%1-%2.csv").arg(model.name, day.toString(Qt::ISODate)),
            sampleTelemetryLog(flights, style, 0x10C0 + quint64(m)) });
    }
    return files;
}

} // namespace

QByteArray sampleTelemetryLog(
    const QVector<SampleLogFlight> &flights, const SampleLogStyle &style, quint64 seed)
{
    SampleRandom random(seed);
    QByteArray out = headerLine(style);
    FlightWriter writer(out, style, random);
    for (const SampleLogFlight &flight : flights)
        writer.write(flight);
    return out;
}

SampleStore quickDemoStore(const QDateTime &anchor)
{
    SampleStore store = demoStore(anchor);
    quickenLastSessions(store);
    return store;
}

QVector<SampleLogFile> demoTelemetryLogs(const QDateTime &anchor)
{
    SampleStore store = demoStore(anchor);
    return quickenLastSessions(store);
}

namespace {

QVector<SampleLogFlight> busyDayFlights(const QDate &day)
{
    QVector<SampleLogFlight> flights;
    QDateTime start(day, QTime(9, 0));
    for (int i = 0; i < 12; ++i) {
        SampleLogFlight flight;
        flight.start = start;
        flight.seconds = 360;
        flight.usedMah = 3400;
        flight.peakAmps = 160;
        flight.cells = 12;
        flight.counterReset = i == 5;
        flights.append(flight);
        start = start.addSecs(flight.seconds + 25 * 60);
    }
    return flights;
}

SampleLogStyle busyDayStyle()
{
    SampleLogStyle style;
    style.rowsPerSecond = 10;
    return style;
}

} // namespace

SampleLogFile busyTelemetryDay(const QDate &day)
{
    return { QStringLiteral("Kestrel 700 X-%1.csv").arg(day.toString(Qt::ISODate)),
        sampleTelemetryLog(busyDayFlights(day), busyDayStyle(), 0xDA7) };
}

bool writeLongTelemetryLog(const QString &path, const QDate &first, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const SampleLogStyle style = busyDayStyle();
    SampleRandom random(0xB16);
    QByteArray out = headerLine(style);
    FlightWriter writer(out, style, random);
    for (QDate day = first; file.size() + out.size() < bytes; day = day.addDays(1)) {
        for (const SampleLogFlight &flight : busyDayFlights(day))
            writer.write(flight);
        if (file.write(out) != out.size())
            return false;
        out.clear();
    }
    return file.write(out) == out.size() && file.flush();
}

bool writeTelemetryLogs(const QVector<SampleLogFile> &files, const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    for (const SampleLogFile &log : files) {
        QFile file(QDir(folder).filePath(log.fileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(log.content) != log.content.size())
            return false;
    }
    return true;
}
