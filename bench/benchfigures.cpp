#include "bench/benchfigures.h"

#include "host/fleetview.h"
#include "host/rescuelist.h"
#include "host/undohistory.h"
#include "records/batterywidget.h"
#include "sample/samplestore.h"
#include "store/earlierreading.h"
#include "store/rescuecopies.h"
#include "store/storefiles.h"
#include "window/celloragui.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScrollArea>
#include <QTableView>
#include <QTextStream>
#include <QToolButton>
#include <QWindow>
#include <QXmlStreamReader>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

const QString dataFileName = StoreFiles::dataFile;

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

// Memory freed but still held by the C library's allocator is given back first: after the
// first 4 MB buffer of a save is freed, the allocator keeps the next ones on its heap, which
// would show as growth that no later click adds to.
long residentKb()
{
    malloc_trim(0);
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

// A figure with no targets yet; the floors are figures of their own until compared.
Figure newFigure(const QString &name, const QString &store, const QString &unit = "ms")
{
    Figure figure;
    figure.name = name;
    figure.store = store;
    figure.unit = unit;
    return figure;
}

// The figure as a ratio to `floor`, measured in the same run.
Figure against(Figure figure, const Figure &floor, double ratioAtMost)
{
    figure.floorName = floor.name;
    figure.floorSamples = floor.samples;
    figure.floorCpuSamples = floor.cpuSamples;
    figure.ratioAtMost = ratioAtMost;
    settleMedians(figure);
    return figure;
}

// The least a crash-safe save of `bytes` costs: a new file beside the data file, written
// in one piece, fdatasync(), renamed over the data file. QSaveFile does the same.
void writeIoFloor(const QByteArray &bytes, const QString &folder)
{
    const QByteArray target = QFile::encodeName(QDir(folder).filePath(dataFileName));
    const QByteArray temporary = target + ".new";
    const int fd = open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t written = write(fd, bytes.constData() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR)
            break;
        done += qMax<ssize_t>(written, 0);
    }
    fdatasync(fd);
    close(fd);
    rename(temporary.constData(), target.constData());
}

} // namespace

QVector<Figure> measureSave(
    const SampleStore &store, const QString &folder, const QString &floorFolder, int runs)
{
    Figure save = newFigure(QStringLiteral("save"), QStringLiteral("ten-year"));
    Figure naiveWriter = newFigure(QStringLiteral("naive-writer"), save.store);
    Figure ioFloor = newFigure(QStringLiteral("io-floor"), save.store);

    CelloraGui window;
    window.changeStoragePath(folder);
    const QString naiveFolder = QDir(floorFolder).filePath(QStringLiteral("naive-writer"));
    const QString ioFolder = QDir(floorFolder).filePath(QStringLiteral("io-floor"));
    QDir().mkpath(ioFolder);
    const QString naiveFile = QDir(naiveFolder).filePath(dataFileName);
    auto saveAction = [&window] {
        QMetaObject::invokeMethod(&window, "writeDataWithDataprocessor", Qt::DirectConnection);
    };
    saveAction();
    const QByteArray saved = fileContent(QDir(folder).filePath(dataFileName));
    auto naiveAction = [&] { writeStoreFile(store, naiveFile); };
    auto ioAction = [&] { writeIoFloor(saved, ioFolder); };
    naiveAction();
    ioAction();
    for (int i = 0; i < runs; ++i) {
        addSample(save, timeRun(saveAction));
        addSample(naiveWriter, timeRun(naiveAction));
        addSample(ioFloor, timeRun(ioAction));
    }
    save.note = QStringLiteral("%1 MB").arg(saved.size() / 1048576.0, 0, 'f', 1);
    if (saved != fileContent(naiveFile))
        save.note += QStringLiteral(", but the naive writer wrote other bytes");
    return { against(save, naiveWriter, 1.3), against(save, ioFloor, 0) };
}

QVector<Figure> measureRefresh(const QString &folder, int runs)
{
    Figure refresh = newFigure(QStringLiteral("refresh"), QStringLiteral("ten-year"));
    Figure full = newFigure(QStringLiteral("refresh-full"), refresh.store);
    Figure tokenizeThrice = newFigure(QStringLiteral("tokenize-3"), refresh.store);
    Figure tokenizeOnce = newFigure(QStringLiteral("tokenize-1"), refresh.store);

    CelloraGui window;
    showAndSettle(window);
    const QString file = QDir(folder).filePath(dataFileName);
    auto refreshAction = [&] { window.changeStoragePath(folder); };
    // As after another program changed the file: no record to take over.
    auto fullAction = [&] {
        EarlierReading::forget();
        window.changeStoragePath(folder);
    };
    auto tokenizeOnceAction = [&file] { tokenize(file); };
    auto tokenizeThriceAction = [&file] {
        for (int pass = 0; pass < 3; ++pass)
            tokenize(file);
    };
    refreshAction();
    settle();
    tokenizeThriceAction();
    for (int i = 0; i < runs; ++i) {
        addSample(refresh, timeRun(refreshAction));
        settle();
        addSample(full, timeRun(fullAction));
        settle();
        addSample(tokenizeThrice, timeRun(tokenizeThriceAction));
        addSample(tokenizeOnce, timeRun(tokenizeOnceAction));
    }
    refresh.note = QStringLiteral("%1 cards shown").arg(placedCards(window).size());
    full.note = QStringLiteral("every record parsed");
    return { against(refresh, tokenizeThrice, 0), against(refresh, tokenizeOnce, 2),
        against(full, tokenizeOnce, 2) };
}

Figure measureEdit(const QString &folder, int runs)
{
    Figure edit = newFigure(QStringLiteral("edit"), QStringLiteral("ten-year"));
    Figure tokenizeOnce = newFigure(QStringLiteral("tokenize-1"), edit.store);
    CelloraGui window;
    window.changeStoragePath(folder);
    showAndSettle(window);
    const QString file = QDir(folder).filePath(dataFileName);
    uint capacity = 1000;
    // The battery edit page: open it, change the capacity, confirm (save and reload).
    auto *capacityField
        = window.findChild<QLineEdit *>(QStringLiteral("ledt_modifyBattery_capacity"));
    auto editAction = [&] {
        window.on_pb_choose_modify_battery_clicked();
        if (capacityField)
            capacityField->setText(QString::number(++capacity));
        window.on_pb_update_battery_clicked();
    };
    editAction();
    settle();
    for (int i = 0; i < runs; ++i) {
        addSample(edit, timeRun(editAction));
        settle();
        addSample(tokenizeOnce, timeRun([&file] { tokenize(file); }));
    }
    return against(edit, tokenizeOnce, 0);
}

Figure measureColdRefresh(
    const QString &benchPath, const QString &folder, const Figure &warm, int runs)
{
    Figure cold = newFigure(QStringLiteral("refresh-cold"), warm.store);
    const QByteArray prefix("cold-refresh: ");
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(benchPath, { QStringLiteral("--cold-refresh"), folder });
        child.waitForFinished(60000);
        const QByteArray output = child.readAllStandardOutput();
        const QList<QByteArray> fields
            = output.mid(output.indexOf(prefix) + prefix.size()).trimmed().split(' ');
        bool ok = output.contains(prefix) && fields.size() == 2;
        const Timing timing { fields.value(0).toDouble(&ok), fields.value(1).toDouble() };
        if (!ok) {
            cold.note = QStringLiteral("a child process gave no figure");
            return cold;
        }
        addSample(cold, timing);
    }
    Figure floor = warm;
    floor.name = QStringLiteral("refresh-full");
    return against(cold, floor, 1.5);
}

int runColdRefreshChild(const QString &folder)
{
    CelloraGui window;
    showAndSettle(window);
    const Timing timing = timeRun([&] { window.changeStoragePath(folder); });
    QTextStream(stdout) << "cold-refresh: " << timing.wallMs << ' ' << timing.cpuMs << Qt::endl;
    return 0;
}

QVector<Figure> measureClicks(const QString &folder, const QString &storeName, double belowMs,
    const QString &ioFloorFolder, int runs)
{
    Figure charge = newFigure(QStringLiteral("charge-click"), storeName);
    Figure discharge = newFigure(QStringLiteral("quick-discharge"), storeName);
    Figure ioFloor = newFigure(QStringLiteral("io-floor"), storeName);
    charge.below = discharge.below = belowMs;

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
    const QByteArray stored = fileContent(QDir(folder).filePath(dataFileName));
    if (!ioFloorFolder.isEmpty())
        QDir().mkpath(ioFloorFolder);
    for (int i = 0; i <= runs; ++i) {
        const Timing charging = timeClick(card, saves, problem);
        const Timing discharging = timeClick(card, saves, problem);
        const Timing floor = ioFloorFolder.isEmpty()
            ? Timing()
            : timeRun([&] { writeIoFloor(stored, ioFloorFolder); });
        if (i == 0)
            continue; // warm-up
        addSample(charge, charging);
        addSample(discharge, discharging);
        addSample(ioFloor, floor);
    }
    const QString where = QStringLiteral("%1 of %2 cards").arg(1).arg(cards.size());
    charge.note = discharge.note = problem.isEmpty() ? where : problem;
    if (ioFloorFolder.isEmpty()) {
        settleMedians(charge);
        settleMedians(discharge);
        return { charge, discharge };
    }
    return { against(charge, ioFloor, 2), against(discharge, ioFloor, 2) };
}

QVector<Figure> measureUndo(const QString &folder, const QString &storeName, int runs)
{
    Figure off = newFigure(QStringLiteral("clicks-undo-off"), storeName);
    Figure on = newFigure(QStringLiteral("clicks-undo-on"), storeName);
    Figure packing = newFigure(QStringLiteral("undo-packing"), storeName);
    Figure memory = newFigure(QStringLiteral("undo-50-steps"), storeName, QStringLiteral("MB"));
    CelloraGui window;
    window.changeStoragePath(folder);
    showAndSettle(window);
    const QList<BatteryWidget *> cards = placedCards(window);
    if (cards.isEmpty())
        return {};
    BatteryWidget *const card = cards.first();
    SaveCounter saves(folder);
    QString problem;
    if (card->batteryCharged())
        timeClick(card, saves, problem);
    // A charge and a discharge click without the program's undo history, then with it
    // (and the history's idle work after each click), in turn in every run.
    const auto clickPair = [&](UndoHistory *history, Timing &idle) {
        Timing pair;
        for (int click = 0; click < 2; ++click) {
            const Timing one = timeClick(card, saves, problem);
            pair.wallMs += one.wallMs;
            pair.cpuMs += one.cpuMs;
            if (history) {
                const Timing packed = timeRun([history] { history->pack(); });
                idle.wallMs += packed.wallMs / 2;
                idle.cpuMs += packed.cpuMs / 2;
            }
        }
        return pair;
    };
    for (int i = 0; i <= runs; ++i) {
        Timing idle;
        const Timing without = clickPair(nullptr, idle);
        const auto history = std::make_unique<UndoHistory>(&window);
        const Timing with = clickPair(history.get(), idle);
        if (i == 0)
            continue; // warm-up
        addSample(off, without);
        addSample(on, with);
        addSample(packing, idle);
    }
    UndoHistory history(&window);
    for (int i = 0; i < 50; ++i) {
        timeClick(card, saves, problem);
        history.pack();
    }
    memory.samples = { history.heldBytes() / (1024.0 * 1024.0) };
    for (Figure *figure : { &off, &on, &packing, &memory }) {
        figure->note = problem.isEmpty() ? QStringLiteral("charge + discharge") : problem;
        settleMedians(*figure);
    }
    packing.note = QStringLiteral("per click, when idle");
    memory.note = QStringLiteral("held beyond the store's own copy");
    return { off, on, packing, memory };
}

Figure measureEditMenu(const QString &folder, const QString &storeName, int runs)
{
    Figure figure = newFigure(QStringLiteral("edit-menu"), storeName);
    figure.below = 100;
    CelloraGui window;
    window.changeStoragePath(folder);
    showAndSettle(window);
    UndoHistory history(&window);
    SaveCounter saves(folder);
    QString problem;
    for (int i = 0; i <= runs; ++i) {
        // An undo shows the store again: its cards are new ones.
        for (int click = 0; click < 3 && !placedCards(window).isEmpty(); ++click)
            timeClick(placedCards(window).first(), saves, problem);
        history.undo();
        settle();
        QString undo, redo;
        const Timing naming = timeRun([&] {
            undo = history.undoLabel();
            redo = history.redoLabel();
        });
        if (i == 0)
            continue; // warm-up
        addSample(figure, naming);
        figure.note = QStringLiteral("Undo %1, Redo %2").arg(undo, redo);
    }
    if (!problem.isEmpty())
        figure.note = problem;
    settleMedians(figure);
    return figure;
}

Figure measureRestoreList(const QString &folder, const QString &storeName, int runs)
{
    Figure figure = newFigure(QStringLiteral("restore-list"), storeName);
    figure.below = 100;
    {
        CelloraGui window;
        window.changeStoragePath(folder);
        showAndSettle(window);
        SaveCounter saves(folder);
        QString problem;
        for (int copy = 0; copy < 20 && !placedCards(window).isEmpty(); ++copy) {
            timeClick(placedCards(window).first(), saves, problem);
            const QString dataFile = QDir(folder).filePath(dataFileName);
            RescueCopies(folder).keep(fileContent(dataFile), dataFile);
        }
    }
    int listed = 0;
    for (int i = 0; i <= runs; ++i) {
        const Timing listing = timeRun([&] { listed = RescueList::copiesOf(folder).size(); });
        if (i > 0)
            addSample(figure, listing);
    }
    figure.note = QStringLiteral("%1 copies").arg(listed);
    settleMedians(figure);
    return figure;
}

Figure measureMemory(
    const QString &folder, const QString &storeName, int early, int late, bool clicks)
{
    Figure figure = newFigure(
        clicks ? QStringLiteral("memory-clicks") : QStringLiteral("memory"), storeName, "MB");
    figure.below = 1.0;

    CelloraGui window;
    window.changeStoragePath(folder);
    showAndSettle(window);
    long earlyKb = 0;
    long lateKb = 0;
    SaveCounter saves(folder);
    QString problem;
    for (int refresh = 1; refresh <= late; ++refresh) {
        const QList<BatteryWidget *> cards = placedCards(window);
        if (clicks && !cards.isEmpty())
            timeClick(cards.first(), saves, problem);
        else
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
    if (clicks)
        figure.note.replace(QStringLiteral("refreshes"), QStringLiteral("clicks"));
    return figure;
}

Figure measureStartup(
    const QString &hostPath, const QString &folder, const QString &storeName, int runs)
{
    Figure figure = newFigure(QStringLiteral("startup"), storeName);
    figure.below = 150;

    QVector<double> launcher;
    for (int i = 0; i < runs; ++i) {
        double reported = 0;
        double launched = 0;
        if (!runStartupProbe(hostPath, folder, reported, launched)) {
            figure.note = QStringLiteral("the host gave no startup figure");
            figure.value = figure.below;
            return figure;
        }
        figure.samples.append(reported);
        launcher.append(launched);
    }
    settleMedians(figure);
    figure.note = QStringLiteral("%1 ms as seen by the launcher").arg(median(launcher), 0, 'f', 1);
    return figure;
}

Figure measureFleetView(const QString &folder, int runs)
{
    Figure fleet = newFigure(QStringLiteral("fleet-view"), QStringLiteral("ten-year"));
    fleet.below = 100;
    Figure tokenizeOnce = newFigure(QStringLiteral("tokenize-1"), fleet.store);
    const QString file = QDir(folder).filePath(dataFileName);
    std::unique_ptr<FleetView> view;
    auto open = [&] {
        view = std::make_unique<FleetView>(folder);
        showAndSettle(*view);
    };
    open();
    const auto *table = view->findChild<QTableView *>(QStringLiteral("fleetTable"));
    fleet.note = QStringLiteral("%1 packs").arg(table ? table->model()->rowCount() : 0);
    for (int i = 0; i < runs; ++i) {
        view.reset();
        settle();
        addSample(fleet, timeRun(open));
        addSample(tokenizeOnce, timeRun([&file] { tokenize(file); }));
    }
    return against(fleet, tokenizeOnce, 0);
}
