#include "host/batchcommands.h"

#include "host/csvexport.h"
#include "host/logbook.h"
#include "host/packreport.h"
#include "store/storefiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

using BatchCommands::Outcome;

Outcome noDataFile(const QString &storageFolder)
{
    return { BatchCommands::NoDataFile,
        QStringLiteral("no data file %1 in the storage folder %2")
            .arg(StoreFiles::dataFile,
                QDir::toNativeSeparators(QFileInfo(storageFolder).absoluteFilePath())) };
}

} // namespace

Outcome BatchCommands::exportCsv(const QString &storageFolder, const QString &outputFolder)
{
    Logbook logbook;
    if (!logbook.readFolder(storageFolder))
        return noDataFile(storageFolder);
    QString error;
    if (!CsvExport::exportAll(logbook, outputFolder, &error))
        return { OutputFailed, error };
    const QDir target(outputFolder);
    return { Done,
        QStringLiteral("Wrote %1 and %2")
            .arg(QDir::toNativeSeparators(target.absoluteFilePath(CsvExport::flightsFileName)),
                QDir::toNativeSeparators(target.absoluteFilePath(CsvExport::cyclesFileName))) };
}

Outcome BatchCommands::writeReport(const QString &storageFolder, const QString &fileName)
{
    Logbook logbook;
    if (!logbook.readFolder(storageFolder))
        return noDataFile(storageFolder);
    QString error;
    if (!PackReport::writePdf(logbook, QFileInfo(storageFolder).absoluteFilePath(), fileName,
            QDateTime::currentDateTime(), &error))
        return { OutputFailed, error };
    return { Done,
        QStringLiteral("Wrote %1")
            .arg(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath())) };
}
