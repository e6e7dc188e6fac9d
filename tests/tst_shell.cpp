#include "records/batterywidget.h"
#include "window/celloragui.h"
#include "windowsupport.h"

#include <QApplication>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtTest>

using namespace TestSupport;

namespace {

// Every card of the process, also those that the overview does not show.
QList<BatteryWidget *> allCards()
{
    QList<BatteryWidget *> cards;
    for (QWidget *w : QApplication::allWidgets()) {
        if (auto *card = qobject_cast<BatteryWidget *>(w))
            cards.append(card);
    }
    return cards;
}

// "Pack A" (charged) and "Pack B" belong to "Heli"; "Spare" to no model.
SampleStore sampleStore()
{
    return { { "North", "South", "East" },
        { pack("Pack A", 4500, 30, 12, true), pack("Pack B", 2200, 25, 3),
            pack("Spare", 1000, 20) },
        { model("Heli", { "Pack A", "Pack B" }) } };
}

class KeyCountingHost : public QWidget {
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        ++keys;
        QWidget::keyPressEvent(event);
    }
};

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    // The window's life in a host: construction, keys, a load and destruction.
    void lifeInHost()
    {
        // Without a folder the store stands for the working directory: a data file
        // there stays unread until the host names a folder.
        setSetting("logmodel", "Heli");
        QTemporaryDir dir;
        QVERIFY(writeStore(dir.path(), sampleStore()));
        const QString oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        KeyCountingHost host;
        auto *win = new CelloraGui;
        auto *sibling = new QWidget;
        auto *layout = new QVBoxLayout(&host);
        layout->addWidget(win);
        layout->addWidget(sibling);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        QCOMPARE(win->windowTitle(), QStringLiteral("Vantrix 15.8.4"));
        QCOMPARE(shownPage(*win), QStringLiteral("scrollLayout"));
        QCOMPARE(namedChild<QLabel>(*win, "lbl_welcome")->text(), QStringLiteral("Welcome"));
        QCOMPARE(namedChild<QLabel>(*win, "lbl_optionshint")->text(),
            QStringLiteral("Please go to Options and add new model and battery!"));
        QVERIFY(namedChild<QLabel>(*win, "lbl_welcome")->isVisible());
        QVERIFY(namedChild<QLabel>(*win, "lbl_optionshint")->isVisible());
        for (const char *really :
            { "lbl_really", "lbl_reallydelete_model", "lbl_reallydelete_location" })
            QVERIFY2(namedChild<QLabel>(*win, really)->isHidden(), really);
        QCOMPARE(namedChild<QLabel>(*win, "lbl_backup_status")->text(), QString());
        QVERIFY(namedChild<QRadioButton>(*win, "rb_showmAh")->isChecked());
        QVERIFY(namedChild<QRadioButton>(*win, "rb_modeSimple")->isChecked());
        QCOMPARE(namedChild<QComboBox>(*win, "cb_overview_location")->count(), 0);

        // A widget of the host that does not use keys passes them on: the counter works.
        QTest::keyClick(sibling, Qt::Key_A);
        QCOMPARE(host.keys, 1);
        for (Qt::Key key : { Qt::Key_A, Qt::Key_Escape, Qt::Key_Return })
            QTest::keyClick(win, key);
        // A push button uses no letters; the key climbs to the window and stops there.
        QTest::keyClick(namedChild<QPushButton>(*win, "pb_options"), Qt::Key_X);
        // Keys that a child uses still work.
        clickThrough(*win, "pb_options pb_edit_data pb_choose_addlocation");
        auto *name = namedChild<QLineEdit>(*win, "ledt_location_new");
        name->clear();
        QTest::keyClicks(name, "Field");
        QCOMPARE(name->text(), QStringLiteral("Field"));
        QCOMPARE(host.keys, 1);

        // Destruction writes neither the data file nor the settings.
        win->changeStoragePath(dir.path());
        QCOMPARE(overviewCardNames(*win), QStringList({ "Pack A", "Pack B" }));
        FolderWatch watch(dir.path(), IN_MODIFY | IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE);
        delete win;
        QDir::setCurrent(oldCurrent);
        QVERIFY(watch.takeEvents().isEmpty());
        QVERIFY(!setting("cellora").isValid());
        QCOMPARE(setting("logmodel").toString(), QStringLiteral("Heli"));
    }

    // What hosts use by name: the close signal and every public slot, in any order.
    void exportedInterface()
    {
        const QString buttons = "backup export_data import_data update_battery update_model home "
                                "options mode edit_data choose_addbattery choose_addmodel "
                                "choose_addlocation addNewBattery addNewModel add_location "
                                "del_location chart choose_delbattery choose_delmodel "
                                "choose_modify_battery choose_modify_model choose_dellocation "
                                "logbook save_discharged deleteConfirm deleteConfirm_model "
                                "add_batt_to_model rem_batt_from_model logview_next logview_prev";
        QStringList expected { "btnGrp_mode_buttonClicked(QAbstractButton*)",
            "btngrp_showData_buttonClicked(QAbstractButton*)",
            "cb_batteryData_currentIndexChanged(int)",
            "cb_batteryList_delete_currentIndexChanged(int)",
            "cb_select_model_currentIndexChanged(int)", "cb_logview_model_currentIndexChanged(int)",
            "cb_bat_choose_model_currentIndexChanged(int)",
            "cb_model_choose_bat_currentIndexChanged(int)" };
        for (const QString &button : buttons.split(' '))
            expected << "pb_" + button + "_clicked()";
        for (QString &slot : expected)
            slot.prepend("on_");
        expected << "keyPressEvent(QKeyEvent*)"
                 << "changeStoragePath(QString)";

        const QMetaObject &meta = CelloraGui::staticMetaObject;
        QStringList exported;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).access() == QMetaMethod::Public)
                exported << meta.method(i).methodSignature();
        }
        expected << "closeCelloraGui()";
        std::sort(expected.begin(), expected.end());
        std::sort(exported.begin(), exported.end());
        QCOMPARE(exported, expected);
        CelloraGui win;
        QVERIFY(
            QObject::connect(&win, SIGNAL(closeCelloraGui()), &win, SLOT(on_pb_home_clicked())));
        // Hosts written for Qt 5 translate through trUtf8() under Qt 6 as well.
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        static_assert(std::is_same_v<decltype(CelloraGui::trUtf8("")), QString>);
        QT_WARNING_POP
    }

    void homeAndOptionsButtons_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("road"); // what the user presses to get there
        QTest::addColumn<bool>("toMenu");
        const QString edit = "pb_options pb_edit_data pb_choose_";
        QTest::newRow("0") << "scrollLayout" << QString() << true;
        QTest::newRow("1") << "optionsView" << QString("pb_options") << false;
        QTest::newRow("2") << "modeView" << QString("pb_options pb_mode") << true;
        QTest::newRow("3") << "dataView" << QString("pb_options pb_chart") << true;
        QTest::newRow("4") << "editDataView" << QString("pb_options pb_edit_data") << false;
        QTest::newRow("5") << "addView" << edit + "addbattery" << true;
        QTest::newRow("6") << "addModelView" << edit + "addmodel" << true;
        QTest::newRow("7") << "addLocationView" << edit + "addlocation" << false;
        QTest::newRow("8") << "deleteView" << edit + "delbattery" << true;
        QTest::newRow("9") << "deleteModelView" << edit + "delmodel" << true;
        QTest::newRow("10") << "deleteLocationView" << edit + "dellocation" << false;
        QTest::newRow("11") << "logView" << QString("pb_options pb_logbook") << true;
        QTest::newRow("12") << "dischargeView" << QString("tank") << false;
        QTest::newRow("13") << "modBatteryView" << edit + "modify_battery" << true;
        QTest::newRow("14") << "modModelView" << edit + "modify_model" << true;
        QTest::newRow("15") << "backupView" << QString("pb_options pb_backup") << false;
    }

    // pb_home only asks the host to close; pb_options serves as menu and back button.
    void homeAndOptionsButtons()
    {
        QFETCH(QString, road);
        QFETCH(bool, toMenu);
        setSetting("cellora", "Complex"); // the tank of a charged card opens the discharge page

        StoreWindow f;
        QVERIFY(f.open(sampleStore()));
        if (road == "tank")
            clickTank(overviewCard(f.win, "Pack A"));
        else
            clickThrough(f.win, road);
        QTEST(shownPage(f.win), "page");
        QSignalSpy closing(&f.win, &CelloraGui::closeCelloraGui);
        clickThrough(f.win, "pb_home");
        QCOMPARE(closing.count(), 1);
        QTEST(shownPage(f.win), "page");
        QVERIFY(f.win.isVisible());

        // The second press tells the new state apart: 1 leads to the overview, 0 to the menu.
        const QString menu = "optionsView", overview = "scrollLayout";
        clickThrough(f.win, "pb_options");
        QCOMPARE(shownPage(f.win), toMenu ? menu : overview);
        clickThrough(f.win, "pb_options");
        QCOMPARE(shownPage(f.win), toMenu ? overview : menu);
    }

    void dataCaptureMode_data()
    {
        QTest::addColumn<QString>("stored"); // before the window opens
        QTest::addColumn<QString>("button"); // clicked on the mode page, or a refresh
        QTest::addColumn<QString>("storedAfter");
        const QString none;
        QTest::newRow("Complex restored") << QString("Complex") << none << "Complex";
        QTest::newRow("complex is Quick") << QString("complex") << none << "complex";
        QTest::newRow("Full is Quick") << QString("Full") << none << "Full";
        QTest::newRow("Full clicked") << none << QString("rb_modeAdvanced") << "Complex";
        QTest::newRow("Quick clicked")
            << QString("Complex") << QString("rb_modeSimple") << "Simple";
    }

    // Every card follows the mode, also "Spare", which the overview does not show.
    void dataCaptureMode()
    {
        QFETCH(QString, stored);
        QFETCH(QString, button);
        QFETCH(QString, storedAfter);
        const int viewMode = storedAfter == QLatin1String("Complex") ? 1 : 0;

        if (!stored.isNull())
            setSetting("cellora", stored);
        StoreWindow f;
        QVERIFY(f.open(sampleStore()));
        clickThrough(f.win, "pb_options pb_mode");
        // A second click hits the already checked button; a refresh makes new cards.
        for (int round = 0; round < 2; ++round) {
            QPointer<BatteryWidget> before = overviewCard(f.win, "Pack A");
            if (button.isEmpty()) {
                f.win.changeStoragePath(f.dir.path());
                QVERIFY(before.isNull());
            } else {
                setSetting("cellora", "unchanged");
                for (BatteryWidget *card : allCards())
                    card->setViewMode(1 - viewMode);
                clickThrough(f.win, button);
            }
            QCOMPARE(setting("cellora").toString(), storedAfter);
            QCOMPARE(
                namedChild<QRadioButton>(f.win, "rb_modeAdvanced")->isChecked(), viewMode == 1);
            QCOMPARE(allCards().size(), 3);
            for (BatteryWidget *card : allCards())
                QCOMPARE(card->viewMode(), viewMode);
        }
    }

    void fields()
    {
        CelloraGui win;
        const char *const masks[][3] = {
            // field, typed, shown
            { "ledt_capacity", "4a5b0c0123", "45001" },
            { "ledt_chargeRate", "159", "1.5" },
            { "ledt_purchaseDate", "2024/12/31999", "2024-12-31" },
            { "ledt_modifyBattery_purchaseDate", "x2021y0102", "2021-01-02" },
        };
        for (const auto &mask : masks) {
            auto *edit = namedChild<QLineEdit>(win, mask[0]);
            edit->clear();
            QTest::keyClicks(edit, mask[1]);
            QCOMPARE(edit->text(), QString(mask[2]));
        }

        auto *temperature = namedChild<QSpinBox>(win, "sb_log_temp");
        temperature->setValue(-150);
        QCOMPARE(temperature->value(), -99);
        auto *current = namedChild<QDoubleSpinBox>(win, "dsb_discharged_current");
        current->setValue(512.0);
        QCOMPARE(current->value(), 300.0);
        auto *date = namedChild<QDateEdit>(win, "dedt_dischargeDate");
        date->setDate(QDate(2004, 12, 31));
        QCOMPARE(date->text(), QStringLiteral("01.01.05"));

        // Whatever the date field holds, opening the add page proposes today.
        for (const QString page :
            { "addbattery ledt_purchaseDate", "addmodel ledt_addheli_purchase" }) {
            auto *purchase = namedChild<QLineEdit>(win, qPrintable(page.section(' ', 1)));
            purchase->setText(QStringLiteral("1999-09-09"));
            clickThrough(win, "pb_options pb_edit_data pb_choose_" + page.section(' ', 0, 0));
            QCOMPARE(purchase->text(), QDate::currentDate().toString(Qt::ISODate));
        }
    }

    // The overview's and the discharge page's location choosers follow each other, through
    // refills of other lengths too, without either signalling the other endlessly.
    void locationChoosersFollowEachOther()
    {
        StoreWindow f;
        QVERIFY(f.open({ { "North", "East" }, {}, {} }));
        auto *overview = namedChild<QComboBox>(f.win, "cb_overview_location");
        auto *discharge = namedChild<QComboBox>(f.win, "cb_log_location");
        const auto both = [&] {
            return QStringLiteral("%1 %2")
                .arg(overview->currentIndex())
                .arg(discharge->currentIndex());
        };
        for (const QStringList &names : { QStringList { "A", "B", "C", "D" }, QStringList { "A" },
                 QStringList { "A", "B", "C" } }) {
            QVERIFY(writeStore(f.dir.path(), { names, {}, {} }));
            discharge->setCurrentIndex(1);
            f.win.changeStoragePath(f.dir.path());
            QCOMPARE(both(), QStringLiteral("0 0"));
            QCOMPARE(comboItems(f.win, "cb_overview_location"), names);
        }
        overview->setCurrentIndex(2);
        QCOMPARE(both(), QStringLiteral("2 2"));
        discharge->setCurrentIndex(1);
        QCOMPARE(both(), QStringLiteral("1 1"));
        addLocation(f.win, "E");
        QCOMPARE(both(), QStringLiteral("0 0"));
        QCOMPARE(comboItems(f.win, "cb_log_location").last(), QStringLiteral("E"));
    }

    void changeStoragePathTwice()
    {
        StoreWindow f;
        QVERIFY(f.open(sampleStore()));
        clickThrough(f.win, "pb_options pb_edit_data");
        auto *overview = namedChild<QComboBox>(f.win, "cb_overview_location");
        auto *discharge = namedChild<QComboBox>(f.win, "cb_log_location");
        // Each call re-reads the file; the linked location boxes start again at the first.
        for (const QString added : { "Pack C", "Pack D" }) {
            SampleStore store = sampleStore();
            store.batteries << pack(added);
            QVERIFY(writeStore(f.dir.path(), store));
            discharge->setCurrentIndex(2);
            QCOMPARE(overview->currentText(), QStringLiteral("East"));
            f.win.changeStoragePath(f.dir.path());
            QCOMPARE(shownPage(f.win), QStringLiteral("editDataView"));
            QCOMPARE(comboItems(f.win, "cb_bat_choose_model").last(), added);
            QCOMPARE(overview->currentText(), QStringLiteral("North"));
            QCOMPARE(discharge->currentText(), QStringLiteral("North"));
        }
        clickThrough(f.win, "pb_options"); // state 4 kept: back to the overview
        QCOMPARE(shownPage(f.win), QStringLiteral("scrollLayout"));
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
