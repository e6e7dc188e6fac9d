#include "host/batchcommands.h"

#include "exchange/csvexport.h"
#include "exchange/outputfiles.h"
#include "exchange/packreport.h"
#include "host/storagelock.h"
#include "store/storefolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

using BatchCommands::Outcome;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// A store read only in part would export only that part: a damaged store exports nothing.
Outcome readStore(const QString &storageFolder, StoreSnapshot &store)
{
    const StoreFolder loaded = StoreFolder::load(storageFolder);
    switch (loaded.status) {
    case StoreFolder::Status::Read:
        store = loaded.records;
        return {};
    case StoreFolder::Status::NoDataFile:
        return { ExitBadStorage,
            QStringLiteral("no data file cellora.xml in the storage folder %1")
                .arg(shown(storageFolder)) };
    case StoreFolder::Status::Unreadable:
        return { ExitBadStorage,
            QStringLiteral("cannot read the data file %1").arg(shown(loaded.dataFile)) };
    case StoreFolder::Status::Damaged:
        break;
    }
    return { ExitBadStorage,
        QStringLiteral("the data file %1 is damaged: nothing was exported")
            .arg(shown(loaded.dataFile)) };
}

QVector<OutputFiles::Output> outputsOf(
    const BatchCommands::Request &request, const StoreSnapshot &store)
{
    QVector<OutputFiles::Output> outputs;
    if (request.csv) {
        const QDir folder(request.csvFolder);
        outputs.append({ folder.filePath(CsvExport::flightsFileName), CsvExport::flights(store) });
        outputs.append({ folder.filePath(CsvExport::cyclesFileName), CsvExport::cycles(store) });
    }
    if (request.report) {
        const QDateTime now = QDateTime::currentDateTime();
        outputs.append({ request.reportFile,
            PackReport::pdf(store, QFileInfo(request.storageFolder).absoluteFilePath(), now) });
    }
    return outputs;
}

// Every output is checked before the store is read: a refused one stops all of them.
Outcome refusal(const BatchCommands::Request &request)
{
    QStringList targets;
    if (request.csv && request.csvFolder.isEmpty())
        return { ExitFailure, QStringLiteral("the folder given to --export-csv is empty") };
    if (request.report && request.reportFile.isEmpty())
        return { ExitFailure, QStringLiteral("the file given to --report is empty") };
    if (request.csv) {
        const QDir folder(request.csvFolder);
        targets << folder.filePath(CsvExport::flightsFileName)
                << folder.filePath(CsvExport::cyclesFileName);
    }
    if (request.report)
        targets << request.reportFile;
    const QString lockFile = StorageLock::filePath(request.storageFolder);
    for (const QString &target : targets) {
        const QString why = OutputFiles::refusal(target, request.storageFolder, lockFile);
        if (!why.isEmpty())
            return { ExitFailure, why };
    }
    return {};
}

} // namespace

Outcome BatchCommands::run(const Request &request)
{
    Outcome outcome = refusal(request);
    StoreSnapshot store;
    if (outcome.code == ExitOk)
        outcome = readStore(request.storageFolder, store);
    if (outcome.code != ExitOk)
        return outcome;
    if (request.csv && !QDir(request.csvFolder).mkpath(QStringLiteral("."))) {
        return { ExitFailure,
            QStringLiteral("cannot create the folder %1").arg(shown(request.csvFolder)) };
    }
    const QVector<OutputFiles::Output> outputs = outputsOf(request, store);
    QString error;
    if (!OutputFiles::writeAll(outputs, request.storageFolder, &error))
        return { ExitFailure, error };
    QStringList written;
    for (const OutputFiles::Output &output : outputs)
        written << QStringLiteral("Wrote %1").arg(shown(output.fileName));
    return { ExitOk, written.join(QLatin1Char('\n')) };
}
