#include "exchange/packhealth.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace {

// The verdict's texts, translated in the context "PackHealth".
struct Text {
    Q_DECLARE_TR_FUNCTIONS(PackHealth)
};

constexpr int secondsPerDay = 86400;

// The language's decimal mark, without group separators, as in the rest of the report.
QString decimal(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', 1);
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const int middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double meanOf(QVector<DatedFigure>::const_iterator first, QVector<DatedFigure>::const_iterator last)
{
    if (first == last)
        return -1;
    const double sum = std::accumulate(
        first, last, 0.0, [](double total, const DatedFigure &f) { return total + f.value; });
    return sum / double(last - first);
}

// The pack's first and latest figure: the middle of its first three and of its last three
// once there are six, so that one odd flight decides nothing; with fewer, the first and the
// last. False with fewer than two figures.
bool firstAndNow(const QVector<DatedFigure> &figures, double &first, double &now)
{
    const int count = figures.size();
    if (count < 2)
        return false;
    const int sample = count >= 2 * HealthLimits::figureSample ? HealthLimits::figureSample : 1;
    QVector<double> head, tail;
    for (int i = 0; i < sample; ++i) {
        head << figures[i].value;
        tail << figures[count - sample + i].value;
    }
    first = median(head);
    now = median(tail);
    return true;
}

// The reasons found so far; the verdict is the gravest of them.
struct Findings {
    QStringList retire, watch;

    void add(PackVerdict level, const QString &reason)
    {
        (level == PackVerdict::Retire ? retire : watch) << reason;
    }
    // `retireAt` at or above the value retires, `watchAt` watches.
    template <typename Value>
    void byLimit(Value value, Value watchAt, Value retireAt, const QString &reason)
    {
        if (value >= retireAt)
            add(PackVerdict::Retire, reason);
        else if (value >= watchAt)
            add(PackVerdict::Watch, reason);
    }
};

// The figures of every discharge, where known, in the order they were recorded.
void collectFigures(PackHealth &pack, const BatteryRecord &battery, QVector<DatedFigure> &voltages)
{
    double total = 0;
    uint peakCurrent = 0;
    for (const CycleRecord &cycle : battery.cycleData) {
        total += cycle.discharged;
        peakCurrent = std::max(peakCurrent, cycle.current);
        if (pack.capacity > 0 && cycle.discharged > 0)
            pack.shares << DatedFigure { cycle.date, 100.0 * cycle.discharged / pack.capacity };
        if (cycle.resistance > 0)
            pack.resistances << DatedFigure { cycle.date, cycle.resistance / 10.0 };
        if (cycle.minVoltage > 0)
            voltages << DatedFigure { cycle.date, cycle.minVoltage / 100.0 };
    }
    // Without a capacity no share or multiple of it means anything: those stay unknown.
    if (pack.capacity == 0)
        return;
    pack.equivalentCycles = total / pack.capacity;
    // Hundredths of an ampere over mAh: A / Ah = 10 * hundredths / mAh.
    if (peakCurrent > 0)
        pack.peakC = 10.0 * peakCurrent / pack.capacity;
    const int sample = std::min<int>(HealthLimits::shareSample, pack.shares.size());
    pack.firstShare = meanOf(pack.shares.cbegin(), pack.shares.cbegin() + sample);
    pack.recentShare = meanOf(pack.shares.cend() - sample, pack.shares.cend());
}

// Days from the last flight or charge, whichever recorded it: a flight imported from a log
// leaves the card's last use as it was. A moment in the future (a wrong clock) is today.
// Returns the seconds the pack has been kept charged, -1 when it is not.
qint64 measureDays(PackHealth &pack, const BatteryRecord &battery, const QDateTime &now)
{
    QDateTime last = battery.lastUse;
    for (const CycleRecord &cycle : battery.cycleData) {
        if (cycle.date.isValid() && (!last.isValid() || cycle.date > last))
            last = cycle.date;
    }
    if (last.isValid())
        pack.daysSinceUse = int(std::max<qint64>(0, last.secsTo(now)) / secondsPerDay);
    if (pack.purchase.isValid() && pack.purchase <= now.date())
        pack.ageDays = int(pack.purchase.daysTo(now.date()));
    if (!pack.charged || !battery.lastUse.isValid())
        return -1;
    const qint64 charged = std::max<qint64>(0, battery.lastUse.secsTo(now));
    pack.daysCharged = int(charged / secondsPerDay);
    return charged;
}

void judgeResistanceAndSag(
    PackHealth &pack, const QVector<DatedFigure> &voltages, Findings &findings)
{
    if (firstAndNow(pack.resistances, pack.firstResistance, pack.lastResistance)) {
        const double rise = pack.lastResistance / pack.firstResistance;
        const QString figures
            = QStringLiteral("%1 → %2 mΩ")
                  .arg(decimal(pack.firstResistance), decimal(pack.lastResistance));
        if (rise >= HealthLimits::resistanceRetire)
            findings.add(PackVerdict::Retire, Text::tr("resistance doubled (%1)").arg(figures));
        else if (rise >= HealthLimits::resistanceWatch)
            findings.add(PackVerdict::Watch, Text::tr("resistance up by half (%1)").arg(figures));
    } else if (!pack.resistances.isEmpty()) {
        pack.lastResistance = pack.resistances.last().value;
    }
    if (firstAndNow(voltages, pack.firstMinVoltage, pack.lastMinVoltage)) {
        if (pack.lastMinVoltage <= pack.firstMinVoltage * HealthLimits::sagWatch)
            findings.add(PackVerdict::Watch,
                Text::tr("sags lower under load (%1 → %2 V)")
                    .arg(decimal(pack.firstMinVoltage), decimal(pack.lastMinVoltage)));
    } else if (!voltages.isEmpty()) {
        pack.lastMinVoltage = voltages.last().value;
    }
}

void judgeUse(PackHealth &pack, qint64 chargedSeconds, Findings &findings)
{
    pack.keptCharged = chargedSeconds > HealthLimits::storageDaysLimit * qint64(secondsPerDay);
    if (pack.keptCharged)
        pack.warnings << Text::tr("charged for %1 days").arg(pack.daysCharged);
    if (pack.recentShare > HealthLimits::heavyUseShare)
        pack.warnings << Text::tr("over 80 % used");
    for (const QString &warning : qAsConst(pack.warnings))
        findings.add(PackVerdict::Watch, warning);
    // A trend only once the first and the last discharges are different ones.
    if (pack.shares.size() >= 2 * HealthLimits::shareSample
        && pack.recentShare - pack.firstShare >= HealthLimits::shareRiseWatch)
        findings.add(PackVerdict::Watch,
            Text::tr("uses more of its capacity per flight (%1 → %2 %)")
                .arg(decimal(pack.firstShare), decimal(pack.recentShare)));
    findings.byLimit(pack.cycles, HealthLimits::cyclesWatch, HealthLimits::cyclesRetire,
        Text::tr("%1 cycles").arg(pack.cycles));
    if (pack.ageDays >= 0)
        findings.byLimit(pack.ageDays, HealthLimits::ageWatchDays, HealthLimits::ageRetireDays,
            Text::tr("%1 years old").arg(decimal(pack.ageDays / 365.25)));
}

int severity(PackVerdict verdict)
{
    return int(verdict);
}

} // namespace

namespace PackHealthCheck {

PackHealth assess(const BatteryRecord &battery, const QDateTime &now)
{
    PackHealth pack;
    pack.name = battery.name;
    pack.capacity = battery.capacity;
    pack.rating = battery.rating;
    pack.purchase = battery.purchase;
    pack.cycles = battery.cycles;
    pack.charged = battery.charged;
    QVector<DatedFigure> voltages;
    collectFigures(pack, battery, voltages);
    const qint64 chargedSeconds = measureDays(pack, battery, now);
    Findings findings;
    judgeResistanceAndSag(pack, voltages, findings);
    judgeUse(pack, chargedSeconds, findings);
    pack.reasons = findings.retire + findings.watch;
    pack.verdict = !findings.retire.isEmpty() ? PackVerdict::Retire
        : !findings.watch.isEmpty()           ? PackVerdict::Watch
                                              : PackVerdict::Good;
    return pack;
}

QVector<PackHealth> assessFleet(const StoreRecords &store, const QDateTime &now)
{
    QVector<PackHealth> fleet;
    fleet.reserve(store.batteries.size());
    for (const BatteryRecord &battery : store.batteries)
        fleet << assess(battery, now);
    std::stable_sort(fleet.begin(), fleet.end(), [](const PackHealth &a, const PackHealth &b) {
        if (a.verdict != b.verdict)
            return severity(a.verdict) > severity(b.verdict);
        if (a.warnings.isEmpty() != b.warnings.isEmpty())
            return !a.warnings.isEmpty();
        return a.equivalentCycles > b.equivalentCycles;
    });
    return fleet;
}

QString verdictText(PackVerdict verdict)
{
    switch (verdict) {
    case PackVerdict::Good:
        return Text::tr("good");
    case PackVerdict::Watch:
        return Text::tr("watch");
    case PackVerdict::Retire:
        return Text::tr("retire");
    }
    return QString();
}

} // namespace PackHealthCheck
