#include "sample/samplestore.h"

#include "store/recordwriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

bool writeStoreFile(const SampleStore &store, const QString &filePath)
{
    const QByteArray content = RecordWriter::wholeDocument(store);
    if (content.isEmpty() || !QDir().mkpath(QFileInfo(filePath).absolutePath()))
        return false;
    // A half-written store must never replace the old file.
    QSaveFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size()
        && file.commit();
}
