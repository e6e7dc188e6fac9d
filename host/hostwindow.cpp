#include "host/hostwindow.h"

#include "exchange/csvexport.h"
#include "exchange/outputfiles.h"
#include "exchange/packreport.h"
#include "host/flighteditor.h"
#include "host/frontrequest.h"
#include "host/homeguard.h"
#include "host/hostdialogs.h"
#include "host/syncbar.h"
#include "host/syncwatch.h"
#include "host/telemetrydialog.h"
#include "host/telemetryimport.h"
#include "host/undohistory.h"
#include "store/storefiles.h"
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
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

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

// A rescue copy is named after the moment it was kept; a name that does not say so
// falls back to the file's time.
QDateTime keptAt(const QFileInfo &copy)
{
    static const QRegularExpression stamp(QLatin1Char('^') + StoreFiles::copyPrefix
        + QStringLiteral("(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)"));
    const QRegularExpressionMatch match = stamp.match(copy.fileName());
    const QDateTime named = match.hasMatch()
        ? QDateTime::fromString(match.captured(1), StoreFiles::stampPattern)
        : QDateTime();
    return named.isValid() ? named : copy.lastModified();
}

} // namespace

class HostWindowPrivate {
public:
    CelloraGui *gui = nullptr;
    // Goes before its module window: it stops listening to that window's store.
    std::unique_ptr<UndoHistory> history;
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    QScrollArea *moduleArea = nullptr;
    QWidget *warningBar = nullptr;
    QLabel *warningText = nullptr;
    QString folder;
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
    // The home button asks the host to take the module away: that ends the program.
    connect(d->gui, &CelloraGui::closeCelloraGui, this, &HostWindow::leaveByHome);
    d->history = std::make_unique<UndoHistory>(d->gui);
    connect(d->history.get(), &UndoHistory::changed, this, &HostWindow::refreshEditMenu);
    // Told of every write the module attempts; looked at once the save is over.
    connect(d->history.get(), &UndoHistory::writeAttempted, this, &HostWindow::showStoreProblem,
        Qt::QueuedConnection);
    refreshEditMenu();
}

void HostWindow::fitIntoScreen()
{
    const QScreen *screen = QGuiApplication::screenAt(geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Room for the frame the window manager adds, which is not known before the window
    // is shown.
    const QSize frameAllowance(16, 40);
    const QRect room = screen->availableGeometry();
    resize(size().boundedTo(room.size() - frameAllowance));
    if (!room.contains(geometry()))
        move(room.topLeft());
}

void HostWindow::leaveByHome()
{
    if (HomeGuard::dischargeUnsaved(*d->gui)) {
        const auto *battery = d->gui->findChild<QLabel *>(QStringLiteral("lbl_discharge_battery"));
        // The label may show the name cut short; its accessible name is always whole.
        const QString name = battery ? battery->accessibleName() : QString();
        if (!HomeGuard::leaveUnsaved(this, name))
            return;
    }
    // Closing asks first while a change is unsaved: the user may stay to save it.
    if (close())
        QCoreApplication::quit();
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
    auto *retry = new QPushButton(tr("Retry"));
    retry->setObjectName(QStringLiteral("retryButton"));
    connect(retry, &QPushButton::clicked, this, &HostWindow::retrySave);
    bar->addWidget(d->warningText, 1);
    bar->addWidget(retry);
    d->warningBar->hide();
    layout->addWidget(d->warningBar);
    layout->addWidget(d->sync->bar());
    // The module's pages have fixed minimum sizes; on a screen smaller than those the
    // window shrinks below them and scrolls instead of pushing buttons off the screen.
    d->moduleArea = new QScrollArea;
    d->moduleArea->setObjectName(QStringLiteral("moduleScrollArea"));
    d->moduleArea->setFrameShape(QFrame::NoFrame);
    d->moduleArea->setWidgetResizable(true);
    layout->addWidget(d->moduleArea, 1);
}

void HostWindow::showStoreProblem()
{
    const QString problem = d->gui->storeProblem();
    // A warning about the folder stays until a save tells otherwise.
    if (problem.isEmpty() && d->lock && d->lock->isWritable())
        d->warningBar->hide();
    else if (!problem.isEmpty()) {
        d->warningText->setText(problem);
        d->warningBar->show();
    }
}

void HostWindow::retrySave()
{
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
    addAction(
        file, tr("Import &Telemetry Logs…"), "actionImportTelemetry", &HostWindow::importTelemetry);
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
    connect(d->undo, &QAction::triggered, this, [this] { d->history->undo(); });
    d->redo = edit->addAction(tr("&Redo"));
    d->redo->setObjectName(QStringLiteral("actionRedo"));
    d->redo->setShortcuts(
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) });
    connect(d->redo, &QAction::triggered, this, [this] { d->history->redo(); });
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
    showFolder(absolute, remember);
    if (outcome == StorageLock::Outcome::Unwritable) {
        // Said in the window, not only on the terminal: every change would be lost.
        d->warningText->setText(tr("The storage folder %1 cannot be created or written: the "
                                   "logbook opens for reading, but no change will be saved. "
                                   "Make the folder writable for your user, or open another "
                                   "one.")
                                    .arg(shown(absolute)));
        d->warningBar->show();
    }
    return outcome;
}

void HostWindow::showFolder(const QString &folder, bool remember)
{
    if (!d->folder.isEmpty() && folder != d->folder)
        placeModuleWindow();
    d->folder = folder;
    d->gui->changeStoragePath(folder);
    d->sync->watch(folder, d->gui, d->history.get(), d->lock.get());
    showStoreProblem();
    setWindowTitle(tr("Cellora – %1").arg(shown(folder)));
    if (remember)
        this->remember(folder);
}

void HostWindow::openFolderAsked(const QString &folder)
{
    QString holder;
    switch (openFolder(folder, &holder)) {
    case StorageLock::Outcome::Locked:
        break;
    case StorageLock::Outcome::InUse:
        HostDialogs::tell(this, tr("Open Storage Folder"),
            tr("The storage folder %1 is in use by %2. Close that Cellora first.")
                .arg(shown(folder), holder),
            true);
        break;
    case StorageLock::Outcome::Unwritable:
        HostDialogs::tell(this, tr("Open Storage Folder"),
            tr("The storage folder %1 cannot be created or written. The logbook opens for "
               "reading, but no change will be saved.")
                .arg(shown(folder)),
            true);
        break;
    }
}

void HostWindow::chooseStorageFolder()
{
    const QString folder = HostDialogs::chooseFolder(this, tr("Open Storage Folder"), d->folder);
    if (!folder.isEmpty())
        openFolderAsked(folder);
}

bool HostWindow::readLogbookFor(const QString &title, StoreSnapshot &store)
{
    // An export of a store read only in part would look complete: it is refused.
    const QString dataFile = StoreSnapshot::dataFilePath(d->folder);
    QString problem;
    if (!QFileInfo::exists(dataFile))
        problem = tr("The storage folder %1 holds no data file yet.").arg(shown(d->folder));
    else if (!store.readFile(dataFile))
        problem = tr("The data file %1 cannot be read.").arg(shown(dataFile));
    else if (store.damaged())
        problem = tr("The data file %1 is damaged; nothing was exported.").arg(shown(dataFile));
    if (problem.isEmpty())
        return true;
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
    QStringList copies = StoreSnapshot::rescueCopies(d->folder);
    if (copies.isEmpty()) {
        HostDialogs::tell(this, title,
            tr("The storage folder %1 holds no rescue copies.").arg(shown(d->folder)), false);
        return;
    }
    std::reverse(copies.begin(), copies.end()); // newest first
    QStringList items;
    for (const QString &copy : copies) {
        StoreSnapshot store;
        store.readFile(copy);
        const QFileInfo info(copy);
        // A sync engine's copy holds another machine's version, kept when it was merged.
        const bool otherMachine = SyncCopies::isDataFileCopy(info.fileName());
        items << (otherMachine
                ? tr("%1: another machine's version, merged: %2 batteries, %3 models, "
                     "%4 flights (%5)")
                : tr("%1: %2 batteries, %3 models, %4 flights (%5)"))
                     // In the language's own form; the file name beside it is to the second.
                     .arg(QLocale().toString(
                         otherMachine ? info.lastModified() : keptAt(info), QLocale::ShortFormat))
                     .arg(store.batteries.size())
                     .arg(store.models.size())
                     .arg(store.flights().size())
                     .arg(info.fileName());
    }
    const int chosen = HostDialogs::chooseItem(
        this, title, tr("The present store is kept as a rescue copy in turn. Restore:"), items);
    if (chosen >= 0 && chosen < copies.size())
        d->gui->importFile(copies[chosen]);
    showStoreProblem();
}

void HostWindow::editFlights()
{
    // Every change of the editor is one undo step, written through the store's own save.
    UndoHistory *history = d->history.get();
    auto *editor = new FlightEditor(
        d->folder,
        [history](const QString &label, const QByteArray &content) {
            return history->applyChange(label, content);
        },
        this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->open();
}

// The import goes in as one whole new store through the module's own save: one step
// that Undo takes back.
void HostWindow::importTelemetry()
{
    const QString title = tr("Import Telemetry Logs");
    StoreRecords before;
    if (!TelemetryImport::readStore(d->folder, before)) {
        HostDialogs::tell(this, title,
            tr("The storage folder %1 holds no data file that can be read whole.")
                .arg(shown(d->folder)),
            true);
        return;
    }
    TelemetryDialog dialog(before, this);
    if (!runTelemetryDialog(dialog))
        return;
    dialog.rememberChoices();
    const QByteArray content = TelemetryImport::storeBytes(dialog.result());
    if (content.isEmpty() || !undoHistory().applyChange(tr("Import Telemetry"), content)) {
        HostDialogs::tell(
            this, title, tr("The logbook could not be written; nothing was changed."), true);
        return;
    }
    HostDialogs::tell(this, title,
        tr("%1.\nEdit, Undo Import Telemetry takes it back.")
            .arg(TelemetryImport::summary(dialog.proposals())),
        false);
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
    showStoreProblem();
    if (!d->gui->storeProblem().isEmpty()
        && !HostDialogs::ask(this, tr("Quit Cellora"),
            d->gui->storeProblem() + QStringLiteral("\n\n")
                + tr("Quit anyway and lose the change?"))) {
        event->ignore();
        return;
    }
    QSettings settings(settingsOrganisation, settingsApplication);
    settings.setValue(geometryKey, saveGeometry());
    settings.sync();
    QMainWindow::closeEvent(event);
}
