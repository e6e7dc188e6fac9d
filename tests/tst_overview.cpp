// The pages that show the store: the overview, a discharge from the tank to the data file,
// the logbook, the chart, and the backup page.

#include "window/chartclasses.h"
#include "windowsupport.h"

#include <tuple>

using namespace TestSupport;

namespace {

// Cycle data entries: battery, discharged mAh, current, moment as seconds after the flight.
using Cycles = QVector<std::tuple<QString, uint, uint, int>>;

// What the overview's column shows, top to bottom: card names and label object names;
// a label shown outside the column counts as a stray.
QStringList column(const CelloraGui &win)
{
    QStringList rows;
    const auto *grid = qobject_cast<QGridLayout *>(
        namedChild<QScrollArea>(win, "scrollArea")->widget()->layout());
    for (int row = 0; row < grid->rowCount(); ++row) {
        const QWidget *shown
            = grid->itemAtPosition(row, 0) ? grid->itemAtPosition(row, 0)->widget() : nullptr;
        if (const auto *card = qobject_cast<const BatteryWidget *>(shown))
            rows << card->batteryName();
        else if (shown)
            rows << shown->objectName();
    }
    for (const char *label : { "lbl_welcome", "lbl_optionshint" }) {
        if (namedChild<QLabel>(win, label)->isVisibleTo(&win) && !rows.contains(label))
            rows << QStringLiteral("stray ") + label;
    }
    return rows;
}

// The moment of flight n; the store keeps whole seconds.
QDateTime flightMoment(int n)
{
    return QDateTime(QDate(2024, 3, 1), QTime(9, 0)).addSecs(600 * n);
}

// "Heli" with flights 1 to n on "Pack A"; on request "Solo" with one flight, and "Empty".
SampleStore heliLog(int flights, bool soloAndEmpty = false)
{
    SampleStore store { {}, { pack("Pack A") }, { model("Heli") } };
    if (soloAndEmpty)
        store.models << model("Solo") << model("Empty");
    for (int n = 1; n <= flights; ++n) {
        store.models[0].flightLog << SampleFlight { flightMoment(n), {}, {}, 15,
            QString("flight %1").arg(n) };
        store.batteries[0].cycleData << SampleCycle { flightMoment(n), 1000u + n, 100u * n };
    }
    if (soloAndEmpty)
        store.models[1].flightLog << store.models[0].flightLog.first();
    return store;
}

// Everything the logbook page shows, in reading order.
QStringList logbookFields(const CelloraGui &win)
{
    QStringList fields;
    for (const char *name :
        { "date", "time", "duration", "location", "temp", "capacity", "current", "battname" })
        fields << namedChild<QLabel>(win, qPrintable(QString("lbl_logview_") + name))->text();
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
    QStringList points;
    if (const auto *series = qobject_cast<QLineSeries *>(views[0]->chart()->series().value(0))) {
        for (const QPointF &point : series->points())
            points << QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
    }
    return views[0]->chart()->title() + ": " + points.join(' ')
        + (views[0]->chart()->legend()->isVisible() ? " legend" : "");
}

QStringList backupsIn(const QTemporaryDir &folder)
{
    return QDir(folder.path()).entryList({ "cellora_*" }, QDir::Files);
}

} // namespace

Q_DECLARE_METATYPE(Cycles)

class TestOverview : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    void content_data()
    {
        QTest::addColumn<SampleStore>("store"); // none at all: no data file
        QTest::addColumn<QString>("logModel");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("batteries");
        const SampleStore three { {}, { pack("A1"), pack("A2"), pack("B1"), pack("C1") },
            { model("A", { "A1", "A2" }), model("B", { "B1" }), model("C", { "C1" }) } };
        const auto pair = [](const QVector<SampleModel> &models) {
            return SampleStore { {}, { pack("P1"), pack("P2") }, models };
        };
        const QStringList pairBatteries { "P1", "P2" };
        QTest::newRow("no data") << SampleStore() << QString()
                                 << QStringList { "lbl_welcome", "lbl_optionshint" } << QString()
                                 << QStringList();
        QTest::newRow("batteries, no model")
            << pair({}) << QString() << QStringList() << "" << pairBatteries;
        QTest::newRow("model without batteries")
            << pair({ model("Glider") }) << QString() << QStringList { "lbl_optionshint" }
            << "Glider" << pairBatteries;
        QTest::newRow("one name twice")
            << pair({ model("Heli", { "P1" }), model("Heli", { "P2" }) }) << QString()
            << QStringList { "P2" } << "Heli" << pairBatteries;
        // The last model, an unknown one, and one in other letter case.
        for (const auto &[logModel, row, selected] :
            { std::tuple("B", "B1", "B"), std::tuple("C", "C1", "C"), std::tuple("Z", "A1 A2", "A"),
                std::tuple("b", "A1 A2", "A") })
            QTest::addRow("logmodel %s", logModel)
                << three << QString(logModel) << QString(row).split(' ') << QString(selected)
                << QStringList { "A1", "A2", "B1", "C1" };
    }

    void content()
    {
        QFETCH(SampleStore, store);
        QFETCH(QString, logModel);
        QFETCH(QStringList, batteries);
        const bool written = !store.batteries.isEmpty();
        if (!logModel.isNull())
            setSetting("logmodel", logModel);
        QTemporaryDir dir;
        QVERIFY(!written || writeStore(dir.path(), store));
        CelloraGui win;
        win.changeStoragePath(dir.path());
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QTEST(column(win), "rows");
        for (const char *chooser :
            { "cb_select_model", "cb_logview_model", "cb_model_choose_bat", "cb_modelList_delete" })
            QTEST(namedChild<QComboBox>(win, chooser)->currentText(), "selected");
        for (const char *chooser :
            { "cb_batteryData", "cb_batteryList_delete", "cb_bat_choose_model" })
            QCOMPARE(comboItems(win, chooser), batteries);
        QCOMPARE(namedChild<QPushButton>(win, "pb_chart")->isEnabled(), written);
        QCOMPARE(QFile::exists(dataFileIn(dir.path())), written);
    }

    // The tank of a charged card, end to end: one save holds the flight and the battery.
    void discharge_data()
    {
        QTest::addColumn<bool>("full");
        QTest::addColumn<uint>("capacity");
        QTest::addColumn<uint>("rating");
        QTest::addColumn<uint>("discharged"); // proposed and stored
        QTest::addColumn<QString>("currentText"); // proposed
        QTest::addColumn<uint>("current"); // stored, in hundredths
        QTest::addColumn<int>("temperature"); // stored
        QTest::newRow("Quick") << false << 4500u << 30u << 0u << QString() << 0u << 0;
        QTest::newRow("Full") << true << 4500u << 30u << 3600u << "135" << 13500u << -5;
        QTest::newRow("Full, 56.25 A") << true << 2250u << 25u << 1800u << "56" << 5600u << -5;
        QTest::newRow("Full, above the ranges")
            << true << 30000u << 50u << 20000u << "300" << 30000u << -5;
    }

    void discharge()
    {
        QFETCH(bool, full);
        QFETCH(uint, capacity);
        QFETCH(uint, rating);
        QFETCH(uint, discharged);
        QFETCH(uint, current);
        setSetting("cellora", full ? "Complex" : "Simple");
        StoreWindow f;
        QVERIFY(f.open(heliFleet(capacity, rating)));
        namedChild<QComboBox>(f.win, "cb_overview_location")->setCurrentIndex(1);
        namedChild<QSpinBox>(f.win, "sb_log_temp")->setValue(-5);
        // Notes are never reset: a Quick entry carries what was typed last.
        namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")->setPlainText("Gusty wind");
        FolderWatch watch(f.dir.path());
        BatteryWidget *card = overviewCard(f.win, "Pack A");
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        clickTank(card);
        if (full) {
            QCOMPARE(shownPage(f.win), QStringLiteral("dischargeView"));
            QCOMPARE(
                namedChild<QSpinBox>(f.win, "sb_discharged_capacity")->value(), int(discharged));
            QTEST(
                namedChild<QDoubleSpinBox>(f.win, "dsb_discharged_current")->text(), "currentText");
            QCOMPARE(watch.takeSaves(), 0);
            clickThrough(f.win, "pb_save_discharged");
        }
        QCOMPARE(watch.takeSaves(), 1);
        QCOMPARE(shownPage(f.win), QStringLiteral("scrollLayout"));
        QCOMPARE(namedChild<QLabel>(*card, "lbl_cycles")->text(), QStringLiteral("13"));
        QVERIFY(!card->batteryCharged());
        if (full) {
            QCOMPARE(namedChild<QLabel>(*card, "lbl_discharged")->text() + ' '
                    + namedChild<QLabel>(*card, "lbl_maxCurrent")->text(),
                QString("%1mAh %2.0A").arg(discharged).arg(current / 100));
            QVERIFY(namedChild<QLabel>(*card, "lbl_maxCurrent")->isVisibleTo(&f.win));
        }
        const Loaded saved(f.dir.path());
        const BatteryWidget *battery = saved.battery("Pack A");
        QVERIFY(!battery->batteryCharged());
        QCOMPARE(battery->batteryCycles(), 13u);
        QCOMPARE(battery->cycleDischarged(), QVector<uint> { discharged });
        QCOMPARE(battery->cycleCurrents(), QVector<uint> { current });
        QCOMPARE(saved.model("Heli")->flightLog().size(), 1);
        const LogData &entry = saved.model("Heli")->flightLog().first();
        QCOMPARE(entry.location + ' ' + entry.notes, QStringLiteral("South Gusty wind"));
        QTEST(entry.temperature, "temperature");
        if (!full)
            QCOMPARE(entry.duration, QTime(0, 0));
        QVERIFY(entry.date >= before && entry.date <= QDateTime::currentDateTime().addSecs(1));
        QCOMPARE(battery->cycleDates(), QVector<QDateTime> { entry.date }); // the logbook's link
    }

    // Model names stay in the choosers when a folder without models is opened, so choosing
    // one of them then matches no model and shows every card; its tank logs no flight.
    void dischargeWithoutModel()
    {
        StoreWindow f;
        QVERIFY(writeStore(f.dir.path(), { {}, {}, { model("Heli"), model("Glider") } }));
        f.win.changeStoragePath(f.dir.path());
        QVERIFY(f.open({ {}, { pack("Lone", 3000, 30, 4, true) }, {} }));
        namedChild<QComboBox>(f.win, "cb_select_model")->setCurrentIndex(1);
        FolderWatch watch(f.dir.path());
        clickTank(overviewCard(f.win, "Lone"));
        QCOMPARE(watch.takeSaves(), 1);
        const Loaded saved(f.dir.path());
        QVERIFY(saved.models.isEmpty() && !saved.battery("Lone")->batteryCharged());
        QCOMPARE(saved.battery("Lone")->batteryCycles(), 5u);
        QVERIFY(!readStore(f.dir.path()).contains("LogData"));
    }

    // Switching models keeps one connection per card: each click saves once, and
    // charging saves without reloading the records; refreshes leave no widget behind.
    void modelSwitchingAndRefreshes()
    {
        StoreWindow f;
        QVERIFY(f.open({ {}, { pack("P1", 4000, 30, 7, true), pack("P2"), pack("P3") },
            { model("A", { "P1", "P3" }), model("B", { "P2" }) } }));
        auto *models = namedChild<QComboBox>(f.win, "cb_select_model");
        for (int i = 0; i < 6; ++i) {
            models->setCurrentIndex(1 - models->currentIndex());
            for (const char *chooser : { "cb_model_choose_bat", "cb_logview_model" })
                QCOMPARE(
                    namedChild<QComboBox>(f.win, chooser)->currentText(), models->currentText());
        }
        QCOMPARE(column(f.win), QStringList({ "P1", "P3" }));
        FolderWatch watch(f.dir.path());
        clickTank(overviewCard(f.win, "P1"));
        QCOMPARE(watch.takeSaves(), 1);
        QPointer<BatteryWidget> charged = overviewCard(f.win, "P3");
        clickTank(charged);
        QCOMPARE(watch.takeSaves(), 1);
        QVERIFY(charged && charged->batteryCharged());
        QCOMPARE(overviewCard(f.win, "P3"), charged.data());
        // Old content widgets leave the window's tree when taken out of the scroll area,
        // so the count of all widgets of the process is what would show a leak.
        for (int i = 0; i < 10; ++i)
            f.win.changeStoragePath(f.dir.path());
        const int children = f.win.findChildren<QObject *>().size();
        const int widgets = QApplication::allWidgets().size();
        for (int i = 0; i < 990; ++i)
            f.win.changeStoragePath(f.dir.path());
        QCOMPARE(f.win.findChildren<QObject *>().size(), children);
        QCOMPARE(QApplication::allWidgets().size(), widgets);
        QCOMPARE(column(f.win), QStringList({ "P1", "P3" }));
    }

    // The same clicks make tests/data/session.xml under Qt 5 and Qt 6, from a store as older
    // versions left it: a fraction of a second, a year of three digits, names beyond ASCII.
    void scriptedSessionFile()
    {
        setSetting("cellora", "Complex");
        StoreWindow f;
        QVERIFY(writeStore(f.dir.path(),
            { { "Feld Nord", "Wiese \u00e4\u00f6\u00fc" },
                { pack("Pack A", 5000, 35, 12, true), pack("Pack B", 2200, 25, 3) },
                { model("Heli \U0001F681", { "Pack A", "Pack B" }) } }));
        QVERIFY(writeBytes(dataFileIn(f.dir.path()),
            readStore(f.dir.path())
                .replace("14:05:09 2024<", "14:05:09.5 2024<")
                .replace("Sun Dec 31 23:59:59 2023<", "Tue Dec 31 12:00:00 999<")
                .toUtf8()));
        f.win.changeStoragePath(f.dir.path());
        f.win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.win));
        addLocation(f.win, "Hang \U0001F3D4");
        clickTank(overviewCard(f.win, "Pack B")); // charged now
        namedChild<QComboBox>(f.win, "cb_overview_location")->setCurrentIndex(1);
        clickTank(overviewCard(f.win, "Pack A")); // a Full discharge
        namedChild<QDateEdit>(f.win, "dedt_dischargeDate")->setDate(QDate(2024, 5, 4));
        namedChild<QTimeEdit>(f.win, "tedt_dischargeTime")->setTime(QTime(9, 30));
        namedChild<QSpinBox>(f.win, "sb_log_temp")->setValue(-5);
        namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")
            ->setPlainText("B\u00f6en \u2713\nzweite Zeile");
        clickThrough(f.win, "pb_save_discharged");
        // Date-times of this day come from the clock: the file names them "now".
        const QDate today = QDate::currentDate();
        const QString clock = QLocale::c().toString(today, "ddd MMM d") + " \\d\\d:\\d\\d:\\d\\d "
            + QString::number(today.year());
        QCOMPARE(readStore(f.dir.path()).replace(QRegularExpression(clock), "now").toUtf8(),
            bytesOf(CELLORA_TEST_DATA "/session.xml"));
    }

    // The cursor starts at the newest flight and never wraps; a log shortened while the page
    // steps it turns the step taken off, and the other too when it is empty.
    void logbookBrowsing()
    {
        StoreWindow f;
        QVERIFY(f.open(heliLog(3, true)));
        clickThrough(f.win, "pb_options pb_logbook");
        QStringList states { logbookState(f.win) };
        for (const char *step : { "prev", "prev", "next", "next" }) {
            clickThrough(f.win, QString("pb_logview_") + step);
            states << logbookState(f.win);
        }
        QCOMPARE(states.join('|'), "flight 3 <-|flight 2 <>|flight 1 ->|flight 2 <>|flight 3 <-");
        auto *models = namedChild<QComboBox>(f.win, "cb_logview_model");
        models->setCurrentText("Solo");
        QCOMPARE(logbookState(f.win), QStringLiteral("flight 1 --"));
        models->setCurrentText("Empty");
        QCOMPARE(logbookFields(f.win), QVector<QString>(9).toList());
        QCOMPARE(logbookState(f.win), QStringLiteral(" --"));
        for (const auto &[flights, button, state] :
            { std::tuple(0, "pb_logview_prev", " --"), std::tuple(0, "pb_logview_next", " --"),
                std::tuple(1, "pb_logview_prev", "flight 1 -?"),
                std::tuple(1, "pb_logview_next", "flight 1 ?-") }) {
            QVERIFY(writeStore(f.dir.path(), heliLog(3)));
            f.win.changeStoragePath(f.dir.path());
            clickThrough(f.win, "pb_logbook pb_logview_prev");
            QCOMPARE(logbookState(f.win), QStringLiteral("flight 2 <>"));
            QVERIFY(writeStore(f.dir.path(), heliLog(flights)));
            f.win.changeStoragePath(f.dir.path());
            clickThrough(f.win, button);
            QString shown = logbookState(f.win);
            if (flights)
                shown[shown.size() - (QByteArray(button).endsWith("prev") ? 1 : 2)] = '?';
            QCOMPARE(shown, QString(state));
            const QStringList fields = logbookFields(f.win);
            QVERIFY(flights ? fields.at(7) == "Pack A" : fields == QVector<QString>(9).toList());
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
        QFETCH(int, temperature);
        QFETCH(QStringList, shown);
        SampleStore store { {}, {}, { model("Heli") } };
        for (const auto &[name, discharged, current, offset] : cycles) {
            store.batteries << pack(name);
            store.batteries.last().cycleData
                << SampleCycle { flightMoment(1).addSecs(offset), discharged, current };
        }
        store.models[0].flightLog << SampleFlight { flightMoment(1), QTime(0, 6, 30),
            "Hangweide Süd", temperature, "gusty\n\tlanded early" };
        StoreWindow f;
        QVERIFY(f.open(store));
        clickThrough(f.win, "pb_options pb_logbook");
        QCOMPARE(logbookFields(f.win),
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
        QFETCH(uint, capacity);
        QFETCH(QDate, bought);
        SampleStore store { {}, { pack("Pack A", capacity) }, {} };
        store.batteries[0].purchase = bought;
        store.batteries[0].cycleData << SampleCycle { flightMoment(1), 1300, 4500 }
                                     << SampleCycle { flightMoment(2), 1250, 3000 }
                                     << SampleCycle { flightMoment(3), 1280, 0 };
        StoreWindow f;
        QVERIFY(f.open(store));
        QFETCH(QString, unit);
        clickThrough(f.win, "pb_options pb_chart " + unit);
        QTEST(chartShown(f.win), "shown");
    }

    // A replaced view is destroyed as a whole; the one view fills the page's free height, a
    // single discharge is a dot, and a chooser whose names name no battery draws nothing.
    void chartKeepsOneView()
    {
        SampleStore store { {}, { pack("Pack A"), pack("Pack B") }, {} };
        store.batteries[0].purchase = store.batteries[1].purchase = QDate();
        store.batteries[0].cycleData << SampleCycle { flightMoment(1), 1300, 4500 };
        store.batteries[1].cycleData << SampleCycle { flightMoment(2), 900, 2000 };
        StoreWindow f;
        f.win.resize(345, 543);
        QVERIFY(f.open(store));
        clickThrough(f.win, "pb_options pb_chart");
        auto *batteries = namedChild<QComboBox>(f.win, "cb_batteryData");
        int destroyedViews = 0;
        connect(f.win.findChild<QChartView *>(), &QObject::destroyed, [&] { ++destroyedViews; });
        clickThrough(f.win, "rb_showAmps");
        QCOMPARE(destroyedViews, 1);
        for (int i = 0; i < 10; ++i) {
            batteries->setCurrentIndex(i % 2);
            clickThrough(f.win, i % 2 ? "rb_showmAh" : "rb_showAmps");
        }
        QCOMPARE(chartShown(f.win), QStringLiteral("Battery age: 0.00 years: 1,900")); // B, mAh
        const QChartView *view = f.win.findChild<QChartView *>();
        QVERIFY(qobject_cast<QLineSeries *>(view->chart()->series().value(0))->pointsVisible());
        QTRY_VERIFY(view->isVisible());
        QVERIFY(view->height() > f.win.height() / 2);
        QVERIFY(writeStore(f.dir.path(), { {}, {}, { model("Heli") } }));
        f.win.changeStoragePath(f.dir.path());
        QVERIFY(!namedChild<QPushButton>(f.win, "pb_chart")->isEnabled());
        QCOMPARE(batteries->count(), 2);
        clickThrough(f.win, "rb_showAmps");
        QCOMPARE(chartShown(f.win), QStringLiteral("Battery age: 0.00 years: "));
    }

    // The backup is named after the moment of the export, which may tick over during it; the
    // export's timer also clears a later message, before that one's own two seconds.
    void exportThenImport()
    {
        QTemporaryDir target;
        AnsweredDialogs dialogs({}, target.path());
        StoreWindow f;
        QVERIFY(f.open(heliFleet()));
        clickThrough(f.win, "pb_options pb_backup");
        QElapsedTimer sinceExport;
        sinceExport.start();
        const QString before = StoreFiles::copyName(QDateTime::currentDateTime());
        clickThrough(f.win, "pb_export_data");
        const QStringList backups = backupsIn(target);
        QVERIFY(backups == QStringList(before)
            || backups == QStringList(StoreFiles::copyName(QDateTime::currentDateTime())));
        f.win.changeStoragePath(f.dir.path());
        QTest::qWait(1000);
        QCOMPARE(backupStatus(f.win), QStringLiteral("Export finished!"));
        dialogs.answer(target.filePath(backups.first()));
        clickThrough(f.win, "pb_import_data");
        QCOMPARE(backupStatus(f.win), QStringLiteral("Import finished!"));
        QTRY_COMPARE_WITH_TIMEOUT(backupStatus(f.win), QString(), 1500);
        QVERIFY(sinceExport.elapsed() >= 1900);
    }

    void exportCases_data()
    {
        QTest::addColumn<QByteArray>("data"); // null: no data file
        QTest::addColumn<QString>("folder"); // in the target folder; null: cancelled
        QTest::addColumn<QByteArray>("backup"); // null: none made
        QTest::addColumn<QString>("status");
        const QByteArray store = "<Cellora>\n</Cellora>\n";
        const QString finished = "Export finished!";
        QTest::newRow("no data file") << QByteArray() << "." << QByteArray("") << QString();
        QTest::newRow("cancelled") << store << QString() << QByteArray() << QString();
        QTest::newRow("missing folder")
            << store << "missing" << QByteArray() << "Error! Could not create file.";
        QTest::newRow("no line end at the end")
            << QByteArray("<Cellora>\n</Cellora>") << "." << store << finished;
        QTest::newRow("carriage returns, an empty line")
            << QByteArray("<Cellora>\r\n\r\n</Cellora>\r\n") << "."
            << QByteArray("<Cellora>\n\n</Cellora>\n") << finished;
    }

    void exportCases()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, folder);
        QFETCH(QByteArray, backup);
        QTemporaryDir storage, target;
        QVERIFY(data.isNull() || writeBytes(dataFileIn(storage.path()), data));
        AnsweredDialogs dialogs({}, folder.isNull() ? QString() : target.filePath(folder));
        CelloraGui win;
        win.changeStoragePath(storage.path());
        clickThrough(win, "pb_export_data");
        QTEST(backupStatus(win), "status");
        QCOMPARE(backupsIn(target).size(), backup.isNull() ? 0 : 1);
        if (!backup.isNull())
            QCOMPARE(bytesOf(target.filePath(backupsIn(target).first())), backup);
        QCOMPARE(
            bytesOf(dataFileIn(storage.path())), data.isNull() ? QByteArray("<unreadable>") : data);
    }

    void importCases_data()
    {
        QTest::addColumn<bool>("folderSet");
        QTest::addColumn<QString>("source"); // in the source folder; "self": the data file
        QTest::addColumn<QByteArray>("content"); // written there first; null: no such file
        QTest::addColumn<QStringList>("cards"); // the overview after the import
        QTest::addColumn<QString>("status");
        const QStringList heli { "Pack A", "Pack B" }, none;
        QTest::newRow("no storage folder")
            << false << "trainer.xml"
            << QByteArray("<Cellora><Battery><Name>Pack X</Name></Battery></Cellora>\n") << none
            << "Error! Not a valid file.";
        QTest::newRow("missing file")
            << true << "missing.xml" << QByteArray() << heli << "Error! Could not access file.";
        QTest::newRow("the data file itself")
            << true << "self" << QByteArray() << heli << "Import finished!";
        QTest::newRow("empty file")
            << true << "empty.xml" << QByteArray("") << none << "Import finished!";
    }

    void importCases()
    {
        QFETCH(bool, folderSet);
        QFETCH(QString, source);
        QFETCH(QByteArray, content);
        QTemporaryDir storage, sources;
        QVERIFY(writeStore(storage.path(), heliFleet()));
        const QByteArray saved = bytesOf(dataFileIn(storage.path()));
        const QString path
            = source == "self" ? dataFileIn(storage.path()) : sources.filePath(source);
        QVERIFY(content.isNull() || writeBytes(path, content));
        // Without a folder the store stands for the working directory: keep it empty.
        const QString oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(sources.path()));
        AnsweredDialogs dialogs(path);
        CelloraGui win;
        if (folderSet)
            win.changeStoragePath(storage.path());
        clickThrough(win, "pb_import_data");
        QDir::setCurrent(oldCurrent);
        QTEST(backupStatus(win), "status");
        QTEST(overviewCardNames(win), "cards");
        QCOMPARE(
            bytesOf(dataFileIn(storage.path())), folderSet && !content.isNull() ? content : saved);
        QVERIFY(!QFile::exists(dataFileIn(sources.path())));
        QVERIFY(content.isNull() || bytesOf(path) == content);
        // A reload of a file without locations keeps the location choosers' items.
        QCOMPARE(comboItems(win, "cb_overview_location"),
            folderSet ? QStringList({ "North", "South", "East" }) : QStringList());
    }
};

QTEST_MAIN(TestOverview)
#include "tst_overview.moc"
