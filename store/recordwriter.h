#ifndef RECORDWRITER_H
#define RECORDWRITER_H

#include "records/logdata.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

class BatteryWidget;
class ModelWidget;
class QXmlStreamWriter;

// The values of a battery that its part of the data file is written from. Copies share
// the records' lists until either side changes them.
struct BatteryValues {
    QString name;
    uint capacity = 0;
    uint chargeRate = 0;
    uint rating = 0;
    QDate purchase;
    uint cycles = 0;
    bool charged = false;
    QDateTime lastUse;
    QVector<QDateTime> dates;
    QVector<uint> discharged;
    QVector<uint> currents;

    static BatteryValues of(const BatteryWidget &battery);
    // True only when both are certain to be written as the same bytes.
    bool writesAs(const BatteryValues &other) const;
};

struct ModelValues {
    QString name;
    QString type;
    uint weight = 0;
    uint size = 0;
    QDate purchase;
    uint flights = 0;
    QString notes;
    QDateTime lastUpdate;
    QVector<QString> batteries;
    QVector<LogData> flightLog;

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

} // namespace RecordWriter

#endif // RECORDWRITER_H
