#include "exchange/telemetryimport.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A flight belongs to a logbook entry recorded this close to it: the pilot taps Quick
// entry some minutes before or after the flight.
constexpr qint64 matchWindowSeconds = 15 * 60;

QString folded(const QString &name)
{
    QString result = name.toCaseFolded();
    result.remove(QLatin1Char(' '));
    return result;
}

const ModelRecord *findModel(const StoreRecords &store, const QString &name)
{
    for (const ModelRecord &model : store.models) {
        if (model.name == name)
            return &model;
    }
    return nullptr;
}

ModelRecord *findModel(StoreRecords &store, const QString &name)
{
    return const_cast<ModelRecord *>(findModel(const_cast<const StoreRecords &>(store), name));
}

BatteryRecord *findBattery(StoreRecords &store, const QString &name)
{
    for (BatteryRecord &battery : store.batteries) {
        if (battery.name == name)
            return &battery;
    }
    return nullptr;
}

// The cycle entry paired with a flight by their common date-time; as the logbook pairs
// them, the last battery holding that moment wins.
CycleRecord *pairedCycle(StoreRecords &store, const QDateTime &moment, QString *battery = nullptr)
{
    CycleRecord *paired = nullptr;
    if (!moment.isValid())
        return nullptr;
    for (BatteryRecord &candidate : store.batteries) {
        for (CycleRecord &cycle : candidate.cycleData) {
            if (cycle.date == moment) {
                paired = &cycle;
                if (battery)
                    *battery = candidate.name;
                break;
            }
        }
    }
    return paired;
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

void proposeForModel(
    StoreRecords &store, const ModelRecord &model, QVector<TelemetryProposal *> &flights)
{
    pairWithEntries(store, model, flights);
    const QStringList choices = batteriesOf(store, model);
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

bool fill(StoreRecords &store, const TelemetryProposal &proposal)
{
    ModelRecord *model = findModel(store, proposal.model);
    if (!model || proposal.entry < 0 || proposal.entry >= model->flightLog.size())
        return false;
    const TelemetryFigures figures = figuresOf(proposal.flight);
    LogData &entry = model->flightLog[proposal.entry];
    CycleRecord *cycle = pairedCycle(store, entry.date);
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

bool add(StoreRecords &store, const TelemetryProposal &proposal)
{
    ModelRecord *model = findModel(store, proposal.model);
    BatteryRecord *battery = findBattery(store, proposal.battery);
    if (!model || !battery)
        return false;
    const TelemetryFigures figures = figuresOf(proposal.flight);
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
    TelemetryFigures figures;
    // Longer than a day cannot be a flight's duration; the time field holds no more.
    figures.duration = QTime(0, 0).addSecs(std::clamp(flight.seconds, 0, 86399));
    figures.dischargedMah
        = flight.hasCapacity ? uint(std::lround(std::max(0.0, flight.usedMah))) : 0;
    figures.maxCurrent
        = flight.hasCurrent ? uint(std::lround(std::max(0.0, flight.maxCurrent) * 100)) : 0;
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
    QVector<TelemetryProposal> proposals;
    for (const TelemetryLog &log : logs) {
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
            || (proposal.kind == TelemetryProposal::AddFlight && !proposal.battery.isEmpty());
    }
    return proposals;
}

int applyTelemetryImport(StoreRecords &store, const QVector<TelemetryProposal> &proposals)
{
    int changed = 0;
    // Fills first: they name entries by position, which additions shift.
    for (const TelemetryProposal &proposal : proposals) {
        if (proposal.ticked && proposal.canApply() && proposal.kind != TelemetryProposal::AddFlight
            && fill(store, proposal))
            ++changed;
    }
    for (const TelemetryProposal &proposal : proposals) {
        if (proposal.ticked && proposal.canApply() && proposal.kind == TelemetryProposal::AddFlight
            && add(store, proposal))
            ++changed;
    }
    return changed;
}
