#include "window/celloragui.h"

#include "records/modelwidget.h"
#include "store/rescuecopies.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {

bool isFull(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

bool isRefused(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// The system's reason for a failed write in words, " (the disk is full)"; empty when it
// gave none, so that no text guesses.
QString because(int error)
{
    QString cause;
    if (error == ENOSPC || error == EDQUOT)
        cause = CelloraGui::tr("the disk is full");
    else if (error == EFBIG)
        cause = CelloraGui::tr("larger than this program may write");
    else if (isRefused(error))
        cause = CelloraGui::tr("read-only, or another user's");
    else if (error != 0)
        cause = QString::fromLocal8Bit(std::strerror(error));
    return cause.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(cause);
}

QString adviceFor(int error, bool import = false)
{
    if (isFull(error))
        return import ? CelloraGui::tr("Free some space, then import again.")
                      : CelloraGui::tr("Free some space, then retry.");
    if (isRefused(error))
        return import ? CelloraGui::tr("Give your user write permission there, then import again.")
                      : CelloraGui::tr("Give your user write permission there, then retry.");
    return import ? CelloraGui::tr("Import again once that is put right.")
                  : CelloraGui::tr("Retry once that is put right.");
}

} // namespace

QString CelloraGui::storeProblem() const
{
    // Asked after every click: the ordinary answer costs nothing.
    if (dataProcessor.problem() == DataProcessor::Problem::None)
        return QString();
    const QString file = QDir::toNativeSeparators(dataProcessor.dataFilePath());
    const QString folder = QDir::toNativeSeparators(QFileInfo(file).absolutePath());
    const int error = dataProcessor.problemError();
    // Copies go beside the data file or, where they cannot, into the user's own folder.
    const QString copyFolders
        = tr("neither in %1 nor in %2")
              .arg(QDir::toNativeSeparators(RescueCopies(folder).folder()),
                  QDir::toNativeSeparators(RescueCopies::elsewhereFolder(folder)));
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
        return tr("Nothing is saved into the data file %1: it cannot be read whole (it is too "
                  "large or unreadable), so it is left as it is. Move it away or make it "
                  "readable, then retry.")
            .arg(file);
    case DataProcessor::Problem::CannotKeepCopy:
        return tr("Your last change is not saved: the data file %1 holds content that must be "
                  "kept as a rescue copy first, and no copy could be written, %2%3. %4")
            .arg(file, copyFolders, because(error), adviceFor(error));
    case DataProcessor::Problem::WriteFailed:
        return tr("Your last change is not saved: the data file %1 could not be written%2; it "
                  "still holds its previous content. %3")
            .arg(file, because(error), adviceFor(error));
    case DataProcessor::Problem::ImportNotKept:
        return tr("The import did not happen: the present data file %1 could not be kept as a "
                  "rescue copy first, %2%3. Your data is unchanged. %4")
            .arg(file, copyFolders, because(error), adviceFor(error, true));
    case DataProcessor::Problem::ImportWriteFailed:
        return tr("The import did not happen: the data file %1 could not be written%2; it "
                  "still holds its previous content. %3")
            .arg(file, because(error), adviceFor(error, true));
    }
    return QString();
}

QString CelloraGui::storeReadProblem() const
{
    if (!dataProcessor.readBrokeOff())
        return QString();
    int flights = 0;
    for (const ModelWidget *model : models)
        flights += model->flightLog().size();
    return tr("The data file %1 could not be read to its end: it is cut short or damaged. The "
              "logbook shows what was read before the fault (batteries: %2, models: %3, "
              "flights: %4). Before any change is saved, the whole file is kept as a rescue "
              "copy.")
        .arg(QDir::toNativeSeparators(dataProcessor.dataFilePath()))
        .arg(batteries.size())
        .arg(models.size())
        .arg(flights);
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
