#include "host/hostwindow.h"

#include "host/csvexport.h"
#include "host/hostdialogs.h"
#include "host/logbook.h"
#include "host/packreport.h"
#include "host/telemetrydialog.h"
#include "host/telemetryimport.h"
#include "host/undohistory.h"
#include "store/rescuecopies.h"
#include "window/celloragui.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

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
    static const QRegularExpression stamp(
        QStringLiteral("^cellora_(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)"));
    const QRegularExpressionMatch match = stamp.match(copy.fileName());
    const QDateTime named = match.hasMatch()
        ? QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd_HH-mm-ss"))
        : QDateTime();
    return named.isValid() ? named : copy.lastModified();
}

} // namespace

class HostWindowPrivate {
public:
    CelloraGui *gui = nullptr;
    UndoHistory *history = nullptr;
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    QString folder;
    std::unique_ptr<StorageLock> lock;
    QMenu *recentMenu = nullptr;
};

HostWindow::HostWindow(QWidget *parent)
    : QMainWindow(parent)
    , d(std::make_unique<HostWindowPrivate>())
{
    buildMenus();
    placeModuleWindow();
    const QSize moduleSize = d->gui->size();
    resize(moduleSize.width(), moduleSize.height() + menuBar()->sizeHint().height());
    restoreGeometry(
        QSettings(settingsOrganisation, settingsApplication).value(geometryKey).toByteArray());
    setWindowTitle(QStringLiteral("Cellora"));
}

void HostWindow::placeModuleWindow()
{
    // The module keeps some items of its choosers when a folder holds no data file: a
    // new window for every other folder, so that nothing of the last folder is shown
    // or written into the new one. The old window goes once its own events are done.
    if (QWidget *old = takeCentralWidget())
        old->deleteLater();
    d->gui = new CelloraGui;
    // Placed inside this window, the module's window is a plain widget at its own size.
    d->gui->setWindowFlags(Qt::Widget);
    setCentralWidget(d->gui);
    // The home button asks the host to take the module away: that ends the program.
    connect(d->gui, &CelloraGui::closeCelloraGui, this, &QWidget::close);
    connect(d->gui, &CelloraGui::closeCelloraGui, qApp, &QCoreApplication::quit);
    d->history = new UndoHistory(d->gui);
    connect(d->history, &UndoHistory::changed, this, &HostWindow::refreshEditMenu);
    refreshEditMenu();
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
    showFolder(absolute, remember);
    return outcome;
}

void HostWindow::showFolder(const QString &folder, bool remember)
{
    if (!d->folder.isEmpty() && folder != d->folder)
        placeModuleWindow();
    d->folder = folder;
    d->gui->changeStoragePath(folder);
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

bool HostWindow::readLogbookFor(const QString &title, Logbook &logbook)
{
    if (logbook.readFolder(d->folder))
        return true;
    HostDialogs::tell(this, title,
        tr("The storage folder %1 holds no data file yet.").arg(shown(d->folder)), true);
    return false;
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
    Logbook logbook;
    if (target.isEmpty() || !readLogbookFor(title, logbook))
        return;
    QString error;
    const QByteArray csv = flights ? CsvExport::flights(logbook) : CsvExport::cycles(logbook);
    if (CsvExport::writeFile(target, csv, &error))
        HostDialogs::tell(this, title, tr("Saved %1.").arg(shown(target)), false);
    else
        HostDialogs::tell(this, title, error, true);
}

void HostWindow::writeReport()
{
    const QString title = tr("Pack Report");
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString target = HostDialogs::chooseSaveFile(this, title,
        QDir(documents).filePath(QStringLiteral("pack-report.pdf")), tr("PDF files (*.pdf)"));
    Logbook logbook;
    if (target.isEmpty() || !readLogbookFor(title, logbook))
        return;
    QString error;
    if (PackReport::writePdf(logbook, d->folder, target, QDateTime::currentDateTime(), &error))
        HostDialogs::tell(this, title, tr("Saved %1.").arg(shown(target)), false);
    else
        HostDialogs::tell(this, title, error, true);
}

void HostWindow::restoreRescueCopy()
{
    const QString title = tr("Restore from Rescue Copy");
    QStringList copies = RescueCopies(d->folder).copies();
    if (copies.isEmpty()) {
        HostDialogs::tell(this, title,
            tr("The storage folder %1 holds no rescue copies.").arg(shown(d->folder)), false);
        return;
    }
    std::reverse(copies.begin(), copies.end()); // newest first
    QStringList items;
    for (const QString &copy : copies) {
        Logbook logbook;
        logbook.readFile(copy);
        const QFileInfo info(copy);
        items << tr("%1: %2 batteries, %3 models, %4 flights (%5)")
                     .arg(keptAt(info).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                     .arg(logbook.batteries().size())
                     .arg(logbook.models().size())
                     .arg(logbook.flightCount())
                     .arg(info.fileName());
    }
    const int chosen = HostDialogs::chooseItem(
        this, title, tr("The present store is kept as a rescue copy in turn. Restore:"), items);
    if (chosen >= 0 && chosen < copies.size())
        d->gui->importFile(copies[chosen]);
}

// The import goes in as one whole new store through the module's own save: one step
// that Undo takes back.
void HostWindow::importTelemetry()
{
    const QString title = tr("Import Telemetry Logs");
    SampleStore before;
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
    QSettings settings(settingsOrganisation, settingsApplication);
    settings.setValue(geometryKey, saveGeometry());
    settings.sync();
    QMainWindow::closeEvent(event);
}
