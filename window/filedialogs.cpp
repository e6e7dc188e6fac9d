#include "window/filedialogs.h"

#include <QFileDialog>

namespace {
QString exportFolderDialog(QWidget *)
{
    return QFileDialog::getExistingDirectory(
        nullptr, QString(), QString(), QFileDialog::ShowDirsOnly);
}

QString importFileDialog(QWidget *parent)
{
    QFileDialog dialog(parent, QString(), QString(), QString());
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}
} // namespace

FileDialogs::Chooser FileDialogs::chooseExportFolder = exportFolderDialog;
FileDialogs::Chooser FileDialogs::chooseImportFile = importFileDialog;
