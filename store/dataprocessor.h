#ifndef DATAPROCESSOR_H
#define DATAPROCESSOR_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <functional>
#include <memory>

class BatteryWidget;
class OverwriteGuard;
class ModelWidget;
class QIODevice;

// The only class that touches the data file "cellora.xml" in the storage folder:
// it writes the whole store, reads it back into new records and copies it for backups.
class DataProcessor : public QObject {
    Q_OBJECT

public:
    explicit DataProcessor(QObject *parent = nullptr);
    ~DataProcessor() override;

    void setStoragePath(const QString &path);
    QString dataFilePath() const;

    void writeData(const QVector<BatteryWidget *> &batteries, const QVector<ModelWidget *> &models,
        const QStringList &locations);
    bool readLocations(QStringList &locations);
    void readModels(QVector<ModelWidget *> &models);
    void readBatteries(QVector<BatteryWidget *> &batteries);

    bool exportData(QIODevice *target);
    bool importData(QIODevice *source);

    // Told after every attempt to write the data file (saves, imports, replacements):
    // whether it was written, and the bytes the file held before and after. A failed
    // attempt gives the same bytes twice: what the file held as far as known (empty when
    // it was not read).
    using WriteListener
        = std::function<void(bool written, const QByteArray &before, const QByteArray &after)>;
    void setWriteListener(WriteListener listener);
    // Makes `content` the data file, as a save does; false when it could not be written.
    bool replaceContent(const QByteArray &content);
    // Keeps what the data file holds now as a rescue copy; false when it could not.
    bool keepRescueCopy();
    // Keeps `content` as a rescue copy; false when it could not.
    bool keepRescueCopy(const QByteArray &content);
    // The same readers and writer on a data file's bytes in memory, touching no file:
    // for a snapshot of the store. readDocument is false when a read ended on a fault.
    bool readDocument(const QByteArray &content, QStringList &locations,
        QVector<ModelWidget *> &models, QVector<BatteryWidget *> &batteries);
    QByteArray document(const QVector<BatteryWidget *> &batteries,
        const QVector<ModelWidget *> &models, const QStringList &locations);

private:
    struct Reading;
    bool openForReading(Reading &reading);
    void finishReading(Reading &reading);
    QByteArray storeDocument(const QVector<BatteryWidget *> &batteries,
        const QVector<ModelWidget *> &models, const QStringList &locations);
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
    // Notices when the data file was changed by anyone else, or could not be read whole,
    // and keeps a rescue copy before such content is overwritten.
    std::unique_ptr<OverwriteGuard> guard;
};

#endif // DATAPROCESSOR_H
