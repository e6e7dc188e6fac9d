#ifndef OUTPUTFILES_H
#define OUTPUTFILES_H

#include <QByteArray>
#include <QString>
#include <QVector>

// Writes the files an export or a report makes: every file whole or not at all, the set
// replaced together only once every file was written, each with the data file's
// permission bits, and never over the store's own files.
namespace OutputFiles {

struct Output {
    QString fileName;
    QByteArray content;
};

// Why `fileName` must not be written as an output of the store in `storageFolder`: it is
// the data file, the `lockFile` or lies in the rescue-copy folder (also when reached
// through a symbolic link), or it is empty. Empty when it may be written.
QString refusal(const QString &fileName, const QString &storageFolder, const QString &lockFile);

// Writes all `outputs`, then replaces the files together. Should any write fail, no file
// is changed and `error` says which and why.
bool writeAll(const QVector<Output> &outputs, const QString &storageFolder, QString *error);

} // namespace OutputFiles

#endif // OUTPUTFILES_H
