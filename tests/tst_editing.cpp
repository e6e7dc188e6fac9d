#include "windowsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace TestSupport;

namespace {

// The names of one kind in the data file, in file order; ListedKind gives the
// battery names that the models list.
enum Kind { BatteryKind, ModelKind, LocationKind, ListedKind };
QStringList storedNames(int kind, const QString &folder)
{
    static const char *const patterns[] = { "<Battery>\\s*<Name>([^<]*)<",
        "<Model>\\s*<Name>([^<]*)<", "<Location Name=\"([^\"]*)\"", "<Battery>([^<]+)</Battery>" };
    QStringList names;
    auto match = QRegularExpression(patterns[kind]).globalMatch(readStore(folder));
    while (match.hasNext())
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
    void choose(const char *combo, const QString &text)
    {
        namedChild<QComboBox>(win, combo)->setCurrentText(text);
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
// Two records of each kind; Pack is charged and has the cycle data above, Heli lists both
// batteries and flew at Hill.
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

class TestEditing : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

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
            if (kind == LocationKind)
                store.locations << name;
            else if (kind == BatteryKind)
                store.batteries << pack(name);
            else
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
            s.choose(qPrintable(del.lists.first()), names.first());
            clickThrough(s.win, (del.confirmation.first() + ' ').repeated(2));
        };

        // The very first press only arms; leaving and reopening the page keeps it armed, and
        // only on the battery page does another choice disarm.
        s.go(del.openDelete);
        clickThrough(s.win, del.confirmation.first());
        s.go(del.openDelete);
        QCOMPARE(usable(s, del.confirmation), QString("Yes Really?"));
        s.choose(qPrintable(del.lists.first()), names.last());
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

        // The refresh refills no list from a file without records of the kind, so the
        // lists keep the last one; only those that a location delete edits itself lose it.
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

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
