// cellora-bench: the module's performance figures against their targets, printed as a
// table and written as JSON. Run it with ./cellora.sh bench.

#include "bench/benchchanges.h"
#include "bench/benchfigures.h"
#include "bench/benchreport.h"
#include "bench/benchtelemetry.h"
#include "sample/samplestore.h"
#include "store/storefiles.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

const char *const isolationVariable = "CELLORA_BENCH_HOME";

// The module's settings object is created while the library loads, before main(): to
// keep the user's own settings out of the figures (and untouched), start once more with
// a private home folder, where Quick mode and the first model are what a fresh user gets.
// Returns only in that second start.
void restartInPrivateHome(char *argv[])
{
    if (!qEnvironmentVariableIsEmpty(isolationVariable))
        return;
    char home[] = "/tmp/cellora-bench-home-XXXXXX";
    if (mkdtemp(home)) {
        const QByteArray config = QByteArray(home) + "/config";
        setenv("HOME", home, 1);
        setenv("XDG_CONFIG_HOME", config.constData(), 1);
        setenv(isolationVariable, home, 1);
        execv("/proc/self/exe", argv);
        rmdir(home);
    }
    perror("cellora-bench: cannot start in a private home folder");
    std::exit(1);
}

void removePrivateHome()
{
    const QString home = qEnvironmentVariable(isolationVariable);
    if (home.startsWith(QLatin1String("/tmp/cellora-bench-home-")))
        QDir(home).removeRecursively();
}

QString makeStore(const QTemporaryDir &root, const QString &name, const SampleStore &store)
{
    const QString folder = root.filePath(name);
    if (!writeStoreFile(store, QDir(folder).filePath(StoreFiles::dataFile)))
        return {};
    return folder;
}

// The figures are wall-clock times on a machine that other programs may share.
QString loadAverages()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

void say(const QString &text)
{
    QTextStream(stderr) << text << '\n';
}

} // namespace

int main(int argc, char *argv[])
{
    restartInPrivateHome(argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Cellora's performance figures."));
    parser.addHelpOption();
    const QCommandLineOption jsonOption(QStringLiteral("json"),
        QStringLiteral("Write the figures as JSON to FILE (default: bench/results.json)."),
        QStringLiteral("FILE"), QStringLiteral(CELLORA_BENCH_DIR "/results.json"));
    const QCommandLineOption runsOption(QStringLiteral("runs"),
        QStringLiteral("Samples per figure, at least 5 (default: 7)."), QStringLiteral("N"),
        QStringLiteral("7"));
    const QCommandLineOption refreshesOption(QStringLiteral("refreshes"),
        QStringLiteral("Refreshes of the memory figure (default: 500)."), QStringLiteral("N"),
        QStringLiteral("500"));
    const QCommandLineOption onlyOption(QStringLiteral("only"),
        QStringLiteral("Measure only these figures, e.g. save,refresh,changes (for profiling)."),
        QStringLiteral("NAMES"));
    const QCommandLineOption markdownOption(QStringLiteral("markdown"),
        QStringLiteral("Print the table once more in Markdown, for the README."));
    // The cold refresh figure runs this program once more for each sample.
    QCommandLineOption coldRefreshOption(QStringLiteral("cold-refresh"),
        QStringLiteral("Time the first refresh of FOLDER in this process, and end."),
        QStringLiteral("FOLDER"));
    coldRefreshOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions(
        { jsonOption, runsOption, refreshesOption, onlyOption, markdownOption, coldRefreshOption });
    parser.process(app);
    if (parser.isSet(coldRefreshOption)) // the private home belongs to the parent
        return runColdRefreshChild(parser.value(coldRefreshOption));
    const int runs = qMax(5, parser.value(runsOption).toInt());
    const int refreshes = qMax(20, parser.value(refreshesOption).toInt());

    RunInfo info;
    info.buildType = QStringLiteral(CELLORA_BUILD_TYPE);
    info.qtVersion = QString::fromLatin1(qVersion());
    info.cores = QThread::idealThreadCount();
    info.runs = runs;
    info.started = QDateTime::currentDateTime().toString(Qt::ISODate);
    if (info.buildType != QLatin1String("RelWithDebInfo")
        && info.buildType != QLatin1String("Release"))
        say(QStringLiteral("Note: a %1 build; the figures are meant for RelWithDebInfo.")
                .arg(info.buildType.isEmpty() ? QStringLiteral("plain") : info.buildType));

    // Fixed anchor: the same stores, byte for byte, on every run.
    const QDateTime anchor(QDate(2024, 6, 1), QTime(18, 0), Qt::LocalTime);
    say(QStringLiteral("Making the sample stores..."));
    const SampleStore tenYear = tenYearStore(anchor);
    const SampleStore typical = typicalStore(anchor);
    QTemporaryDir root;
    const QStringList folders { makeStore(root, QStringLiteral("ten-year"), tenYear),
        makeStore(root, QStringLiteral("ten-year-clicks"), tenYear),
        makeStore(root, QStringLiteral("typical-clicks"), typical),
        makeStore(root, QStringLiteral("typical"), typical),
        makeStore(root, QStringLiteral("ten-year-startup"), tenYear),
        makeStore(root, QStringLiteral("ten-year-rescue"), tenYear),
        makeStore(root, QStringLiteral("ten-year-changes"), tenYear) };
    if (!root.isValid() || folders.contains(QString())) {
        say(QStringLiteral("cellora-bench: cannot write the sample stores"));
        removePrivateHome();
        return 1;
    }

    const QStringList only = parser.value(onlyOption).split(',', Qt::SkipEmptyParts);
    auto wanted = [&only](const QString &name) {
        const bool yes = only.isEmpty() || only.contains(name);
        if (yes)
            say(name + QStringLiteral("..."));
        return yes;
    };
    QVector<Figure> figures;
    // First, while this launcher holds no windows and saves of its own: a user's does not.
    if (wanted(QStringLiteral("startup"))) {
        const QString host = QStringLiteral(CELLORA_HOST_PATH);
        figures << measureStartup(host, folders.at(3), QStringLiteral("typical"), runs);
        figures << measureStartup(host, folders.at(4), QStringLiteral("ten-year"), runs);
    }
    if (wanted(QStringLiteral("save")))
        figures << measureSave(
            tenYear, folders.at(0), root.filePath(QStringLiteral("floors")), runs);
    if (wanted(QStringLiteral("refresh"))) {
        const QVector<Figure> warm = measureRefresh(folders.at(0), runs);
        figures << warm;
        say(QStringLiteral("refresh-cold..."));
        figures << measureColdRefresh(
            QCoreApplication::applicationFilePath(), folders.at(0), warm.last(), runs);
        figures << measureEdit(folders.at(1), runs);
    }
    if (wanted(QStringLiteral("clicks"))) {
        figures << measureClicks(folders.at(1), QStringLiteral("ten-year"), 100,
            root.filePath(QStringLiteral("floors/clicks")), runs);
        figures << measureClicks(folders.at(2), QStringLiteral("typical"), 1, {}, runs);
        figures << measureUndo(folders.at(1), QStringLiteral("ten-year"), runs);
    }
    if (wanted(QStringLiteral("edit-menu")))
        figures << measureEditMenu(folders.at(1), QStringLiteral("ten-year"), runs);
    if (wanted(QStringLiteral("restore-list")))
        figures << measureRestoreList(folders.at(5), QStringLiteral("ten-year"), runs);
    if (wanted(QStringLiteral("changes")))
        figures << measureChanges(folders.at(6), QStringLiteral("ten-year"), runs);
    if (wanted(QStringLiteral("memory"))) {
        figures << measureMemory(folders.at(0), QStringLiteral("ten-year"), 10, refreshes, false);
        figures << measureMemory(folders.at(1), QStringLiteral("ten-year"), 10, refreshes, true);
    }
    if (wanted(QStringLiteral("telemetry"))) {
        figures << measureTelemetryImport(runs);
        figures << measureLongTelemetryLog(runs);
    }
    if (wanted(QStringLiteral("fleet")))
        figures << measureFleetView(folders.at(0), runs);

    QTextStream out(stdout);
    info.load = loadAverages();
    out << "Cellora benchmarks: " << info.buildType << " build, Qt " << info.qtVersion << ", "
        << info.cores << " cores (load " << info.load << "), median of " << runs << " runs\n";
    printTable(out, figures);
    if (parser.isSet(markdownOption))
        out << '\n' << markdownTable(figures);
    const QString jsonPath = parser.value(jsonOption);
    if (!writeJson(jsonPath, info, figures))
        say(QStringLiteral("cellora-bench: cannot write %1").arg(jsonPath));
    removePrivateHome();
    return 0;
}
