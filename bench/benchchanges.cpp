#include "bench/benchchanges.h"

#include "host/flighteditor.h"
#include "host/flightedits.h"
#include "host/undohistory.h"
#include "records/batterywidget.h"
#include "store/datachange.h"
#include "window/celloragui.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QTableView>
#include <QToolButton>

#include <ctime>

namespace {

// The undos before the click that drops them: one more than the folder keeps of them.
constexpr int undosBeforeClick = 21;

struct Sample {
    double wallMs = 0;
    double cpuMs = 0;
};

double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

template <typename Action> Sample timed(Action action)
{
    QElapsedTimer timer;
    const double cpuStart = cpuMs();
    timer.start();
    action();
    return { timer.nsecsElapsed() / 1e6, cpuMs() - cpuStart };
}

void add(Figure &figure, const Sample &sample)
{
    figure.samples.append(sample.wallMs);
    figure.cpuSamples.append(sample.cpuMs);
}

// A change the window shows costs at least the refresh that shows it, measured in turn.
void addFloor(Figure &figure, const Sample &refresh)
{
    figure.floorName = QStringLiteral("refresh");
    figure.floorSamples.append(refresh.wallMs);
    figure.floorCpuSamples.append(refresh.cpuMs);
}

// What the event loop does between two user actions: paint, lay out, delete, and the
// idle work that was handed to it.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

Figure newFigure(const QString &name, const QString &store, double below)
{
    Figure figure;
    figure.name = name;
    figure.store = store;
    figure.unit = QStringLiteral("ms");
    figure.below = below;
    return figure;
}

QToolButton *firstTank(const CelloraGui &window)
{
    const auto *area = window.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    const QList<BatteryWidget *> cards = area && area->widget()
        ? area->widget()->findChildren<BatteryWidget *>(QString(), Qt::FindDirectChildrenOnly)
        : QList<BatteryWidget *>();
    return cards.isEmpty() ? nullptr : cards.first()->findChild<QToolButton *>();
}

} // namespace

QVector<Figure> measureChanges(const QString &folder, const QString &storeName, int runs)
{
    Figure undo = newFigure(QStringLiteral("undo"), storeName, 100);
    Figure redo = newFigure(QStringLiteral("redo"), storeName, 100);
    Figure clickAfterUndos = newFigure(QStringLiteral("click-after-undos"), storeName, 100);
    Figure keeping = newFigure(QStringLiteral("undone-copies"), storeName, 0);
    Figure editorOpen = newFigure(QStringLiteral("flight-editor-open"), storeName, 100);
    Figure flightEdit = newFigure(QStringLiteral("flight-edit"), storeName, 100);

    CelloraGui window;
    window.changeStoragePath(folder);
    window.show();
    settle();
    UndoHistory history(&window);
    QToolButton *tank = firstTank(window);
    if (!tank)
        return {};
    const auto click = [&] {
        tank = firstTank(window); // an undo reloads the pages: a new card
        tank->click();
    };
    for (int i = 0; i <= runs; ++i) {
        click();
        settle();
        const Sample undone = timed([&] { history.undo(); });
        settle();
        const Sample redone = timed([&] { history.redo(); });
        settle();
        const Sample refreshed = timed([&] { window.changeStoragePath(folder); });
        settle();
        for (int step = 0; step < undosBeforeClick; ++step) {
            click();
            settle();
        }
        for (int step = 0; step < undosBeforeClick; ++step)
            history.undo();
        settle();
        const Sample clicked = timed(click);
        const Sample kept = timed([&] { history.keepDropped(); });
        if (i == 0)
            continue; // warm-up
        add(undo, undone);
        add(redo, redone);
        for (Figure *shown : { &undo, &redo, &flightEdit })
            addFloor(*shown, refreshed);
        add(clickAfterUndos, clicked);
        add(keeping, kept);
    }

    // Flights and Cycles: opened until shown, then one cell of a flight's notes changed,
    // until the data file holds it and the pages show it.
    const auto apply
        = [&history](const QString &label, const StoreFolder &basis, const StoreRecords &after) {
              return history.applyChange(label, basis, after);
          };
    QVector<double> rereads;
    for (int i = 0; i <= runs; ++i) {
        FlightEditor *editor = nullptr;
        const Sample opened = timed([&] {
            editor = new FlightEditor(folder, apply);
            editor->show();
            QCoreApplication::processEvents();
        });
        QAbstractItemModel *table = editor->findChild<QTableView *>()->model();
        const QModelIndex notes = table->index(0, int(FlightEdits::Field::Notes));
        const Sample edited
            = timed([&] { table->setData(notes, QStringLiteral("edit %1").arg(i)); });
        const Sample reread = timed(settle);
        delete editor;
        settle();
        if (i == 0)
            continue;
        add(editorOpen, opened);
        add(flightEdit, edited);
        rereads << reread.wallMs;
    }
    flightEdit.note = QStringLiteral("then the table reads the file again: %1 ms")
                          .arg(median(rereads), 0, 'f', 1);
    undo.note = redo.note = QStringLiteral("of a click: written and shown");
    clickAfterUndos.note = QStringLiteral("after %1 undos, until written").arg(undosBeforeClick);
    keeping.note = QStringLiteral("the dropped versions kept as rescue copies, when idle");
    editorOpen.note = QStringLiteral("until shown");
    const QVector<Figure *> all { &undo, &redo, &clickAfterUndos, &keeping, &editorOpen,
        &flightEdit };
    QVector<Figure> figures;
    for (Figure *figure : all) {
        settleMedians(*figure);
        figures << *figure;
    }
    return figures;
}
