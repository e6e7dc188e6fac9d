#include "exchange/outputfiles.h"

#include "store/storesnapshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/stat.h>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(CsvExport)
};

// Where `path` leads once every symbolic link is followed; for a file not there yet, its
// folder's real path and its name.
QString realPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        return target.isEmpty() ? info.absoluteFilePath() : target;
    }
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

bool isWithin(const QString &path, const QString &folder)
{
    return path.startsWith(folder + QLatin1Char('/'));
}

// The data file's permission bits, so that an export of a private logbook stays private;
// the usual 0644 when there is no data file.
mode_t dataFileMode(const QString &storageFolder)
{
    struct stat status;
    const QByteArray path = QFile::encodeName(StoreSnapshot::dataFilePath(storageFolder));
    if (::stat(path.constData(), &status) == 0)
        return status.st_mode & 0777;
    return 0644;
}

QString cannotWrite(const QString &fileName, const QString &reason)
{
    return Text::tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(fileName), reason);
}

} // namespace

QString OutputFiles::refusal(
    const QString &fileName, const QString &storageFolder, const QString &lockFile)
{
    if (fileName.isEmpty())
        return Text::tr("The output file name is empty.");
    const QString output = realPath(fileName);
    const QString dataFile = realPath(StoreSnapshot::dataFilePath(storageFolder));
    const QString lock = realPath(lockFile);
    const QString rescue = realPath(StoreSnapshot::rescueFolder(storageFolder));
    const bool storeFile
        = output == dataFile || output == lock || output == rescue || isWithin(output, rescue);
    if (!storeFile)
        return QString();
    return Text::tr("%1 is a file of the store itself; choose another output.")
        .arg(QDir::toNativeSeparators(fileName));
}

bool OutputFiles::writeAll(
    const QVector<Output> &outputs, const QString &storageFolder, QString *error)
{
    const mode_t mode = dataFileMode(storageFolder);
    std::vector<std::unique_ptr<QSaveFile>> files;
    for (const Output &output : outputs) {
        files.push_back(std::make_unique<QSaveFile>(output.fileName));
        QSaveFile &file = *files.back();
        const bool written = file.open(QIODevice::WriteOnly)
            && file.write(output.content) == output.content.size() && file.flush();
        const bool private_ = written && ::fchmod(file.handle(), mode) == 0;
        if (!private_) {
            if (error) {
                *error = cannotWrite(output.fileName,
                    written ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString());
            }
            return false; // the unfinished files go with their QSaveFile: nothing is replaced
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i]->commit()) {
            if (error)
                *error = cannotWrite(outputs[int(i)].fileName, files[i]->errorString());
            return false;
        }
    }
    return true;
}
