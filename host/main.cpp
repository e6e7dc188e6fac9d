// cellora: the desktop program around the module. It opens the host window on a storage
// folder or on a fresh demo store, renders every page to PNG files, or exports the logbook
// without a window. Here: the command line and which run it asks for.

#include "host/programruns.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstring>
#include <memory>

namespace {

// Looked at before the application exists, because the kind of application, its platform
// plugin and its settings folder are chosen then.
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

void setApplicationAttributes()
{
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
}

// Only what a run draws needs more than a console application: the window, and the pack
// report's charts, which are graphics items of the widgets module. The CSV export and the
// telemetry import only read and write files, so they run on machines without any display.
// The order is that of dispatch().
std::unique_ptr<QCoreApplication> applicationFor(int &argc, char *argv[])
{
    if (!hasOption(argc, argv, { "--report" })
        && hasOption(argc, argv, { "--export-csv", "--import-telemetry" }))
        return std::make_unique<QCoreApplication>(argc, argv);
    return std::make_unique<QApplication>(argc, argv);
}

struct Options {
    QCommandLineOption storage { QStringLiteral("storage"),
        QStringLiteral("Folder that holds the data file (default: %1).")
            .arg(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
        QStringLiteral("DIR") };
    QCommandLineOption demo { QStringLiteral("demo"),
        QStringLiteral("Open a freshly made demo store in a temporary folder.") };
    QCommandLineOption screenshots { QStringLiteral("screenshots"),
        QStringLiteral("Render every page with the sample store to DIR as PNG, then exit."),
        QStringLiteral("DIR") };
    QCommandLineOption sample { QStringLiteral("sample"),
        QStringLiteral("Sample store for --demo and --screenshots: demo (the default) or "
                       "long-names (every name fifty characters long)."),
        QStringLiteral("NAME"), QStringLiteral("demo") };
    // For the startup benchmark: report the time to the first frame, then quit.
    QCommandLineOption startupProbe { QStringLiteral("startup-probe"),
        QStringLiteral("Print the time from process start to the first frame, then exit.") };
    QCommandLineOption language { QStringLiteral("language"),
        QStringLiteral("Show the texts in LANGUAGE, a code such as de or en "
                       "(default: the system's language)."),
        QStringLiteral("LANGUAGE") };
    QCommandLineOption exportCsv { QStringLiteral("export-csv"),
        QStringLiteral("Write flights.csv and cycles.csv of the storage folder's logbook to "
                       "DIR, then exit."),
        QStringLiteral("DIR") };
    QCommandLineOption report { QStringLiteral("report"),
        QStringLiteral("Write the pack health report of the storage folder's logbook to FILE "
                       "(PDF), then exit."),
        QStringLiteral("FILE") };
    QCommandLineOption importTelemetry { QStringLiteral("import-telemetry"),
        QStringLiteral("Fill the storage folder's Quick entries from the radio's telemetry "
                       "logs PATH (CSV files or LOGS folders; more may follow), then exit."),
        QStringLiteral("PATH") };

    void addTo(QCommandLineParser &parser)
    {
        parser.setApplicationDescription(
            QStringLiteral("Battery logbook for electric radio-controlled models."));
        parser.addHelpOption();
        parser.addVersionOption();
        startupProbe.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOptions({ storage, demo, screenshots, language, startupProbe, exportCsv, report,
            importTelemetry, sample });
    }
};

int dispatch(const QCommandLineParser &parser, const Options &options)
{
    const SampleMaker sample = sampleNamed(parser.value(options.sample));
    if (!sample) {
        ProgramRuns::complain(
            QStringLiteral("unknown sample store %1").arg(parser.value(options.sample)));
        return ExitFailure;
    }
    const QString storage = parser.isSet(options.storage)
        ? parser.value(options.storage)
        : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (parser.isSet(options.exportCsv) || parser.isSet(options.report)) {
        return ProgramRuns::runBatch(
            { storage, parser.isSet(options.exportCsv), parser.value(options.exportCsv),
                parser.isSet(options.report), parser.value(options.report) });
    }
    if (parser.isSet(options.importTelemetry)) {
        return ProgramRuns::importTelemetry(
            storage, parser.values(options.importTelemetry) + parser.positionalArguments());
    }
    if (parser.isSet(options.screenshots))
        return ProgramRuns::takeScreenshots(parser.value(options.screenshots), sample);
    if (parser.isSet(options.demo))
        return ProgramRuns::runDemo(sample, parser.isSet(options.startupProbe));
    return ProgramRuns::runOnStorage(storage, parser.isSet(options.startupProbe));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 0)
        ProgramRuns::setProgramName(QFileInfo(QFile::decodeName(argv[0])).fileName());
    setApplicationAttributes();
    QCommandLineParser parser;
    Options options;
    options.addTo(parser);

    // Help and version need no screen: answer them from a console application.
    if (hasOption(argc, argv, { "-h", "-?", "--help", "--help-all", "-v", "--version" })) {
        QCoreApplication console(argc, argv);
        parser.process(console);
        return ExitOk;
    }
    if (hasOption(argc, argv, { "--demo", "--screenshots" })
        && !ProgramRuns::useOwnSettings(argv)) {
        ProgramRuns::complain(QStringLiteral("cannot set up a settings folder of its own"));
        return ExitFailure;
    }
    // Pictures and reports are drawn without a screen.
    if (hasOption(argc, argv, { "--screenshots", "--report" })
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app = applicationFor(argc, argv);
    parser.process(*app);
    ProgramRuns::installTranslators(parser.value(options.language));
    const int code = dispatch(parser, options);
    ProgramRuns::removeOwnSettings();
    return code;
}
