#ifndef SYNCWATCH_H
#define SYNCWATCH_H

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class CelloraGui;
class StorageLock;
class SyncBar;
class SyncWatchPrivate;
class UndoHistory;

// Watches a storage folder that a sync engine may share with other machines, from its
// opening on and whenever the folder changes:
// - the data file changed by another machine: every page is read again, before a save of
//   this machine could write over that change;
// - copies the sync engine made of the data file where two machines changed it apart: they
//   are merged into it from the last version both machines had (one save, one step of
//   Edit ▸ Undo, "Merge"), then moved among the rescue copies; what could not merge keeps
//   this machine's value and is listed in the bar with both values and a button that takes
//   the other;
// - copies of the rescue index and of rescue copies join the index, copies of the lock go;
// - the lock naming another program: said in the bar.
// This machine's versions of the data file are kept as the bases of later merges.
class SyncWatch : public QObject {
    Q_OBJECT

public:
    explicit SyncWatch(QObject *parent = nullptr);
    ~SyncWatch() override;

    SyncBar *bar() const;
    // From now on watches `folder`, which `gui` shows, writing through `history`; looks at
    // the folder at once after the event loop's next turn.
    void watch(const QString &folder, CelloraGui *gui, UndoHistory *history, StorageLock *lock);
    // Stops watching, keeping the history of this machine's versions.
    void stop();
    // Looks at the folder now, as it does shortly after every change of it.
    void look();

private:
    void lookLater();
    void catchUp();
    bool reloadAllowed() const;
    void reload(const QByteArray &content);
    void mergeCopies(const QByteArray &dataFile, const QStringList &copies);
    void takeOther(int row);
    void showState();
    void saveHistory();

    std::unique_ptr<SyncWatchPrivate> d;
};

#endif // SYNCWATCH_H
