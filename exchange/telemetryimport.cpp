#include "exchange/telemetryimport.h"

#include "store/recordrules.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A flight belongs to a logbook entry recorded this close to it: the pilot taps Quick
// entry some minutes before or after the flight.
constexpr qint64 matchWindowSeconds = 15 * 60;

// A run this short that used this little was a pack plugged in on the ground.
constexpr int powerOnSeconds = 30;
constexpr double powerOnShare = 0.02;
constexpr double powerOnMah = 20; // when the pack's capacity is not known

// "Flik-Wing", "flik_wing" and "Flik Wing" are one model to a pilot.
QString folded(const QString &name)
{
    static const QRegularExpression separators(QStringLiteral("[ _-]"));
    QString result = name.toCaseFolded();
    result.remove(separators);
    return result;
}

// Which record a name means, and which cycle entry a flight pairs with: the store's rules.
const ModelRecord *findModel(const StoreRecords &store, const QString &name)
{
    const int index = RecordRules::modelNamed(store, name);
    return index >= 0 ? &store.models.at(index) : nullptr;
}

// Through the records' own non-const access: a copy of the store shares their data until
// one of them is written, and a pointer found through a const view would write into both.
ModelRecord *findModel(StoreRecords &store, const QString &name)
{
    const int index = RecordRules::modelNamed(store, name);
    return index >= 0 ? &store.models[index] : nullptr;
}

BatteryRecord *findBattery(StoreRecords &store, const QString &name)
{
    const int index = RecordRules::batteryNamed(store, name);
    return index >= 0 ? &store.batteries[index] : nullptr;
}

CycleRecord *pairedCycle(StoreRecords &store, const QDateTime &moment, QString *battery = nullptr)
{
    const CycleRef paired = RecordRules::pairedCycle(store, moment);
    if (!paired.isValid())
        return nullptr;
    BatteryRecord &flown = store.batteries[paired.battery];
    if (battery)
        *battery = flown.name;
    return &flown.cycleData[paired.cycle];
}

bool isZero(const QTime &duration)
{
    return !duration.isValid() || duration == QTime(0, 0);
}

bool hasFigures(StoreRecords &store, const LogData &entry)
{
    const CycleRecord *cycle = pairedCycle(store, entry.date);
    return !isZero(entry.duration) || (cycle && (cycle->discharged != 0 || cycle->current != 0));
}

bool isNear(const LogData &entry, const TelemetryFlight &flight)
{
    const QDateTime end = flight.start.addSecs(flight.seconds);
    return entry.date.isValid() && entry.date >= flight.start.addSecs(-matchWindowSeconds)
        && entry.date <= end.addSecs(matchWindowSeconds);
}

// Measured from the landing: a discharge is recorded after the flight, so of two
// flights near an entry the one that just landed is the one it records.
qint64 secondsFromLanding(const LogData &entry, const TelemetryFlight &flight)
{
    return std::abs(flight.start.addSecs(flight.seconds).secsTo(entry.date));
}

QStringList batteriesOf(const StoreRecords &store, const ModelRecord &model)
{
    QStringList names;
    for (const QString &name : model.batteries) {
        if (std::any_of(store.batteries.begin(), store.batteries.end(),
                [&](const BatteryRecord &battery) { return battery.name == name; }))
            names << name;
    }
    return names;
}

// The assigned battery whose discharges lie nearest the flight; empty when none of them
// was ever discharged, and the user picks.
QString nearestBattery(const StoreRecords &store, const QStringList &names, const QDateTime &when)
{
    QString nearest;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const BatteryRecord &battery : store.batteries) {
        if (!names.contains(battery.name))
            continue;
        for (const CycleRecord &cycle : battery.cycleData) {
            const qint64 distance = std::abs(cycle.date.secsTo(when));
            if (cycle.date.isValid() && distance < best) {
                best = distance;
                nearest = battery.name;
            }
        }
    }
    return nearest;
}

// Pairs flights with entries, nearest pairs first, each entry and flight used once.
void pairWithEntries(
    StoreRecords &store, const ModelRecord &model, QVector<TelemetryProposal *> &flights)
{
    struct Pair {
        qint64 distance;
        TelemetryProposal *proposal;
        int entry;
    };
    QVector<Pair> pairs;
    for (TelemetryProposal *proposal : flights) {
        for (int i = 0; i < model.flightLog.size(); ++i) {
            if (isNear(model.flightLog[i], proposal->flight))
                pairs.append(
                    { secondsFromLanding(model.flightLog[i], proposal->flight), proposal, i });
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(),
        [](const Pair &a, const Pair &b) { return a.distance < b.distance; });
    QVector<bool> entryTaken(model.flightLog.size(), false);
    for (const Pair &pair : pairs) {
        if (pair.proposal->entry >= 0 || entryTaken[pair.entry])
            continue;
        entryTaken[pair.entry] = true;
        const LogData &entry = model.flightLog[pair.entry];
        pair.proposal->entry = pair.entry;
        pair.proposal->kind = hasFigures(store, entry) ? TelemetryProposal::HasFigures
                                                       : TelemetryProposal::FillEntry;
        pairedCycle(store, entry.date, &pair.proposal->battery);
    }
}

uint capacityOf(const StoreRecords &store, const QString &battery)
{
    for (const BatteryRecord &candidate : store.batteries) {
        if (candidate.name == battery)
            return candidate.capacity;
    }
    return 0;
}

// Marks the power-ons, by the capacity of the pack that the flight would go to without an
// entry: the one flown nearest in time, or the model's only one.
void markPowerOns(const StoreRecords &store, const QStringList &choices,
    const QVector<TelemetryProposal *> &flights)
{
    for (TelemetryProposal *proposal : flights) {
        const TelemetryFlight &flight = proposal->flight;
        if (flight.seconds >= powerOnSeconds)
            continue;
        QString battery = nearestBattery(store, choices, flight.start);
        if (battery.isEmpty() && choices.size() == 1)
            battery = choices.first();
        proposal->packCapacity = capacityOf(store, battery);
        // A current without a counter gives no capacity: a run this short is then taken
        // for a power-on as well.
        const double used = flight.hasCapacity ? flight.usedMah : 0;
        proposal->powerOn = used
            < (proposal->packCapacity > 0 ? proposal->packCapacity * powerOnShare : powerOnMah);
    }
}

void proposeForModel(
    StoreRecords &store, const ModelRecord &model, QVector<TelemetryProposal *> &flights)
{
    const QStringList choices = batteriesOf(store, model);
    markPowerOns(store, choices, flights);
    // A power-on near a Quick entry must not take it from the flight that it records.
    QVector<TelemetryProposal *> real;
    std::copy_if(flights.begin(), flights.end(), std::back_inserter(real),
        [](const TelemetryProposal *proposal) { return !proposal->powerOn; });
    pairWithEntries(store, model, real);
    for (TelemetryProposal *proposal : flights) {
        if (proposal->entry >= 0)
            continue;
        proposal->kind = TelemetryProposal::AddFlight;
        proposal->batteryChoices = choices;
        proposal->battery = nearestBattery(store, choices, proposal->flight.start);
        if (proposal->battery.isEmpty() && choices.size() == 1)
            proposal->battery = choices.first();
    }
}

template <typename T> void insertByDate(QVector<T> &list, const T &item)
{
    const auto at = std::upper_bound(
        list.begin(), list.end(), item, [](const T &a, const T &b) { return a.date < b.date; });
    list.insert(at, item);
}

// A log that gives no voltage or resistance leaves what is there, typed in by hand, say.
bool takeKnownFigures(CycleRecord &cycle, const TelemetryFigures &figures)
{
    const CycleRecord before = cycle;
    if (figures.minVoltage != 0)
        cycle.minVoltage = figures.minVoltage;
    if (figures.resistance != 0)
        cycle.resistance = figures.resistance;
    return cycle.minVoltage != before.minVoltage || cycle.resistance != before.resistance;
}

using RecordRules::Refusal;
using RecordRules::RuleBreak;

bool fill(StoreRecords &store, const TelemetryProposal &proposal, RuleBreak &refused)
{
    ModelRecord *model = findModel(store, proposal.model);
    if (!model || proposal.entry < 0 || proposal.entry >= model->flightLog.size())
        return false;
    const TelemetryFigures figures = figuresOf(proposal.flight);
    LogData &entry = model->flightLog[proposal.entry];
    QString flown;
    CycleRecord *cycle = pairedCycle(store, entry.date, &flown);
    const Refusal beyond = cycle
        ? RecordRules::figuresRefusal(figures.dischargedMah, figures.maxCurrent)
        : Refusal::None;
    if (beyond != Refusal::None) {
        refused = { beyond, flown, entry.date };
        return false;
    }
    bool changed = entry.duration != figures.duration;
    entry.duration = figures.duration;
    if (cycle) {
        changed = changed || cycle->discharged != figures.dischargedMah
            || cycle->current != figures.maxCurrent;
        cycle->discharged = figures.dischargedMah;
        cycle->current = figures.maxCurrent;
        changed = takeKnownFigures(*cycle, figures) || changed;
    }
    return changed;
}

const LogData *nearestOnDay(const ModelRecord &model, const QDateTime &when)
{
    const LogData *nearest = nullptr;
    for (const LogData &entry : model.flightLog) {
        if (entry.date.date() == when.date()
            && (!nearest
                || std::abs(entry.date.secsTo(when)) < std::abs(nearest->date.secsTo(when))))
            nearest = &entry;
    }
    return nearest;
}

// A new flight and discharge take a moment of their own, with figures within the limits.
RuleBreak addRefusal(
    const StoreRecords &store, const TelemetryProposal &proposal, const TelemetryFigures &figures)
{
    const QDateTime &moment = proposal.flight.start;
    Refusal refusal = RecordRules::momentRefusal(moment);
    if (refusal == Refusal::None && RecordRules::momentTaken(store, moment))
        refusal = Refusal::MomentTaken;
    if (refusal == Refusal::None)
        refusal = RecordRules::figuresRefusal(figures.dischargedMah, figures.maxCurrent);
    return { refusal, proposal.battery, moment };
}

bool add(StoreRecords &store, const TelemetryProposal &proposal, RuleBreak &refused)
{
    ModelRecord *model = findModel(store, proposal.model);
    BatteryRecord *battery = findBattery(store, proposal.battery);
    if (!model || !battery)
        return false;
    const TelemetryFigures figures = figuresOf(proposal.flight);
    refused = addRefusal(store, proposal, figures);
    if (refused.isBroken())
        return false;
    LogData entry;
    entry.date = proposal.flight.start;
    entry.duration = figures.duration;
    entry.notes = QStringLiteral("Telemetry log %1").arg(QFileInfo(proposal.fileName).fileName());
    // Flown at the same field as the day's other flights, in the same weather.
    if (const LogData *sameDay = nearestOnDay(*model, entry.date)) {
        entry.location = sameDay->location;
        entry.temperature = sameDay->temperature;
    }
    insertByDate(model->flightLog, entry);
    insertByDate(battery->cycleData,
        CycleRecord { entry.date, figures.dischargedMah, figures.maxCurrent, figures.minVoltage,
            figures.resistance });
    ++battery->cycles;
    return true;
}

} // namespace

TelemetryFigures figuresOf(const TelemetryFlight &flight)
{
    // A figure beyond what the discharge page takes is no figure of one pack's flight: it
    // stays unknown rather than cut to the limit.
    const auto within = [](bool has, double value, double scale, double most) {
        const double scaled = std::round(value * scale);
        return has && scaled >= 0 && scaled <= most ? uint(scaled) : 0u;
    };
    TelemetryFigures figures;
    // Longer than a day cannot be a flight's duration; the time field holds no more.
    figures.duration = QTime(0, 0).addSecs(std::clamp(flight.seconds, 0, 86399));
    figures.dischargedMah
        = within(flight.hasCapacity, flight.usedMah, 1, RecordRules::maxDischargedMah);
    figures.maxCurrent
        = within(flight.hasCurrent, flight.maxCurrent, 100, RecordRules::maxCurrentHundredths);
    // The reader takes no voltage over 120 V; the page has no field for either.
    const double any = std::numeric_limits<uint>::max();
    figures.minVoltage = within(flight.hasVoltage, flight.minVoltage, 100, any);
    figures.resistance = within(flight.hasResistance, flight.resistanceMilliohms, 10, any);
    return figures;
}

QString matchTelemetryModel(
    const StoreRecords &store, const QString &logModel, const QHash<QString, QString> &chosen)
{
    if (findModel(store, logModel))
        return logModel;
    for (const ModelRecord &model : store.models) {
        if (folded(model.name) == folded(logModel))
            return model.name;
    }
    const QString remembered = chosen.value(logModel);
    return findModel(store, remembered) ? remembered : QString();
}

QVector<TelemetryProposal> proposeTelemetryImport(const StoreRecords &store,
    const QVector<TelemetryLog> &logs, const QHash<QString, QString> &chosenModels)
{
    QVector<TelemetryLog> joined = logs;
    joinContinuedFlights(joined);
    QVector<TelemetryProposal> proposals;
    for (const TelemetryLog &log : joined) {
        if (!log.isValid())
            continue;
        const QString model = matchTelemetryModel(store, log.modelName, chosenModels);
        for (const TelemetryFlight &flight : log.flights) {
            TelemetryProposal proposal;
            proposal.fileName = log.fileName;
            proposal.logModel = log.modelName;
            proposal.flight = flight;
            proposal.model = model;
            if (!flight.hasCapacity && !flight.hasCurrent)
                proposal.kind = TelemetryProposal::NoReadings;
            proposals.append(proposal);
        }
    }
    // Pairing reads the store only; the copy lets it share the finders with applying.
    StoreRecords reading = store;
    for (const ModelRecord &model : store.models) {
        QVector<TelemetryProposal *> flights;
        for (TelemetryProposal &proposal : proposals) {
            if (proposal.model == model.name && proposal.kind != TelemetryProposal::NoReadings)
                flights.append(&proposal);
        }
        proposeForModel(reading, model, flights);
    }
    for (TelemetryProposal &proposal : proposals) {
        proposal.ticked = proposal.kind == TelemetryProposal::FillEntry
            || (proposal.kind == TelemetryProposal::AddFlight && !proposal.battery.isEmpty()
                && !proposal.powerOn);
    }
    return proposals;
}

int applyTelemetryImport(
    StoreRecords &store, const QVector<TelemetryProposal> &proposals, QVector<RuleBreak> *refused)
{
    int changed = 0;
    const auto apply = [&](bool adding) {
        for (const TelemetryProposal &proposal : proposals) {
            if (!proposal.ticked || !proposal.canApply()
                || adding != (proposal.kind == TelemetryProposal::AddFlight))
                continue;
            RuleBreak broken;
            if (adding ? add(store, proposal, broken) : fill(store, proposal, broken))
                ++changed;
            else if (broken.isBroken() && refused)
                refused->append(broken);
        }
    };
    // Fills first: they name entries by position, which additions shift.
    apply(false);
    apply(true);
    return changed;
}
