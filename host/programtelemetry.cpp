#include "host/programtelemetry.h"

#include "host/changerefusal.h"
#include "host/storagelock.h"
#include "store/storefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

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

QString tr(const char *text)
{
    return QCoreApplication::translate("TelemetryImport", text);
}

int countOf(const QVector<TelemetryProposal> &proposals, TelemetryProposal::Kind kind, bool ticked)
{
    return int(std::count_if(proposals.begin(), proposals.end(), [&](const TelemetryProposal &p) {
        return p.kind == kind && p.ticked == ticked && (ticked ? p.canApply() : true);
    }));
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

QString summary(
    const QVector<TelemetryProposal> &proposals, const QVector<RecordRules::RuleBreak> &refused)
{
    const int filled = countOf(proposals, TelemetryProposal::FillEntry, true);
    const int overwritten = countOf(proposals, TelemetryProposal::HasFigures, true);
    const int added = countOf(proposals, TelemetryProposal::AddFlight, true);
    const int recorded = countOf(proposals, TelemetryProposal::HasFigures, false);
    const int left = proposals.size() - filled - overwritten - added - recorded;
    const QString counts
        = tr("%1 flights: %2 Quick entries filled, %3 entries overwritten, %4 flights added, "
             "%5 already recorded, %6 left out")
              .arg(proposals.size())
              .arg(filled)
              .arg(overwritten)
              .arg(added)
              .arg(recorded)
              .arg(left);
    if (refused.isEmpty())
        return counts;
    // The first reason stands for the others, which are mostly alike.
    return counts + QLatin1Char('\n')
        + tr("%1 of them not applied: %2")
              .arg(refused.size())
              .arg(ChangeRefusal::describe(refused.first()));
}

Outcome importForScript(const QString &storageFolder, const QStringList &paths)
{
    const QString folder = QFileInfo(storageFolder).absoluteFilePath();
    // Another Cellora holding the folder would overwrite the import with its next save.
    StorageLock lock;
    if (lock.lock(folder) == StorageLock::Outcome::InUse)
        return { ExitStorageInUse,
            tr("the storage folder %1 is in use by %2")
                .arg(QDir::toNativeSeparators(folder), lock.holder()),
            {} };
    const StoreFolder loaded = StoreFolder::load(folder);
    if (!loaded.isWhole())
        return { ExitBadStorage,
            tr("no data file cellora.xml that can be read whole in the storage folder %1")
                .arg(QDir::toNativeSeparators(folder)),
            {} };
    const StoreRecords &before = loaded.records;
    const QStringList files = telemetryFilesIn(paths);
    const QVector<TelemetryLog> logs = readLogs(files, before);

    Outcome outcome;
    for (const TelemetryLog &log : logs) {
        if (!log.isValid())
            outcome.problems << tr("%1: %2").arg(QDir::toNativeSeparators(log.fileName), log.error);
    }
    if (files.isEmpty())
        outcome.problems << tr("no telemetry logs in %1").arg(paths.join(QStringLiteral(", ")));
    QVector<TelemetryProposal> proposals = proposeTelemetryImport(before, logs, rememberedModels());
    // Without a person to ask, a new flight needs a model with a single battery.
    for (TelemetryProposal &proposal : proposals) {
        if (proposal.kind == TelemetryProposal::AddFlight && proposal.batteryChoices.size() != 1)
            proposal.ticked = false;
    }
    StoreRecords after = before;
    QVector<RecordRules::RuleBreak> refused;
    if (applyTelemetryImport(after, proposals, &refused) > 0) {
        const ChangeOutcome written = loaded.change(after);
        if (written.refused.isBroken())
            return { ExitFailure, ChangeRefusal::describe(written.refused), outcome.problems };
        if (!written.written)
            return { ExitFailure,
                tr("the data file in %1 could not be written")
                    .arg(QDir::toNativeSeparators(folder)),
                outcome.problems };
    }
    outcome.code = outcome.problems.isEmpty() ? ExitOk : ExitFailure;
    outcome.message = summary(proposals, refused);
    return outcome;
}

} // namespace TelemetryImport
