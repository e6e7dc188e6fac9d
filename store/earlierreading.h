#ifndef EARLIERREADING_H
#define EARLIERREADING_H

#include "store/recordreader.h"

#include <QByteArray>
#include <QVector>

#include <vector>

// Where a record-giving child of the data file's root lies in the bytes it was read from,
// and which records it gave.
struct ChildSpan {
    qint64 begin = 0; // just after the token before it: its leading blanks are its own
    qint64 end = 0; // just after its end tag
    RecordKind kind = RecordKind::Locations;
    int first = 0; // its first record in its kind's list
    int count = 0;
    bool stamped = false; // a battery whose last use is the moment it was read
};

// The last whole reading of a data file that the shared pass read exactly, with where its
// records lie. A click, an undo or a correction changes one battery or model of a store
// that holds years of them: the next read parses only the root children whose bytes
// changed and takes the others over from this one, with exactly what reading them again
// would give.
class EarlierReading {
public:
    // Turns the reader's offsets in characters into offsets in `bytes`; false when the
    // bytes are not UTF-8 that decodes one to one, or hold what the reader would change.
    static bool toBytes(const QByteArray &bytes, std::vector<ChildSpan> &spans);
    // Keeps `reading` of `content` (with `spans` in bytes) when the bytes allow taking it
    // over later; forgets any earlier one otherwise.
    static void keep(const QByteArray &content, const QByteArray &zone,
        const StoreReading &reading, const std::vector<ChildSpan> &spans, int tookOver = 0);
    // What was kept, for a read of `content` under the time zone `zone`; null when nothing
    // can be taken over.
    static EarlierReading forContent(const QByteArray &content, const QByteArray &zone);

    // How many children the last read took over; for tests and benchmarks.
    static int takenOverByLastRead();
    // Forgets what was kept, so that the next read parses every child: for benchmarks.
    static void forget() { keep(QByteArray(), QByteArray(), StoreReading(), {}); }

    bool isNull() const { return spans.empty(); }
    // The bytes to parse: the head of `content` up to its first child, the changed
    // children between those taken over, and its tail. Empty when it cannot be parsed so.
    QByteArray changedPart(const QByteArray &content);
    // The reading of `content` from what was kept and the reading of the changed part.
    StoreReading splice(const StoreReading &changed, const std::vector<ChildSpan> &changedSpans,
        std::vector<ChildSpan> *spans) const;
    qint64 headSize() const { return spans.front().begin; }

private:
    static EarlierReading &last();

    QByteArray source;
    QByteArray zone;
    StoreReading reading;
    std::vector<ChildSpan> spans;
    // Of the content being read: the leading and trailing children taken over, where the
    // changed part begins in it, and how much longer it is.
    size_t leading = 0;
    size_t trailing = 0;
    qint64 changedBegin = 0;
    qint64 growth = 0;
};

#endif // EARLIERREADING_H
