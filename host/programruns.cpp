#include "host/programruns.h"

#include "host/frontrequest.h"
#include "host/hostwindow.h"
#include "host/programtelemetry.h"
#include "host/screenshottour.h"
#include "host/startupprobe.h"
#include "host/storagelock.h"
#include "host/telemetrydialog.h"
#include "sample/sampletelemetry.h"
#include "store/storefiles.h"
#include "store/syncbase.h"
#include "window/celloragui.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <csignal>
#include <cstdlib>

#include <sys/socket.h>
#include <unistd.h>

using ProgramRuns::complain;

namespace {

// File names, lock files and logs may hold anything, an escape sequence that retitles or
// clears the terminal too: every control character but the line feed is written as \xHH.
QString forTerminal(const QString &text)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if ((code < 0x20 && code != '\n') || (code >= 0x7f && code < 0xa0))
            safe += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
        else
            safe += c;
    }
    return safe;
}

// Each message is flushed at once: the window may run for hours after it.
void inform(const QString &text)
{
    QTextStream(stdout) << forTerminal(text) << '\n';
}

// The name the program was started by: "cellora", unless a link or a copy renamed it.
QString programName = QStringLiteral("cellora");

// A temporary folder leaves no history of its versions behind once its window is gone.
struct TemporaryHistory {
    QString folder;
    ~TemporaryHistory() { QDir(SyncBase::folderFor(folder)).removeRecursively(); }
};

} // namespace

void ProgramRuns::setProgramName(const QString &name)
{
    programName = name;
}

void ProgramRuns::complain(const QString &text)
{
    QTextStream(stderr) << forTerminal(programName + QStringLiteral(": ") + text) << '\n';
}

namespace {

// The tour switches the data-capture mode in the module's settings store; put the
// user's own choice back afterwards.
class CaptureModeGuard {
public:
    CaptureModeGuard()
        : settings(QStringLiteral("Dornhaven"), QStringLiteral("Dedivoze"))
        , saved(settings.value(key))
    {
        settings.setValue(key, QStringLiteral("Simple"));
        settings.sync();
    }

    ~CaptureModeGuard()
    {
        if (saved.isValid())
            settings.setValue(key, saved);
        else
            settings.remove(key);
        settings.sync();
    }

    CaptureModeGuard(const CaptureModeGuard &) = delete;
    CaptureModeGuard &operator=(const CaptureModeGuard &) = delete;

private:
    const QString key = QStringLiteral("SETTINGS/cellora");
    QSettings settings;
    QVariant saved;
};

QStringList chargedBatteries(const SampleStore &store)
{
    QStringList names;
    for (const SampleBattery &battery : store.batteries) {
        if (battery.charged)
            names << battery.name;
    }
    return names;
}

bool writeDemoStore(const QTemporaryDir &folder, SampleMaker sample, SampleStore *store = nullptr)
{
    const SampleStore demo = sample(QDateTime::currentDateTime());
    if (store)
        *store = demo;
    if (folder.isValid() && writeStoreFile(demo, folder.filePath(StoreFiles::dataFile)))
        return true;
    complain(QStringLiteral("could not write the demo store to %1").arg(folder.path()));
    return false;
}

// The telemetry import's preview of the demo's logs: what they fill and add, a sensor's
// glitches and a power-on left out.
bool shootTelemetryPreview(const QString &file)
{
    const QDateTime now = QDateTime::currentDateTime();
    QTemporaryDir logs;
    if (!writeTelemetryLogs(demoTelemetryLogs(now), logs.path()))
        return false;
    TelemetryDialog dialog(quickDemoStore(now));
    QEventLoop reading;
    QObject::connect(&dialog, &TelemetryDialog::logsRead, &reading, &QEventLoop::quit);
    dialog.addPaths({ logs.path() });
    reading.exec();
    // Wide enough for every column, as on a large screen.
    dialog.resize(1600, 560);
    dialog.show();
    QApplication::processEvents();
    return dialog.grab().save(file, "PNG");
}

// Ctrl+C or a plain kill ends the event loop like File, Quit does, so that the demo
// store's temporary folder is removed on the way out. The handler only writes a byte;
// the quit happens on the GUI thread.
int terminationPipe[2] = { -1, -1 };

void quitOnTerminationSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, terminationPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(terminationPipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);
    const auto handler = [](int) {
        const char byte = 1;
        [[maybe_unused]] const auto written = ::write(terminationPipe[0], &byte, 1);
    };
    std::signal(SIGINT, handler);
    std::signal(SIGTERM, handler);
}

// The module installs no translator: the host installs the one for the user's language
// (the system's unless --language names one), and Qt's own for its dialogs when the
// system has it. English needs none but the plural forms of the program's counts; a
// language without a translation stays English.
bool installTranslator(const QLocale &locale, const QString &name, const QString &folder)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, name, QStringLiteral("_"), folder))
        return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

} // namespace

void ProgramRuns::installTranslators(const QString &language)
{
    const QLocale locale = language.isEmpty() ? QLocale::system() : QLocale(language);
    // Numbers and dates follow the language of the texts, not the system's formats.
    QLocale::setDefault(locale);
    if (!installTranslator(locale, QStringLiteral("cellora"), QStringLiteral(":/i18n"))
        && !language.isEmpty() && locale.language() != QLocale::English)
        complain(QStringLiteral("no translation for the language %1: the texts stay English")
                     .arg(language));
    // A language without the program's texts shows the English ones, counted in English.
    if (!installTranslator(locale, QStringLiteral("cellora-host"), QStringLiteral(":/i18n")))
        installTranslator(
            QLocale(QLocale::English), QStringLiteral("cellora-host"), QStringLiteral(":/i18n"));
#if QT_VERSION_MAJOR < 6
    const QString qtTranslations = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#else
    const QString qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
    installTranslator(locale, QStringLiteral("qtbase"), qtTranslations);
}

namespace {

// Started from a desktop menu, nobody reads the terminal: the refusal is shown as well.
// Without a display (offscreen, scripts) the line on stderr is all.
void showFolderInUse(const QString &shownFolder, const QString &holder)
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return;
    QString text = QCoreApplication::translate(
        "HostWindow", "The storage folder %1 is in use by %2. Close that Cellora first.")
                       .arg(shownFolder, holder);
    const QString lockFile = QDir::toNativeSeparators(StorageLock::filePath(shownFolder));
    if (!holder.contains(lockFile))
        text += QStringLiteral("\n\n")
            + QCoreApplication::translate(
                "ProgramRuns", "If no Cellora runs there any more, delete the lock file %1.")
                  .arg(lockFile);
    QMessageBox::warning(
        nullptr, QCoreApplication::translate("HostWindow", "Open Storage Folder"), text);
}

// A folder in use by another program ends this one, after bringing that program's window
// forward when it runs on this machine; one that cannot be written opens
// all the same, after a warning, because the module itself stays silent about saves it
// cannot make. A temporary folder is not `remember`ed among the recent ones.
int runWindow(const QString &folder, bool remember, bool startupProbe = false)
{
    quitOnTerminationSignals();
    HostWindow window;
    const QString shownFolder = QDir::toNativeSeparators(folder);
    QString holder;
    switch (window.openFolder(folder, &holder, remember)) {
    case StorageLock::Outcome::Locked:
        break;
    case StorageLock::Outcome::InUse:
        if (FrontRequest::askRunningWindow(folder)) {
            inform(QStringLiteral("Cellora already shows %1: its window was brought to the front")
                       .arg(shownFolder));
            return ExitOk;
        }
        complain(QStringLiteral("the storage folder %1 is in use by %2; close that Cellora first")
                     .arg(shownFolder, holder));
        showFolderInUse(shownFolder, holder);
        return ExitStorageInUse;
    case StorageLock::Outcome::Unwritable:
        complain(QStringLiteral("warning: ") + HostWindow::unwritableFolderWarning(folder));
        break;
    }
    if (startupProbe)
        probeStartup(window);
    window.show();
    return QApplication::exec();
}

} // namespace

int ProgramRuns::takeScreenshots(const QString &target, SampleMaker sample)
{
    QDir folder(target);
    if (!folder.mkpath(QStringLiteral("."))) {
        complain(QStringLiteral("cannot create the folder %1").arg(target));
        return ExitFailure;
    }
    QTemporaryDir demoFolder;
    const TemporaryHistory history { demoFolder.path() };
    SampleStore store;
    if (!writeDemoStore(demoFolder, sample, &store))
        return ExitFailure;
    // The program's dialogs are shown on the store a newcomer has after a day at the field:
    // Quick entries, and the radio's logs of them. Both folders outlive the window's locks.
    QTemporaryDir fieldDay;

    const CaptureModeGuard captureMode;
    HostWindow host;
    host.openFolder(demoFolder.path(), nullptr, false);
    host.show();
    QApplication::processEvents();

    ScreenshotTour tour(host.gui(), chargedBatteries(store), folder);
    tour.run();
    tour.shootHostWindow(host, QStringLiteral("16-host-window.png"));
    const QDateTime now = QDateTime::currentDateTime();
    if (writeStoreFile(quickDemoStore(now), fieldDay.filePath(StoreFiles::dataFile))
        && writeTelemetryLogs(demoTelemetryLogs(now), fieldDay.filePath(QStringLiteral("LOGS")))
        && host.openFolder(fieldDay.path(), nullptr, false) == StorageLock::Outcome::Locked)
        tour.shootProgram(host, fieldDay.filePath(QStringLiteral("LOGS")));
    if (!shootTelemetryPreview(folder.filePath(QStringLiteral("20-telemetry-preview.png"))))
        complain(QStringLiteral("the telemetry preview could not be drawn"));
    const bool complete = tour.problems().isEmpty();
    for (const QString &problem : tour.problems())
        complain(problem);
    inform(QStringLiteral("The window's pages are in %1").arg(folder.absolutePath()));
    return complete ? ExitOk : ExitFailure;
}

int ProgramRuns::runDemo(SampleMaker sample, bool startupProbe)
{
    // Lives as long as the window; the store goes with the program.
    QTemporaryDir demoFolder;
    const TemporaryHistory history { demoFolder.path() };
    // The demo's last sessions were entered in Quick mode; the radio's logs of them wait
    // in LOGS for the telemetry import.
    const bool withLogs = sample == &demoStore;
    if (!writeDemoStore(demoFolder, withLogs ? &quickDemoStore : sample))
        return ExitFailure;
    if (withLogs
        && !writeTelemetryLogs(demoTelemetryLogs(QDateTime::currentDateTime()),
            demoFolder.filePath(QStringLiteral("LOGS"))))
        complain(QStringLiteral("could not write the demo's telemetry logs"));
    inform(QStringLiteral("Demo store in %1 (removed when Cellora ends)").arg(demoFolder.path()));
    return runWindow(demoFolder.path(), false, startupProbe);
}

int ProgramRuns::importTelemetry(const QString &storage, const QStringList &paths)
{
    const TelemetryImport::Outcome outcome = TelemetryImport::importForScript(storage, paths);
    for (const QString &problem : outcome.problems)
        complain(problem);
    for (const QString &line : outcome.leftOut)
        inform(line);
    if (outcome.code == ExitOk || outcome.code == ExitFailure)
        inform(outcome.message);
    else
        complain(outcome.message);
    return outcome.code;
}

int ProgramRuns::runOnStorage(const QString &path, bool startupProbe)
{
    if (path.isEmpty()) {
        complain(QStringLiteral("the storage path is empty"));
        return ExitBadStorage;
    }
    const QFileInfo storage(path);
    // A missing folder is fine: the module creates it with the first save.
    if (storage.exists() && !storage.isDir()) {
        complain(QStringLiteral("the storage path %1 exists but is not a folder")
                     .arg(QDir::toNativeSeparators(path)));
        return ExitBadStorage;
    }
    return runWindow(storage.absoluteFilePath(), true, startupProbe);
}

// The exports for scripts: every output asked for, or none.
int ProgramRuns::runBatch(const BatchCommands::Request &request)
{
    const BatchCommands::Outcome outcome = BatchCommands::run(request);
    if (outcome.code != ExitOk)
        complain(outcome.message);
    else
        inform(outcome.message);
    return outcome.code;
}

namespace {

// Names the settings folder of this run, for the start that uses it and removes it.
const char ownSettingsVariable[] = "CELLORA_OWN_SETTINGS";

} // namespace

bool ProgramRuns::useOwnSettings(char *argv[])
{
    if (!qEnvironmentVariableIsEmpty(ownSettingsVariable))
        return true;
    QByteArray folder = QFile::encodeName(QDir::tempPath()) + "/cellora-settings-XXXXXX";
    if (!::mkdtemp(folder.data()))
        return false;
    // Settings are looked for under XDG_CONFIG_HOME before anything else.
    qputenv("XDG_CONFIG_HOME", folder);
    qputenv(ownSettingsVariable, folder);
    ::execv("/proc/self/exe", argv);
    ::rmdir(folder.constData()); // still here: the new start failed
    return false;
}

void ProgramRuns::removeOwnSettings()
{
    const QString folder = qEnvironmentVariable(ownSettingsVariable);
    if (!folder.isEmpty())
        QDir(folder).removeRecursively();
}
