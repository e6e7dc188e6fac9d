#include "store/syncbase.h"

#include "store/filebytes.h"
#include "store/rescuecopies.h"
#include "store/storemerge.h"
#include "store/storesnapshot.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

constexpr quint32 historyMagic = 0x43534231; // "CSB1"
constexpr qint64 largestHistory = qint64(512) * 1024 * 1024;
// A piece ends after a line whose hash has these bits clear: the cuts depend on the lines
// alone, so that a change moves none of them outside the lines it touched. Pieces of about
// 32 lines; a line without end is cut at the limit.
constexpr quint32 cutMask = 31;
constexpr int largestPiece = 64 * 1024;

struct Piece {
    QByteArray id; // SHA-1 of its bytes
    int size = 0;
};

quint32 lineHash(const char *begin, const char *end)
{
    quint32 hash = 2166136261u; // FNV-1a
    for (const char *c = begin; c != end; ++c)
        hash = (hash ^ quint8(*c)) * 16777619u;
    return hash;
}

// The ends of the pieces of `content` from `from` on.
QVector<int> cuts(const QByteArray &content, int from)
{
    QVector<int> ends;
    int start = from;
    int position = from;
    while (position < content.size()) {
        int lineEnd = content.indexOf('\n', position);
        lineEnd = lineEnd < 0 ? content.size() : lineEnd + 1;
        const bool cut
            = (lineHash(content.constData() + position, content.constData() + lineEnd) & cutMask)
                == 0
            || lineEnd - start >= largestPiece;
        position = lineEnd;
        if (cut || position == content.size()) {
            ends.append(position);
            start = position;
        }
    }
    return ends;
}

int commonPrefix(const QByteArray &a, const QByteArray &b)
{
    const int shorter = std::min(a.size(), b.size());
    return int(std::mismatch(a.constBegin(), a.constBegin() + shorter, b.constBegin()).first
        - a.constBegin());
}

int commonSuffix(const QByteArray &a, const QByteArray &b, int limit)
{
    int suffix = 0;
    while (suffix < limit && a.at(a.size() - 1 - suffix) == b.at(b.size() - 1 - suffix))
        ++suffix;
    return suffix;
}

} // namespace

struct SyncVersion {
    bool mine = false;
    QVector<Piece> pieces;
};

class SyncBasePrivate {
public:
    QString file;
    bool loaded = false;
    QVector<SyncVersion> versions;
    QHash<QByteArray, QByteArray> packed; // piece id -> its compressed bytes
    QByteArray newest; // the newest version's bytes, once needed
    bool newestKnown = false;

    void load();
    void append(const QByteArray &content, bool mine);
    QVector<Piece> piecesOf(const QByteArray &content);
    QByteArray bytesOf(const SyncVersion &version) const;
    void dropUnused();
    QByteArray serialized() const;
    bool parse(const QByteArray &bytes);
};

void SyncBasePrivate::load()
{
    if (loaded)
        return;
    loaded = true;
    QByteArray bytes;
    // A history that cannot be read is started afresh: merges then have no base, and so
    // delete nothing.
    if (FileBytes::readWhole(file, bytes, largestHistory) && !parse(bytes)) {
        versions.clear();
        packed.clear();
    }
}

bool SyncBasePrivate::parse(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_5_15);
    quint32 magic = 0;
    qint32 count = 0;
    in >> magic >> count;
    if (magic != historyMagic || count < 0 || count > SyncBase::kept)
        return false;
    for (int v = 0; v < count && in.status() == QDataStream::Ok; ++v) {
        SyncVersion version;
        qint32 pieces = 0;
        in >> version.mine >> pieces;
        for (int p = 0; p < pieces && in.status() == QDataStream::Ok; ++p) {
            Piece piece;
            qint32 size = 0;
            in >> piece.id >> size;
            piece.size = size;
            version.pieces.append(piece);
        }
        versions.append(version);
    }
    qint32 stored = 0;
    in >> stored;
    for (int p = 0; p < stored && in.status() == QDataStream::Ok; ++p) {
        QByteArray id;
        QByteArray data;
        in >> id >> data;
        packed.insert(id, data);
    }
    if (in.status() != QDataStream::Ok)
        return false;
    for (const SyncVersion &version : qAsConst(versions)) {
        for (const Piece &piece : version.pieces) {
            if (!packed.contains(piece.id))
                return false;
        }
    }
    return true;
}

QByteArray SyncBasePrivate::serialized() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << historyMagic << qint32(versions.size());
    for (const SyncVersion &version : versions) {
        out << version.mine << qint32(version.pieces.size());
        for (const Piece &piece : version.pieces)
            out << piece.id << qint32(piece.size);
    }
    // In the order of first use, so that the same history writes the same bytes.
    QVector<QByteArray> order;
    QSet<QByteArray> written;
    for (const SyncVersion &version : versions) {
        for (const Piece &piece : version.pieces) {
            if (!written.contains(piece.id)) {
                written.insert(piece.id);
                order.append(piece.id);
            }
        }
    }
    out << qint32(order.size());
    for (const QByteArray &id : order)
        out << id << packed.value(id);
    return bytes;
}

QByteArray SyncBasePrivate::bytesOf(const SyncVersion &version) const
{
    QByteArray bytes;
    for (const Piece &piece : version.pieces) {
        const QByteArray data = qUncompress(packed.value(piece.id));
        if (data.size() != piece.size)
            return QByteArray(); // a damaged history gives no base
        bytes += data;
    }
    return bytes;
}

QVector<Piece> SyncBasePrivate::piecesOf(const QByteArray &content)
{
    // Pieces the newest version shares with the new one keep their ids unhashed: a click
    // on a large store hashes the few pieces around the change.
    QVector<Piece> reused;
    QHash<int, Piece> previousFromEnd; // by the distance of a piece's start from the end
    int reusedEnd = 0;
    int suffixStart = content.size();
    if (!versions.isEmpty() && newestKnown) {
        const int prefix = commonPrefix(newest, content);
        const int suffix
            = commonSuffix(newest, content, std::min(newest.size(), content.size()) - prefix);
        suffixStart = content.size() - suffix;
        int start = 0;
        bool inPrefix = true;
        for (const Piece &piece : versions.last().pieces) {
            inPrefix = inPrefix && start + piece.size <= prefix;
            if (inPrefix) {
                reused.append(piece);
                reusedEnd = start + piece.size;
            }
            previousFromEnd.insert(newest.size() - start, piece);
            start += piece.size;
        }
    }
    QVector<Piece> pieces = reused;
    int start = reusedEnd;
    for (const int end : cuts(content, reusedEnd)) {
        Piece piece;
        piece.size = end - start;
        const auto same = previousFromEnd.constFind(content.size() - start);
        if (start >= suffixStart && same != previousFromEnd.constEnd() && same->size == piece.size)
            piece.id = same->id;
        else {
            const QByteArray bytes = content.mid(start, piece.size);
            piece.id = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
            if (!packed.contains(piece.id))
                packed.insert(piece.id, qCompress(bytes));
        }
        pieces.append(piece);
        start = end;
    }
    return pieces;
}

void SyncBasePrivate::append(const QByteArray &content, bool mine)
{
    load();
    if (!versions.isEmpty() && !newestKnown) {
        newest = bytesOf(versions.last());
        newestKnown = true;
    }
    if (!versions.isEmpty() && newest == content) {
        // Read again what was read or written last: nothing new. A version this machine
        // wrote and read back stays its own.
        return;
    }
    SyncVersion version;
    version.mine = mine;
    version.pieces = piecesOf(content);
    versions.append(version);
    newest = content;
    newestKnown = true;
    if (versions.size() > SyncBase::kept) {
        versions.remove(0, versions.size() - SyncBase::kept);
        dropUnused();
    }
}

void SyncBasePrivate::dropUnused()
{
    QSet<QByteArray> used;
    for (const SyncVersion &version : qAsConst(versions)) {
        for (const Piece &piece : version.pieces)
            used.insert(piece.id);
    }
    for (auto it = packed.begin(); it != packed.end();)
        it = used.contains(it.key()) ? std::next(it) : packed.erase(it);
}

SyncBase::SyncBase(const QString &storageFolder)
    : d(std::make_unique<SyncBasePrivate>())
{
    d->file = QDir(folderFor(storageFolder)).filePath(QStringLiteral("history"));
}

SyncBase::~SyncBase() = default;

QString SyncBase::folderFor(const QString &storageFolder)
{
    const QFileInfo elsewhere(RescueCopies::elsewhereFolder(storageFolder));
    return QDir::cleanPath(
        elsewhere.path() + QStringLiteral("/../sync-base/") + elsewhere.fileName());
}

void SyncBase::noteSeen(const QByteArray &content)
{
    d->append(content, false);
}

void SyncBase::noteWritten(const QByteArray &content)
{
    d->append(content, true);
}

QByteArray SyncBase::newest() const
{
    d->load();
    if (!d->newestKnown && !d->versions.isEmpty()) {
        d->newest = d->bytesOf(d->versions.last());
        d->newestKnown = true;
    }
    return d->newest;
}

bool SyncBase::isEmpty() const
{
    d->load();
    return d->versions.isEmpty();
}

namespace {

// Whether `theirs` holds what this machine's change from `before` to `after` made: then the
// other machine had `after`. The values that change together by chance (a flag) decide only
// where nothing else changed; a record or entry of the change that `theirs` lacks says no.
bool holdsChange(const StoreRecords &before, const StoreRecords &after, const StoreRecords &theirs)
{
    const QVector<StoreMerge::Change> made = StoreMerge::changes(before, after);
    if (made.isEmpty())
        return true;
    QHash<QString, QString> theirChanges;
    for (const StoreMerge::Change &change : StoreMerge::changes(before, theirs))
        theirChanges.insert(change.key, change.to);
    int agree = 0;
    int keep = 0; // values `theirs` still holds as before the change
    int strong = 0; // those changed otherwise tell nothing: not that the change was seen
    bool weakAgree = true;
    for (const StoreMerge::Change &change : made) {
        const auto found = theirChanges.constFind(change.key);
        const bool agrees = found != theirChanges.constEnd() && *found == change.to;
        const bool kept = found == theirChanges.constEnd();
        if (!change.strong) {
            weakAgree = weakAgree && agrees;
            continue;
        }
        if (kept && change.presence)
            return false;
        agree += agrees;
        keep += kept;
        ++strong;
    }
    return strong == 0 ? weakAgree : agree > keep;
}

StoreRecords recordsOf(const QByteArray &bytes)
{
    StoreSnapshot snapshot;
    snapshot.readBytes(bytes);
    return snapshot;
}

} // namespace

bool SyncBase::commonBase(
    const StoreRecords &theirs, StoreRecords *base, const StoreRecords *newest) const
{
    d->load();
    // A damaged history gives no base rather than a wrong one.
    const auto read = [this](int i, StoreRecords *records) {
        const QByteArray bytes = d->bytesOf(d->versions.at(i));
        *records = recordsOf(bytes);
        return !bytes.isEmpty() || d->versions.at(i).pieces.isEmpty();
    };
    StoreRecords after;
    if (d->versions.isEmpty())
        return false;
    if (newest)
        after = *newest; // reading a large store costs more than the rest of the search
    else if (!read(d->versions.size() - 1, &after))
        return false;
    for (int i = d->versions.size() - 1; i >= 0; --i) {
        if (!d->versions.at(i).mine) {
            *base = after;
            return true;
        }
        // What this machine wrote counts when the other machine's version holds its change;
        // the oldest version has nothing to tell its change by.
        StoreRecords before;
        if (i == 0 || !read(i - 1, &before))
            return false;
        if (holdsChange(before, after, theirs)) {
            *base = after;
            return true;
        }
        after = before;
    }
    return false;
}

bool SyncBase::save()
{
    d->load();
    if (!QDir().mkpath(QFileInfo(d->file).path()))
        return false;
    return FileBytes::replaceFile(d->file, d->serialized());
}
