#include "bench/benchfigures.h"

#include "records/batterywidget.h"
#include "sample/samplestore.h"
#include "window/celloragui.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollArea>
#include <QToolButton>
#include <QWindow>
#include <QXmlStreamReader>

#include <ctime>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

const QString dataFileName = QStringLiteral("cellora.xml");

double elapsedMs(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall-clock and processor time of one run. The machine is shared: the processor time
// tells the work done from the time spent waiting for the disk or for other programs.
struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

template <typename Action> Timing timeRun(Action action)
{
    QElapsedTimer timer;
    const double cpuStart = cpuMs();
    timer.start();
    action();
    return { elapsedMs(timer), cpuMs() - cpuStart };
}

void addSample(Figure &figure, const Timing &timing)
{
    figure.samples.append(timing.wallMs);
    figure.cpuSamples.append(timing.cpuMs);
}

void addFloorSample(Figure &figure, const Timing &timing)
{
    figure.floorSamples.append(timing.wallMs);
    figure.floorCpuSamples.append(timing.cpuMs);
}

// What the host's event loop would do between two user actions: paint, lay out and
// delete what was handed to deleteLater().
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void showAndSettle(QWidget &window)
{
    window.show();
    QElapsedTimer timer;
    timer.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    settle();
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Counts the saves of the data file: each QSaveFile commit renames a temporary file
// over it, one IN_MOVED_TO event.
class SaveCounter {
public:
    explicit SaveCounter(const QString &folder)
        : fd(inotify_init1(IN_NONBLOCK))
    {
        if (fd >= 0)
            inotify_add_watch(fd, QFile::encodeName(folder).constData(), IN_MOVED_TO);
    }
    ~SaveCounter()
    {
        if (fd >= 0)
            close(fd);
    }
    SaveCounter(const SaveCounter &) = delete;
    SaveCounter &operator=(const SaveCounter &) = delete;

    // Saves since the last call.
    int take()
    {
        int saves = 0;
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while (fd >= 0 && (length = read(fd, buffer, sizeof buffer)) > 0) {
            for (char *at = buffer; at < buffer + length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                if (event->len && dataFileName == QFile::decodeName(event->name))
                    ++saves;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return saves;
    }

private:
    int fd;
};

QList<BatteryWidget *> placedCards(const CelloraGui &window)
{
    const auto *area = window.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    if (!area || !area->widget())
        return {};
    return area->widget()->findChildren<BatteryWidget *>(QString(), Qt::FindDirectChildrenOnly);
}

QToolButton *tankButton(BatteryWidget *card)
{
    return card->findChild<QToolButton *>(QStringLiteral("pushButton"));
}

// Clicks the card's tank button; the time until the click has written the data file.
Timing timeClick(BatteryWidget *card, SaveCounter &saves, QString &problem)
{
    settle();
    saves.take();
    const Timing timing = timeRun([card] { tankButton(card)->click(); });
    const int written = saves.take();
    if (written != 1 && problem.isEmpty())
        problem = QStringLiteral("a click wrote the file %1 times").arg(written);
    return timing;
}

void tokenize(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QXmlStreamReader reader(&file);
    while (!reader.atEnd())
        reader.readNext();
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line; !(line = status.readLine()).isEmpty();) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Runs the host once; its own figure (time since its process started) and the time
// from our start() to its report.
bool runStartupProbe(
    const QString &hostPath, const QString &folder, double &reportedMs, double &launcherMs)
{
    QProcess host;
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    host.start(
        hostPath, { QStringLiteral("--storage"), folder, QStringLiteral("--startup-probe") });
    const QByteArray prefix("startup-probe: ");
    QByteArray line;
    while (!line.startsWith(prefix)) {
        // Whole lines only; waitForReadyRead() fails once the host has ended.
        while (!host.canReadLine()) {
            if (!host.waitForReadyRead(30000)) {
                host.kill();
                host.waitForFinished();
                return false;
            }
        }
        line = host.readLine();
    }
    launcherMs = elapsedMs(timer);
    host.waitForFinished(30000);
    bool ok = false;
    reportedMs = line.mid(prefix.size()).split(' ').value(0).toDouble(&ok);
    return ok;
}

Figure newFigure(const QString &name, const QString &store, const QString &unit, double limit,
    Figure::Target target = Figure::Target::Below)
{
    Figure figure;
    figure.name = name;
    figure.store = store;
    figure.unit = unit;
    figure.limit = limit;
    figure.target = target;
    return figure;
}

} // namespace

Figure measureSave(
    const SampleStore &store, const QString &folder, const QString &floorFolder, int runs)
{
    Figure figure = newFigure(QStringLiteral("save"), QStringLiteral("ten-year"),
        QStringLiteral("ms"), 1.3, Figure::Target::RatioAtMost);

    CelloraGui window;
    window.changeStoragePath(folder);
    const QString floorFile = QDir(floorFolder).filePath(dataFileName);
    auto save = [&window] {
        QMetaObject::invokeMethod(&window, "writeDataWithDataprocessor", Qt::DirectConnection);
    };
    auto writeFloor = [&] { writeStoreFile(store, floorFile); };
    save();
    writeFloor();
    for (int i = 0; i < runs; ++i) {
        addSample(figure, timeRun(save));
        addFloorSample(figure, timeRun(writeFloor));
    }
    settleMedians(figure);
    const QByteArray saved = fileContent(QDir(folder).filePath(dataFileName));
    figure.note = QStringLiteral("%1 MB").arg(saved.size() / 1048576.0, 0, 'f', 1);
    if (saved != fileContent(floorFile))
        figure.note += QStringLiteral(", but the floor wrote other bytes");
    return figure;
}

Figure measureRefresh(const QString &folder, int runs)
{
    Figure figure = newFigure(QStringLiteral("refresh"), QStringLiteral("ten-year"),
        QStringLiteral("ms"), 2.0, Figure::Target::RatioAtMost);

    CelloraGui window;
    showAndSettle(window);
    const QString file = QDir(folder).filePath(dataFileName);
    auto refresh = [&] { window.changeStoragePath(folder); };
    auto tokenizeThrice = [&file] {
        for (int pass = 0; pass < 3; ++pass)
            tokenize(file);
    };
    refresh();
    settle();
    tokenizeThrice();
    for (int i = 0; i < runs; ++i) {
        addSample(figure, timeRun(refresh));
        settle();
        addFloorSample(figure, timeRun(tokenizeThrice));
    }
    settleMedians(figure);
    figure.note = QStringLiteral("%1 cards shown").arg(placedCards(window).size());
    return figure;
}

QVector<Figure> measureClicks(
    const QString &folder, const QString &storeName, double limitMs, int runs)
{
    Figure charge
        = newFigure(QStringLiteral("charge-click"), storeName, QStringLiteral("ms"), limitMs);
    Figure discharge
        = newFigure(QStringLiteral("quick-discharge"), storeName, QStringLiteral("ms"), limitMs);

    CelloraGui window;
    window.changeStoragePath(folder);
    showAndSettle(window);
    const QList<BatteryWidget *> cards = placedCards(window);
    if (cards.isEmpty()) {
        charge.note = discharge.note = QStringLiteral("no card shown");
        return { charge, discharge };
    }
    // Charging and discharging in turn brings the card back to where it started.
    BatteryWidget *const card = cards.first();
    SaveCounter saves(folder);
    QString problem;
    if (card->batteryCharged())
        timeClick(card, saves, problem);
    for (int i = 0; i <= runs; ++i) {
        const Timing charging = timeClick(card, saves, problem);
        const Timing discharging = timeClick(card, saves, problem);
        if (i == 0)
            continue; // warm-up
        addSample(charge, charging);
        addSample(discharge, discharging);
    }
    settleMedians(charge);
    settleMedians(discharge);
    const QString where = QStringLiteral("%1 of %2 cards").arg(1).arg(cards.size());
    charge.note = discharge.note = problem.isEmpty() ? where : problem;
    return { charge, discharge };
}

Figure measureMemory(const QString &folder, const QString &storeName, int early, int late)
{
    Figure figure = newFigure(QStringLiteral("memory"), storeName, QStringLiteral("MB"), 1.0);

    CelloraGui window;
    showAndSettle(window);
    long earlyKb = 0;
    long lateKb = 0;
    for (int refresh = 1; refresh <= late; ++refresh) {
        window.changeStoragePath(folder);
        settle();
        if (refresh == early)
            earlyKb = residentKb();
    }
    lateKb = residentKb();
    figure.value = (lateKb - earlyKb) / 1024.0;
    figure.samples = { earlyKb / 1024.0, lateKb / 1024.0 };
    figure.note = QStringLiteral("RSS %1 MB after %2 refreshes, %3 MB after %4")
                      .arg(earlyKb / 1024.0, 0, 'f', 1)
                      .arg(early)
                      .arg(lateKb / 1024.0, 0, 'f', 1)
                      .arg(late);
    return figure;
}

Figure measureStartup(const QString &hostPath, const QString &folder, int runs)
{
    Figure figure = newFigure(
        QStringLiteral("startup"), QStringLiteral("typical"), QStringLiteral("ms"), 300);

    QVector<double> launcher;
    for (int i = 0; i < runs; ++i) {
        double reported = 0;
        double launched = 0;
        if (!runStartupProbe(hostPath, folder, reported, launched)) {
            figure.note = QStringLiteral("the host gave no startup figure");
            figure.value = figure.limit;
            return figure;
        }
        figure.samples.append(reported);
        launcher.append(launched);
    }
    settleMedians(figure);
    figure.note = QStringLiteral("%1 ms as seen by the launcher").arg(median(launcher), 0, 'f', 1);
    return figure;
}
