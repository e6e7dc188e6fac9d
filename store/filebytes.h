#ifndef FILEBYTES_H
#define FILEBYTES_H

#include "cellora_global.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

class QFile;
class QSaveFile;

// Byte-level file work of the store: what a file is on disk, line copies that keep the
// file's encoding, complete writes and opening only what can be read to an end.
namespace FileBytes {

// The same bytes; a shared buffer is not compared byte by byte.
inline bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

// Who a file on disk is and when it last changed. Any write through a new file (a rename)
// or in place changes at least one field, so equal stamps mean "unchanged" without
// reading the content.
struct Stamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    static Stamp of(const QString &path);
    static Stamp of(int fileDescriptor);
    bool operator==(const Stamp &other) const;
    bool operator!=(const Stamp &other) const { return !(*this == other); }
    bool isSameFile(const Stamp &other) const;
};

// Copies text line by line; every line, the last one included, ends with a single line
// feed, and a carriage return before a line feed is dropped. The copy works on the
// file's code units (UTF-8 or any single-byte text, UTF-16 or UTF-32 as their byte
// order marks or XML declarations show), so it never changes the encoding. Memory stays
// bounded whatever the size of the source. False when a read or write failed.
bool copyLines(QIODevice *source, QIODevice *target);

// Opens `path` only when it is a regular file, so that a device ("/dev/zero"), a FIFO
// or a folder can neither hang nor exhaust the reader.
bool openRegularFile(
    QFile &file, const QString &path, QIODevice::OpenMode mode = QIODevice::ReadOnly);

// Reads a regular file whole, up to `limit` bytes, with the stamp of what was read;
// false when it is missing, larger or unreadable.
bool readWhole(const QString &path, QByteArray &content, qint64 limit, Stamp *stamp = nullptr);

// Writes `content` to `device`, all of it: a short write counts as a failure.
bool writeAll(QIODevice *device, const char *data, qint64 size);
inline bool writeAll(QIODevice *device, const QByteArray &content)
{
    return writeAll(device, content.constData(), content.size());
}

// Whether the file at `path` in `folder` may be replaced: the folder exists (made with its
// parents when missing) and an existing file is writable. QSaveFile could rename over a
// read-only file; such a file is left as it is.
bool mayReplace(const QString &folder, const QString &path);

// How a file is replaced. A write in place cuts the file short first, so it happens only
// after `beforeInPlace` kept what the file holds elsewhere (returns true); without it, or
// when it returns false, the file is not written in place. A new file takes the permission
// bits of the file at `permissionsOf` (when given), whatever the umask.
struct Replacement {
    std::function<bool()> beforeInPlace;
    QString permissionsOf;
};

// Gives the file open as `fd` the permission bits of the file at `path`, if there is one.
void copyPermissions(int fd, const QString &path);

// Makes a rename in `folder` last through a power loss: syncs the folder itself.
bool syncFolder(const QString &folder);

// Opens a replacement of `file`'s target: a temporary file beside it, renamed over it
// by commitReplacement(). Where the folder refuses a temporary file but the target
// itself is writable, the target is written in place (see Replacement); `inPlace` tells
// which.
bool openReplacement(QSaveFile &file, bool *inPlace, const Replacement &how = Replacement());

// Makes the replacement the file, once every byte and the folder's entry reached the disk;
// otherwise cancels it, so that the previous file stays as it was.
bool commitReplacement(QSaveFile &file);

// Replaces the file at `path` by `content` through the two steps above. Should a write
// in place fail, `previous` is written back.
bool replaceFile(const QString &path, const QByteArray &content,
    const QByteArray &previous = QByteArray(), const Replacement &how = Replacement());

// Replaces the file at `path` by the line copy of `source` (see copyLines), through the
// same two steps. Importing the file into itself reads it whole first.
bool replaceWithLines(
    const QString &path, QIODevice *source, const Replacement &how = Replacement());

// The system's error number of the last failed write, replacement or folder operation of
// this thread; 0 when none failed or the cause is not known.
int lastError();

// A folder opened without following a link in its place, with its files reached through
// it, again without following links: a link, a FIFO or a folder put into it under a file's
// name is never read as that file, written through or replaced. New files are written
// under a temporary name and take their own name only once every byte is on the disk, and
// never the name of anything that is there already.
class Folder {
public:
    // Opens the folder at `path`; with `create`, makes it (and its parents) when missing.
    Folder(const QString &path, bool create);
    ~Folder();
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    bool isOpen() const { return fd >= 0; }
    // The stamp of the regular file `name`; not existing when it is missing or no such file.
    Stamp fileStamp(const QString &name) const;
    // Reads the regular file `name` whole, up to `limit` bytes, with its stamp.
    bool read(const QString &name, QByteArray &content, qint64 limit, Stamp *stamp = nullptr) const;

    // A new file to write into, under a temporary name, with the permission bits of the file
    // at `permissionsOf` (when given) whatever the umask.
    bool openTemporary(QFile &file, const QString &permissionsOf);
    // Gives the written temporary file the first free name of stem + suffix,
    // stem + "_1" + suffix, ...; the name taken, or empty when it failed (the temporary file
    // is gone either way).
    QString commitUnderFreeName(QFile &file, const QString &stem, const QString &suffix);
    // Makes the written temporary file the file `name`, replacing a regular file of that name
    // but nothing else; false when it failed (the temporary file is gone either way).
    bool commitReplacing(QFile &file, const QString &name);
    void discardTemporary(QFile &file);
    // Deletes the regular file `name` if it is still the file `expected`.
    bool remove(const QString &name, const Stamp &expected);
    // Deletes the temporary files of writes that were cut short (a kill, a power loss): this
    // user's regular files of openTemporary()'s name form, untouched for `ageSeconds`.
    void removeStaleTemporaries(qint64 ageSeconds);

private:
    bool finishWriting(QFile &file);

    int fd = -1;
    QByteArray temporaryName;
};

} // namespace FileBytes

#endif // FILEBYTES_H
