#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/dataprocessor.h"
#include "testsupport.h"
#include "window/celloragui.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace TestSupport;

namespace {

// What the data file holds, read back by the store.
struct Stored {
    explicit Stored(const QString &folder)
    {
        DataProcessor store;
        store.setStoragePath(folder);
        store.readLocations(locations);
        store.readModels(models);
        store.readBatteries(batteries);
        for (const ModelWidget *model : models)
            modelNames << model->modelName();
        for (const BatteryWidget *battery : batteries)
            batteryNames << battery->batteryName();
    }
    ~Stored()
    {
        qDeleteAll(batteries);
        qDeleteAll(models);
    }
    Q_DISABLE_COPY(Stored)

    QStringList locations, modelNames, batteryNames;
    QVector<ModelWidget *> models;
    QVector<BatteryWidget *> batteries;
};

// A window on its own storage folder, driven as a person drives it, with a watch
// that counts saves from the moment the folder is opened.
struct Session {
    explicit Session(const QString &rootXml = QString()) { open(writeStore(path(), rootXml)); }
    Session(const QVector<BatteryWidget *> &batteries, const QVector<ModelWidget *> &models,
        const QStringList &locations)
    {
        DataProcessor store;
        store.setStoragePath(path());
        store.writeData(batteries, models, locations);
        qDeleteAll(batteries);
        qDeleteAll(models);
        open(true);
    }
    void open(bool written)
    {
        if (!written)
            qFatal("cannot write the data file");
        win.changeStoragePath(path());
        watch = std::make_unique<FolderWatch>(path());
    }

    template <typename T = QWidget> T *child(const QString &name)
    {
        T *widget = win.findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    void click(const QString &button) { child<QPushButton>(button)->click(); }
    void choose(const QString &combo, const QString &text)
    {
        child<QComboBox>(combo)->setCurrentText(text);
    }
    QString current(const QString &combo) { return child<QComboBox>(combo)->currentText(); }
    QString page() { return child<QStackedWidget>("stackedWidget")->currentWidget()->objectName(); }
    QStringList items(const QString &combo)
    {
        QStringList texts;
        for (int i = 0; i < child<QComboBox>(combo)->count(); ++i)
            texts << child<QComboBox>(combo)->itemText(i);
        return texts;
    }
    QStringList texts(const QStringList &fields)
    {
        QStringList result;
        for (const QString &field : fields)
            result << child<QLineEdit>(field)->text();
        return result;
    }
    void fill(const QStringList &fields, const QStringList &values)
    {
        for (int i = 0; i < fields.size(); ++i)
            child<QLineEdit>(fields.at(i))->setText(values.at(i));
    }
    // Through the options menu to the edit menu, then on with the given button.
    void go(const QString &button)
    {
        for (int i = 0; i < 3 && page() != QLatin1String("optionsView"); ++i)
            click("pb_options");
        click("pb_edit_data");
        if (!button.isEmpty())
            click(button);
    }
    bool armed(const QString &confirm, const QString &really)
    {
        const bool shown = !child<QLabel>(really)->isHidden();
        if (child<QPushButton>(confirm)->text() != QLatin1String(shown ? "Yes" : "Delete"))
            qFatal("%s does not follow %s", qPrintable(confirm), qPrintable(really));
        return shown;
    }
    QStringList cards()
    {
        QStringList names;
        for (const auto *card :
            child<QScrollArea>("scrollArea")
                ->widget()
                ->findChildren<BatteryWidget *>(QString(), Qt::FindDirectChildrenOnly))
            names << card->batteryName();
        return names;
    }
    int saves() { return watch->takeSaves(); }
    QString path() const { return dir.path(); }

    QTemporaryDir dir;
    CelloraGui win;
    std::unique_ptr<FolderWatch> watch;
};

enum Kind { BatteryKind, ModelKind, LocationKind };

QString storeOf(Kind kind, const QStringList &names)
{
    if (kind == LocationKind)
        return locationsXml(names);
    QString xml;
    for (const QString &name : names)
        xml += kind == BatteryKind ? batteryXml({ name }) : modelXml(name, {});
    return xml;
}

QStringList storedNames(Kind kind, const QString &folder)
{
    const Stored stored(folder);
    return kind == BatteryKind ? stored.batteryNames
        : kind == ModelKind    ? stored.modelNames
                               : stored.locations;
}

struct Pages {
    QString openAdd, name, add, addPage, openDelete, deletePage, list, confirm, really, openModify;
    QStringList keptLists; // still list a deleted last record
};
const Pages pages[] = {
    { "pb_choose_addbattery", "ledt_name", "pb_addNewBattery", "addView", "pb_choose_delbattery",
        "deleteView", "cb_batteryList_delete", "pb_deleteConfirm", "lbl_really",
        "pb_choose_modify_battery",
        { "cb_batteryList_delete", "cb_bat_choose_model", "cb_batteryData" } },
    { "pb_choose_addmodel", "ledt_addheli_name", "pb_addNewModel", "addModelView",
        "pb_choose_delmodel", "deleteModelView", "cb_modelList_delete", "pb_deleteConfirm_model",
        "lbl_reallydelete_model", "pb_choose_modify_model",
        { "cb_modelList_delete", "cb_model_choose_bat", "cb_select_model", "cb_logview_model" } },
    { "pb_choose_addlocation", "ledt_location_new", "pb_add_location", "addLocationView",
        "pb_choose_dellocation", "deleteLocationView", "cb_location_delete", "pb_del_location",
        "lbl_reallydelete_location", QString(), { "cb_location_delete" } },
};

void deleteThroughPage(Session &s, const Pages &kind, const QString &name)
{
    s.go(kind.openDelete);
    s.choose(kind.list, name);
    s.click(kind.confirm);
    s.click(kind.confirm);
}

const QStringList batteryFields { "ledt_name", "ledt_capacity", "ledt_chargeRate",
    "ledt_dischargeRate", "ledt_cyclesused", "ledt_purchaseDate" };
const QStringList batteryModifyFields { "ledt_modifyBattery_name", "ledt_modifyBattery_capacity",
    "ledt_modifyBattery_chargeRate", "ledt_modifyBattery_dischargeRate",
    "ledt_modifyBattery_cyclesused", "ledt_modifyBattery_purchaseDate" };
const QStringList modelFields { "ledt_addheli_name", "ledt_addheli_type", "ledt_addheli_weight",
    "ledt_addheli_size", "ledt_addheli_flightsused", "ledt_addheli_purchase" };
const QStringList modelModifyFields { "ledt_modifyheli_name", "ledt_modifyheli_type",
    "ledt_modifyheli_weight", "ledt_modifyheli_size", "ledt_modifyheli_flightsused",
    "ledt_modifyheli_purchase" };

// The stored record in the order of the page's fields.
QStringList storedFields(Kind kind, const QString &folder)
{
    const Stored stored(folder);
    auto n = [](uint value) { return QString::number(value); };
    if (kind == BatteryKind) {
        const BatteryWidget *b = stored.batteries.value(0);
        return b ? QStringList { b->batteryName(), n(b->batteryCapacity()),
            n(b->batteryChargeRate()), n(b->batteryRating()), n(b->batteryCycles()),
            b->purchaseDate().toString(Qt::ISODate) }
                 : QStringList();
    }
    const ModelWidget *m = stored.models.value(0);
    return m ? QStringList { m->modelName(), m->modelType(), n(m->modelWeight()), n(m->modelSize()),
        n(m->modelFlights()), m->purchaseDate().toString(Qt::ISODate) }
             : QStringList();
}

const QDateTime longAgo(QDate(2020, 1, 2), QTime(10, 30, 0));
const QDateTime firstFlight(QDate(2023, 5, 6), QTime(14, 5, 9));
const QDateTime secondFlight(QDate(2023, 5, 7), QTime(9, 15, 0));

} // namespace

class TestEditing : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    void uniqueNames_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QStringList>("expected");

        const char *kinds[] = { "battery", "model", "location" };
        const QString defaults[] = { "MyBattery", "MyHeli", "MyLocation" };
        for (int kind : { BatteryKind, ModelKind, LocationKind }) {
            const QString n = defaults[kind];
            auto row = [&](const char *what) -> QTestData & {
                return QTest::addRow("%s %s", kinds[kind], what) << kind;
            };
            row("twice") << QStringList() << n << 2 << QStringList { n, n + "_1" };
            row("walk restarts") << QStringList { n + "_1", n } << n << 1
                                 << QStringList { n + "_1", n, n + "_2" };
            row("case differs") << QStringList { n.toLower() } << n << 1
                                << QStringList { n.toLower(), n };
            row("empty name") << QStringList { n } << QString() << 1 << QStringList { n };
        }
    }

    void uniqueNames()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, existing);
        QFETCH(QString, typed);
        QFETCH(int, presses);
        QFETCH(QStringList, expected);
        const Pages &add = pages[kind];
        Session s(storeOf(Kind(kind), existing));

        for (int i = 0; i < presses; ++i) {
            s.go(add.openAdd);
            s.fill({ add.name }, { typed });
            s.click(add.add);
        }
        QCOMPARE(s.page(), typed.isEmpty() ? add.addPage : QString("scrollLayout"));
        QCOMPARE(s.saves(), typed.isEmpty() ? 0 : presses);
        QCOMPARE(storedNames(Kind(kind), s.path()), expected);
        QCOMPARE(s.items(add.list), expected);
        if (kind == LocationKind) {
            QCOMPARE(s.items("cb_log_location"), expected);
            QCOMPARE(s.items("cb_overview_location"), expected);
        }
    }

    void addPagesProposeToday()
    {
        Session s;
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        for (const char *kind : { "addbattery", "addmodel" }) {
            const QString date
                = qstrcmp(kind, "addbattery") == 0 ? "ledt_purchaseDate" : "ledt_addheli_purchase";
            for (int opening = 0; opening < 2; ++opening) {
                s.go(QString("pb_choose_") + kind);
                QCOMPARE(s.texts({ date }), QStringList { today });
                s.fill({ date }, { "1999-09-09" });
            }
        }
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("shown");

        auto battery
            = [](const char *row, const QString &rate, const QString &tenths,
                  const QString &shownRate, const QString &date) {
                  const bool valid = QDate::fromString(date, Qt::ISODate).isValid();
                  // An empty masked date field keeps only its dashes.
                  QTest::newRow(row)
                      << int(BatteryKind) << QStringList { "Pack", "5000", rate, "25", "12", date }
                      << QStringList { "Pack", "5000", tenths, "25", "12", valid ? date : "" }
                      << QStringList { "Pack", "5000", shownRate, "25", "12", valid ? date : "--" };
              };
        battery("half C", "0.5", "5", "0.5", "2021-03-04");
        battery("two C", "2.0", "20", "2.0", "2019-12-31");
        battery("no charge rate", "", "0", "0.0", "2021-03-04");
        battery("impossible date", "9.9", "99", "9.9", "2021-02-30");
        for (auto weight : { "1.15=115", "0.29=29", "4.35=435", "0.50=50" }) {
            const QStringList pair = QString(weight).split('=');
            const QStringList page { "Heli", "Plane", pair.first(), "650", "3", "2022-06-30" };
            QStringList stored = page;
            stored[2] = pair.last();
            QTest::addRow("weight %s", weight) << int(ModelKind) << page << stored << page;
        }
    }

    void roundTrip()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, shown);
        const bool battery = kind == BatteryKind;
        Session s;

        s.go(battery ? "pb_choose_addbattery" : "pb_choose_addmodel");
        s.fill(battery ? batteryFields : modelFields, typed);
        s.click(battery ? "pb_addNewBattery" : "pb_addNewModel");
        // The second pass checks that Update without changes stores the same values.
        for (int pass = 0; pass < 2; ++pass) {
            QCOMPARE(storedFields(Kind(kind), s.path()), stored);
            s.go(battery ? "pb_choose_modify_battery" : "pb_choose_modify_model");
            QCOMPARE(s.texts(battery ? batteryModifyFields : modelModifyFields), shown);
            s.click(battery ? "pb_update_battery" : "pb_update_model");
            QCOMPARE(s.page(), QString("scrollLayout"));
        }
    }

    void updateKeepsWhatThePageDoesNotShow()
    {
        auto *pack = new BatteryWidget;
        pack->setBatteryName("Pack");
        pack->setBatteryCharged(true, false);
        pack->addCycleData(firstFlight, 4000, 12500, false);
        pack->addCycleData(secondFlight, 3800, 11000, false);
        pack->setLastUpdated(longAgo);
        auto *heli = new ModelWidget;
        heli->setModelName("Heli");
        heli->setLastUpdate(longAgo);
        heli->addBattery("Pack");
        heli->addLogData({ firstFlight, QTime(0, 5), "Field", 18, "calm" });
        Session s({ pack }, { heli }, { "Field" });
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

        s.go("pb_choose_modify_battery");
        s.fill({ "ledt_modifyBattery_capacity" }, { "3300" });
        s.click("pb_update_battery");
        s.go("pb_choose_modify_model");
        s.fill({ "ledt_modifyheli_type" }, { "Plane" });
        s.click("pb_update_model");
        QCOMPARE(s.saves(), 2);

        const Stored stored(s.path());
        QCOMPARE(stored.batteryNames, QStringList { "Pack" });
        const BatteryWidget *b = stored.batteries.first();
        QCOMPARE(b->batteryCapacity(), 3300u);
        QVERIFY(b->batteryCharged());
        QCOMPARE(b->cycleDates(), (QVector<QDateTime> { firstFlight, secondFlight }));
        QCOMPARE(b->cycleDischarged(), (QVector<uint> { 4000, 3800 }));
        QCOMPARE(b->cycleCurrents(), (QVector<uint> { 12500, 11000 }));
        QVERIFY(b->lastUpdated() >= before);
        QCOMPARE(stored.modelNames, QStringList { "Heli" });
        const ModelWidget *m = stored.models.first();
        QCOMPARE(m->modelType(), QString("Plane"));
        QCOMPARE(m->lastUpdate(), longAgo);
        QCOMPARE(m->modelBatteries(), QVector<QString> { "Pack" });
        QCOMPARE(m->flightLog().size(), 1);
        QCOMPARE(m->flightLog().first().date, firstFlight);
        QCOMPARE(s.cards(), QStringList { "Pack" });
    }

    void batteryDeleteConfirmation()
    {
        Session s(batteryXml({ "A" }) + batteryXml({ "B" }) + batteryXml({ "C" })
            + modelXml("Heli", { "B" }));
        auto isArmed = [&] { return s.armed("pb_deleteConfirm", "lbl_really"); };
        s.go(QString());
        s.choose("cb_bat_choose_model", "B");
        s.click("pb_choose_delbattery");
        QCOMPARE(s.current("cb_batteryList_delete"), QString("B"));
        QVERIFY(!isArmed());
        s.click("pb_deleteConfirm");
        QVERIFY(isArmed());
        QCOMPARE(s.saves(), 0);
        s.choose("cb_batteryList_delete", "C");
        QVERIFY(!isArmed());

        // Opening the page again disarms only when it moves the selection.
        s.choose("cb_batteryList_delete", "B");
        s.click("pb_deleteConfirm");
        s.go("pb_choose_delbattery");
        QVERIFY(isArmed());
        s.go(QString());
        s.choose("cb_bat_choose_model", "A");
        s.click("pb_choose_delbattery");
        QVERIFY(!isArmed());

        deleteThroughPage(s, pages[BatteryKind], "B");
        QVERIFY(!isArmed());
        QCOMPARE(s.saves(), 1);
        QCOMPARE(s.page(), QString("scrollLayout"));
        const Stored stored(s.path());
        QCOMPARE(stored.batteryNames, (QStringList { "A", "C" }));
        QCOMPARE(stored.models.first()->modelBatteries(), QVector<QString> { "B" });
        QCOMPARE(s.items("cb_batteryList_delete"), (QStringList { "A", "C" }));
        QCOMPARE(s.cards(), QStringList());

        // Without any battery the first press arms and the second only disarms.
        Session empty;
        deleteThroughPage(empty, pages[BatteryKind], QString());
        QVERIFY(!empty.armed("pb_deleteConfirm", "lbl_really"));
        QCOMPARE(empty.page(), QString("deleteView"));
        QCOMPARE(empty.saves(), 0);
    }

    void armedDeleteTakesTheNewChoice_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("model") << int(ModelKind);
        QTest::newRow("location") << int(LocationKind);
    }

    void armedDeleteTakesTheNewChoice()
    {
        QFETCH(int, kind);
        const Pages &del = pages[kind];
        auto *pack = new BatteryWidget;
        pack->setBatteryName("Pack");
        QVector<ModelWidget *> models;
        for (const char *name : { "H1", "H2", "H3" }) {
            models << new ModelWidget;
            models.last()->setModelName(name);
            models.last()->addBattery("Pack");
        }
        models.first()->addLogData({ firstFlight, QTime(0, 6), "L2", 21, QString() });
        Session s({ pack }, models, { "L1", "L2", "L3" });
        const QStringList names = kind == ModelKind ? QStringList { "H1", "H2", "H3" }
                                                    : QStringList { "L1", "L2", "L3" };

        // The very first press only arms; a new selection does not disarm.
        s.go(del.openDelete);
        QCOMPARE(s.current(del.list), names.first());
        s.click(del.confirm);
        QVERIFY(s.armed(del.confirm, del.really));
        s.choose(del.list, names.at(1));
        QVERIFY(s.armed(del.confirm, del.really));
        QCOMPARE(s.saves(), 0);
        s.click(del.confirm);
        QVERIFY(!s.armed(del.confirm, del.really));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(s.page(), QString("scrollLayout"));

        const QStringList rest { names.first(), names.last() };
        QCOMPARE(storedNames(Kind(kind), s.path()), rest);
        QCOMPARE(s.items(del.list), rest);
        if (kind == LocationKind) {
            QCOMPARE(s.items("cb_log_location"), rest);
            QCOMPARE(s.items("cb_overview_location"), rest);
        }
        QCOMPARE(Stored(s.path()).batteryNames, QStringList { "Pack" });
        QCOMPARE(s.cards(), QStringList { "Pack" });
        // The flight log keeps a deleted location's name.
        s.click("pb_options");
        s.click("pb_logbook");
        QCOMPARE(s.child<QLabel>("lbl_logview_location")->text(), QString("L2"));
    }

    void deletingTheLastRecord_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("battery") << int(BatteryKind);
        QTest::newRow("model") << int(ModelKind);
        QTest::newRow("location") << int(LocationKind);
    }

    void deletingTheLastRecord()
    {
        QFETCH(int, kind);
        const Pages &del = pages[kind];
        const QString name = QStringList { "Pack", "Heli", "Field" }.at(kind);
        Session s(
            locationsXml({ "Field" }) + batteryXml({ "Pack" }) + modelXml("Heli", { "Pack" }));

        deleteThroughPage(s, del, name);
        QCOMPARE(s.saves(), 1);
        QCOMPARE(storedNames(Kind(kind), s.path()), QStringList());
        for (const QString &list : del.keptLists)
            QCOMPARE(s.items(list), QStringList { name });
        {
            // The other records stay, and a model keeps the name of a deleted battery.
            const Stored stored(s.path());
            QCOMPARE(
                stored.batteryNames, kind == BatteryKind ? QStringList() : QStringList { "Pack" });
            if (kind != ModelKind)
                QCOMPARE(stored.models.first()->modelBatteries(), QVector<QString> { "Pack" });
        }

        const QString before = readStore(s.path());
        if (kind == LocationKind) {
            QCOMPARE(s.items("cb_log_location"), QStringList());
            QCOMPARE(s.items("cb_overview_location"), QStringList());
            // Deleting the stale name again removes nothing, but still saves.
            deleteThroughPage(s, del, name);
            QCOMPARE(s.saves(), 1);
            QCOMPARE(s.page(), QString("scrollLayout"));
        } else {
            s.go(del.openModify);
            QCOMPARE(s.page(), QString("editDataView"));
            deleteThroughPage(s, del, name);
            QCOMPARE(s.page(), del.deletePage);
            QCOMPARE(s.saves(), 0);
        }
        QVERIFY(!s.armed(del.confirm, del.really));
        QCOMPARE(readStore(s.path()), before);
    }

    void assignment()
    {
        Session s(batteryXml({ "P1" }) + batteryXml({ "P2" }) + modelXml("H1", { "P1" })
            + modelXml("H2", {}));
        auto buttons = [&] {
            return qMakePair(s.child<QPushButton>("pb_add_batt_to_model")->isEnabled(),
                s.child<QPushButton>("pb_rem_batt_from_model")->isEnabled());
        };
        const auto onlyAdd = qMakePair(true, false), onlyRemove = qMakePair(false, true);
        auto listedByH1 = [&] { return Stored(s.path()).models.first()->modelBatteries(); };

        s.go(QString());
        QCOMPARE(buttons(), onlyRemove);
        s.choose("cb_bat_choose_model", "P2");
        QCOMPARE(buttons(), onlyAdd);
        s.choose("cb_model_choose_bat", "H2");
        s.choose("cb_bat_choose_model", "P1");
        QCOMPARE(buttons(), onlyAdd);

        s.choose("cb_model_choose_bat", "H1");
        s.choose("cb_bat_choose_model", "P2");
        s.click("pb_add_batt_to_model");
        QCOMPARE(s.page(), QString("editDataView"));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(listedByH1(), (QVector<QString> { "P1", "P2" }));
        QCOMPARE(s.cards(), (QStringList { "P1", "P2" }));

        // A second assignment keeps one copy, but saves all the same.
        s.choose("cb_bat_choose_model", "P2");
        QCOMPARE(buttons(), onlyRemove);
        QVERIFY(QMetaObject::invokeMethod(&s.win, "on_pb_add_batt_to_model_clicked"));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(listedByH1(), (QVector<QString> { "P1", "P2" }));

        s.choose("cb_bat_choose_model", "P1");
        s.click("pb_rem_batt_from_model");
        QCOMPARE(s.page(), QString("editDataView"));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(listedByH1(), QVector<QString> { "P2" });
        QCOMPARE(s.cards(), QStringList { "P2" });
        QCOMPARE(buttons(), onlyAdd); // the refresh selects P1 again
    }

    void assignmentWithoutPartner_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QStringList>("presses");
        const QStringList both { "on_pb_add_batt_to_model_clicked",
            "on_pb_rem_batt_from_model_clicked" };
        QTest::newRow("no model") << batteryXml({ "Pack" }) << both;
        // We refuse to assign an empty battery name.
        QTest::newRow("no battery") << modelXml("Heli", {}) << QStringList { both.first() };
    }

    void assignmentWithoutPartner()
    {
        QFETCH(QString, store);
        QFETCH(QStringList, presses);
        Session s(store);
        s.go(QString());
        for (const QString &slot : presses)
            QVERIFY(QMetaObject::invokeMethod(&s.win, slot.toLatin1().constData()));
        QCOMPARE(s.saves(), 0);
        QCOMPARE(s.page(), QString("editDataView"));
        const Stored stored(s.path());
        for (const ModelWidget *model : stored.models)
            QCOMPARE(model->modelBatteries(), QVector<QString>());
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
