#ifndef RECORDWRITER_H
#define RECORDWRITER_H

#include "cellora_global.h"
#include "store/storerecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

class BatteryWidget;
class ModelWidget;
class QXmlStreamWriter;

// A record as the write cache keeps it, with what its comparison needs. A battery's
// cycle data stays in the widget's lists, shared with the widget until either side
// changes them: an unchanged battery costs no copy, and its comparison a pointer check.
struct BatteryValues {
    BatteryRecord record; // without its cycle data: the lists hold it
    QVector<QDateTime> dates;
    QVector<uint> discharged;
    QVector<uint> currents;
    QVector<uint> minVoltages; // 0 where unknown
    QVector<uint> resistances;

    static BatteryValues of(const BatteryWidget &battery);
    BatteryRecord toRecord() const; // with its cycle data
    // True only when both are certain to be written as the same bytes.
    bool writesAs(const BatteryValues &other) const;
};

struct ModelValues {
    ModelRecord record;

    static ModelValues of(const ModelWidget &model);
    bool writesAs(const ModelValues &other) const;
};

// Everything the data file holds, in the order it is written.
struct StoreValues {
    QStringList locations;
    QVector<BatteryValues> batteries;
    QVector<ModelValues> models;

    static StoreValues of(const QVector<BatteryWidget *> &batteries,
        const QVector<ModelWidget *> &models, const QStringList &locations);
    StoreRecords toRecords() const;
};

// The elements of the data file, each written by the toolkit's XML writer.
namespace RecordWriter {

void writeLocations(QXmlStreamWriter &writer, const QStringList &locations);
void writeBattery(QXmlStreamWriter &writer, const BatteryValues &battery);
// The battery's data point `i`, as writeBattery writes each.
void writeCycle(QXmlStreamWriter &writer, const BatteryValues &battery, int i);
// True only when point `i` of `a` and point `j` of `b` are certain to be written alike.
bool cycleWrittenAlike(const BatteryValues &a, int i, const BatteryValues &b, int j);
void writeModel(QXmlStreamWriter &writer, const ModelValues &model);
// One entry of a model's flight log, as writeModel writes each.
void writeLogEntry(QXmlStreamWriter &writer, const LogData &entry);
// True only when both entries are certain to be written as the same bytes.
bool logEntryWrittenAlike(const LogData &a, const LogData &b);

// The whole data file from one writer, record after record; empty when the writer failed.
QByteArray wholeDocument(const StoreValues &store);
// The same from plain records: what the snapshot, the sample stores and imports write.
CELLORA_PRIVATE_EXPORT QByteArray wholeDocument(const StoreRecords &store);

} // namespace RecordWriter

#endif // RECORDWRITER_H
