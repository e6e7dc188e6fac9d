// The window's shell: its life in a host, its pages and modes, its fields, and the fleet
// edited through its pages as a person does.

#include "windowsupport.h"

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

// The names of one kind in the data file; ListedKind: the battery names the models list.
enum Kind { BatteryKind, ModelKind, LocationKind, ListedKind };
QStringList storedNames(int kind, const QString &folder)
{
    static const char *const patterns[] = { "<Battery>\\s*<Name>([^<]*)<",
        "<Model>\\s*<Name>([^<]*)<", "<Location Name=\"([^\"]*)\"", "<Battery>([^<]+)</Battery>" };
    QStringList names;
    for (auto match = QRegularExpression(patterns[kind]).globalMatch(readStore(folder));
         match.hasNext();)
        names << match.next().captured(1);
    return names;
}

// A window on a store, driven as a person drives it, with a watch that counts saves.
struct Session : StoreWindow {
    explicit Session(const SampleStore &store = {}) { open(store); }
    // Through the options menu to the edit page, then on with the given buttons.
    void go(const QString &buttons)
    {
        for (int i = 0; i < 3 && shownPage(win) != QLatin1String("optionsView"); ++i)
            clickThrough(win, "pb_options");
        clickThrough(win, "pb_edit_data " + buttons);
    }
    QLineEdit *field(const QString &name) { return namedChild<QLineEdit>(win, qPrintable(name)); }
    void choose(const QString &box, const QString &text)
    {
        namedChild<QComboBox>(win, qPrintable(box))->setCurrentText(text);
    }
    int saves() { return watch.takeSaves(); }
    FolderWatch watch { dir.path() };
};

// The buttons, pages and fields of one kind of record.
struct Pages {
    const char *openAdd, *add, *addPage, *openModify, *update, *openDelete, *deletePage;
    QStringList addFields; // the name first, the purchase date last
    QStringList confirmation; // the delete button and its question
    QStringList lists; // the combo boxes that list the records, the delete page's first
};
const Pages pages[] = {
    { "pb_choose_addbattery", "pb_addNewBattery", "addView", "pb_choose_modify_battery",
        "pb_update_battery", "pb_choose_delbattery", "deleteView",
        { "ledt_name", "ledt_capacity", "ledt_chargeRate", "ledt_dischargeRate", "ledt_cyclesused",
            "ledt_purchaseDate" },
        { "pb_deleteConfirm", "lbl_really" },
        { "cb_batteryList_delete", "cb_bat_choose_model", "cb_batteryData" } },
    { "pb_choose_addmodel", "pb_addNewModel", "addModelView", "pb_choose_modify_model",
        "pb_update_model", "pb_choose_delmodel", "deleteModelView",
        { "ledt_addheli_name", "ledt_addheli_type", "ledt_addheli_weight", "ledt_addheli_size",
            "ledt_addheli_flightsused", "ledt_addheli_purchase" },
        { "pb_deleteConfirm_model", "lbl_reallydelete_model" },
        { "cb_modelList_delete", "cb_model_choose_bat", "cb_select_model", "cb_logview_model" } },
    { "pb_choose_addlocation", "pb_add_location", "addLocationView", nullptr, nullptr,
        "pb_choose_dellocation", "deleteLocationView", { "ledt_location_new" },
        { "pb_del_location", "lbl_reallydelete_location" },
        { "cb_location_delete", "cb_log_location", "cb_overview_location" } },
};

// What the modify page shows, in the order of the add page's fields.
QStringList modifyPageTexts(Session &s, int kind)
{
    const QString prefix = kind == BatteryKind ? "ledt_modifyBattery_" : "ledt_modifyheli_";
    QStringList texts;
    for (QString field : pages[kind].addFields)
        texts << s.field(field.replace(QRegularExpression("^ledt_(addheli_)?"), prefix))->text();
    return texts;
}

// The texts of the named widgets that a person can use: shown and enabled.
QString usable(Session &s, const QStringList &names)
{
    QStringList texts;
    for (const QString &name : names) {
        const QWidget *widget = namedChild(s.win, qPrintable(name));
        if (!widget->isHidden() && widget->isEnabled())
            texts << widget->property("text").toString();
    }
    return texts.join(' ');
}
const QStringList assignButtons { "pb_add_batt_to_model", "pb_rem_batt_from_model" };

const QString cycle
    = "<Cycle Discharged=\"4000\" Current=\"12500\" Date=\"Sat May 6 14:05:09 2023\"/>";
const QString flight = "<LogData Date=\"Sat May 6 14:05:09 2023\" Location=\"Hill\" "
                       "Duration=\"00:05:00\" Temperature=\"18\" Notes=\"\"/>";
// Pack (charged, with the cycle above) and Spare; Heli lists both and flew at Hill; Plane.
SampleStore fleet()
{
    const QDateTime flown(QDate(2023, 5, 6), QTime(14, 5, 9));
    SampleStore store { { "Field", "Hill" }, { pack("Pack", 4500, 30, 1, true), pack("Spare") },
        { model("Heli", { "Pack", "Spare" }), model("Plane") } };
    store.batteries[0].cycleData << SampleCycle { flown, 4000, 12500 };
    store.models[0].flightLog << SampleFlight { flown, QTime(0, 5), "Hill", 18, "" };
    return store;
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    // The window's life in a host: construction, keys, a load and destruction.
    void lifeInHost()
    {
        // Without a folder the store is the working directory: its data file stays unread.
        setSetting("logmodel", "Heli");
        QTemporaryDir dir;
        QVERIFY(writeStore(dir.path(), heliFleet()));
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
        QCOMPARE(QStringList({ win->windowTitle(), shownPage(*win), backupStatus(*win) }),
            QStringList({ "Vantrix 15.8.4", "scrollLayout", "" }));
        QCOMPARE(namedChild<QLabel>(*win, "lbl_welcome")->text() + ' '
                + namedChild<QLabel>(*win, "lbl_optionshint")->text(),
            "Welcome Please go to Options and add new model and battery!");
        QVERIFY(namedChild<QRadioButton>(*win, "rb_showmAh")->isChecked()
            && namedChild<QRadioButton>(*win, "rb_modeSimple")->isChecked());
        QCOMPARE(namedChild<QComboBox>(*win, "cb_overview_location")->count(), 0);
        // A widget of the host passes keys on: the counter works. The window keeps every key
        // of its own and of a button, which uses no letters; a child that uses keys gets them.
        QTest::keyClick(sibling, Qt::Key_A);
        QCOMPARE(host.keys, 1);
        for (Qt::Key key : { Qt::Key_A, Qt::Key_Escape, Qt::Key_Return })
            QTest::keyClick(win, key);
        QTest::keyClick(namedChild<QPushButton>(*win, "pb_options"), Qt::Key_X);
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
        QStringList expected { "closeCelloraGui()", "keyPressEvent(QKeyEvent*)",
            "changeStoragePath(QString)" };
        for (const QString &slot :
            QString("btnGrp_mode btngrp_showData cb_batteryData cb_batteryList_delete "
                    "cb_select_model cb_logview_model cb_bat_choose_model cb_model_choose_bat "
                    "pb_backup pb_export_data pb_import_data pb_update_battery pb_update_model "
                    "pb_home pb_options pb_mode pb_edit_data pb_choose_addbattery "
                    "pb_choose_addmodel pb_choose_addlocation pb_addNewBattery pb_addNewModel "
                    "pb_add_location pb_del_location pb_chart pb_choose_delbattery "
                    "pb_choose_delmodel pb_choose_modify_battery pb_choose_modify_model "
                    "pb_choose_dellocation pb_logbook pb_save_discharged pb_deleteConfirm "
                    "pb_deleteConfirm_model pb_add_batt_to_model pb_rem_batt_from_model "
                    "pb_logview_next pb_logview_prev")
                .split(' '))
            expected << "on_" + slot
                    + (slot.startsWith("pb_")        ? "_clicked()"
                            : slot.startsWith("cb_") ? "_currentIndexChanged(int)"
                                                     : "_buttonClicked(QAbstractButton*)");
        const QMetaObject &meta = CelloraGui::staticMetaObject;
        QStringList exported;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).access() == QMetaMethod::Public)
                exported << meta.method(i).methodSignature();
        }
        std::sort(expected.begin(), expected.end());
        std::sort(exported.begin(), exported.end());
        QCOMPARE(exported, expected);
    }

    void homeAndOptionsButtons_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("toMenu");
        QTest::addColumn<QString>("road"); // what the user presses to get there
        // Page, toMenu, road; "+" stands for the way to the edit page's choices.
        for (const char *row : { "scrollLayout 1", "optionsView 0 pb_options",
                 "modeView 1 pb_options pb_mode", "dataView 1 pb_options pb_chart",
                 "editDataView 0 pb_options pb_edit_data", "addView 1 +addbattery",
                 "addModelView 1 +addmodel", "addLocationView 0 +addlocation",
                 "deleteView 1 +delbattery", "deleteModelView 1 +delmodel",
                 "deleteLocationView 0 +dellocation", "logView 1 pb_options pb_logbook",
                 "dischargeView 0 tank", "modBatteryView 1 +modify_battery",
                 "modModelView 1 +modify_model", "backupView 0 pb_options pb_backup" }) {
            const QString page = QString(row).section(' ', 0, 0);
            QTest::newRow(qPrintable(page))
                << page << (QString(row).section(' ', 1, 1) == "1")
                << QString(row).section(' ', 2).replace("+", "pb_options pb_edit_data pb_choose_");
        }
    }

    // pb_home only asks the host to close; pb_options serves as menu and back button.
    void homeAndOptionsButtons()
    {
        QFETCH(QString, road);
        QFETCH(bool, toMenu);
        setSetting("cellora", "Complex"); // the tank of a charged card opens the discharge page
        StoreWindow f;
        QVERIFY(f.open(heliFleet()));
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
        QVERIFY(f.open(heliFleet()));
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
        const char *const masks[][3] = { // field, typed, shown
            { "ledt_capacity", "4a5b0c0123", "45001" }, { "ledt_chargeRate", "159", "1.5" },
            { "ledt_purchaseDate", "2024/12/31999", "2024-12-31" },
            { "ledt_modifyBattery_purchaseDate", "x2021y0102", "2021-01-02" }
        };
        for (const auto &mask : masks) {
            auto *edit = namedChild<QLineEdit>(win, mask[0]);
            edit->clear();
            QTest::keyClicks(edit, mask[1]);
            QCOMPARE(edit->text(), QString(mask[2]));
        }
        namedChild<QSpinBox>(win, "sb_log_temp")->setValue(-150);
        namedChild<QDoubleSpinBox>(win, "dsb_discharged_current")->setValue(512.0);
        namedChild<QDateEdit>(win, "dedt_dischargeDate")->setDate(QDate(2004, 12, 31));
        for (const auto &[field, shown] :
            { std::pair("sb_log_temp", "-99"), std::pair("dsb_discharged_current", "300"),
                std::pair("dedt_dischargeDate", "01.01.05") })
            QCOMPARE(namedChild<QAbstractSpinBox>(win, field)->text(), shown);
    }

    // A refresh re-reads the file on the page shown; the two location choosers start again at
    // the first and follow each other through refills of any length, without a signal loop.
    void locationChoosersFollowEachOther()
    {
        StoreWindow f;
        QVERIFY(f.open(heliFleet()));
        clickThrough(f.win, "pb_options pb_edit_data");
        auto *overview = namedChild<QComboBox>(f.win, "cb_overview_location");
        auto *discharge = namedChild<QComboBox>(f.win, "cb_log_location");
        const auto both = [&] {
            return QString("%1 %2").arg(overview->currentIndex()).arg(discharge->currentIndex());
        };
        for (const QStringList &names : { QStringList { "A", "B", "C", "D" }, QStringList { "A" },
                 QStringList { "A", "B", "C" } }) {
            QVERIFY(writeStore(f.dir.path(), { names, { pack(names.last()) }, {} }));
            discharge->setCurrentIndex(1);
            f.win.changeStoragePath(f.dir.path());
            QCOMPARE(shownPage(f.win), QStringLiteral("editDataView"));
            QCOMPARE(comboItems(f.win, "cb_bat_choose_model"), QStringList(names.last()));
            QCOMPARE(both(), QStringLiteral("0 0"));
            QCOMPARE(comboItems(f.win, "cb_overview_location"), names);
        }
        clickThrough(f.win, "pb_options"); // the edit page's state kept: back to the overview
        QCOMPARE(shownPage(f.win), QStringLiteral("scrollLayout"));
        overview->setCurrentIndex(2);
        QCOMPARE(both(), QStringLiteral("2 2"));
        discharge->setCurrentIndex(1);
        QCOMPARE(both(), QStringLiteral("1 1"));
        addLocation(f.win, "E");
        QCOMPARE(both(), QStringLiteral("0 0"));
        QCOMPARE(comboItems(f.win, "cb_log_location").last(), QStringLiteral("E"));
    }

    void uniqueNames_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("holdsSuffix"); // the store holds n_1 and n in other letters
        for (bool holdsSuffix : { true, false }) {
            const char *store = holdsSuffix ? "with n_1" : "plain";
            QTest::addRow("battery %s", store) << int(BatteryKind) << holdsSuffix;
            QTest::addRow("model %s", store) << int(ModelKind) << holdsSuffix;
            QTest::addRow("location %s", store) << int(LocationKind) << holdsSuffix;
        }
    }

    // The add page's default name is taken twice: n, then the first free n_<number>. A name
    // in other letter case does not count, and the second walk starts again at n_1.
    void uniqueNames()
    {
        QFETCH(int, kind);
        QFETCH(bool, holdsSuffix);
        const Pages &add = pages[kind];
        const QString n = QStringList { "MyBattery", "MyHeli", "MyLocation" }.at(kind);
        const QStringList existing
            = holdsSuffix ? QStringList { n + "_1", n.toLower() } : QStringList();
        SampleStore store;
        for (const QString &name : existing) {
            store.locations << name;
            store.batteries << pack(name);
            store.models << model(name);
        }
        Session s(store);
        for (int press = 0; press < 3; ++press) {
            s.go(add.openAdd);
            if (kind != LocationKind) { // every opening proposes today
                QLineEdit *date = s.field(add.addFields.last());
                QCOMPARE(date->text(), QDate::currentDate().toString(Qt::ISODate));
                date->setText("1999-09-09");
            }
            if (press == 2) // an empty name adds nothing
                s.field(add.addFields.first())->clear();
            clickThrough(s.win, add.add);
            QCOMPARE(shownPage(s.win), QString(press == 2 ? add.addPage : "scrollLayout"));
        }
        QCOMPARE(s.saves(), 2);
        const QStringList expected = existing + QStringList { n, n + (holdsSuffix ? "_2" : "_1") };
        QCOMPARE(storedNames(kind, s.dir.path()), expected);
        for (const QString &list : add.lists)
            QCOMPARE(comboItems(s.win, qPrintable(list)), expected);
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("inFile");
        QTest::addColumn<QStringList>("shown"); // when it differs from typed
        auto battery = [](const char *row, const QString &rate, const QString &date,
                           const QStringList &inFile, const QStringList &shown = {}) {
            QTest::newRow(row) << int(BatteryKind)
                               << QStringList { "Pack", "5000", rate, "25", "12", date } << inFile
                               << shown;
        };
        battery("half C", "0.5", "2021-03-04", { "<Chrgrate>5<", "<Purchase>2021/03/04<" });
        battery("two C", "2.0", "2019-12-31", { "<Chrgrate>20<" });
        // An empty masked date field keeps only its dashes.
        battery("nothing usable", "", "2021-02-30", { "<Chrgrate>0<", "<Purchase></Purchase>" },
            { "Pack", "5000", "0.0", "25", "12", "--" });
        for (auto weight : { "1.15=115", "0.29=29", "4.35=435", "0.50=50" }) {
            const QStringList pair = QString(weight).split('=');
            QTest::addRow("weight %s", weight)
                << int(ModelKind)
                << QStringList { "Heli", "Plane", pair.first(), "650", "3", "2022-06-30" }
                << QStringList { "<Weight>" + pair.last() + "<" } << QStringList();
        }
    }

    void roundTrip()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, inFile);
        QFETCH(QStringList, shown);
        Session s;
        s.go(pages[kind].openAdd);
        for (int i = 0; i < typed.size(); ++i)
            s.field(pages[kind].addFields.at(i))->setText(typed.at(i));
        clickThrough(s.win, pages[kind].add);
        // The second pass checks that Update without changes stores the same values.
        for (int pass = 0; pass < 2; ++pass) {
            const QString file = readStore(s.dir.path());
            for (const QString &element : inFile)
                QVERIFY2(file.contains(element), qPrintable(element));
            s.go(pages[kind].openModify);
            QCOMPARE(modifyPageTexts(s, kind), shown.isEmpty() ? typed : shown);
            clickThrough(s.win, pages[kind].update);
            QCOMPARE(shownPage(s.win), QString("scrollLayout"));
        }
    }

    void deleting_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("battery") << int(BatteryKind);
        QTest::newRow("model") << int(ModelKind);
        QTest::newRow("location") << int(LocationKind);
    }
    void deleting()
    {
        QFETCH(int, kind);
        const Pages &del = pages[kind];
        Session s(fleet());
        const QStringList names = storedNames(kind, s.dir.path());
        auto deleteFirst = [&] {
            s.go(del.openDelete);
            s.choose(del.lists.first(), names.first());
            clickThrough(s.win, (del.confirmation.first() + ' ').repeated(2));
        };
        // The very first press only arms; leaving and reopening the page keeps it armed, and
        // only on the battery page does another choice disarm.
        s.go(del.openDelete);
        clickThrough(s.win, del.confirmation.first());
        s.go(del.openDelete);
        QCOMPARE(usable(s, del.confirmation), QString("Yes Really?"));
        s.choose(del.lists.first(), names.last());
        QCOMPARE(
            usable(s, del.confirmation), QString(kind == BatteryKind ? "Delete" : "Yes Really?"));
        QCOMPARE(s.saves(), 0);
        clickThrough(s.win, (del.confirmation.first() + ' ').repeated(kind == BatteryKind ? 2 : 1));
        QCOMPARE(usable(s, del.confirmation), QString("Delete"));
        QCOMPARE(shownPage(s.win), QString("scrollLayout"));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(storedNames(kind, s.dir.path()), QStringList { names.first() });
        // A model keeps a deleted battery's name, the flight log a deleted location's.
        QCOMPARE(storedNames(ListedKind, s.dir.path()), (QStringList { "Pack", "Spare" }));
        for (const QString &list : del.lists)
            QCOMPARE(comboItems(s.win, qPrintable(list)), QStringList { names.first() });
        QCOMPARE(overviewCardNames(s.win),
            (kind == BatteryKind ? QStringList { "Pack" } : QStringList { "Pack", "Spare" }));
        clickThrough(s.win, "pb_options pb_logbook");
        QCOMPARE(namedChild<QLabel>(s.win, "lbl_logview_location")->text(), QString("Hill"));
        // A file without records of the kind refills no list: the lists keep the last one,
        // but for those a location delete edits itself.
        deleteFirst();
        QCOMPARE(s.saves(), 1);
        QCOMPARE(storedNames(kind, s.dir.path()), QStringList());
        for (const QString &list : del.lists)
            QCOMPARE(comboItems(s.win, qPrintable(list)).join(""),
                kind == LocationKind && list != del.lists.first() ? "" : names.first());
        const QString before = readStore(s.dir.path());
        if (kind != LocationKind) { // modifying or assigning the stale name finds nothing
            s.go(pages[kind].openModify);
            QCOMPARE(shownPage(s.win), QString("editDataView"));
            if (kind == ModelKind)
                clickThrough(s.win, "pb_add_batt_to_model");
        }
        // Deleting it again removes nothing; only the location page still saves.
        deleteFirst();
        QCOMPARE(s.saves(), kind == LocationKind ? 1 : 0);
        QCOMPARE(shownPage(s.win), QString(kind == LocationKind ? "scrollLayout" : del.deletePage));
        QCOMPARE(usable(s, del.confirmation), QString("Delete"));
        QCOMPARE(readStore(s.dir.path()), before);
    }

    // Updates keep what their pages do not show; the assignment buttons follow the chosen
    // pair, assigning keeps the edit page, and the delete page preselects its battery.
    void changingTheFleet()
    {
        Session s(fleet());
        s.go("pb_choose_modify_battery");
        s.field("ledt_modifyBattery_capacity")->setText("3300");
        clickThrough(s.win, "pb_update_battery");
        s.go("pb_choose_modify_model");
        s.field("ledt_modifyheli_type")->setText("Plane");
        clickThrough(s.win, "pb_update_model");
        QCOMPARE(s.saves(), 2);
        const QString file = readStore(s.dir.path());
        for (const QString &kept : QStringList { "<Name>Pack</Name>\n        <Capacity>3300<",
                 "<Charged>1<", cycle, "<Type>Plane<", flight })
            QVERIFY2(file.contains(kept), qPrintable(kept));
        // Pack gets a new stamp, Heli keeps its own.
        QCOMPARE(file.count("<LastUse>Sat Mar 2 14:05:09 2024<"), 1);
        QCOMPARE(file.count("<LastUpdate>Sun Dec 31 23:59:59 2023<"), 2);
        auto listed = [&] { return storedNames(ListedKind, s.dir.path()); };
        s.go(QString());
        QCOMPARE(usable(s, assignButtons), QString("Remove"));
        s.choose("cb_model_choose_bat", "Plane");
        QCOMPARE(usable(s, assignButtons), QString("Add"));
        s.choose("cb_model_choose_bat", "Heli");
        clickThrough(s.win, "pb_rem_batt_from_model");
        QCOMPARE(s.saves(), 1);
        QCOMPARE(listed(), QStringList { "Spare" });
        QCOMPARE(overviewCardNames(s.win), QStringList { "Spare" });
        QCOMPARE(usable(s, assignButtons), QString("Add")); // the refresh selects Pack again
        s.choose("cb_bat_choose_model", "Spare");
        QCOMPARE(usable(s, assignButtons), QString("Remove"));
        s.choose("cb_bat_choose_model", "Pack");
        clickThrough(s.win, "pb_add_batt_to_model");
        QCOMPARE(shownPage(s.win), QString("editDataView"));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(listed(), (QStringList { "Spare", "Pack" }));
        QCOMPARE(overviewCardNames(s.win), (QStringList { "Pack", "Spare" }));
        // A second assignment keeps one copy, but saves all the same.
        QCOMPARE(usable(s, assignButtons), QString("Remove"));
        QVERIFY(QMetaObject::invokeMethod(&s.win, "on_pb_add_batt_to_model_clicked"));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(listed(), (QStringList { "Spare", "Pack" }));
        s.choose("cb_bat_choose_model", "Spare");
        clickThrough(s.win, "pb_choose_delbattery");
        QCOMPARE(namedChild<QComboBox>(s.win, "cb_batteryList_delete")->currentText(), "Spare");
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
