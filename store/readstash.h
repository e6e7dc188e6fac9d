#ifndef READSTASH_H
#define READSTASH_H

#include "store/recordreader.h"
#include "store/recordwriter.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

#include <array>
#include <memory>

class BatteryWidget;
class ModelWidget;

// The records of one read of the data file, kept for the readers of a refresh that follow
// the first: each reader takes its kind once, and only while the file holds the same bytes.
class ReadStash {
public:
    // Keeps `reading` of `content` for the readers of the other kinds than `readBy`.
    void keep(
        const QByteArray &content, std::shared_ptr<const StoreReading> reading, RecordKind readBy);
    // The kept records when they were read from `content` and `kind` was not taken yet;
    // null otherwise.
    std::shared_ptr<const StoreReading> take(const QByteArray &content, RecordKind kind);
    void clear();

private:
    QByteArray source;
    std::shared_ptr<const StoreReading> kept;
    std::array<bool, 3> taken {};
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

#endif // READSTASH_H
