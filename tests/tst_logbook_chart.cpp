#include "window/chartclasses.h"
#include "windowsupport.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <tuple>

using namespace TestSupport;

namespace {

// Cycle data entries: battery, discharged mAh, current, moment as seconds after the flight.
using Cycles = QVector<std::tuple<QString, uint, uint, int>>;

// The moment of flight n; the store keeps whole seconds.
QDateTime flightMoment(int n)
{
    return QDateTime(QDate(2024, 3, 1), QTime(9, 0)).addSecs(600 * n);
}

// Everything the logbook page shows, in reading order.
QStringList logbookFields(const CelloraGui &win)
{
    QStringList fields;
    for (const char *name : { "lbl_logview_date", "lbl_logview_time", "lbl_logview_duration",
             "lbl_logview_location", "lbl_logview_temp", "lbl_logview_capacity",
             "lbl_logview_current", "lbl_logview_battname" })
        fields << namedChild<QLabel>(win, name)->text();
    return fields << namedChild<QPlainTextEdit>(win, "ptext_logview_notes")->toPlainText();
}

// The notes shown and the steps enabled: "flight 2 <>", "flight 1 ->", " --".
QString logbookState(const CelloraGui &win)
{
    return QStringLiteral("%1 %2%3")
        .arg(logbookFields(win).last())
        .arg(namedChild<QPushButton>(win, "pb_logview_prev")->isEnabled() ? '<' : '-')
        .arg(namedChild<QPushButton>(win, "pb_logview_next")->isEnabled() ? '>' : '-');
}

// The page's chart as text, "Battery age: 2.00 years: 1,45 2,30", and whether a legend shows.
QString chartShown(const CelloraGui &win)
{
    const QList<QChartView *> views = win.findChildren<QChartView *>();
    if (views.size() != 1)
        return QStringLiteral("%1 chart views").arg(views.size());
    const QChart *chart = views.first()->chart();
    QStringList points;
    if (const auto *series = qobject_cast<QLineSeries *>(chart->series().value(0))) {
        for (const QPointF &point : series->points())
            points << QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
    }
    return chart->title() + ": " + points.join(' ')
        + (chart->legend()->isVisible() ? " legend" : "");
}

} // namespace

Q_DECLARE_METATYPE(Cycles)

class TestLogbookChart : public QObject {
    Q_OBJECT

    QTemporaryDir dir; // every test writes its own data file first

    // Saves "Pack A" and "Heli", whose flights 1 to n match its cycles; on request also
    // "Solo" with one flight and "Empty" without.
    void saveHeli(int flights, bool soloAndEmpty = false)
    {
        SampleStore store { {}, { pack("Pack A") }, { model("Heli") } };
        if (soloAndEmpty)
            store.models << model("Solo") << model("Empty");
        for (int n = 1; n <= flights; ++n) {
            store.models[0].flightLog
                << SampleFlight { flightMoment(n), {}, {}, 15, QString("flight %1").arg(n) };
            store.batteries[0].cycleData << SampleCycle { flightMoment(n), 1000u + n, 100u * n };
        }
        if (soloAndEmpty)
            store.models[1].flightLog << store.models[0].flightLog.first();
        QVERIFY(writeStore(dir.path(), store));
    }

private slots:
    void init() { resetSettings(); }

    void logbookBrowsing()
    {
        saveHeli(3, true);
        CelloraGui win;
        win.changeStoragePath(dir.path());
        clickThrough(win, "pb_options pb_logbook");
        QCOMPARE(shownPage(win), QStringLiteral("logView"));
        QCOMPARE(logbookState(win), QStringLiteral("flight 3 <-"));

        // Down to the first entry and back up to the last; the walk never wraps.
        const char *const walk[][2]
            = { { "pb_logview_prev", "flight 2 <>" }, { "pb_logview_prev", "flight 1 ->" },
                  { "pb_logview_next", "flight 2 <>" }, { "pb_logview_next", "flight 3 <-" } };
        for (const auto &step : walk) {
            clickThrough(win, step[0]);
            QCOMPARE(logbookState(win), QString(step[1]));
        }

        auto *models = namedChild<QComboBox>(win, "cb_logview_model");
        models->setCurrentText("Solo");
        QCOMPARE(logbookState(win), QStringLiteral("flight 1 --"));
        models->setCurrentText("Empty");
        QCOMPARE(logbookFields(win), QVector<QString>(9).toList());
        QCOMPARE(logbookState(win), QStringLiteral(" --"));

        // The same model with a shorter log comes in while the page still steps the old one:
        // the step taken is off, the other is left open unless the log is empty.
        const struct {
            int flights;
            const char *button, *state;
        } cases[] = { { 0, "pb_logview_prev", " --" }, { 0, "pb_logview_next", " --" },
            { 1, "pb_logview_prev", "flight 1 -?" }, { 1, "pb_logview_next", "flight 1 ?-" } };
        for (const auto &c : cases) {
            saveHeli(3);
            win.changeStoragePath(dir.path());
            clickThrough(win, "pb_logbook pb_logview_prev");
            QCOMPARE(logbookState(win), QStringLiteral("flight 2 <>"));
            saveHeli(c.flights);
            win.changeStoragePath(dir.path());
            clickThrough(win, c.button);
            QString shown = logbookState(win);
            if (c.flights)
                shown[shown.size() - (QByteArray(c.button).endsWith("prev") ? 1 : 2)] = '?';
            QCOMPARE(shown, QString(c.state));
            const QStringList fields = logbookFields(win);
            QVERIFY(c.flights ? fields.at(7) == "Pack A" : fields == QVector<QString>(9).toList());
        }
    }

    void logbookEntry_data()
    {
        QTest::addColumn<Cycles>("cycles");
        QTest::addColumn<int>("temperature");
        QTest::addColumn<QStringList>("shown"); // temperature, capacity, current, battery
        QTest::newRow("battery deleted") << Cycles() << 15 << QStringList { "15°", "", "", "" };
        QTest::newRow("one second off")
            << Cycles { { "Pack A", 3000, 4000, 1 } } << 15 << QStringList { "15°", "", "", "" };
        QTest::newRow("later battery wins")
            << Cycles { { "Pack A", 3000, 4000, 0 }, { "Pack B", 2000, 5000, 0 } } << 21
            << QStringList { "21°", "2000", "50,0", "Pack B" };
        QTest::newRow("quick entry, frost") << Cycles { { "Pack Q", 0, 0, 0 } } << -3
                                            << QStringList { "-3°", "0", "0,0", "Pack Q" };
        QTest::newRow("135 A") << Cycles { { "Pack A", 3300, 13500, 0 } } << 15
                               << QStringList { "15°", "3300", "135,0", "Pack A" };
    }

    void logbookEntry()
    {
        QFETCH(Cycles, cycles);
        QFETCH(QStringList, shown);

        SampleStore store;
        for (const auto &[name, discharged, current, offset] : cycles) {
            store.batteries << pack(name);
            store.batteries.last().cycleData
                << SampleCycle { flightMoment(1).addSecs(offset), discharged, current };
        }
        QFETCH(int, temperature);
        store.models << model("Heli");
        store.models[0].flightLog << SampleFlight { flightMoment(1), QTime(0, 6, 30),
            "Hangweide Süd", temperature, "gusty\n\tlanded early" };
        QVERIFY(writeStore(dir.path(), store));
        CelloraGui win;
        win.changeStoragePath(dir.path());
        clickThrough(win, "pb_options pb_logbook");

        QCOMPARE(logbookFields(win),
            QStringList({ QDate(2024, 3, 1).toString(Qt::TextDate), "09:10:00", "00:06:30",
                "Hangweide Süd" })
                + shown + QStringList("gusty\n\tlanded early"));
    }

    void chart_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<uint>("capacity");
        QTest::addColumn<QDate>("bought");
        QTest::addColumn<QString>("shown");

        const QDate today = QDate::currentDate();
        QTest::newRow("mAh, bought today")
            << "rb_showmAh" << 1500u << today << "Battery age: 0.00 years: 1,1300 2,1250 3,1280";
        QTest::newRow("amperes, 730 days old") << "rb_showAmps" << 1500u << today.addDays(-730)
                                               << "Battery age: 2.00 years: 1,45 2,30 3,0";
        QTest::newRow("C, bought a year ahead") << "rb_showC" << 1500u << today.addDays(365)
                                                << "Battery age: -1.00 years: 1,30 2,20 3,0";
        // Infinite and undefined C values are left out rather than drawn.
        QTest::newRow("C without capacity, no date")
            << "rb_showC" << 0u << QDate() << "Battery age: 0.00 years: ";
    }

    void chart()
    {
        QFETCH(QString, unit);
        QFETCH(uint, capacity);
        QFETCH(QDate, bought);

        SampleStore store { {}, { pack("Pack A", capacity) }, {} };
        store.batteries[0].purchase = bought;
        store.batteries[0].cycleData << SampleCycle { flightMoment(1), 1300, 4500 }
                                     << SampleCycle { flightMoment(2), 1250, 3000 }
                                     << SampleCycle { flightMoment(3), 1280, 0 };
        QVERIFY(writeStore(dir.path(), store));
        CelloraGui win;
        win.changeStoragePath(dir.path());
        clickThrough(win, "pb_options pb_chart " + unit);
        QTEST(chartShown(win), "shown");
    }

    void chartKeepsOneView()
    {
        SampleStore store { {}, { pack("Pack A"), pack("Pack B") }, {} };
        store.batteries[0].purchase = store.batteries[1].purchase = QDate();
        store.batteries[0].cycleData << SampleCycle { flightMoment(1), 1300, 4500 };
        store.batteries[1].cycleData << SampleCycle { flightMoment(2), 900, 2000 };
        QVERIFY(writeStore(dir.path(), store));
        CelloraGui win;
        win.resize(345, 543);
        win.changeStoragePath(dir.path());
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        clickThrough(win, "pb_options pb_chart");
        QCOMPARE(shownPage(win), QStringLiteral("dataView"));
        auto *batteries = namedChild<QComboBox>(win, "cb_batteryData");
        // A replaced view is destroyed as a whole: its destructor runs and tells so.
        int destroyedViews = 0;
        connect(win.findChild<QChartView *>(), &QObject::destroyed, [&] { ++destroyedViews; });
        clickThrough(win, "rb_showAmps");
        QCOMPARE(destroyedViews, 1);
        QCOMPARE(win.findChildren<QChartView *>().size(), 1);
        for (int i = 0; i < 10; ++i) {
            batteries->setCurrentIndex(i % 2);
            clickThrough(win, i % 2 ? "rb_showmAh" : "rb_showAmps");
        }
        QCOMPARE(chartShown(win), QStringLiteral("Battery age: 0.00 years: 1,900")); // Pack B, mAh
        // On screen, with the page's free height; a single discharge is a dot.
        const QChartView *view = win.findChild<QChartView *>();
        const auto *series = qobject_cast<QLineSeries *>(view->chart()->series().value(0));
        QVERIFY(series && series->pointsVisible());
        QTRY_VERIFY(view->isVisible());
        QVERIFY2(view->height() > win.height() / 2, qPrintable(QString::number(view->height())));

        // Every battery goes; the chooser keeps its names, which now name no battery.
        QVERIFY(writeStore(dir.path(), { {}, {}, { model("Heli") } }));
        win.changeStoragePath(dir.path());
        QVERIFY(!namedChild<QPushButton>(win, "pb_chart")->isEnabled());
        QCOMPARE(batteries->count(), 2);
        clickThrough(win, "rb_showAmps");
        QCOMPARE(chartShown(win), QStringLiteral("Battery age: 0.00 years: "));
    }
};

QTEST_MAIN(TestLogbookChart)
#include "tst_logbook_chart.moc"
