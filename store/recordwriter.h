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
// cycle data stays in the widget's three lists, shared with the widget until either side
// changes them: an unchanged battery costs no copy, and its comparison a pointer check.
struct BatteryValues {
    BatteryRecord record; // without its cycle data: the lists hold it
    QVector<QDateTime> dates;
    QVector<uint> discharged;
    QVector<uint> currents;

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
void writeModel(QXmlStreamWriter &writer, const ModelValues &model);

// The whole data file from one writer, record after record; empty when the writer failed.
QByteArray wholeDocument(const StoreValues &store);
// The same from plain records: what the snapshot, the sample stores and imports write.
CELLORA_PRIVATE_EXPORT QByteArray wholeDocument(const StoreRecords &store);

} // namespace RecordWriter

#endif // RECORDWRITER_H
