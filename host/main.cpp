// cellora-host: the desktop program around the module. It opens the host window on a
// storage folder or on a fresh demo store, renders every page to PNG files, or exports
// the logbook without a window.

#include "host/batchcommands.h"
#include "host/hostwindow.h"
#include "host/screenshottour.h"
#include "host/startupprobe.h"
#include "host/storagelock.h"
#include "host/telemetryimport.h"
#include "sample/samplestore.h"
#include "sample/sampletelemetry.h"
#include "window/celloragui.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <csignal>
#include <cstring>

#include <sys/socket.h>
#include <unistd.h>

namespace {

enum ExitCode { ExitOk = 0, ExitFailure = 1, ExitBadStorage = 2, ExitStorageInUse = 3 };

// Each message is flushed at once: the window may run for hours after it.
void inform(const QString &text)
{
    QTextStream(stdout) << text << '\n';
}

// The name the program was started by: "cellora" when installed, "cellora-host" in the
// build tree.
QString programName = QStringLiteral("cellora-host");

void complain(const QString &text)
{
    QTextStream(stderr) << programName << ": " << text << '\n';
}

// Looked at before the application exists, because the kind of application and its
// platform plugin are chosen then.
bool hasOption(int argc, char *argv[], std::initializer_list<const char *> names)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        for (const char *name : names) {
            const size_t length = std::strlen(name);
            if (std::strncmp(argv[i], name, length) == 0
                && (argv[i][length] == '\0' || argv[i][length] == '='))
                return true;
        }
    }
    return false;
}

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

// The sample stores that --demo and --screenshots open, by the name --sample gives.
using SampleMaker = SampleStore (*)(const QDateTime &anchor);

SampleMaker sampleNamed(const QString &name)
{
    if (name == QLatin1String("demo"))
        return &demoStore;
    if (name == QLatin1String("long-names"))
        return &longNamesStore;
    return nullptr;
}

bool writeDemoStore(const QTemporaryDir &folder, SampleMaker sample, SampleStore *store = nullptr)
{
    const SampleStore demo = sample(QDateTime::currentDateTime());
    if (store)
        *store = demo;
    if (folder.isValid() && writeStoreFile(demo, folder.filePath(QStringLiteral("cellora.xml"))))
        return true;
    complain(QStringLiteral("could not write the demo store to %1").arg(folder.path()));
    return false;
}

// Ctrl+C or a plain kill ends the event loop like the home button does, so that the demo
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
// system has it. English needs none; a language without a translation stays English.
bool installTranslator(const QLocale &locale, const QString &name, const QString &folder)
{
    auto *translator = new QTranslator(qApp);
    if (translator->load(locale, name, QStringLiteral("_"), folder))
        return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

void installTranslators(const QString &language)
{
    const QLocale locale = language.isEmpty() ? QLocale::system() : QLocale(language);
    if (!installTranslator(locale, QStringLiteral("cellora"), QStringLiteral(":/i18n"))
        && !language.isEmpty() && locale.language() != QLocale::English)
        complain(QStringLiteral("no translation for the language %1: the texts stay English")
                     .arg(language));
    installTranslator(locale, QStringLiteral("cellora-host"), QStringLiteral(":/i18n"));
#if QT_VERSION_MAJOR < 6
    const QString qtTranslations = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#else
    const QString qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
    installTranslator(locale, QStringLiteral("qtbase"), qtTranslations);
}

// A folder in use by another program ends this one; one that cannot be written opens
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
        complain(QStringLiteral("the storage folder %1 is in use by %2; close that Cellora first")
                     .arg(shownFolder, holder));
        return ExitStorageInUse;
    case StorageLock::Outcome::Unwritable:
        complain(QStringLiteral("warning: the storage folder %1 cannot be created or written; "
                                "the logbook opens for reading, but no change will be saved")
                     .arg(shownFolder));
        break;
    }
    if (startupProbe)
        probeStartup(window);
    window.show();
    return QApplication::exec();
}

int takeScreenshots(const QString &target, SampleMaker sample)
{
    QDir folder(target);
    if (!folder.mkpath(QStringLiteral("."))) {
        complain(QStringLiteral("cannot create the folder %1").arg(target));
        return ExitFailure;
    }
    QTemporaryDir demoFolder;
    SampleStore store;
    if (!writeDemoStore(demoFolder, sample, &store))
        return ExitFailure;

    const CaptureModeGuard captureMode;
    HostWindow host;
    host.openFolder(demoFolder.path(), nullptr, false);
    host.show();
    QApplication::processEvents();

    ScreenshotTour tour(host.gui(), chargedBatteries(store), folder);
    tour.run();
    tour.shootHostWindow(host, QStringLiteral("16-host-window.png"));
    const bool complete = tour.problems().isEmpty();
    for (const QString &problem : tour.problems())
        complain(problem);
    inform(QStringLiteral("The window's pages are in %1").arg(folder.absolutePath()));
    return complete ? ExitOk : ExitFailure;
}

int runDemo(SampleMaker sample)
{
    // Lives as long as the window; the store goes with the program.
    QTemporaryDir demoFolder;
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
    return runWindow(demoFolder.path(), false);
}

int runOnStorage(const QString &path, bool startupProbe)
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

// The exports for scripts: each one asked for, in turn, until one fails.
int runBatch(const QString &storage, const QString &csvFolder, const QString &reportFile)
{
    QVector<BatchCommands::Outcome> outcomes;
    if (!csvFolder.isEmpty())
        outcomes << BatchCommands::exportCsv(storage, csvFolder);
    if (!reportFile.isEmpty()
        && (outcomes.isEmpty() || outcomes.last().code == BatchCommands::Done))
        outcomes << BatchCommands::writeReport(storage, reportFile);
    for (const BatchCommands::Outcome &outcome : outcomes) {
        if (outcome.code != BatchCommands::Done) {
            complain(outcome.message);
            return outcome.code;
        }
        inform(outcome.message);
    }
    return ExitOk;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 0)
        programName = QFileInfo(QFile::decodeName(argv[0])).fileName();
        // Whole-number scale factors on high-DPI screens, as Qt 5 rounds them; Qt 6 scales
        // always and by the exact factor otherwise, which blurs the window's pixel work.
#if QT_VERSION_MAJOR < 6
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#endif
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QCoreApplication::setApplicationName(QStringLiteral("Cellora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.cellora.Cellora"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Battery logbook for electric radio-controlled models."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption storageOption(QStringLiteral("storage"),
        QStringLiteral("Folder that holds the data file (default: %1).")
            .arg(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
        QStringLiteral("DIR"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
        QStringLiteral("Open a freshly made demo store in a temporary folder."));
    const QCommandLineOption screenshotsOption(QStringLiteral("screenshots"),
        QStringLiteral("Render every page with the sample store to DIR as PNG, then exit."),
        QStringLiteral("DIR"));
    const QCommandLineOption sampleOption(QStringLiteral("sample"),
        QStringLiteral("Sample store for --demo and --screenshots: demo (the default) or "
                       "long-names (every name fifty characters long)."),
        QStringLiteral("NAME"), QStringLiteral("demo"));
    // For the startup benchmark: report the time to the first frame, then quit.
    QCommandLineOption startupProbeOption(QStringLiteral("startup-probe"),
        QStringLiteral("Print the time from process start to the first frame, then exit."));
    startupProbeOption.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption languageOption(QStringLiteral("language"),
        QStringLiteral("Show the texts in LANGUAGE, a code such as de or en "
                       "(default: the system's language)."),
        QStringLiteral("LANGUAGE"));
    const QCommandLineOption exportCsvOption(QStringLiteral("export-csv"),
        QStringLiteral("Write flights.csv and cycles.csv of the storage folder's logbook to "
                       "DIR, then exit."),
        QStringLiteral("DIR"));
    const QCommandLineOption reportOption(QStringLiteral("report"),
        QStringLiteral("Write the pack health report of the storage folder's logbook to FILE "
                       "(PDF), then exit."),
        QStringLiteral("FILE"));
    const QCommandLineOption importTelemetryOption(QStringLiteral("import-telemetry"),
        QStringLiteral("Fill the storage folder's Quick entries from the radio's telemetry "
                       "logs PATH (CSV files or LOGS folders; more may follow), then exit."),
        QStringLiteral("PATH"));
    parser.addOptions({ storageOption, demoOption, screenshotsOption, languageOption,
        startupProbeOption, exportCsvOption, reportOption, importTelemetryOption });
    parser.addOption(sampleOption);

    // Help and version need no screen: answer them from a console application.
    if (hasOption(argc, argv, { "-h", "-?", "--help", "--help-all", "-v", "--version" })) {
        QCoreApplication console(argc, argv);
        parser.process(console);
        return ExitOk;
    }
    // Pictures and reports are drawn without a screen.
    if (hasOption(argc, argv, { "--screenshots", "--export-csv", "--report", "--import-telemetry" })
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    parser.process(app);
    installTranslators(parser.value(languageOption));

    const SampleMaker sample = sampleNamed(parser.value(sampleOption));
    if (!sample) {
        complain(QStringLiteral("unknown sample store %1").arg(parser.value(sampleOption)));
        return ExitFailure;
    }
    const QString storage = parser.isSet(storageOption)
        ? parser.value(storageOption)
        : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (parser.isSet(exportCsvOption) || parser.isSet(reportOption)) {
        return runBatch(storage, parser.value(exportCsvOption), parser.value(reportOption));
    }
    if (parser.isSet(importTelemetryOption)) {
        const TelemetryImport::Outcome outcome = TelemetryImport::importForScript(
            storage, parser.values(importTelemetryOption) + parser.positionalArguments());
        for (const QString &problem : outcome.problems)
            complain(problem);
        outcome.code <= TelemetryImport::BadInput ? inform(outcome.message)
                                                  : complain(outcome.message);
        return outcome.code;
    }
    if (parser.isSet(screenshotsOption))
        return takeScreenshots(parser.value(screenshotsOption), sample);
    if (parser.isSet(demoOption))
        return runDemo(sample);
    return runOnStorage(storage, parser.isSet(startupProbeOption));
}
