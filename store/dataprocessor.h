#ifndef DATAPROCESSOR_H
#define DATAPROCESSOR_H

#include "store/storeproblem.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <functional>
#include <memory>

class BatteryWidget;
class DataProcessorPrivate;
class ModelWidget;
class QIODevice;
struct ChangeOutcome;
struct DataChange;
namespace RecordRules {
struct RuleBreak;
}

// The only class that touches the data file "cellora.xml" in the storage folder:
// it writes the whole store, reads it back into new records and copies it for backups.
class DataProcessor : public QObject {
    Q_OBJECT

public:
    using Problem = StoreProblem;

    explicit DataProcessor(QObject *parent = nullptr);
    ~DataProcessor() override;

    void setStoragePath(const QString &path);
    QString dataFilePath() const;

    // The one way the data file is written (see datachange.h): the saves, replacements
    // and imports below all go through it.
    ChangeOutcome change(const DataChange &change);
    // A change whose write failed stays pending until it is written or kept as a rescue
    // copy: whether one does, whether the records last read lack it (read again since, so
    // that a save of them would not write it), and its bytes, for a retry.
    bool hasPendingChange() const;
    bool pendingChangeUnread() const;
    QByteArray pendingContent() const;

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
    // Keeps `content`, a version the file held and an undo took back, as a rescue copy
    // of its own kind: such copies never push out the others (see RescueCopies::undone).
    bool keepUndoneVersion(const QByteArray &content);

    Problem problem() const;
    // The system's error number behind problem(); 0 when there is none or it is not known.
    int problemError() const;
    // Whether the last read of the data file broke off before its end: the records read
    // are those before the fault, and the next save keeps the whole file as a rescue copy.
    bool readBrokeOff() const;

private:
    RecordRules::RuleBreak refusalOf(const DataChange &change);
    QByteArray contentOf(const DataChange &change);
    bool keepPendingBefore(const DataChange &change, const QByteArray &content);
    ChangeOutcome importChange(const DataChange &change);
    bool mayReplaceDataFile(const QString &path);
    bool writeContent(const QString &path, const QByteArray &content, QByteArray &present);
    bool importContent(const QString &path, QIODevice *source, QByteArray &present);
    void checkReproduction();

    // Unused since the records are read as plain values and each is written by its own
    // writer; both kept for the class's layout.
    QXmlStreamWriter writer;
    QXmlStreamReader reader;
    QString storagePath;
    // What the store knows of its file between calls: see dataprocessor.cpp.
    std::unique_ptr<DataProcessorPrivate> d;
};

#endif // DATAPROCESSOR_H
