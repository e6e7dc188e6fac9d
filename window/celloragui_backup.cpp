#include "window/celloragui.h"

#include "store/filebytes.h"
#include "ui_celloragui.h"
#include "window/filedialogs.h"

#include <QDateTime>
#include <QFile>
#include <QTimer>

void CelloraGui::on_pb_export_data_clicked()
{
    const QString folder = FileDialogs::chooseExportFolder(this);
    if (folder.isEmpty())
        return;
    const QString stamp
        = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QFile backup(folder + QStringLiteral("/cellora_") + stamp + QStringLiteral(".xml"));
    if (!backup.open(QIODevice::WriteOnly | QIODevice::Text)) {
        updateBackupStatus(tr("Error! Could not create file."));
        return;
    }
    // Without a data file the backup stays empty, and nothing is said.
    if (dataProcessor.exportData(&backup))
        updateBackupStatus(tr("Export finished!"));
    backup.close();
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
    // The new content decides what the location choosers hold, as after the module's own
    // delete of a location: a refresh keeps their items when the file names none.
    ui->cb_log_location->clear();
    ui->cb_overview_location->clear();
    updateBatteryGui();
    return true;
}

bool CelloraGui::keepRescueCopy(const QByteArray &content)
{
    return dataProcessor.keepRescueCopy(content);
}

void CelloraGui::updateBackupStatus(QString text)
{
    ui->lbl_backup_status->setText(text);
    if (!text.isEmpty())
        QTimer::singleShot(2000, this, [this] { updateBackupStatus(); });
}
