#include "window/celloragui.h"

#include "store/datachange.h"
#include "store/filebytes.h"
#include "store/rescuecopies.h"
#include "store/storefiles.h"
#include "ui_celloragui.h"
#include "window/filedialogs.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>

namespace {

// Whether `folder` is one where the store keeps rescue copies of `storageFolder`.
bool holdsRescueCopies(const QString &folder, const QString &storageFolder)
{
    const QString chosen = QFileInfo(folder).canonicalFilePath();
    for (const QString &copies :
        { RescueCopies(storageFolder).folder(), RescueCopies::elsewhereFolder(storageFolder) }) {
        if (!chosen.isEmpty() && QFileInfo(copies).canonicalFilePath() == chosen)
            return true;
    }
    return false;
}

// A rescue copy may have the backup's name: the backup takes the next free one instead
// (as a second copy of one second does), and no file there is ever replaced. The message
// to show; empty when there is none.
QString exportBesideRescueCopies(DataProcessor &store, const QString &folder, const QDateTime &now)
{
    FileBytes::Folder target(folder, false);
    QFile backup;
    if (!target.isOpen() || !target.openTemporary(backup, QString()))
        return CelloraGui::tr("Error! Could not create file.");
    const bool exported = store.exportData(&backup);
    const QString stem = StoreFiles::copyPrefix + StoreFiles::stamp(now);
    if (target.commitUnderFreeName(backup, stem, StoreFiles::copySuffix).isEmpty())
        return CelloraGui::tr("Error! Could not create file.");
    return exported ? CelloraGui::tr("Export finished!") : QString();
}

} // namespace

void CelloraGui::on_pb_export_data_clicked()
{
    const QString folder = FileDialogs::chooseExportFolder(this);
    if (folder.isEmpty())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    if (holdsRescueCopies(folder, QFileInfo(dataProcessor.dataFilePath()).absolutePath())) {
        const QString status = exportBesideRescueCopies(dataProcessor, folder, now);
        if (!status.isEmpty())
            updateBackupStatus(status);
        return;
    }
    // Written beside its name and renamed once every byte is on the disk: a full disk
    // leaves no partial backup, and the previous file of that name stays whole.
    QSaveFile backup(folder + QLatin1Char('/') + StoreFiles::copyName(now));
    if (!backup.open(QIODevice::WriteOnly | QIODevice::Text)) {
        updateBackupStatus(tr("Error! Could not create file."));
        return;
    }
    // Without a data file the backup stays empty, and nothing is said. A write that failed
    // on the way makes the commit fail too.
    const bool exported = dataProcessor.exportData(&backup);
    if (!FileBytes::commitReplacement(backup))
        updateBackupStatus(tr("Error! Could not create file."));
    else if (exported)
        updateBackupStatus(tr("Export finished!"));
}

void CelloraGui::on_pb_import_data_clicked()
{
    const QString fileName = FileDialogs::chooseImportFile(this);
    if (!fileName.isEmpty())
        importFile(fileName);
}

void CelloraGui::importFile(const QString &fileName)
{
    // Only a regular file can be read to its end: a device or a FIFO is refused like a
    // file that cannot be opened.
    QFile source;
    if (!FileBytes::openRegularFile(source, fileName, QIODevice::ReadOnly | QIODevice::Text)) {
        updateBackupStatus(tr("Error! Could not access file."));
        return;
    }
    if (dataProcessor.importData(&source)) {
        updateBatteryGui();
        updateBackupStatus(tr("Import finished!"));
    } else {
        updateBackupStatus(tr("Error! Not a valid file."));
    }
    source.close();
}

void CelloraGui::setStoreListener(StoreListener listener)
{
    dataProcessor.setWriteListener(std::move(listener));
}

bool CelloraGui::replaceStoreContent(const QByteArray &content)
{
    if (!dataProcessor.replaceContent(content))
        return false;
    showReplacedContent();
    return true;
}

ChangeOutcome CelloraGui::changeStoreRecords(
    const QByteArray &basis, const StoreRecords &before, const StoreRecords &after)
{
    const ChangeOutcome outcome = dataProcessor.change(DataChange::records(basis, before, after));
    if (outcome.written)
        showReplacedContent();
    return outcome;
}

void CelloraGui::showReplacedContent()
{
    // The new content decides what the location choosers hold, as after the module's own
    // delete of a location: a refresh keeps their items when the file names none.
    ui->cb_log_location->clear();
    ui->cb_overview_location->clear();
    updateBatteryGui();
}

bool CelloraGui::keepUndoneVersion(const QByteArray &content)
{
    return dataProcessor.keepUndoneVersion(content);
}

void CelloraGui::updateBackupStatus(QString text)
{
    ui->lbl_backup_status->setText(text);
    if (!text.isEmpty())
        QTimer::singleShot(2000, this, [this] { updateBackupStatus(); });
}
