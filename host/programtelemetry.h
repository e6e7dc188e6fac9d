#ifndef HOST_TELEMETRYIMPORT_H
#define HOST_TELEMETRYIMPORT_H

#include "exchange/telemetryimport.h"
#include "exchange/telemetrylog.h"
#include "host/exitcode.h"
#include "store/recordrules.h"
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

// What applying the ticked proposals changed, by kind.
struct Written {
    int filled = 0;
    int overwritten = 0;
    int added = 0;
};
// Applies every ticked proposal to `store` and counts what each kind changed; `refused`
// receives the record rules that kept ticked ones out (as applyTelemetryImport gives them).
Written apply(StoreRecords &store, const QVector<TelemetryProposal> &proposals,
    QVector<RecordRules::RuleBreak> *refused = nullptr);

// What was written, e.g. "12 flights: 3 Quick entries filled, … 1 left out", and why
// ticked ones were not applied.
QString summary(const QVector<TelemetryProposal> &proposals, const Written &written,
    const QVector<RecordRules::RuleBreak> &refused = {});
// Why a flight is not written; empty when it is, or when the logbook holds it already.
QString leftOutReason(const TelemetryProposal &proposal);
// Why a log that was read gives nothing; empty when it holds flights.
QString emptyLogReason(const TelemetryLog &log);

struct Outcome {
    ExitCode code = ExitOk;
    QString message; // the summary, or why nothing was written
    QStringList problems; // one line per log that could not be used
    QStringList leftOut; // one line per log or flight left out, with the reason
};

// For scripts: applies what needs no question (fills Quick entries; adds a flight only
// when its model has a single battery) and saves through the store.
Outcome importForScript(const QString &storageFolder, const QStringList &paths);

} // namespace TelemetryImport

#endif // HOST_TELEMETRYIMPORT_H
