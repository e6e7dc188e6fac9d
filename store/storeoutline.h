#ifndef STOREOUTLINE_H
#define STOREOUTLINE_H

#include "cellora_global.h"
#include "store/recordreader.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The outline of a data file found by one scan of its bytes, far faster than the store's
// readers: the children of its root with their bytes, and of the batteries and models
// their names and numbers of flights. The scan follows plain XML of the kind the store's
// writer writes and gives up on anything else: a comment, a declared encoding other than
// UTF-8, a character reference to a control character, a carriage return, a reader that
// would stop on a fault or read past its record. Where it does not give up, each child
// of the root is read by the readers as if it stood alone (a document of that one child
// reads the same), and the names and counts are those the readers give.
class CELLORA_PRIVATE_EXPORT StoreOutline {
public:
    struct Record {
        int start = 0; // from its start tag
        int end = 0; // to the end of its end tag
        int kind = -1; // a RecordKind, or -1 for a child no reader takes
        QString name; // of a battery or a model
        int flights = 0; // of a model
    };

    // False when the scan gave up: the bytes are to be read with the readers.
    bool scan(const QByteArray &content);
    // The same, taking the records `earlier` found where `content` holds them byte for
    // byte: for another version of the same store, such as the next rescue copy, only the
    // few records that differ are scanned.
    bool scan(const QByteArray &content, const StoreOutline &earlier);

    const QVector<Record> &records() const { return found; }
    int count(RecordKind kind) const;
    int flights() const;

    // The records of `was` and `is`, two versions of one store, by their places in
    // records(), that did not stay as they were: the others pair up in their order, each
    // with a record of the same bytes in the other version.
    static void pairRecords(const StoreOutline &was, const StoreOutline &is,
        QVector<int> *wasChanged, QVector<int> *isChanged);
    // A data file of the records at `places` alone, which the readers read as they read
    // those records here.
    QByteArray documentOf(const QVector<int> &places) const;

private:
    QByteArray bytes;
    bool scanned = false;
    int contentStart = 0;
    int contentEnd = 0;
    QVector<Record> found;
};

#endif // STOREOUTLINE_H
