#include "window/celloragui.h"

#include <QDir>
#include <QFileInfo>

QString CelloraGui::storeProblem() const
{
    const QString file = QDir::toNativeSeparators(dataProcessor.dataFilePath());
    const QString folder = QDir::toNativeSeparators(QFileInfo(file).absolutePath());
    switch (dataProcessor.problem()) {
    case DataProcessor::Problem::None:
        return QString();
    case DataProcessor::Problem::FolderUnwritable:
        return tr("Your last change is not saved: the storage folder %1 cannot be written. "
                  "Make it writable for your user, then retry.")
            .arg(folder);
    case DataProcessor::Problem::FileReadOnly:
        return tr("Your last change is not saved: the data file %1 is read-only or belongs to "
                  "another user. Give your user write permission on it, then retry.")
            .arg(file);
    case DataProcessor::Problem::NotAFile:
        return tr("Your last change is not saved: %1 is not a file (a folder or a device has "
                  "its name). Move it away, then retry.")
            .arg(file);
    case DataProcessor::Problem::Unreadable:
        return tr("Your last change is not saved: the data file %1 cannot be read whole (it is "
                  "too large or unreadable), so it is left as it is. Move it away or make it "
                  "readable, then retry.")
            .arg(file);
    case DataProcessor::Problem::CannotKeepCopy:
        return tr("Your last change is not saved: the data file %1 holds content that must be "
                  "kept as a rescue copy first, and the copy could not be written (is the disk "
                  "full?). Free some space, then retry.")
            .arg(file);
    case DataProcessor::Problem::WriteFailed:
        return tr("Your last change is not saved: the data file %1 could not be written (is "
                  "the disk full?); it still holds its previous content. Free some space, then "
                  "retry.")
            .arg(file);
    case DataProcessor::Problem::ImportNotKept:
        return tr("The import did not happen: the present data file %1 could not be kept as a "
                  "rescue copy first (is the disk full, or is the file too large?). Your data "
                  "is unchanged. Free some space, then import again.")
            .arg(file);
    }
    return QString();
}

void CelloraGui::saveAgain()
{
    if (dataProcessor.pendingChangeUnread()) {
        if (dataProcessor.replaceContent(dataProcessor.pendingContent()))
            showReplacedContent();
        return;
    }
    writeDataWithDataprocessor();
}

bool CelloraGui::hasPendingChange() const
{
    return dataProcessor.hasPendingChange();
}
