#ifndef DATAPROCESSOR_H
#define DATAPROCESSOR_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

class BatteryWidget;
class ModelWidget;
class QFile;
class QIODevice;

// The only class that touches the data file "cellora.xml" in the storage folder:
// it writes the whole store, reads it back into new records and copies it for backups.
class DataProcessor : public QObject {
    Q_OBJECT

public:
    explicit DataProcessor(QObject *parent = nullptr);

    void setStoragePath(const QString &path);
    QString dataFilePath() const;

    void writeData(const QVector<BatteryWidget *> &batteries, const QVector<ModelWidget *> &models,
        const QStringList &locations);
    bool readLocations(QStringList &locations);
    void readModels(QVector<ModelWidget *> &models);
    void readBatteries(QVector<BatteryWidget *> &batteries);

    bool exportData(QIODevice *target);
    bool importData(QIODevice *source);

private:
    bool openForReading(QFile &file);
    void readBattery(QVector<BatteryWidget *> &batteries);
    void readBatteryData(BatteryWidget *battery);
    void readModel(QVector<ModelWidget *> &models);
    void readFlightLog(ModelWidget *model);
    void readLocationList(QStringList &locations);
    void writeBattery(const BatteryWidget *battery);
    void writeBatteryData(const BatteryWidget *battery);
    void writeModel(const ModelWidget *model);
    void writeFlightLog(const ModelWidget *model);
    void writeLocations(const QStringList &locations);

    QXmlStreamWriter writer;
    QXmlStreamReader reader;
    QString storagePath;
};

#endif // DATAPROCESSOR_H
