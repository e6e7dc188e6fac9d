#ifndef RECORDCACHE_H
#define RECORDCACHE_H

#include "store/recordwriter.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

// The data file's bytes of each top-level record (the locations block, each battery, each
// model), kept with the values they were written from. A save writes again only the
// records whose values differ and joins the kept pieces, so the file holds exactly what
// one writer would have written for the whole store.
class RecordCache {
public:
    // The data file for `store`; empty when the writer failed.
    QByteArray document(const StoreValues &store);
    // Forgets every piece: after anything that may change how values are written.
    void drop();

    // A record's bytes with the values they were written from. A battery's data points and
    // a model's flights, its entries, are kept as well: entry i runs from entryEnds[i] to
    // entryEnds[i + 1] of the bytes.
    template <typename Values> struct Piece {
        Values values;
        QByteArray bytes;
        QVector<int> entryEnds;
    };

private:
    bool frame();
    bool reuseOrWrite(const StoreValues &store);

    QByteArray writingSetting;
    QByteArray head; // up to the root's start tag
    QByteArray tail; // from the root's end tag
    bool hasLocations = false;
    Piece<QStringList> locations;
    QVector<Piece<BatteryValues>> batteries;
    QVector<Piece<ModelValues>> models;
};

#endif // RECORDCACHE_H
