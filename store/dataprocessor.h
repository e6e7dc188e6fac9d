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

    Problem problem() const;

private:
    struct Reading;
    bool mayReplaceDataFile(const QString &path);
    bool writeContent(const QString &path, const QByteArray &content, QByteArray &present);
    bool importContent(const QString &path, QIODevice *source, QByteArray &present);
    bool openForReading(Reading &reading);
    bool restartReading(Reading &reading);
    bool readInOnePass(Reading &reading, QStringList &locations);
    bool readDocumentInOnePass(const QByteArray &content, QStringList &locations,
        QVector<ModelWidget *> &models, QVector<BatteryWidget *> &batteries);
    void finishReading(Reading &reading);
    void checkReproduction();
    void noteScanEnd();
    void readBattery(QVector<BatteryWidget *> &batteries);
    void readBatteryData(BatteryWidget *battery);
    void readModel(QVector<ModelWidget *> &models);
    void readFlightLog(ModelWidget *model);
    void readLocationList(QStringList &locations);

    // Unused since each record is written by its own writer; kept for the class's layout.
    QXmlStreamWriter writer;
    QXmlStreamReader reader;
    QString storagePath;
    // Notices when the data file was changed by anyone else, or could not be read whole,
    // and keeps a rescue copy before such content is overwritten.
    std::unique_ptr<OverwriteGuard> guard;
};

#endif // DATAPROCESSOR_H
