#ifndef DATAPROCESSOR_H
#define DATAPROCESSOR_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

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
    // Why the last save or import did not reach the data file; None once one did.
    enum class Problem {
        None,
        FolderUnwritable, // the storage folder cannot be made or written
        FileReadOnly, // the data file may not be written (read-only, another owner)
        NotAFile, // something else than a file holds the data file's name
        Unreadable, // the data file cannot be read whole, so it is not overwritten
        CannotKeepCopy, // its content needed a rescue copy that could not be written
        WriteFailed, // the write itself failed (a full disk); the file kept its content
        ImportNotKept, // an import was refused: the present store could not be kept first
    };

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

    Problem problem() const;

private:
    struct Reading;
    bool mayReplaceDataFile(const QString &path);
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
