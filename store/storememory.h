#ifndef STOREMEMORY_H
#define STOREMEMORY_H

#include "store/recordwriter.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

class BatteryWidget;
class ModelWidget;

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

// Records made by one pass over the file for all three readers, kept until the models
// and batteries readers take them. Records nobody takes are deleted.
class ReadStash {
public:
    ReadStash() = default;
    ReadStash(const ReadStash &) = delete;
    ReadStash &operator=(const ReadStash &) = delete;
    ~ReadStash() { clear(); }

    void keep(const QByteArray &content, QVector<ModelWidget *> &models,
        QVector<BatteryWidget *> &batteries);
    // Appends the kept records when they were read from `content`; false otherwise.
    bool takeModels(const QByteArray &content, QVector<ModelWidget *> &models);
    bool takeBatteries(const QByteArray &content, QVector<BatteryWidget *> &batteries);
    void clear();

private:
    QByteArray source;
    QVector<ModelWidget *> models;
    QVector<BatteryWidget *> batteries;
    bool hasModels = false;
    bool hasBatteries = false;
};

// What each reader last returned, and from which bytes: before the first save over
// content this store did not write, the writer's form of these records is compared with
// the file, to keep whatever the readers skipped or dropped.
class ReadRecords {
public:
    void noteLocations(const QByteArray &content, const QStringList &locations);
    void noteModels(const QByteArray &content, const QVector<ModelWidget *> &models);
    void noteBatteries(const QByteArray &content, const QVector<BatteryWidget *> &batteries);
    // All three readers read `content`.
    bool allFrom(const QByteArray &content) const;
    const StoreValues &values() const { return records; }

private:
    QByteArray locationsFrom;
    QByteArray modelsFrom;
    QByteArray batteriesFrom;
    StoreValues records;
};

// What the store keeps between its reads and saves, to make them cheaper.
struct StoreMemory {
    RecordCache cache;
    ReadStash stash;
    ReadRecords lastRead;
    bool passLeftItsRecord = false; // a scan of the shared pass ended inside its record
};

// The same bytes; a shared buffer is not compared byte by byte.
bool sameBytes(const QByteArray &a, const QByteArray &b);

#endif // STOREMEMORY_H
