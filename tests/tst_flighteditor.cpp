// The flight and cycle editor of the host window: its corrections, deletes, moves and
// "not charged" land in the data file and on the module's cards, logbook page and chart;
// values outside the module's own input limits are refused and leave the file alone.

#include "host/flighteditor.h"
#include "host/flighttable.h"
#include "host/hostwindow.h"
#include "sample/samplestore.h"
#include "window/chartclasses.h"
#include "windowsupport.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace TestSupport;

namespace {

const QDateTime first { QDate(2024, 6, 10), QTime(12, 0) };
const QDateTime second { QDate(2024, 6, 11), QTime(13, 30) };
const QDateTime third { QDate(2024, 6, 12), QTime(9, 15) };

// Heli flew Pack A twice, Plane flew Pack B once; Pack B is charged.
SampleStore flownStore()
{
    SampleStore store;
    store.locations = QStringList { "Feld", "Hang" };
    SampleBattery a { "Pack A", 4000, 20, 30, QDate(2023, 1, 1), 2, false, second,
        { { first, 3000, 4000 }, { second, 2500, 3550 } } };
    SampleBattery b { "Pack B", 2200, 0, 25, QDate(2023, 1, 1), 1, true, third,
        { { third, 1000, 2000 } } };
    store.batteries << a << b;
    SampleModel heli;
    heli.name = "Heli";
    heli.batteries = QStringList { "Pack A", "Pack B" };
    heli.flightLog << SampleFlight { first, QTime(0, 5), "Feld", 10, "calm" }
                   << SampleFlight { second, QTime(0, 6), "Hang", 12, "" };
    SampleModel plane;
    plane.name = "Plane";
    plane.batteries = QStringList { "Pack B" };
    plane.flightLog << SampleFlight { third, QTime(0, 8), "Feld", 20, "" };
    store.models << heli << plane;
    return store;
}

// One row of the editor as shown, "Heli|2024-06-10 12:00:00|Pack A|00:05:00|3000|...".
QString shownRow(const QAbstractItemModel &rows, int row)
{
    QStringList cells;
    for (int column = 0; column < rows.columnCount(); ++column)
        cells << rows.index(row, column).data().toString();
    return cells.join('|');
}

int rowAt(const QAbstractItemModel &rows, const QDateTime &moment)
{
    for (int row = 0; row < rows.rowCount(); ++row) {
        if (rows.index(row, int(FlightEdits::Field::Date)).data(Qt::EditRole) == moment)
            return row;
    }
    return -1;
}

// The points of the module's chart for one battery, "1,3000 2,2500".
QString chartOf(const CelloraGui &gui, const QString &battery)
{
    clickThrough(gui, "pb_options pb_chart");
    auto *chooser = namedChild<QComboBox>(gui, "cb_batteryData");
    chooser->setCurrentIndex(chooser->findText(battery));
    const auto *series
        = qobject_cast<QLineSeries *>(gui.findChild<QChartView *>()->chart()->series().value(0));
    QStringList points;
    for (const QPointF &point : series->points())
        points << QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
    return points.join(' ');
}

// Everything the module's logbook page shows of a model's last flight.
QString lastFlightShown(const CelloraGui &gui, const QString &model)
{
    clickThrough(gui, "pb_options pb_logbook");
    auto *chooser = namedChild<QComboBox>(gui, "cb_logview_model");
    chooser->setCurrentIndex(chooser->findText(model));
    QStringList fields;
    for (const char *name : { "lbl_logview_date", "lbl_logview_time", "lbl_logview_duration",
             "lbl_logview_location", "lbl_logview_temp", "lbl_logview_capacity",
             "lbl_logview_current", "lbl_logview_battname" })
        fields << namedChild<QLabel>(gui, name)->text();
    return fields.join('|') + namedChild<QPlainTextEdit>(gui, "ptext_logview_notes")->toPlainText();
}

} // namespace

class TestFlightEditor : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder;
    std::unique_ptr<HostWindow> window;

    QString dataFile() const { return folder.filePath(dataFileName()); }

    FlightEditor *openEditor()
    {
        namedChild<QAction>(*window, "actionFlightsAndCycles")->trigger();
        return namedChild<FlightEditor>(*window, "flightEditor");
    }

    // The Edit menu's Undo entry as the menu shows it.
    QAction *undoEntry()
    {
        emit namedChild<QMenu>(*window, "menuEdit")->aboutToShow();
        return namedChild<QAction>(*window, "actionUndo");
    }

    QAbstractItemModel &rows(FlightEditor *editor)
    {
        return *namedChild<QTableView>(*editor, "flightTable")->model();
    }

private slots:
    void init()
    {
        QVERIFY(writeStoreFile(flownStore(), dataFile()));
        window = std::make_unique<HostWindow>();
        QCOMPARE(window->openFolder(folder.path(), nullptr, false), StorageLock::Outcome::Locked);
        window->show();
    }

    void cleanup() { window.reset(); }

    void correctionsObeyTheInputLimits_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("cell"); // as the editor shows it; empty: refused
        using F = FlightEdits::Field;
        const QDateTime later(QDate(2024, 6, 11), QTime(18, 5, 7));
        QTest::newRow("discharged") << int(F::Discharged) << QVariant(20000) << "20000";
        QTest::newRow("discharged over the limit") << int(F::Discharged) << QVariant(20001) << "";
        QTest::newRow("current") << int(F::Current) << QVariant(300) << "300.00";
        QTest::newRow("current over the limit") << int(F::Current) << QVariant(301) << "";
        QTest::newRow("temperature") << int(F::Temperature) << QVariant(-99) << "-99";
        QTest::newRow("temperature under the limit") << int(F::Temperature) << QVariant(-100) << "";
        QTest::newRow("duration") << int(F::Duration) << QVariant(QTime(0, 7, 30)) << "00:07:30";
        QTest::newRow("location") << int(F::Location) << QVariant("Feld") << "Feld";
        QTest::newRow("location not listed") << int(F::Location) << QVariant("Mond") << "";
        QTest::newRow("notes") << int(F::Notes) << QVariant("gusty") << "gusty";
        QTest::newRow("date, the cycle entry follows")
            << int(F::Date) << QVariant(later) << "2024-06-11 18:05:07";
        QTest::newRow("date before the earliest")
            << int(F::Date) << QVariant(QDateTime(QDate(2004, 12, 31), QTime(12, 0))) << "";
        QTest::newRow("date of another flight") << int(F::Date) << QVariant(third) << "";
        QTest::newRow("battery, the discharge moves")
            << int(F::Battery) << QVariant("Pack B") << "Pack B";
    }

    void correctionsObeyTheInputLimits()
    {
        QFETCH(int, field);
        QFETCH(QVariant, value);
        QFETCH(QString, cell);
        const QByteArray before = bytesOf(dataFile());
        const QString moduleBefore = lastFlightShown(window->gui(), "Heli");
        QAbstractItemModel &table = rows(openEditor());
        QStringList shown = shownRow(table, rowAt(table, second)).split('|');
        FolderWatch saves(folder.path());

        const bool accepted = table.setData(table.index(rowAt(table, second), field), value);

        QAction *undo = undoEntry();
        QCOMPARE(accepted, !cell.isEmpty());
        if (!accepted) {
            QCOMPARE(bytesOf(dataFile()), before);
            QCOMPARE(lastFlightShown(window->gui(), "Heli"), moduleBefore);
            QVERIFY(!undo->isEnabled());
            return;
        }
        QCOMPARE(saves.takeSaves(), 1);
        // The table reads the file again, and the module's logbook shows the change.
        shown[field] = cell;
        const QDateTime moment
            = field == int(FlightEdits::Field::Date) ? value.toDateTime() : second;
        QTRY_COMPARE(shownRow(table, rowAt(table, moment)), shown.join('|'));
        QVERIFY(lastFlightShown(window->gui(), "Heli") != moduleBefore);
        // One undo step, named after the flight's model, puts file and page back.
        QVERIFY2(undoEntry()->text().endsWith(" of Heli"), qPrintable(undo->text()));
        undo->trigger();
        QCOMPARE(bytesOf(dataFile()), before);
        QCOMPARE(lastFlightShown(window->gui(), "Heli"), moduleBefore);
        QVERIFY(!undo->isEnabled());
    }

    void deleteMoveAndNotChargedReachThePages()
    {
        const QByteArray before = bytesOf(dataFile());
        FlightEditor *editor = openEditor();
        auto *view = namedChild<QTableView>(*editor, "flightTable");
        CelloraGui &gui = window->gui();
        QCOMPARE(namedChild<QLabel>(*editor, "flightTotals")->text(),
            QStringLiteral("3 flights, flight time 0:19:00, 6500 mAh"));

        // Per model and per battery, with the totals of what is shown.
        namedChild<QComboBox>(*editor, "modelFilter")->setCurrentText("Heli");
        QCOMPARE(namedChild<QLabel>(*editor, "flightTotals")->text(),
            QStringLiteral("2 flights, flight time 0:11:00, 5500 mAh"));
        namedChild<QComboBox>(*editor, "batteryFilter")->setCurrentText("Pack B");
        QCOMPARE(view->model()->rowCount(), 0);
        namedChild<QComboBox>(*editor, "modelFilter")->setCurrentIndex(0);
        QCOMPARE(view->model()->rowCount(), 1);

        // A wrong charge click on Pack B put right: empty again, no cycle, no flight.
        namedChild<QPushButton>(*editor, "markNotCharged")->click();
        QVERIFY(!overviewCard(gui, "Pack B")->batteryCharged());
        QCOMPARE(overviewCard(gui, "Pack B")->batteryCycles(), 1u);
        QVERIFY(!namedChild<QPushButton>(*editor, "markNotCharged")->isEnabled());

        // Heli's second flight flew Pack B, not Pack A.
        namedChild<QComboBox>(*editor, "batteryFilter")->setCurrentIndex(0);
        QVERIFY(view->model()->setData(
            view->model()->index(rowAt(*view->model(), second), int(FlightEdits::Field::Battery)),
            "Pack B"));
        QCoreApplication::processEvents(); // the table reads the file again
        QCOMPARE(overviewCard(gui, "Pack A")->batteryCycles(), 1u);
        QCOMPARE(overviewCard(gui, "Pack B")->batteryCycles(), 2u);
        QCOMPARE(chartOf(gui, "Pack A"), QStringLiteral("1,3000"));
        QCOMPARE(chartOf(gui, "Pack B"), QStringLiteral("1,2500 2,1000"));
        const QString shown = lastFlightShown(gui, "Heli");
        QVERIFY2(shown.endsWith("|2500|35,50|Pack B"), qPrintable(shown));

        // Deleting Heli's first flight takes its cycle entry and one cycle of Pack A along.
        view->selectRow(rowAt(*view->model(), first));
        namedChild<QPushButton>(*editor, "deleteFlight")->click();
        QCOMPARE(view->model()->rowCount(), 2);
        QCOMPARE(overviewCard(gui, "Pack A")->batteryCycles(), 0u);
        QCOMPARE(chartOf(gui, "Pack A"), QString());
        const QString data = QString::fromUtf8(bytesOf(dataFile()));
        QVERIFY(!data.contains("calm"));
        QCOMPARE(data.count("<Cycle "), 2);

        // Three changes, three undo steps, each named by what it changed.
        QStringList undone;
        for (QAction *undo = undoEntry(); undo->isEnabled(); undo = undoEntry()) {
            undone << undo->text();
            undo->trigger();
        }
        QCOMPARE(undone,
            QStringList({ "&Undo Delete Flight of Heli", "&Undo Move Discharge of Heli",
                "&Undo Mark Pack B Not Charged" }));
        QCOMPARE(bytesOf(dataFile()), before);
    }

    // A store read only up to a fault is shown, never saved: that would lose the rest.
    void damagedStoreIsOnlyShown()
    {
        QByteArray damaged = bytesOf(dataFile());
        damaged.chop(damaged.size() - damaged.lastIndexOf("<LogData"));
        QVERIFY(writeBytes(dataFile(), damaged));
        QAbstractItemModel &table = rows(openEditor());
        QCOMPARE(table.rowCount(), 2);
        QVERIFY(!table.setData(table.index(0, int(FlightEdits::Field::Temperature)), 11));
        QCOMPARE(bytesOf(dataFile()), damaged);
    }
};

QTEST_MAIN(TestFlightEditor)
#include "tst_flighteditor.moc"
