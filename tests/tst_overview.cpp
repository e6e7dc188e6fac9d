#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "window/celloragui.h"
#include "windowsupport.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <tuple>

using namespace TestSupport;

namespace {

// What the overview's column shows, top to bottom: card names and label object names;
// a label shown outside the column counts as a stray.
QStringList column(const CelloraGui &win)
{
    QStringList rows;
    const auto *grid = qobject_cast<QGridLayout *>(
        namedChild<QScrollArea>(win, "scrollArea")->widget()->layout());
    for (int row = 0; row < grid->rowCount(); ++row) {
        QLayoutItem *item = grid->itemAtPosition(row, 0);
        const QWidget *shown = item ? item->widget() : nullptr;
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

// Model "Heli" flies "Pack A" (charged, 12 cycles) and "Pack B" (empty).
SampleStore heliStore(uint capacity = 4500, uint rating = 30)
{
    return { { "North", "South" },
        { pack("Pack A", capacity, rating, 12, true), pack("Pack B", 2200, 25, 3) },
        { model("Heli", { "Pack A", "Pack B" }) } };
}

} // namespace

class TestOverview : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    void content_data()
    {
        QTest::addColumn<SampleStore>("store");
        QTest::addColumn<bool>("written"); // false: no data file at all
        QTest::addColumn<QString>("logModel");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("batteries");

        const SampleStore three { {}, { pack("A1"), pack("A2"), pack("B1"), pack("C1") },
            { model("A", { "A1", "A2" }), model("B", { "B1" }), model("C", { "C1" }) } };
        const SampleStore pair { {}, { pack("P1"), pack("P2") }, {} };
        const auto with = [&pair](const QVector<SampleModel> &models) {
            return SampleStore { {}, pair.batteries, models };
        };
        const QStringList welcome { "lbl_welcome", "lbl_optionshint" }, none;
        const QStringList threeBatteries { "A1", "A2", "B1", "C1" }, pairBatteries { "P1", "P2" };
        QTest::newRow("no data") << SampleStore() << false << QString() << welcome << QString()
                                 << none;
        QTest::newRow("batteries, no model")
            << pair << true << QString() << none << "" << pairBatteries;
        QTest::newRow("model without batteries")
            << with({ model("Glider") }) << true << QString() << QStringList { "lbl_optionshint" }
            << "Glider" << pairBatteries;
        QTest::newRow("one name twice")
            << with({ model("Heli", { "P1" }), model("Heli", { "P2" }) }) << true << QString()
            << QStringList { "P2" } << "Heli" << pairBatteries;
        // The last model, an unknown one, and one in other letter case.
        for (const auto &[logModel, row, selected] :
            { std::tuple("B", "B1", "B"), std::tuple("C", "C1", "C"), std::tuple("Z", "A1 A2", "A"),
                std::tuple("b", "A1 A2", "A") })
            QTest::addRow("logmodel %s", logModel)
                << three << true << QString(logModel) << QString(row).split(' ')
                << QString(selected) << threeBatteries;
    }

    void content()
    {
        QFETCH(SampleStore, store);
        QFETCH(bool, written);
        QFETCH(QString, logModel);
        QFETCH(QString, selected);
        QFETCH(QStringList, batteries);

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
            QCOMPARE(namedChild<QComboBox>(win, chooser)->currentText(), selected);
        for (const char *chooser :
            { "cb_batteryData", "cb_batteryList_delete", "cb_bat_choose_model" })
            QCOMPARE(comboItems(win, chooser), batteries);
        QCOMPARE(namedChild<QPushButton>(win, "pb_chart")->isEnabled(), !batteries.isEmpty());
        QCOMPARE(QFile::exists(dir.filePath(dataFileName())), written);
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
        QVERIFY(f.open(heliStore(capacity, rating)));
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
            QCOMPARE(namedChild<QLabel>(*card, "lbl_discharged")->text(),
                QString("%1mAh").arg(discharged));
            QCOMPARE(namedChild<QLabel>(*card, "lbl_maxCurrent")->text(),
                QString("%1.0A").arg(current / 100));
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
        QCOMPARE(entry.location, QStringLiteral("South"));
        QTEST(entry.temperature, "temperature");
        QCOMPARE(entry.notes, QStringLiteral("Gusty wind"));
        if (!full)
            QCOMPARE(entry.duration, QTime(0, 0));
        QVERIFY2(entry.date >= before && entry.date <= QDateTime::currentDateTime().addSecs(1),
            qPrintable(entry.date.toString()));
        QCOMPARE(battery->cycleDates(), QVector<QDateTime> { entry.date }); // the logbook's link
    }

    void dischargeWithoutModel()
    {
        // Model names stay in the choosers when a folder without models is opened,
        // so choosing one of them then matches no model and shows every card.
        StoreWindow f;
        QVERIFY(writeStore(f.dir.path(), { {}, {}, { model("Heli"), model("Glider") } }));
        f.win.changeStoragePath(f.dir.path());
        QVERIFY(f.open({ {}, { pack("Lone", 3000, 30, 4, true) }, {} }));
        namedChild<QComboBox>(f.win, "cb_select_model")->setCurrentIndex(1);
        FolderWatch watch(f.dir.path());

        clickTank(overviewCard(f.win, "Lone"));

        QCOMPARE(watch.takeSaves(), 1);
        const Loaded saved(f.dir.path());
        QVERIFY(saved.models.isEmpty());
        QVERIFY(!saved.battery("Lone")->batteryCharged());
        QCOMPARE(saved.battery("Lone")->batteryCycles(), 5u);
        QVERIFY(!readStore(f.dir.path()).contains(QLatin1String("LogData")));
    }

    // Switching models keeps one connection per card: each click saves once, and
    // charging saves without reloading the records.
    void modelSwitching()
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
        QCOMPARE(overviewCardNames(f.win), QStringList({ "P1", "P3" }));
        FolderWatch watch(f.dir.path());

        clickTank(overviewCard(f.win, "P1"));
        QCOMPARE(watch.takeSaves(), 1);
        QPointer<BatteryWidget> charged = overviewCard(f.win, "P3");
        clickTank(charged);
        QCOMPARE(watch.takeSaves(), 1);
        QVERIFY(charged && charged->batteryCharged());
        QCOMPARE(overviewCard(f.win, "P3"), charged.data());

        const Loaded saved(f.dir.path());
        QCOMPARE(saved.battery("P1")->batteryCycles(), 8u);
        QCOMPARE(saved.battery("P1")->cycleDates().size(), 1);
        QCOMPARE(saved.model("A")->flightLog().size(), 1);
        QVERIFY(saved.battery("P3")->batteryCharged());
    }

    void refreshesDoNotGrow()
    {
        StoreWindow f;
        SampleStore store = heliStore();
        store.batteries << pack("Spare");
        QVERIFY(f.open(store));
        const auto refresh = [&f](int times) {
            for (int i = 0; i < times; ++i)
                f.win.changeStoragePath(f.dir.path());
        };
        // Old content widgets leave the window's tree when taken out of the scroll area,
        // so the count of all widgets of the process is what would show a leak.
        refresh(10);
        const int children = f.win.findChildren<QObject *>().size();
        const int widgets = QApplication::allWidgets().size();
        refresh(990);
        QCOMPARE(f.win.findChildren<QObject *>().size(), children);
        QCOMPARE(QApplication::allWidgets().size(), widgets);
        QCOMPARE(column(f.win), QStringList({ "Pack A", "Pack B" }));
    }
};

QTEST_MAIN(TestOverview)
#include "tst_overview.moc"
