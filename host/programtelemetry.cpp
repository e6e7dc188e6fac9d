#include "host/programtelemetry.h"

#include "host/changerefusal.h"
#include "host/storagelock.h"
#include "store/storefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

const QString modelsGroup = QStringLiteral("telemetry/models");
const QString columnsGroup = QStringLiteral("telemetry/columns");

// The program's own settings, apart from the module's store.
QSettings programSettings()
{
    return QSettings(QStringLiteral("Cellora"), QStringLiteral("cellora"));
}

// Model names may hold any character; settings keys may not hold slashes.
QString keyOf(const QString &name)
{
    return QString::fromLatin1(name.toUtf8().toHex());
}

struct Text {
    Q_DECLARE_TR_FUNCTIONS(TelemetryImport)
};

// The ticked proposals of one kind, the others unticked.
QVector<TelemetryProposal> tickedOf(
    QVector<TelemetryProposal> proposals, TelemetryProposal::Kind kind)
{
    for (TelemetryProposal &proposal : proposals)
        proposal.ticked = proposal.ticked && proposal.kind == kind;
    return proposals;
}

QString flightName(const TelemetryProposal &proposal)
{
    return Text::tr("%1, flight of %2")
        .arg(QDir::toNativeSeparators(proposal.fileName),
            proposal.flight.start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

// Logs that could not be read are problems; logs without flights and flights that are not
// written are only told, each with its reason.
void tellWhatIsLeftOut(const QVector<TelemetryLog> &logs,
    const QVector<TelemetryProposal> &proposals, TelemetryImport::Outcome &outcome)
{
    for (const TelemetryLog &log : logs) {
        const QString file = QDir::toNativeSeparators(log.fileName);
        if (!log.isValid())
            outcome.problems << Text::tr("%1: %2").arg(file, log.error);
        else if (log.flights.isEmpty())
            outcome.leftOut << Text::tr("%1: %2").arg(file, TelemetryImport::emptyLogReason(log));
    }
    for (const TelemetryProposal &proposal : proposals) {
        const QString reason = TelemetryImport::leftOutReason(proposal);
        if (!reason.isEmpty())
            outcome.leftOut << Text::tr("%1: left out: %2").arg(flightName(proposal), reason);
    }
}

} // namespace

namespace TelemetryImport {

QHash<QString, QString> rememberedModels()
{
    QSettings settings = programSettings();
    settings.beginGroup(modelsGroup);
    QHash<QString, QString> models;
    for (const QString &key : settings.childKeys()) {
        const QStringList pair = settings.value(key).toStringList();
        if (pair.size() == 2)
            models.insert(pair[0], pair[1]);
    }
    return models;
}

void rememberModel(const QString &logModel, const QString &model)
{
    QSettings settings = programSettings();
    settings.setValue(
        modelsGroup + QLatin1Char('/') + keyOf(logModel), QStringList { logModel, model });
}

TelemetryColumns rememberedColumns(const QString &model)
{
    const QStringList names
        = programSettings().value(columnsGroup + QLatin1Char('/') + keyOf(model)).toStringList();
    if (names.size() != 3)
        return {};
    return { names[0], names[1], names[2] };
}

void rememberColumns(const QString &model, const TelemetryColumns &columns)
{
    QSettings settings = programSettings();
    settings.setValue(columnsGroup + QLatin1Char('/') + keyOf(model),
        QStringList { columns.current, columns.capacity, columns.voltage });
}

QVector<TelemetryLog> readLogs(const QStringList &files, const StoreRecords &store)
{
    const QHash<QString, QString> models = rememberedModels();
    QVector<TelemetryLog> logs;
    for (const QString &file : files) {
        const QString model = matchTelemetryModel(store, telemetryModelName(file), models);
        logs.append(readTelemetryFile(file, rememberedColumns(model)));
    }
    return logs;
}

Written apply(StoreRecords &store, const QVector<TelemetryProposal> &proposals,
    QVector<RecordRules::RuleBreak> *refused)
{
    // Kind by kind, in the order one Apply takes them: fills name entries by position, which
    // additions shift.
    const auto applyKind = [&](TelemetryProposal::Kind kind) {
        return applyTelemetryImport(store, tickedOf(proposals, kind), refused);
    };
    Written written;
    written.filled = applyKind(TelemetryProposal::FillEntry);
    written.overwritten = applyKind(TelemetryProposal::HasFigures);
    written.added = applyKind(TelemetryProposal::AddFlight);
    return written;
}

QString summary(const QVector<TelemetryProposal> &proposals, const Written &written,
    const QVector<RecordRules::RuleBreak> &refused)
{
    // A ticked flight that changed nothing holds the figures already.
    const int ticked = int(std::count_if(proposals.begin(), proposals.end(),
        [](const TelemetryProposal &p) { return p.ticked && p.canApply(); }));
    const int untickedRecorded
        = int(std::count_if(proposals.begin(), proposals.end(), [](const TelemetryProposal &p) {
              return p.kind == TelemetryProposal::HasFigures && !p.ticked;
          }));
    const int changed = written.filled + written.overwritten + written.added;
    const int recorded = untickedRecorded + ticked - changed;
    // Each count in its own words, so that it agrees with its number ("1 flight added").
    const QStringList counts { Text::tr("%n Quick entry(ies) filled", nullptr, written.filled),
        Text::tr("%n entry(ies) overwritten", nullptr, written.overwritten),
        Text::tr("%n flight(s) added", nullptr, written.added),
        Text::tr("%n already recorded", nullptr, recorded),
        Text::tr("%n left out", nullptr, int(proposals.size()) - changed - recorded) };
    const QString said = Text::tr("%1: %2").arg(
        Text::tr("%n flight(s)", nullptr, int(proposals.size())), counts.join(Text::tr(", ")));
    if (refused.isEmpty())
        return said;
    // The first reason stands for the others, which are mostly alike.
    return said + QLatin1Char('\n')
        + Text::tr("%n of them not applied: %1", nullptr, int(refused.size()))
              .arg(ChangeRefusal::describe(refused.first()));
}

QString leftOutReason(const TelemetryProposal &proposal)
{
    const TelemetryFlight &flight = proposal.flight;
    switch (proposal.kind) {
    case TelemetryProposal::NoModel:
        return Text::tr("no model %1 in the logbook").arg(proposal.logModel);
    case TelemetryProposal::NoReadings:
        return Text::tr("no current or capacity logged");
    case TelemetryProposal::HasFigures:
        return QString();
    case TelemetryProposal::FillEntry:
    case TelemetryProposal::AddFlight:
        break;
    }
    if (proposal.powerOn) {
        const uint used = figuresOf(flight).dischargedMah;
        return proposal.packCapacity > 0
            ? Text::tr("a power-on, not a flight: %1 s and %2 mAh, under 30 s and under 2 % of "
                       "the pack's %3 mAh")
                  .arg(flight.seconds)
                  .arg(used)
                  .arg(proposal.packCapacity)
            : Text::tr("a power-on, not a flight: %1 s and %2 mAh, under 30 s and under 20 mAh")
                  .arg(flight.seconds)
                  .arg(used);
    }
    if (proposal.battery.isEmpty())
        return Text::tr("no battery chosen: model %1 has %n battery(ies)", nullptr,
            proposal.batteryChoices.size())
            .arg(proposal.model);
    return proposal.ticked ? QString() : Text::tr("not ticked");
}

QString emptyLogReason(const TelemetryLog &log)
{
    if (!log.isValid() || !log.flights.isEmpty())
        return QString();
    return log.skippedRows > 0
        ? Text::tr("no flights: none of its %n row(s) has a readable date and time", nullptr,
            log.skippedRows)
        : Text::tr("no flights: it holds no rows");
}

Outcome importForScript(const QString &storageFolder, const QStringList &paths)
{
    const QString folder = QFileInfo(storageFolder).absoluteFilePath();
    // Another Cellora holding the folder would overwrite the import with its next save.
    StorageLock lock;
    if (lock.lock(folder) == StorageLock::Outcome::InUse)
        return { ExitStorageInUse,
            Text::tr("the storage folder %1 is in use by %2")
                .arg(QDir::toNativeSeparators(folder), lock.holder()),
            {}, {} };
    const StoreFolder loaded = StoreFolder::load(folder);
    if (!loaded.isWhole())
        return { ExitBadStorage,
            Text::tr("no data file cellora.xml that can be read whole in the storage folder %1")
                .arg(QDir::toNativeSeparators(folder)),
            {}, {} };
    const StoreRecords &before = loaded.records;
    const QStringList files = telemetryFilesIn(paths);
    const QVector<TelemetryLog> logs = readLogs(files, before);

    Outcome outcome;
    if (files.isEmpty())
        outcome.problems
            << Text::tr("no telemetry logs in %1").arg(paths.join(QStringLiteral(", ")));
    QVector<TelemetryProposal> proposals = proposeTelemetryImport(before, logs, rememberedModels());
    // Without a person to ask, a new flight needs a model with a single battery.
    for (TelemetryProposal &proposal : proposals) {
        if (proposal.kind == TelemetryProposal::AddFlight && proposal.batteryChoices.size() != 1) {
            proposal.ticked = false;
            proposal.battery.clear();
        }
    }
    tellWhatIsLeftOut(logs, proposals, outcome);
    StoreRecords after = before;
    QVector<RecordRules::RuleBreak> refused;
    const Written written = apply(after, proposals, &refused);
    if (written.filled + written.overwritten + written.added > 0) {
        const ChangeOutcome change = loaded.change(after);
        if (change.refused.isBroken())
            return { ExitFailure, ChangeRefusal::describe(change.refused), outcome.problems,
                outcome.leftOut };
        if (!change.written)
            return { ExitFailure,
                Text::tr("the data file in %1 could not be written")
                    .arg(QDir::toNativeSeparators(folder)),
                outcome.problems, outcome.leftOut };
    }
    outcome.code = outcome.problems.isEmpty() ? ExitOk : ExitFailure;
    outcome.message = summary(proposals, written, refused);
    return outcome;
}

} // namespace TelemetryImport
