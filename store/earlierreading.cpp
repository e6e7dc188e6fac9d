#include "store/earlierreading.h"

#include <QDateTime>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <cstring>

namespace {

QMutex &keptLock()
{
    static QMutex lock;
    return lock;
}

int takenOver = 0; // guarded by keptLock()

// The length of the UTF-8 sequence at `s` (of `left` bytes) and the UTF-16 units it
// decodes to; 0 when it is not one the decoder reads as exactly that character.
int sequenceAt(const unsigned char *s, qint64 left, int *units)
{
    const unsigned char c = s[0];
    int length = 0;
    unsigned char low = 0x80, high = 0xbf; // of the second byte
    if (c >= 0xc2 && c <= 0xdf) {
        length = 2;
    } else if (c >= 0xe0 && c <= 0xef) {
        length = 3;
        low = c == 0xe0 ? 0xa0 : 0x80;
        high = c == 0xed ? 0x9f : 0xbf; // no surrogates
    } else if (c >= 0xf0 && c <= 0xf4) {
        length = 4;
        low = c == 0xf0 ? 0x90 : 0x80;
        high = c == 0xf4 ? 0x8f : 0xbf;
    }
    if (length == 0 || left < length || s[1] < low || s[1] > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if ((s[i] & 0xc0) != 0x80)
            return 0;
    }
    *units = length == 4 ? 2 : 1;
    return length;
}

// A head that gives every child the meaning it had in the earlier bytes, counted alike in
// characters and bytes: ASCII, with no internal subset that could declare entities, and no
// encoding other than UTF-8.
bool isPlainHead(const QByteArray &head)
{
    for (const char c : head) {
        if (static_cast<unsigned char>(c) > 0x7e)
            return false;
    }
    const QByteArray lower = head.toLower();
    return !lower.contains('[') && (!lower.contains("encoding") || lower.contains("utf-8"));
}

bool spansFit(const QByteArray &content, const std::vector<ChildSpan> &spans)
{
    qint64 after = 0;
    for (const ChildSpan &span : spans) {
        if (span.begin < after || span.end <= span.begin || span.end > content.size()
            || content.at(span.end - 1) != '>')
            return false;
        qint64 start = span.begin;
        while (start < span.end && (content.at(start) == ' ' || content.at(start) == '\n'
                   || content.at(start) == '\t'))
            ++start;
        if (start == span.end || content.at(start) != '<')
            return false;
        after = span.end;
    }
    return true;
}

qint64 commonPrefix(const char *a, const char *b, qint64 limit)
{
    constexpr qint64 block = 4096;
    qint64 same = 0;
    while (same + block <= limit && std::memcmp(a + same, b + same, block) == 0)
        same += block;
    while (same < limit && a[same] == b[same])
        ++same;
    return same;
}

// Of the bytes before `aEnd` and `bEnd`.
qint64 commonSuffix(const char *aEnd, const char *bEnd, qint64 limit)
{
    constexpr qint64 block = 4096;
    qint64 same = 0;
    while (same + block <= limit
        && std::memcmp(aEnd - same - block, bEnd - same - block, block) == 0)
        same += block;
    while (same < limit && aEnd[-same - 1] == bEnd[-same - 1])
        ++same;
    return same;
}

} // namespace

bool EarlierReading::toBytes(const QByteArray &bytes, std::vector<ChildSpan> &spans)
{
    std::vector<qint64 *> offsets; // in the order of the bytes
    offsets.reserve(2 * spans.size());
    for (ChildSpan &span : spans)
        offsets.insert(offsets.end(), { &span.begin, &span.end });
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qint64 size = bytes.size();
    size_t next = 0;
    qint64 units = 0;
    for (qint64 at = 0; at < size;) {
        while (next < offsets.size() && *offsets[next] == units)
            *offsets[next++] = at;
        if (next < offsets.size() && *offsets[next] < units)
            return false; // an offset inside a character
        // Eight bytes at once while they are ASCII above the controls, with no offset among
        // them: nearly all of a data file.
        if (at + 8 <= size && (next == offsets.size() || *offsets[next] >= units + 8)) {
            quint64 word;
            std::memcpy(&word, s + at, 8);
            constexpr quint64 high = 0x8080808080808080ULL;
            const bool beyondAscii = word & high;
            const bool control = (word - 0x2020202020202020ULL) & ~word & high;
            if (!beyondAscii && !control) {
                at += 8;
                units += 8;
                continue;
            }
        }
        int decoded = 1;
        int length = 1;
        if (s[at] >= 0x80)
            length = sequenceAt(s + at, size - at, &decoded);
        else if (s[at] < 0x20 && s[at] != '\t' && s[at] != '\n')
            length = 0; // a carriage return the reader would turn, or a control it refuses
        if (length == 0)
            return false;
        at += length;
        units += decoded;
    }
    while (next < offsets.size() && *offsets[next] == units)
        *offsets[next++] = size;
    return next == offsets.size();
}

EarlierReading &EarlierReading::last()
{
    static EarlierReading kept;
    return kept;
}

void EarlierReading::keep(const QByteArray &content, const QByteArray &zone,
    const StoreReading &reading, const std::vector<ChildSpan> &spans, int tookOver)
{
    EarlierReading earlier;
    if (!spans.empty() && isPlainHead(content.left(int(spans.front().begin))) && spansFit(content, spans)) {
        earlier.source = content;
        earlier.zone = zone;
        earlier.reading = reading;
        earlier.spans = spans;
    }
    // What is not kept is forgotten: a reading of other bytes holds nothing to take over.
    const QMutexLocker locked(&keptLock());
    std::swap(last(), earlier);
    takenOver = tookOver;
}

int EarlierReading::takenOverByLastRead()
{
    const QMutexLocker locked(&keptLock());
    return takenOver;
}

EarlierReading EarlierReading::forContent(const QByteArray &content, const QByteArray &zone)
{
    const QMutexLocker locked(&keptLock());
    const EarlierReading &kept = last();
    // Date-times made under another time zone are not what a read now would make.
    if (kept.isNull() || kept.zone != zone || content.isEmpty())
        return EarlierReading();
    return kept;
}

QByteArray EarlierReading::changedPart(const QByteArray &content)
{
    const qint64 oldSize = source.size();
    const qint64 newSize = content.size();
    const qint64 limit = std::min(oldSize, newSize);
    const qint64 prefix = commonPrefix(source.constData(), content.constData(), limit);
    const qint64 suffix = commonSuffix(
        source.constData() + oldSize, content.constData() + newSize, limit - prefix);
    const qint64 head = headSize();
    const qint64 lastEnd = spans.back().end;
    const bool same = oldSize == newSize && prefix == oldSize;
    if (prefix < head || (!same && oldSize - lastEnd > suffix))
        return QByteArray(); // the root, or what follows its children, changed
    leading = 0;
    while (leading < spans.size() && spans.at(leading).end <= prefix)
        ++leading;
    trailing = 0;
    while (!same && leading + trailing < spans.size()
        && spans.at(spans.size() - 1 - trailing).begin >= oldSize - suffix)
        ++trailing;
    if (leading + trailing == 0)
        return QByteArray(); // nothing to take over
    growth = newSize - oldSize;
    changedBegin = leading > 0 ? spans.at(leading - 1).end : head;
    const qint64 changedEnd
        = (trailing > 0 ? spans.at(spans.size() - trailing).begin : lastEnd) + growth;
    const qint64 changedSize = changedEnd - changedBegin;
    QByteArray part;
    part.reserve(int(head + changedSize + oldSize - lastEnd));
    part.append(content.constData(), int(head));
    part.append(content.constData() + changedBegin, int(changedSize));
    part.append(content.constData() + lastEnd + growth, int(oldSize - lastEnd));
    return part;
}

StoreReading EarlierReading::splice(const StoreReading &changed,
    const std::vector<ChildSpan> &changedSpans, std::vector<ChildSpan> *newSpans) const
{
    StoreReading read;
    StoreRecords &records = read.records;
    std::vector<ChildSpan> placed;
    placed.reserve(leading + changedSpans.size() + trailing);
    const QDateTime now = QDateTime::currentDateTime();
    const auto take = [&](const StoreReading &from, ChildSpan span, qint64 shift, bool kept) {
        const int first = span.first;
        span.begin += shift;
        span.end += shift;
        switch (span.kind) {
        case RecordKind::Locations:
            span.first = records.locations.size();
            records.locations += from.records.locations.mid(first, span.count);
            break;
        case RecordKind::Models:
            span.first = records.models.size();
            records.models += from.records.models.mid(first, span.count);
            break;
        case RecordKind::Batteries:
            span.first = records.batteries.size();
            for (int i = first; i < first + span.count; ++i) {
                records.batteries.append(from.records.batteries.at(i));
                read.batteries.append(from.batteries.at(i));
                // A read stamps such a battery with its own moment.
                if (kept && span.stamped)
                    records.batteries.last().lastUse = now;
            }
            break;
        }
        placed.push_back(span);
    };
    for (size_t i = 0; i < leading; ++i)
        take(reading, spans.at(i), 0, true);
    for (const ChildSpan &span : changedSpans)
        take(changed, span, changedBegin - headSize(), false);
    for (size_t i = spans.size() - trailing; i < spans.size(); ++i)
        take(reading, spans.at(i), growth, true);
    *newSpans = std::move(placed);
    return read;
}
