#ifndef HOST_TELEMETRYIMPORT_H
#define HOST_TELEMETRYIMPORT_H

#include "exchange/telemetryimport.h"
#include "exchange/telemetrylog.h"
#include "host/exitcode.h"
#include "store/storerecords.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// The program's side of importing telemetry logs: the user's earlier choices (kept in the
// program's own settings, never the module's), what an import did, and the import for
// scripts.
namespace TelemetryImport {

// Which logbook model a log's model name means, when no name matched: by log model.
QHash<QString, QString> rememberedModels();
void rememberModel(const QString &logModel, const QString &model);
// The columns a model's logs were mapped to.
TelemetryColumns rememberedColumns(const QString &model);
void rememberColumns(const QString &model, const TelemetryColumns &columns);

// Reads every file with the columns remembered for the model it matches.
QVector<TelemetryLog> readLogs(const QStringList &files, const StoreRecords &store);

// What counts of the proposals say, e.g. "filled 3 Quick entries, added 1 flight", and
// why ticked ones were left out (`refused`, as applyTelemetryImport gives it).
QString summary(const QVector<TelemetryProposal> &proposals,
    const QVector<RecordRules::RuleBreak> &refused = {});

struct Outcome {
    ExitCode code = ExitOk;
    QString message; // the summary, or why nothing was written
    QStringList problems; // one line per log that could not be used
};

// For scripts: applies what needs no question (fills Quick entries; adds a flight only
// when its model has a single battery) and saves through the store.
Outcome importForScript(const QString &storageFolder, const QStringList &paths);

} // namespace TelemetryImport

#endif // HOST_TELEMETRYIMPORT_H
