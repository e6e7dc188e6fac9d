#ifndef OVERWRITEGUARD_H
#define OVERWRITEGUARD_H

#include "cellora_global.h"
#include "store/filebytes.h"

#include <QByteArray>
#include <QString>

// What a store last read from or wrote to its data file, to notice before a save that
// something else changed the file since, and to keep that as a rescue copy first.
class OverwriteGuard {
public:
    // A new storage folder: nothing is known about its file.
    void forget();
    void noteRead(const QByteArray &content, const FileBytes::Stamp &stamp, bool damaged);
    void noteWritten(const QString &path, const QByteArray &content);

    // Before the data file at `path` is overwritten: keeps its present content as a
    // rescue copy unless it is what the store last read or wrote, from a read that ended
    // cleanly. `present` receives what the file holds. False when a copy was needed and
    // could not be kept: then the file must not be overwritten.
    bool protect(const QString &path, const QString &storageFolder, QByteArray *present);
    // The bytes of the file at `path` with their stamp: from memory while the file is still
    // what the store last read or wrote, otherwise read whole. False when it cannot be read.
    bool readFile(const QString &path, QByteArray *bytes, FileBytes::Stamp *stamp) const;
    // Before an import: keeps the present content, whatever it is.
    static bool keepPresent(const QString &path, const QString &storageFolder);

private:
    bool known = false;
    bool damaged = false;
    FileBytes::Stamp stamp;
    QByteArray content;
};

#endif // OVERWRITEGUARD_H
