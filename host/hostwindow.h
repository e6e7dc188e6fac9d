#ifndef HOSTWINDOW_H
#define HOSTWINDOW_H

#include "host/storagelock.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>

class CelloraGui;
class HostWindowPrivate;
class StoreSnapshot;
class UndoHistory;

// The desktop program around the module: the module's window in the middle, menus to
// open other storage folders, export the logbook, print a pack report and bring back a
// rescue copy. It holds the lock of the folder it shows.
class HostWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int recentLimit = 8;

    explicit HostWindow(QWidget *parent = nullptr);
    ~HostWindow() override;

    CelloraGui &gui() const;
    // The undo history of the folder shown; a new one with every other folder.
    UndoHistory &undoHistory() const;
    QString storageFolder() const;
    // Newest first, as the Open Recent menu lists them.
    QStringList recentFolders() const;

    // Locks `folder` and shows it. When another program holds it, nothing changes and
    // `holder` says who. A temporary folder is not `remember`ed among the recent ones.
    StorageLock::Outcome openFolder(
        const QString &folder, QString *holder = nullptr, bool remember = true);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fitIntoScreen();
    void leaveByHome();
    void placeModuleWindow();
    void buildMenus();
    void buildEditMenu();
    void refreshEditMenu();
    void nameEditEntries();
    void refreshRecentMenu();
    void remember(const QString &folder);
    void showFolder(const QString &folder, bool remember);
    void openFolderAsked(const QString &folder);
    void chooseStorageFolder();
    void exportFlights();
    void exportCycles();
    void exportCsv(const QString &title, const QString &fileName, bool flights);
    void writeReport();
    void restoreRescueCopy();
    void editFlights();
    void showFleet();
    void importTelemetry();
    void showAbout();
    bool readLogbookFor(const QString &title, StoreSnapshot &store);
    void writeOutput(const QString &title, const QString &target, const QByteArray &content);
    void buildWarningBar(QWidget *content);
    void showStoreProblem();
    void retrySave();

    std::unique_ptr<HostWindowPrivate> d;
};

#endif // HOSTWINDOW_H
