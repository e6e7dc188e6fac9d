#ifndef RESCUECOPIES_H
#define RESCUECOPIES_H

#include "cellora_global.h"
#include "store/filebytes.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

#include <functional>

// Copies of the data file that the store keeps before it overwrites content it did not
// read or write itself: in the subfolder "rescue" of the storage folder, named like
// backups ("cellora_yyyy-MM-dd_HH-mm-ss.xml"), so that the ordinary Import brings one
// back. The newest copies are kept, and never two with the same content.
class RescueCopies {
public:
    static constexpr int kept = 20;

    explicit RescueCopies(const QString &storageFolder);

    QString folder() const { return dir.path(); }
    // Every copy, oldest first.
    QStringList copies() const;
    // Keeps `content` as the newest copy unless a copy already holds it; false when it
    // could not be written.
    bool keep(const QByteArray &content);

private:
    bool holds(const QByteArray &content) const;
    QString newName() const;
    void removeOldest();

    QDir dir;
};

// What a store last read from or wrote to its data file, to notice before a save that
// something else changed the file since, and to keep that as a rescue copy first.
class OverwriteGuard {
public:
    using Listener
        = std::function<void(bool written, const QByteArray &before, const QByteArray &after)>;

    // A new storage folder: nothing is known about its file. The listener stays.
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
    // `present` receives what was kept.
    static bool keepPresent(
        const QString &path, const QString &storageFolder, QByteArray *present = nullptr);

    // Told after every attempt to write the data file, with what it held before and after.
    void setListener(Listener newListener) { listener = std::move(newListener); }
    void report(bool written, const QByteArray &before, const QByteArray &after) const
    {
        if (listener)
            listener(written, before, after);
    }

private:
    bool known = false;
    bool damaged = false;
    FileBytes::Stamp stamp;
    QByteArray content;
    Listener listener;
};

#endif // RESCUECOPIES_H
