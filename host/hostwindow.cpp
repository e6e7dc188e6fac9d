#include "host/hostwindow.h"

#include "host/csvexport.h"
#include "host/hostdialogs.h"
#include "host/logbook.h"
#include "host/packreport.h"
#include "store/rescuecopies.h"
#include "store/storefiles.h"
#include "window/celloragui.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
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
    QWidget *warningBar = nullptr;
    QLabel *warningText = nullptr;
    QString folder;
    std::unique_ptr<StorageLock> lock;
    QMenu *recentMenu = nullptr;
};

HostWindow::HostWindow(QWidget *parent)
    : QMainWindow(parent)
    , d(std::make_unique<HostWindowPrivate>())
{
    d->gui = new CelloraGui;
    // Placed inside this window, the module's window is a plain widget at its own size.
    d->gui->setWindowFlags(Qt::Widget);
    const QSize moduleSize = d->gui->size();
    auto *content = new QWidget;
    buildWarningBar(content);
    setCentralWidget(content);
    buildMenus();
    resize(moduleSize.width(), moduleSize.height() + menuBar()->sizeHint().height());
    restoreGeometry(
        QSettings(settingsOrganisation, settingsApplication).value(geometryKey).toByteArray());
    setWindowTitle(QStringLiteral("Cellora"));
    // The home button asks the host to take the module away: that ends the program,
    // unless the user keeps it open to save a change first.
    connect(d->gui, &CelloraGui::closeCelloraGui, this, [this] {
        if (close())
            QCoreApplication::quit();
    });
    // Every save follows a click or a key; what it left is looked at right after.
    qApp->installEventFilter(this);
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
    layout->addWidget(d->gui, 1);
}

bool HostWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Cheap for every other event of the program: the type is looked at first.
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease) {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && d->gui->isAncestorOf(widget))
            QTimer::singleShot(0, this, &HostWindow::showStoreProblem);
    }
    return QMainWindow::eventFilter(watched, event);
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
    addAction(file, tr("Restore from Rescue &Copy…"), "actionRestoreRescueCopy",
        &HostWindow::restoreRescueCopy);
    file->addSeparator();
    QAction *quit = file->addAction(tr("&Quit"));
    quit->setObjectName(QStringLiteral("actionQuit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    addAction(help, tr("&About Cellora"), "actionAbout", &HostWindow::showAbout);
    refreshRecentMenu();
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
    d->folder = folder;
    d->gui->changeStoragePath(folder);
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
    showStoreProblem();
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
