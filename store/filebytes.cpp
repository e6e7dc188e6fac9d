#include "store/filebytes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileBytes {

namespace {

constexpr qint64 chunkSize = 64 * 1024;
constexpr char temporaryPrefix[] = ".cellora-";
constexpr char temporarySuffix[] = ".tmp";

thread_local int lastErrorNumber = 0;

// Notes the system's error number of a failure; always false.
bool failed(int error)
{
    lastErrorNumber = error;
    return false;
}

// Takes `fd` into `file` only when it is a regular file, and blocking again.
bool adoptRegularFile(QFile &file, int fd, QIODevice::OpenMode mode)
{
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0
        || !file.open(fd, mode & ~QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// Reads the open regular `file` whole, up to `limit` bytes.
bool readOpenFile(QFile &file, QByteArray &content, qint64 limit, Stamp *stamp)
{
    if (file.size() > limit)
        return false;
    content = file.readAll();
    if (stamp)
        *stamp = Stamp::of(file.handle());
    return content.size() == file.size();
}

// Renames `from` to `to` within `folder` unless `to` is taken (EEXIST).
bool renameNoReplace(int folder, const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(folder, from.constData(), folder, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    // A file system without it: a second link fails just as well on a taken name.
    if (::linkat(folder, from.constData(), folder, to.constData(), 0) != 0)
        return false;
    ::unlinkat(folder, from.constData(), 0);
    return true;
}

Stamp stampOf(bool ok, const struct stat &info)
{
    Stamp stamp;
    if (!ok)
        return stamp;
    stamp.exists = true;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return stamp;
}

// The code units of a text: their width and how a line feed and a carriage return look.
struct TextUnits {
    int width = 1;
    QByteArray lineFeed = QByteArray("\n");
    QByteArray carriageReturn = QByteArray("\r");
};

TextUnits unitsOf(const QByteArray &head)
{
    const auto startsWith = [&head](const char *bytes, int size) {
        return head.size() >= size && std::memcmp(head.constData(), bytes, size_t(size)) == 0;
    };
    const auto units = [](int width, bool bigEndian) {
        TextUnits text;
        text.width = width;
        text.lineFeed = QByteArray(width, '\0');
        text.carriageReturn = QByteArray(width, '\0');
        const int low = bigEndian ? width - 1 : 0;
        text.lineFeed[low] = '\n';
        text.carriageReturn[low] = '\r';
        return text;
    };
    // Byte order marks first, then an XML declaration's "<" without one.
    if (startsWith("\xFF\xFE\0\0", 4) || startsWith("<\0\0\0", 4))
        return units(4, false);
    if (startsWith("\0\0\xFE\xFF", 4) || startsWith("\0\0\0<", 4))
        return units(4, true);
    if (startsWith("\xFF\xFE", 2) || startsWith("<\0", 2))
        return units(2, false);
    if (startsWith("\xFE\xFF", 2) || startsWith("\0<", 2))
        return units(2, true);
    return TextUnits();
}

// Writes lines unit by unit, buffered, ending each with the text's own line feed.
class LineWriter {
public:
    LineWriter(QIODevice *target, TextUnits units)
        : target(target)
        , units(std::move(units))
    {
    }

    bool feed(const QByteArray &chunk);
    bool finish();

private:
    bool isUnit(const char *at, const QByteArray &unit) const
    {
        return std::memcmp(at, unit.constData(), size_t(units.width)) == 0;
    }
    void put(const char *data, qint64 size) { out.append(data, int(size)); }
    void put(const QByteArray &bytes) { out.append(bytes); }
    bool flushIfFull() { return out.size() < chunkSize || flush(); }
    bool flush();

    QIODevice *target;
    const TextUnits units;
    QByteArray out;
    QByteArray partialUnit; // the start of a unit split between two chunks
    bool pendingCarriageReturn = false; // dropped if a line feed follows
    bool lineOpen = false;
};

bool LineWriter::feed(const QByteArray &chunk)
{
    const QByteArray data = partialUnit.isEmpty() ? chunk : partialUnit + chunk;
    const char *bytes = data.constData();
    const qint64 whole = data.size() - data.size() % units.width;
    qint64 runStart = 0;
    for (qint64 at = 0; at < whole; at += units.width) {
        if (isUnit(bytes + at, units.lineFeed)) {
            put(bytes + runStart, at - runStart);
            put(units.lineFeed);
            pendingCarriageReturn = false;
            lineOpen = false;
            runStart = at + units.width;
        } else if (isUnit(bytes + at, units.carriageReturn)) {
            put(bytes + runStart, at - runStart);
            if (pendingCarriageReturn)
                put(units.carriageReturn);
            pendingCarriageReturn = true;
            lineOpen = true;
            runStart = at + units.width;
        } else {
            if (pendingCarriageReturn) { // a carriage return of its own stays
                put(units.carriageReturn);
                pendingCarriageReturn = false;
            }
            lineOpen = true;
        }
    }
    put(bytes + runStart, whole - runStart);
    partialUnit = data.mid(int(whole));
    return flushIfFull();
}

bool LineWriter::finish()
{
    if (pendingCarriageReturn)
        put(units.carriageReturn);
    if (!partialUnit.isEmpty()) {
        put(partialUnit);
        lineOpen = true;
    }
    if (lineOpen)
        put(units.lineFeed);
    return flush();
}

bool LineWriter::flush()
{
    const bool written = writeAll(target, out);
    out.clear();
    return written;
}

// The caller may have opened the source in text mode, which drops every carriage return
// byte, also those inside UTF-16 characters: the copy reads raw bytes.
class RawReading {
public:
    explicit RawReading(QIODevice *device)
        : device(device)
        , wasText(device->isTextModeEnabled())
    {
        device->setTextModeEnabled(false);
    }
    ~RawReading() { device->setTextModeEnabled(wasText); }
    RawReading(const RawReading &) = delete;
    RawReading &operator=(const RawReading &) = delete;

private:
    QIODevice *device;
    bool wasText;
};

bool restoreInPlace(const QString &path, const QByteArray &previous)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && writeAll(&file, previous)
        && file.flush() && ::fdatasync(file.handle()) == 0;
}

} // namespace

Stamp Stamp::of(const QString &path)
{
    struct stat info { };
    return stampOf(::stat(QFile::encodeName(path).constData(), &info) == 0, info);
}

Stamp Stamp::of(int fileDescriptor)
{
    struct stat info { };
    return stampOf(::fstat(fileDescriptor, &info) == 0, info);
}

bool Stamp::operator==(const Stamp &other) const
{
    return exists == other.exists && isSameFile(other) && size == other.size
        && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
}

bool Stamp::isSameFile(const Stamp &other) const
{
    return device == other.device && inode == other.inode;
}

bool copyLines(QIODevice *source, QIODevice *target)
{
    if (!source || !target)
        return false;
    const RawReading raw(source);
    LineWriter lines(target, unitsOf(source->peek(4)));
    QByteArray chunk(int(chunkSize), Qt::Uninitialized);
    qint64 got = 0;
    while ((got = source->read(chunk.data(), chunkSize)) > 0) {
        if (!lines.feed(QByteArray::fromRawData(chunk.constData(), int(got))))
            return false;
    }
    return got == 0 && lines.finish();
}

bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    // Non-blocking, so that opening a FIFO cannot wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    file.setFileName(path);
    return adoptRegularFile(file, fd, mode);
}

bool readWhole(const QString &path, QByteArray &content, qint64 limit, Stamp *stamp)
{
    QFile file;
    return openRegularFile(file, path) && readOpenFile(file, content, limit, stamp);
}

bool writeAll(QIODevice *device, const char *data, qint64 size)
{
    // The kernel may take part of a write (a full disk, a file size limit) without an
    // error; what is left is written again, which then fails for real.
    while (size > 0) {
        const qint64 written = device->write(data, size);
        if (written <= 0)
            return failed(errno);
        data += written;
        size -= written;
    }
    return true;
}

bool mayReplace(const QString &folder, const QString &path)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    const QFileInfo existing(path);
    return !existing.exists() || existing.isWritable();
}

void copyPermissions(int fd, const QString &path)
{
    struct stat info { };
    if (!path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0)
        ::fchmod(fd, info.st_mode & 07777);
}

bool syncFolder(const QString &folder)
{
    const int fd
        = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool openReplacement(QSaveFile &file, bool *inPlace, const Replacement &how)
{
    // A temporary file first; opening in place would truncate the file at once.
    file.setDirectWriteFallback(false);
    *inPlace = false;
    if (!file.open(QIODevice::WriteOnly)) {
        lastErrorNumber = errno;
        const QFileInfo target(file.fileName());
        if (!target.isFile() || !target.isWritable() || !how.beforeInPlace || !how.beforeInPlace())
            return false;
        file.setDirectWriteFallback(true);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        *inPlace = true;
        return true;
    }
    // QSaveFile gives a replacement the mode of the file it replaces by itself.
    copyPermissions(file.handle(), how.permissionsOf);
    return true;
}

bool commitReplacement(QSaveFile &file)
{
    // commit() syncs too, but ignores a failed sync: a delayed allocation may only fail
    // there.
    if (!file.flush() || ::fdatasync(file.handle()) != 0) {
        lastErrorNumber = errno;
        file.cancelWriting();
        file.commit(); // closes the cancelled file and removes the temporary one
        return false;
    }
    const QString folder = QFileInfo(file.fileName()).absolutePath();
    // Without the folder's sync, a power loss could bring back the previous file after the
    // rename was reported done.
    if (!file.commit())
        return failed(errno);
    return syncFolder(folder) || failed(errno);
}

bool replaceFile(const QString &path, const QByteArray &content, const QByteArray &previous,
    const Replacement &how)
{
    QSaveFile file(path);
    bool inPlace = false;
    if (!openReplacement(file, &inPlace, how))
        return false;
    if (writeAll(&file, content) && commitReplacement(file))
        return true;
    file.cancelWriting();
    file.commit();
    // Written in place, the file may now be cut short: put back what it held.
    if (inPlace)
        restoreInPlace(path, previous);
    return false;
}

bool replaceWithLines(const QString &path, QIODevice *source, const Replacement &how)
{
    // Written in place, the target would be emptied before it is read as the source.
    QBuffer wholeSource;
    const auto *file = qobject_cast<QFile *>(source);
    if (file && Stamp::of(file->handle()).isSameFile(Stamp::of(path))) {
        wholeSource.setData(source->readAll());
        wholeSource.open(QIODevice::ReadOnly);
        source = &wholeSource;
    }
    QSaveFile target(path);
    bool inPlace = false;
    if (!openReplacement(target, &inPlace, how))
        return false;
    if (!copyLines(source, &target)) {
        target.cancelWriting();
        return false;
    }
    return commitReplacement(target);
}

int lastError()
{
    return lastErrorNumber;
}

Folder::Folder(const QString &path, bool create)
{
    if (create && !QDir().mkpath(path)) {
        lastErrorNumber = errno;
        return;
    }
    fd = ::open(
        QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        lastErrorNumber = errno;
}

Folder::~Folder()
{
    if (!temporaryName.isEmpty())
        ::unlinkat(fd, temporaryName.constData(), 0);
    if (fd >= 0)
        ::close(fd);
}

Stamp Folder::fileStamp(const QString &name) const
{
    struct stat info { };
    const bool found
        = ::fstatat(fd, QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    return stampOf(found && S_ISREG(info.st_mode), info);
}

bool Folder::read(const QString &name, QByteArray &content, qint64 limit, Stamp *stamp) const
{
    const int file = ::openat(
        fd, QFile::encodeName(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return failed(errno);
    QFile opened;
    return adoptRegularFile(opened, file, QIODevice::ReadOnly)
        && readOpenFile(opened, content, limit, stamp);
}

bool Folder::openTemporary(QFile &file, const QString &permissionsOf)
{
    discardTemporary(file);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = temporaryPrefix
            + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + temporarySuffix;
        const int out = ::openat(
            fd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (out < 0 && errno == EEXIST)
            continue;
        if (out < 0)
            return failed(errno);
        temporaryName = name;
        copyPermissions(out, permissionsOf);
        if (file.open(out, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
            return true;
        ::close(out);
        discardTemporary(file);
        return false;
    }
    return failed(EEXIST);
}

bool Folder::finishWriting(QFile &file)
{
    if (temporaryName.isEmpty() || !file.isOpen())
        return false;
    if (!file.flush() || ::fdatasync(file.handle()) != 0) {
        lastErrorNumber = errno;
        discardTemporary(file);
        return false;
    }
    file.close();
    return true;
}

QString Folder::commitUnderFreeName(QFile &file, const QString &stem, const QString &suffix)
{
    if (!finishWriting(file))
        return QString();
    for (int number = 0; number < 1000; ++number) {
        const QString name
            = number == 0 ? stem + suffix : stem + QStringLiteral("_%1").arg(number) + suffix;
        if (renameNoReplace(fd, temporaryName, QFile::encodeName(name))) {
            temporaryName.clear();
            ::fsync(fd); // the new name lasts through a power loss
            return name;
        }
        if (errno != EEXIST)
            break;
    }
    lastErrorNumber = errno;
    discardTemporary(file);
    return QString();
}

bool Folder::commitReplacing(QFile &file, const QString &name)
{
    if (!finishWriting(file))
        return false;
    const QByteArray target = QFile::encodeName(name);
    struct stat info { };
    // Anything but a regular file keeps its name; a rename replaces the entry itself, so a
    // link that appears after this look is replaced, never written through.
    if (::fstatat(fd, target.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0
        && !S_ISREG(info.st_mode)) {
        discardTemporary(file);
        return failed(EEXIST);
    }
    if (::renameat(fd, temporaryName.constData(), fd, target.constData()) != 0) {
        lastErrorNumber = errno;
        discardTemporary(file);
        return false;
    }
    temporaryName.clear();
    return ::fsync(fd) == 0 || failed(errno);
}

void Folder::discardTemporary(QFile &file)
{
    const int error = errno;
    file.close();
    if (!temporaryName.isEmpty())
        ::unlinkat(fd, temporaryName.constData(), 0);
    temporaryName.clear();
    errno = error;
}

bool Folder::remove(const QString &name, const Stamp &expected)
{
    const QByteArray target = QFile::encodeName(name);
    return fileStamp(name).isSameFile(expected) && expected.exists
        && ::unlinkat(fd, target.constData(), 0) == 0;
}

void Folder::removeStaleTemporaries(qint64 ageSeconds)
{
    // A listing of its own: the folder's descriptor keeps its offset for the other calls.
    const int listing = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *entries = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!entries) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    const time_t before = ::time(nullptr) - time_t(ageSeconds);
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        struct stat info { };
        // Younger files may still be written by another window on this folder; a link or a
        // file of another user is never ours.
        if (name.startsWith(temporaryPrefix) && name.endsWith(temporarySuffix)
            && ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_nlink == 1
            && info.st_mtime < before)
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(entries);
}

} // namespace FileBytes
