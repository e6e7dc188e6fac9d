#include "host/hostwindow.h"

#include "exchange/csvexport.h"
#include "exchange/outputfiles.h"
#include "exchange/packreport.h"
#include "host/changerefusal.h"
#include "host/fleetview.h"
#include "host/flighteditor.h"
#include "host/frontrequest.h"
#include "host/homeguard.h"
#include "host/hostdialogs.h"
#include "host/programtelemetry.h"
#include "host/rescuelist.h"
#include "host/startpage.h"
#include "host/syncbar.h"
#include "host/syncwatch.h"
#include "host/telemetrydialog.h"
#include "host/undohistory.h"
#include "sample/samplestore.h"
#include "sample/sampletelemetry.h"
#include "store/datachange.h"
#include "store/storefiles.h"
#include "store/storefolder.h"
#include "store/storesnapshot.h"
#include "store/synccopies.h"
#include "window/celloragui.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <utility>

namespace {

const QString geometryKey = QStringLiteral("window/geometry");
const QString recentKey = QStringLiteral("folders/recent");

// The host's own settings, apart from the module's store.
const QString settingsOrganisation = QStringLiteral("Cellora");
const QString settingsApplication = QStringLiteral("cellora");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

class HostWindowPrivate {
public:
    CelloraGui *gui = nullptr;
    // Goes before its module window: it stops listening to that window's store.
    std::unique_ptr<UndoHistory> history;
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    QStackedWidget *pages = nullptr;
    QScrollArea *moduleArea = nullptr;
    StartPage *start = nullptr;
    QWidget *warningBar = nullptr;
    QLabel *warningText = nullptr;
    QPushButton *retryButton = nullptr;
    QPushButton *restoreButton = nullptr;
    // What Retry does after a failed restore or undo: that again, not a save of the window.
    std::function<bool()> retryAgain;
    QString retryWhat;
    bool retriableRunning = false;
    // The data file was shown read only in part: the first save keeps the whole file.
    bool partialRead = false;
    // What becomes of changes in a folder that cannot be written; empty when it can.
    QString folderWarning;
    QString folder;
    // The demo's store, removed with the window or the next demo; its lock goes first.
    std::unique_ptr<QTemporaryDir> demoFolder;
    std::unique_ptr<StorageLock> lock;
    // Goes before the history and the lock it uses.
    std::unique_ptr<SyncWatch> sync;
    FrontRequest *frontRequest = nullptr;
    QMenu *recentMenu = nullptr;
};

HostWindow::HostWindow(QWidget *parent)
    : QMainWindow(parent)
    , d(std::make_unique<HostWindowPrivate>())
{
    HostDialogs::fitEveryDialog();
    d->frontRequest = new FrontRequest(this);
    d->sync = std::make_unique<SyncWatch>();
    auto *content = new QWidget;
    buildWarningBar(content);
    setCentralWidget(content);
    buildMenus();
    placeModuleWindow();
    const QSize moduleSize = d->gui->size();
    resize(moduleSize.width(), moduleSize.height() + menuBar()->sizeHint().height());
    restoreGeometry(
        QSettings(settingsOrganisation, settingsApplication).value(geometryKey).toByteArray());
    fitIntoScreen();
    setWindowTitle(QStringLiteral("Cellora"));
}

void HostWindow::placeModuleWindow()
{
    // The module keeps some items of its choosers when a folder holds no data file: a
    // new window for every other folder, so that nothing of the last folder is shown
    // or written into the new one. The old window goes once its own events are done.
    d->sync->stop();
    d->history.reset();
    if (QWidget *old = d->moduleArea->takeWidget())
        old->deleteLater();
    d->gui = new CelloraGui;
    // Placed inside this window, the module's window is a plain widget at its own size.
    d->gui->setWindowFlags(Qt::Widget);
    d->moduleArea->setWidget(d->gui);
    // The home button asks the host to take the module away: the program's start page
    // takes its place, and the module keeps its page for when the logbook opens again.
    connect(d->gui, &CelloraGui::closeCelloraGui, this, &HostWindow::showStartPage);
    if (auto *pages = d->gui->findChild<QStackedWidget *>(QStringLiteral("stackedWidget")))
        connect(pages, &QStackedWidget::currentChanged, this, &HostWindow::fitModuleToPage);
    fitModuleToPage();
    d->history = std::make_unique<UndoHistory>(d->gui);
    connect(d->history.get(), &UndoHistory::changed, this, &HostWindow::refreshEditMenu);
    // A write of the module's own: Retry saves again after it, whatever failed before.
    connect(d->history.get(), &UndoHistory::writeAttempted, this, [this] {
        if (!d->retriableRunning)
            d->retryAgain = nullptr;
    });
    // Told of every write the module attempts; looked at once the save is over.
    connect(d->history.get(), &UndoHistory::writeAttempted, this, &HostWindow::showStoreProblem,
        Qt::QueuedConnection);
    refreshEditMenu();
}

void HostWindow::fitIntoScreen()
{
    HostDialogs::fitIntoScreen(this);
}

// The module's window takes the largest minimum of all its pages, so that the scroll area
// around it would scroll every page as far as the tallest one needs, the card column's own
// scrolling inside that. It is held at what the page shown needs instead: only what does
// not fit scrolls.
void HostWindow::fitModuleToPage()
{
    const auto *pages = d->gui->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    const QWidget *page = pages ? pages->currentWidget() : nullptr;
    if (!page)
        return;
    const QSize around = d->gui->minimumSizeHint() - pages->minimumSizeHint();
    const QSize needed = page->minimumSizeHint().expandedTo(page->minimumSize());
    d->gui->setMinimumSize(needed + around.expandedTo(QSize(0, 0)));
}

void HostWindow::showStartPage()
{
    StartPage *start = startPage();
    start->showFolders(d->folder, recentFolders());
    d->pages->setCurrentWidget(start);
    start->focusFirstButton();
}

void HostWindow::showLogbook()
{
    d->pages->setCurrentWidget(d->moduleArea);
    // The stacked pages give the keyboard back to the control of the logbook that had it.
    if (!d->moduleArea->isAncestorOf(focusWidget()))
        d->gui->setFocus(Qt::OtherFocusReason);
}

bool HostWindow::showsStartPage() const
{
    return d->start && d->pages->currentWidget() == d->start;
}

void HostWindow::openDemo()
{
    // The demo's last sessions were entered in Quick mode; the radio's logs of them wait in
    // LOGS for the telemetry import.
    if (!d->folder.isEmpty() && !mayLeaveFolder())
        return;
    auto demo = std::make_unique<QTemporaryDir>();
    const QDateTime now = QDateTime::currentDateTime();
    if (!demo->isValid()
        || !writeStoreFile(quickDemoStore(now), demo->filePath(StoreFiles::dataFile))
        || !writeTelemetryLogs(demoTelemetryLogs(now), demo->filePath(QStringLiteral("LOGS")))) {
        HostDialogs::tell(
            this, tr("Try the Demo"), tr("The demo's logbook could not be written."), true);
        return;
    }
    if (openFolder(demo->path(), nullptr, false) != StorageLock::Outcome::Locked)
        return;
    // The previous demo's folder is no longer held and goes now.
    d->demoFolder = std::move(demo);
    showLogbook();
}

bool HostWindow::askBeforeDroppingDischarge(HomeGuard::Leaving leaving)
{
    if (!HomeGuard::dischargeUnsaved(*d->gui))
        return true;
    const auto *battery = d->gui->findChild<QLabel *>(QStringLiteral("lbl_discharge_battery"));
    // The label may show the name cut short; its accessible name is always whole.
    return HomeGuard::leaveUnsaved(
        this, battery ? battery->accessibleName() : QString(), leaving);
}

bool HostWindow::mayLeaveFolder()
{
    return askBeforeDroppingDischarge(HomeGuard::Leaving::OpenFolder)
        && mayLeaveUnsaved(
            tr("Open Storage Folder"), tr("Open the other folder anyway and lose the change?"));
}

void HostWindow::buildWarningBar(QWidget *content)
{
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    d->warningBar = new QFrame;
    d->warningBar->setObjectName(QStringLiteral("warningBar"));
    d->warningBar->setStyleSheet(
        QStringLiteral("#warningBar { background: #fff3c4; border-bottom: 1px solid #c9a227; }"));
    auto *bar = new QHBoxLayout(d->warningBar);
    d->warningText = new QLabel;
    d->warningText->setObjectName(QStringLiteral("warningText"));
    d->warningText->setWordWrap(true);
    d->retryButton = new QPushButton(tr("Retry"));
    d->retryButton->setObjectName(QStringLiteral("retryButton"));
    connect(d->retryButton, &QPushButton::clicked, this, &HostWindow::retrySave);
    d->restoreButton = new QPushButton(tr("Restore…"));
    d->restoreButton->setObjectName(QStringLiteral("restoreButton"));
    connect(d->restoreButton, &QPushButton::clicked, this, &HostWindow::restoreRescueCopy);
    bar->addWidget(d->warningText, 1);
    bar->addWidget(d->restoreButton);
    bar->addWidget(d->retryButton);
    d->warningBar->hide();
    layout->addWidget(d->warningBar);
    layout->addWidget(d->sync->bar());
    // The module's pages have fixed minimum sizes; on a screen smaller than those the
    // window shrinks below them and scrolls instead of pushing buttons off the screen.
    d->moduleArea = new QScrollArea;
    d->moduleArea->setObjectName(QStringLiteral("moduleScrollArea"));
    d->moduleArea->setFrameShape(QFrame::NoFrame);
    d->moduleArea->setWidgetResizable(true);
    d->pages = new QStackedWidget;
    d->pages->setObjectName(QStringLiteral("hostPages"));
    d->pages->addWidget(d->moduleArea);
    layout->addWidget(d->pages, 1);
}

// Made when Home is first pressed: the window's first frame does not wait for it.
StartPage *HostWindow::startPage()
{
    if (d->start)
        return d->start;
    d->start = new StartPage;
    connect(d->start, &StartPage::openLogbook, this, &HostWindow::showLogbook);
    connect(d->start, &StartPage::openFolder, this, [this](const QString &folder) {
        if (openFolderAsked(folder))
            showLogbook();
    });
    connect(d->start, &StartPage::chooseFolder, this, &HostWindow::chooseStorageFolder);
    connect(d->start, &StartPage::tryDemo, this, &HostWindow::openDemo);
    connect(d->start, &StartPage::importTelemetry, this, [this] {
        if (importTelemetry())
            showLogbook();
    });
    d->pages->addWidget(d->start);
    return d->start;
}

void HostWindow::showWarning(const QString &text, bool retry, bool restore)
{
    d->warningText->setText(text);
    d->retryButton->setVisible(retry);
    d->restoreButton->setVisible(restore);
    d->warningBar->show();
}

void HostWindow::showStoreProblem()
{
    const QString problem = d->gui->storeProblem();
    const QString readProblem = d->gui->storeReadProblem();
    QStringList said;
    if (!problem.isEmpty())
        said << problem + QLatin1Char('\n')
                + (d->retryAgain ? d->retryWhat
                                 : tr("Retry saves the logbook as the window shows it."));
    // Whole again after a save, which kept the file read in part first.
    const bool keptWhole = std::exchange(d->partialRead, !readProblem.isEmpty())
        && readProblem.isEmpty() && problem.isEmpty();
    if (!readProblem.isEmpty())
        said << readProblem;
    if (keptWhole) {
        said << tr("The data file had been read only in part: before your change was saved, "
                   "the whole file was kept as a rescue copy, which Restore brings back.");
    }
    // A warning about the folder stays while nothing more pressing is said.
    if (said.isEmpty() && !d->folderWarning.isEmpty())
        said << d->folderWarning;
    if (said.isEmpty()) {
        d->warningBar->hide();
        return;
    }
    showWarning(said.join(QLatin1Char('\n')), !problem.isEmpty(), d->partialRead || keptWhole);
}

// Runs `action`, which writes the data file; should that fail, Retry runs it again instead
// of saving what the window shows, and the bar says so with `what`.
void HostWindow::runRetriable(std::function<bool()> action, std::function<QString()> what)
{
    d->retriableRunning = true;
    const bool done = action();
    d->retriableRunning = false;
    d->retryAgain = nullptr;
    if (!done && !d->gui->storeProblem().isEmpty()) {
        d->retryAgain = std::move(action);
        d->retryWhat = what();
    }
    showStoreProblem();
}

void HostWindow::retrySave()
{
    if (d->retryAgain) {
        const QString what = d->retryWhat;
        runRetriable(d->retryAgain, [what] { return what; });
        return;
    }
    d->gui->saveAgain();
    showStoreProblem();
}

HostWindow::~HostWindow() = default;

CelloraGui &HostWindow::gui() const
{
    return *d->gui;
}

UndoHistory &HostWindow::undoHistory() const
{
    return *d->history;
}

QString HostWindow::storageFolder() const
{
    return d->folder;
}

QStringList HostWindow::recentFolders() const
{
    const QSettings settings(settingsOrganisation, settingsApplication);
    return settings.value(recentKey).toStringList().mid(0, recentLimit);
}

void HostWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    const auto addAction
        = [this](QMenu *menu, const QString &text, const char *name, void (HostWindow::*slot)()) {
              QAction *action = menu->addAction(text);
              action->setObjectName(QLatin1String(name));
              connect(action, &QAction::triggered, this, slot);
              return action;
          };
    addAction(
        file, tr("&Open Storage Folder…"), "actionOpenFolder", &HostWindow::chooseStorageFolder)
        ->setShortcut(QKeySequence::Open);
    d->recentMenu = file->addMenu(tr("Open &Recent"));
    d->recentMenu->setObjectName(QStringLiteral("menuRecent"));
    file->addSeparator();
    addAction(
        file, tr("Export &Flights as CSV…"), "actionExportFlights", &HostWindow::exportFlights);
    addAction(file, tr("Export Battery &Cycles as CSV…"), "actionExportCycles",
        &HostWindow::exportCycles);
    addAction(file, tr("&Pack Report…"), "actionPackReport", &HostWindow::writeReport);
    file->addSeparator();
    QAction *telemetry = file->addAction(tr("Import &Telemetry Logs…"));
    telemetry->setObjectName(QStringLiteral("actionImportTelemetry"));
    connect(telemetry, &QAction::triggered, this, [this] { importTelemetry(); });
    addAction(file, tr("Restore from Rescue &Copy…"), "actionRestoreRescueCopy",
        &HostWindow::restoreRescueCopy);
    file->addSeparator();
    QAction *quit = file->addAction(tr("&Quit"));
    quit->setObjectName(QStringLiteral("actionQuit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    buildEditMenu();
    QMenu *logbook = menuBar()->addMenu(tr("&Logbook"));
    logbook->setObjectName(QStringLiteral("menuLogbook"));
    addAction(
        logbook, tr("&Flights and Cycles…"), "actionFlightsAndCycles", &HostWindow::editFlights);
    addAction(logbook, tr("&Packs…"), "actionPacks", &HostWindow::showFleet);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    addAction(help, tr("&About Cellora"), "actionAbout", &HostWindow::showAbout);
    refreshRecentMenu();
}

void HostWindow::buildEditMenu()
{
    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    d->undo = edit->addAction(tr("&Undo"));
    d->undo->setObjectName(QStringLiteral("actionUndo"));
    d->undo->setShortcut(QKeySequence::Undo);
    connect(d->undo, &QAction::triggered, this, [this] {
        runRetriable([this] { return noteKept([this] { return d->history->undo(); }); },
            [this] { return tr("Retry undoes %1.").arg(d->history->undoLabel()); });
    });
    d->redo = edit->addAction(tr("&Redo"));
    d->redo->setObjectName(QStringLiteral("actionRedo"));
    d->redo->setShortcuts(
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) });
    connect(d->redo, &QAction::triggered, this, [this] {
        runRetriable([this] { return noteKept([this] { return d->history->redo(); }); },
            [this] { return tr("Retry redoes %1.").arg(d->history->redoLabel()); });
    });
    // Named when shown: naming a step reads both versions of the file, work that a
    // click should not wait for.
    connect(edit, &QMenu::aboutToShow, this, &HostWindow::nameEditEntries);
}

void HostWindow::refreshEditMenu()
{
    d->undo->setEnabled(d->history->canUndo());
    d->undo->setText(tr("&Undo"));
    d->redo->setEnabled(d->history->canRedo());
    d->redo->setText(tr("&Redo"));
}

void HostWindow::nameEditEntries()
{
    // A record's name may hold "&", which a menu entry would take for a mnemonic.
    const auto entry = [](const QString &label) { return QString(label).replace('&', "&&"); };
    refreshEditMenu();
    if (d->history->canUndo())
        d->undo->setText(tr("&Undo %1").arg(entry(d->history->undoLabel())));
    if (d->history->canRedo())
        d->redo->setText(tr("&Redo %1").arg(entry(d->history->redoLabel())));
}

void HostWindow::refreshRecentMenu()
{
    d->recentMenu->clear();
    const QStringList folders = recentFolders();
    for (const QString &folder : folders) {
        QAction *action = d->recentMenu->addAction(shown(folder));
        connect(action, &QAction::triggered, this, [this, folder] { openFolderAsked(folder); });
    }
    d->recentMenu->setEnabled(!folders.isEmpty());
}

void HostWindow::remember(const QString &folder)
{
    QSettings settings(settingsOrganisation, settingsApplication);
    QStringList folders = settings.value(recentKey).toStringList();
    folders.removeAll(folder);
    folders.prepend(folder);
    settings.setValue(recentKey, QStringList(folders.mid(0, recentLimit)));
    settings.sync();
    refreshRecentMenu();
}

StorageLock::Outcome HostWindow::openFolder(const QString &folder, QString *holder, bool remember)
{
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    if (d->lock && absolute == d->folder) {
        // Already held by this window: only read it again.
        showFolder(absolute, remember);
        return StorageLock::Outcome::Locked;
    }
    // The new folder is locked before the old one is given free, so that a folder in
    // use leaves this window where it was.
    auto lock = std::make_unique<StorageLock>();
    const StorageLock::Outcome outcome = lock->lock(absolute);
    if (outcome == StorageLock::Outcome::InUse) {
        if (holder)
            *holder = lock->holder();
        return outcome;
    }
    d->lock = std::move(lock);
    // A second start on the folder held brings this window forward instead of failing.
    if (outcome == StorageLock::Outcome::Locked)
        d->frontRequest->listen(absolute);
    else
        d->frontRequest->stop();
    // Said in the window, not only on the terminal: changes may be lost.
    d->folderWarning = outcome == StorageLock::Outcome::Unwritable
        ? unwritableFolderWarning(absolute)
        : QString();
    showFolder(absolute, remember);
    return outcome;
}

QString HostWindow::unwritableFolderWarning(const QString &folder)
{
    const QString dataFile = StoreSnapshot::dataFilePath(folder);
    if (!StorageLock::isWritableFile(dataFile))
        return tr("The storage folder %1 cannot be created or written: the logbook opens for "
                  "reading, but no change will be saved. Make the folder writable for your "
                  "user, or open another one.")
            .arg(shown(folder));
    return tr("The storage folder %1 cannot be created or written, but its data file can: each "
              "change is written into the data file itself, after its previous content was "
              "kept in %2. No lock keeps a second Cellora off this folder.")
        .arg(shown(folder), shown(StoreSnapshot::rescueElsewhereFolder(folder)));
}

void HostWindow::showFolder(const QString &folder, bool remember)
{
    if (!d->folder.isEmpty() && folder != d->folder)
        placeModuleWindow();
    d->folder = folder;
    d->partialRead = false;
    d->retryAgain = nullptr;
    d->gui->changeStoragePath(folder);
    d->sync->watch(folder, d->gui, d->history.get(), d->lock.get());
    showStoreProblem();
    setWindowTitle(tr("Cellora – %1").arg(shown(folder)));
    if (remember)
        this->remember(folder);
}

bool HostWindow::openFolderAsked(const QString &folder)
{
    if (QFileInfo(folder).absoluteFilePath() != d->folder && !mayLeaveFolder())
        return false;
    QString holder;
    switch (openFolder(folder, &holder)) {
    case StorageLock::Outcome::Locked:
        return true;
    case StorageLock::Outcome::InUse:
        HostDialogs::tell(this, tr("Open Storage Folder"),
            tr("The storage folder %1 is in use by %2. Close that Cellora first.")
                .arg(shown(folder), holder),
            true);
        break;
    case StorageLock::Outcome::Unwritable:
        HostDialogs::tell(this, tr("Open Storage Folder"), unwritableFolderWarning(folder), true);
        return true;
    }
    return false;
}

void HostWindow::chooseStorageFolder()
{
    const QString folder = HostDialogs::chooseFolder(this, tr("Open Storage Folder"), d->folder);
    if (!folder.isEmpty() && openFolderAsked(folder))
        showLogbook();
}

bool HostWindow::mayLeaveUnsaved(const QString &title, const QString &question)
{
    showStoreProblem();
    const QString problem = d->gui->storeProblem();
    return problem.isEmpty()
        || HostDialogs::ask(this, title, problem + QStringLiteral("\n\n") + question);
}

bool HostWindow::readLogbookFor(const QString &title, StoreSnapshot &store)
{
    // An export of a store read only in part would look complete: it is refused.
    const StoreFolder loaded = StoreFolder::load(d->folder);
    QString problem;
    switch (loaded.status) {
    case StoreFolder::Status::Read:
        store = loaded.records;
        return true;
    case StoreFolder::Status::NoDataFile:
        problem = tr("The storage folder %1 holds no data file yet.").arg(shown(d->folder));
        break;
    case StoreFolder::Status::Unreadable:
        problem = tr("The data file %1 cannot be read.").arg(shown(loaded.dataFile));
        break;
    case StoreFolder::Status::Damaged:
        problem
            = tr("The data file %1 is damaged; nothing was exported.").arg(shown(loaded.dataFile));
        break;
    }
    HostDialogs::tell(this, title, problem, true);
    return false;
}

void HostWindow::writeOutput(const QString &title, const QString &target, const QByteArray &content)
{
    QString error = OutputFiles::refusal(target, d->folder, StorageLock::filePath(d->folder));
    if (error.isEmpty() && OutputFiles::writeAll({ { target, content } }, d->folder, &error))
        HostDialogs::tell(this, title, tr("Saved %1.").arg(shown(target)), false);
    else
        HostDialogs::tell(this, title, error, true);
}

void HostWindow::exportFlights()
{
    exportCsv(tr("Export Flights as CSV"), CsvExport::flightsFileName, true);
}

void HostWindow::exportCycles()
{
    exportCsv(tr("Export Battery Cycles as CSV"), CsvExport::cyclesFileName, false);
}

void HostWindow::exportCsv(const QString &title, const QString &fileName, bool flights)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString target = HostDialogs::chooseSaveFile(
        this, title, QDir(documents).filePath(fileName), tr("CSV files (*.csv)"));
    StoreSnapshot store;
    if (target.isEmpty() || !readLogbookFor(title, store))
        return;
    writeOutput(title, target, flights ? CsvExport::flights(store) : CsvExport::cycles(store));
}

void HostWindow::writeReport()
{
    const QString title = tr("Pack Report");
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString target = HostDialogs::chooseSaveFile(this, title,
        QDir(documents).filePath(QStringLiteral("pack-report.pdf")), tr("PDF files (*.pdf)"));
    StoreSnapshot store;
    if (target.isEmpty() || !readLogbookFor(title, store))
        return;
    writeOutput(title, target, PackReport::pdf(store, d->folder, QDateTime::currentDateTime()));
}

void HostWindow::restoreRescueCopy()
{
    const QString title = tr("Restore from Rescue Copy");
    const QVector<RescueList::Copy> copies = RescueList::copiesOf(d->folder);
    if (copies.isEmpty()) {
        HostDialogs::tell(this, title,
            tr("The storage folder %1 holds no rescue copies.").arg(shown(d->folder)), false);
        return;
    }
    const QString beside = QFileInfo(StoreSnapshot::rescueFolder(d->folder)).absoluteFilePath();
    QStringList items;
    for (const RescueList::Copy &copy : copies) {
        const QFileInfo info(copy.path);
        // A sync engine's copy holds another machine's version, kept when it was merged.
        const bool otherMachine = SyncCopies::isDataFileCopy(info.fileName());
        // A copy kept elsewhere (the folder took none) is named with its whole path.
        items << (otherMachine ? tr("%1: another machine's version, merged: %2, %3, %4 (%5)")
                               : tr("%1: %2, %3, %4 (%5)"))
                     // In the language's own form; the file name beside it is to the second.
                     .arg(QLocale().toString(copy.keptAt, QLocale::ShortFormat),
                         tr("%n battery(ies)", nullptr, copy.batteries),
                         tr("%n model(s)", nullptr, copy.models),
                         tr("%n flight(s)", nullptr, copy.flights),
                         info.absolutePath() == beside ? info.fileName() : shown(copy.path));
    }
    const int chosen = HostDialogs::chooseItem(
        this, title, tr("The present store is kept as a rescue copy in turn. Restore:"), items);
    if (chosen < 0 || chosen >= copies.size())
        return;
    const QString copy = copies[chosen].path;
    runRetriable(
        [this, copy] {
            return noteKept([this, copy] {
                d->gui->importFile(copy);
                return d->gui->storeProblem().isEmpty();
            });
        },
        [copy] { return tr("Retry restores %1.").arg(shown(copy)); });
}

void HostWindow::editFlights()
{
    // Every change of the editor is one undo step, made through the store's change operation.
    auto *editor = new FlightEditor(
        d->folder,
        [this](const QString &label, const StoreFolder &basis, const StoreRecords &after) {
            return applyChange(label, basis, after);
        },
        this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    // Undo and Redo work from the editor too; it shows what they wrote.
    editor->addActions({ d->undo, d->redo });
    connect(d->history.get(), &UndoHistory::changed, editor, &FlightEditor::reloadIfChanged);
    editor->open();
}

void HostWindow::showFleet()
{
    auto *fleet = new FleetView(d->folder, this);
    fleet->setAttribute(Qt::WA_DeleteOnClose);
    fleet->open();
}

// The import goes in as one whole new store through the store's change operation: one
// step that Undo takes back.
bool HostWindow::importTelemetry()
{
    const QString title = tr("Import Telemetry Logs");
    const StoreFolder loaded = StoreFolder::load(d->folder);
    if (!loaded.isWhole()) {
        HostDialogs::tell(this, title,
            tr("The storage folder %1 holds no data file that can be read whole.")
                .arg(shown(d->folder)),
            true);
        return false;
    }
    TelemetryDialog dialog(loaded.records, this);
    if (!runTelemetryDialog(dialog))
        return false;
    dialog.rememberChoices();
    StoreRecords after = loaded.records;
    QVector<RecordRules::RuleBreak> refused;
    const TelemetryImport::Written written
        = TelemetryImport::apply(after, dialog.proposals(), &refused);
    const ChangeOutcome outcome = applyChange(tr("Import Telemetry"), loaded, after);
    if (!outcome.written) {
        HostDialogs::tell(this, title,
            outcome.refused.isBroken()
                ? ChangeRefusal::describe(outcome.refused)
                : tr("The logbook could not be written; nothing was changed."),
            true);
        return false;
    }
    HostDialogs::tell(this, title,
        tr("%1.\nEdit, Undo Import Telemetry takes it back.")
            .arg(TelemetryImport::summary(dialog.proposals(), written, refused)),
        false);
    return true;
}

ChangeOutcome HostWindow::applyChange(
    const QString &label, const StoreFolder &basis, const StoreRecords &after)
{
    ChangeOutcome outcome;
    noteKept([&] {
        outcome = d->history->applyChange(label, basis, after);
        return outcome.written;
    });
    return outcome;
}

// A change that could not be written is kept as a rescue copy before another write of the
// program replaces the file: said, so that the user knows where to find it.
bool HostWindow::noteKept(const std::function<bool()> &write)
{
    const bool pending = d->gui->hasPendingChange();
    const bool written = write();
    if (!pending || d->gui->hasPendingChange())
        return written;
    HostDialogs::tell(this, tr("Change Not Saved"),
        tr("Your earlier change, which could not be saved, is kept as a rescue copy in %1. "
           "File, Restore from Rescue Copy brings it back.")
            .arg(shown(StoreSnapshot::rescueFolder(d->folder))),
        false);
    return written;
}

void HostWindow::showAbout()
{
    HostDialogs::tell(this, tr("About Cellora"),
        tr("Cellora %1\nBattery logbook for electric radio-controlled models.\n\nQt %2\n"
           "Storage folder: %3")
            .arg(QCoreApplication::applicationVersion(), QString::fromLatin1(qVersion()),
                shown(d->folder)),
        false);
}

void HostWindow::closeEvent(QCloseEvent *event)
{
    if (!askBeforeDroppingDischarge(HomeGuard::Leaving::Quit)
        || !mayLeaveUnsaved(tr("Quit Cellora"), tr("Quit anyway and lose the change?"))) {
        event->ignore();
        return;
    }
    QSettings settings(settingsOrganisation, settingsApplication);
    settings.setValue(geometryKey, saveGeometry());
    settings.sync();
    QMainWindow::closeEvent(event);
}
