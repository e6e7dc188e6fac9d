#ifndef UNDOHISTORY_H
#define UNDOHISTORY_H

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

class CelloraGui;
class StoreFolder;
struct ChangeOutcome;
struct StoreRecords;

// Undo and Redo for every change of one module window's data file: the window's own saves
// (heard through its store listener) and the changes the program applies itself. Undo
// writes the version before a change back, byte for byte, through the store's own save,
// which keeps an outside change as a rescue copy first; Redo writes the change again.
//
// Versions are kept as differences: the newest in full (the bytes the store holds
// anyway), each older one as the changed middle against the next newer one, compressed.
// A click only hands over the previous version; the difference is made when the event
// loop is idle next. So are the rescue copies of the versions a new change takes off the
// redo list: a click after undoing costs what any click costs.
class UndoHistory : public QObject {
    Q_OBJECT

public:
    static constexpr int stepLimit = 100;

    // Listens to `gui`'s store until destroyed, which must happen before `gui` is.
    explicit UndoHistory(CelloraGui *gui, QObject *parent = nullptr);
    ~UndoHistory() override;

    // Writes `after`, made from the records of `basis`, through the store's change
    // operation and reloads the window's pages; one undo step named `label`. Refused by the
    // record rules or not written, nothing changes.
    ChangeOutcome applyChange(
        const QString &label, const StoreFolder &basis, const StoreRecords &after);

    // Writes `content`, whole new bytes (a merge of two machines' versions), through the
    // store's change operation and reloads the window's pages; one undo step named `label`.
    // False, with nothing changed, when the file could not be written.
    bool applyVersion(const QString &label, const QByteArray &content);

    bool canUndo() const { return done > 0; }
    bool canRedo() const { return done < steps.size(); }
    // What Undo and Redo would change, e.g. "Charge of Voltra #1"; empty when nothing.
    QString undoLabel();
    QString redoLabel();
    bool undo();
    bool redo();

    int stepCount() const { return steps.size(); }
    // Bytes this history holds beyond the newest version, which the store holds anyway.
    qint64 heldBytes() const;

    // Makes every pending difference now, instead of when idle.
    void pack();
    // Keeps every dropped redo version as a rescue copy now, instead of when idle.
    void keepDropped();

signals:
    void changed();
    // After every attempt of the module to write the data file, a failed one included.
    void writeAttempted();
    // After every write that reached the data file, its own included: what it held before
    // and holds now.
    void stored(const QByteArray &before, const QByteArray &after);

private:
    struct Version;
    struct Step {
        QString label; // empty until named
        int from;
        int to;
    };

    QString labelOf(Step &step) const;
    void noteWrite(bool written, const QByteArray &before, const QByteArray &after);
    void record(const QByteArray &before, const QByteArray &after, const QString &label);
    void dropRedo();
    bool keepOneDropped();
    void scheduleKeeping();
    void dropOldest();
    void forgetCache();
    int currentVersion() const;
    QByteArray versionAt(int index) const;
    bool writeVersion(int index);
    void schedulePacking();

    CelloraGui *gui;
    QVector<Version> versions;
    QVector<Step> steps;
    int done = 0; // steps[0, done) are in the file, the rest can be redone
    bool writing = false; // the history's own writes are no new steps
    bool packingScheduled = false;
    bool keepingScheduled = false;
    QString pendingLabel;
    // Versions taken off the redo list, furthest first, still to be kept as rescue copies:
    // each unpacks against the one before it, the first is whole.
    QVector<Version> dropped;
    QByteArray lastDropped;
    // The version written last: undoing step by step unpacks one difference each time.
    mutable int cachedIndex = -1;
    mutable QByteArray cached;
};

#endif // UNDOHISTORY_H
