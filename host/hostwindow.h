#ifndef HOSTWINDOW_H
#define HOSTWINDOW_H

#include "host/homeguard.h"
#include "host/storagelock.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CelloraGui;
class HostWindowPrivate;
class StoreFolder;
class StartPage;
class StoreSnapshot;
class UndoHistory;
struct ChangeOutcome;
struct StoreRecords;

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
    // What becomes of changes in `folder` when it cannot be written: saved into its data file
    // in place, or not at all.
    static QString unwritableFolderWarning(const QString &folder);

    // Where the module's home button leads; the logbook opens again from there.
    void showStartPage();
    void showLogbook();
    bool showsStartPage() const;
    // Opens a fresh demo logbook in a temporary folder, removed when the program ends.
    void openDemo();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fitIntoScreen();
    bool askBeforeDroppingDischarge(HomeGuard::Leaving leaving);
    // Whether the logbook shown may give way to another folder's: asks about a begun
    // discharge page and a change that could not be saved.
    bool mayLeaveFolder();
    void placeModuleWindow();
    void fitModuleToPage();
    StartPage *startPage();
    void buildMenus();
    void buildEditMenu();
    void refreshEditMenu();
    void nameEditEntries();
    void refreshRecentMenu();
    void remember(const QString &folder);
    void showFolder(const QString &folder, bool remember);
    // Opens `folder`, telling the user when it cannot; true when it is shown.
    bool openFolderAsked(const QString &folder);
    void chooseStorageFolder();
    void exportFlights();
    void exportCycles();
    void exportCsv(const QString &title, const QString &fileName, bool flights);
    void writeReport();
    void restoreRescueCopy();
    void editFlights();
    bool importTelemetry();
    ChangeOutcome applyChange(
        const QString &label, const StoreFolder &basis, const StoreRecords &after);
    // Runs `write` (true when it reached the file) and tells the user when it kept an
    // earlier failed change as a rescue copy on the way.
    bool noteKept(const std::function<bool()> &write);
    bool mayLeaveUnsaved(const QString &title, const QString &question);
    void showFleet();
    void showAbout();
    bool readLogbookFor(const QString &title, StoreSnapshot &store);
    void writeOutput(const QString &title, const QString &target, const QByteArray &content);
    void buildWarningBar(QWidget *content);
    void showWarning(const QString &text, bool retry, bool restore);
    void showStoreProblem();
    void runRetriable(std::function<bool()> action, std::function<QString()> what);
    void retrySave();

    std::unique_ptr<HostWindowPrivate> d;
};

#endif // HOSTWINDOW_H
