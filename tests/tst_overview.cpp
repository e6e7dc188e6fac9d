#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/dataprocessor.h"
#include "testsupport.h"
#include "window/celloragui.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace TestSupport;

namespace {

template <typename T> T *widget(const QObject &parent, const char *name)
{
    auto *child = parent.findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no widget %s", name);
    return child;
}

QString currentPage(const CelloraGui &win)
{
    return widget<QStackedWidget>(win, "stackedWidget")->currentWidget()->objectName();
}

void click(const CelloraGui &win, const char *buttonName)
{
    widget<QAbstractButton>(win, buttonName)->click();
}

QGridLayout *overviewGrid(const CelloraGui &win)
{
    return qobject_cast<QGridLayout *>(widget<QScrollArea>(win, "scrollArea")->widget()->layout());
}

QWidget *atRow(const CelloraGui &win, int row)
{
    QLayoutItem *item = overviewGrid(win)->itemAtPosition(row, 0);
    return item ? item->widget() : nullptr;
}

bool shows(const CelloraGui &win, const char *labelName)
{
    return widget<QLabel>(win, labelName)->isVisibleTo(&win);
}

QList<BatteryWidget *> shownCards(const CelloraGui &win)
{
    QList<BatteryWidget *> cards;
    for (BatteryWidget *card :
        widget<QScrollArea>(win, "scrollArea")->widget()->findChildren<BatteryWidget *>()) {
        if (card->isVisibleTo(&win))
            cards.append(card);
    }
    return cards;
}

QStringList shownCardNames(const CelloraGui &win)
{
    QStringList names;
    for (const BatteryWidget *card : shownCards(win))
        names.append(card->batteryName());
    return names;
}

BatteryWidget *shownCard(const CelloraGui &win, const QString &name)
{
    for (BatteryWidget *card : shownCards(win)) {
        if (card->batteryName() == name)
            return card;
    }
    return nullptr;
}

void clickTank(BatteryWidget *card)
{
    widget<QToolButton>(*card, "pushButton")->click();
}

QStringList items(const QComboBox *comboBox)
{
    QStringList texts;
    for (int i = 0; i < comboBox->count(); ++i)
        texts.append(comboBox->itemText(i));
    return texts;
}

// The records as the data file holds them now.
struct SavedStore {
    QVector<BatteryWidget *> batteries;
    QVector<ModelWidget *> models;

    explicit SavedStore(const QString &folder)
    {
        DataProcessor store;
        store.setStoragePath(folder);
        store.readBatteries(batteries);
        store.readModels(models);
    }
    ~SavedStore()
    {
        qDeleteAll(batteries);
        qDeleteAll(models);
    }
    const BatteryWidget *battery(const QString &name) const
    {
        for (const BatteryWidget *b : batteries) {
            if (b->batteryName() == name)
                return b;
        }
        return nullptr;
    }
    const ModelWidget *model(const QString &name) const
    {
        for (const ModelWidget *m : models) {
            if (m->modelName() == name)
                return m;
        }
        return nullptr;
    }
};

struct Fixture {
    QTemporaryDir dir;
    CelloraGui win;

    bool open(const QString &store)
    {
        if (!dir.isValid() || !writeStore(dir.path(), store))
            return false;
        win.changeStoragePath(dir.path());
        win.show();
        return QTest::qWaitForWindowExposed(&win);
    }
};

// Model "Heli" flies "Pack A" (charged, 4500 mAh, 30 C, 12 cycles) and "Pack B" (empty).
QString heliStore(
    uint capacity = 4500, uint rating = 30, const QStringList &locations = { "North", "South" })
{
    return locationsXml(locations) + batteryXml({ "Pack A", capacity, rating, 12, true })
        + batteryXml({ "Pack B", 2200, 25, 3, false }) + modelXml("Heli", { "Pack A", "Pack B" });
}

QString threeModelStore()
{
    return batteryXml({ "A1" }) + batteryXml({ "A2" }) + batteryXml({ "B1" }) + batteryXml({ "C1" })
        + modelXml("A", { "A1", "A2" }) + modelXml("B", { "B1" }) + modelXml("C", { "C1" });
}

void chooseMode(const CelloraGui &win, const char *modeButton)
{
    click(win, "pb_options");
    click(win, "pb_mode");
    click(win, modeButton);
    click(win, "pb_options");
    click(win, "pb_options");
}

} // namespace

class TestOverview : public QObject {
    Q_OBJECT

private slots:
    void init();
    void noData();
    void batteriesWithoutModels();
    void modelWithoutBatteries();
    void logModelPreselection_data();
    void logModelPreselection();
    void sameModelNameTwice();
    void refreshSelectsFirstLocation();
    void modelChoiceMovesOtherChoosers();
    void fullModeRestoredOnEveryRefresh();
    void quickDischarge();
    void fullDischarge_data();
    void fullDischarge();
    void fullModeNotesCarriedToQuick();
    void dischargeWithoutModel();
    void chargingSavesWithoutReload();
    void modelSwitchingKeepsSingleConnections();
    void refreshesDoNotGrow();
};

void TestOverview::init()
{
    resetSettings();
}

void TestOverview::noData()
{
    QTemporaryDir dir;
    CelloraGui win;
    win.changeStoragePath(dir.path());
    win.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win));

    QCOMPARE(atRow(win, 0), widget<QLabel>(win, "lbl_welcome"));
    QCOMPARE(atRow(win, 1), widget<QLabel>(win, "lbl_optionshint"));
    QVERIFY(shows(win, "lbl_welcome"));
    QVERIFY(shows(win, "lbl_optionshint"));
    QVERIFY(!widget<QPushButton>(win, "pb_chart")->isEnabled());
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(dataFileName())));
}

void TestOverview::batteriesWithoutModels()
{
    Fixture f;
    QVERIFY(f.open(batteryXml({ "P1" }) + batteryXml({ "P2" }) + batteryXml({ "P3" })));

    QVERIFY(shownCards(f.win).isEmpty());
    QVERIFY(!shows(f.win, "lbl_welcome"));
    QVERIFY(!shows(f.win, "lbl_optionshint"));
    const QStringList all { "P1", "P2", "P3" };
    for (const char *chooser : { "cb_batteryData", "cb_batteryList_delete", "cb_bat_choose_model" })
        QCOMPARE(items(widget<QComboBox>(f.win, chooser)), all);
    QVERIFY(widget<QPushButton>(f.win, "pb_chart")->isEnabled());
}

void TestOverview::modelWithoutBatteries()
{
    Fixture f;
    QVERIFY(f.open(batteryXml({ "P1" }) + modelXml("Glider", {})));

    QVERIFY(shownCards(f.win).isEmpty());
    QCOMPARE(atRow(f.win, 0), widget<QLabel>(f.win, "lbl_optionshint"));
    QVERIFY(shows(f.win, "lbl_optionshint"));
    QVERIFY(!shows(f.win, "lbl_welcome"));
}

void TestOverview::logModelPreselection_data()
{
    QTest::addColumn<QString>("logModel");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QStringList>("cards");
    const QStringList firstCards { "A1", "A2" };
    QTest::newRow("existing") << QStringLiteral("B") << QStringLiteral("B") << QStringList { "B1" };
    QTest::newRow("last one") << QStringLiteral("C") << QStringLiteral("C") << QStringList { "C1" };
    QTest::newRow("unknown") << QStringLiteral("Z") << QStringLiteral("A") << firstCards;
    QTest::newRow("other case") << QStringLiteral("b") << QStringLiteral("A") << firstCards;
}

void TestOverview::logModelPreselection()
{
    QFETCH(QString, logModel);
    QFETCH(QString, selected);
    QFETCH(QStringList, cards);

    setSetting("logmodel", logModel);
    Fixture f;
    QVERIFY(f.open(threeModelStore()));

    for (const char *chooser :
        { "cb_select_model", "cb_logview_model", "cb_model_choose_bat", "cb_modelList_delete" })
        QCOMPARE(widget<QComboBox>(f.win, chooser)->currentText(), selected);
    QCOMPARE(shownCardNames(f.win), cards);
}

void TestOverview::sameModelNameTwice()
{
    Fixture f;
    QVERIFY(f.open(batteryXml({ "P1" }) + batteryXml({ "P2" }) + modelXml("Heli", { "P1" })
        + modelXml("Heli", { "P2" })));
    QCOMPARE(shownCardNames(f.win), QStringList { "P2" });
}

void TestOverview::refreshSelectsFirstLocation()
{
    Fixture f;
    QVERIFY(f.open(heliStore(4500, 30, { "North", "South", "East" })));
    auto *overview = widget<QComboBox>(f.win, "cb_overview_location");
    auto *discharge = widget<QComboBox>(f.win, "cb_log_location");
    overview->setCurrentIndex(2);
    QCOMPARE(discharge->currentIndex(), 2);

    f.win.changeStoragePath(f.dir.path());

    QCOMPARE(overview->currentText(), QStringLiteral("North"));
    QCOMPARE(discharge->currentText(), QStringLiteral("North"));
    QCOMPARE(overview->count(), 3);
}

void TestOverview::modelChoiceMovesOtherChoosers()
{
    Fixture f;
    QVERIFY(f.open(threeModelStore()));

    widget<QComboBox>(f.win, "cb_select_model")->setCurrentIndex(2);

    QCOMPARE(widget<QComboBox>(f.win, "cb_model_choose_bat")->currentText(), QStringLiteral("C"));
    QCOMPARE(widget<QComboBox>(f.win, "cb_logview_model")->currentText(), QStringLiteral("C"));
    QCOMPARE(shownCardNames(f.win), QStringList { "C1" });
}

void TestOverview::fullModeRestoredOnEveryRefresh()
{
    setSetting("cellora", "Complex");
    Fixture f;
    QVERIFY(f.open(heliStore() + batteryXml({ "Spare" })));

    for (int refresh = 0; refresh < 2; ++refresh) {
        QPointer<BatteryWidget> before = shownCard(f.win, "Pack A");
        f.win.changeStoragePath(f.dir.path());
        QVERIFY(before.isNull()); // the refresh made new cards
        QVERIFY(widget<QRadioButton>(f.win, "rb_modeAdvanced")->isChecked());
        int cards = 0;
        for (QWidget *w : QApplication::allWidgets()) {
            if (auto *card = qobject_cast<BatteryWidget *>(w)) {
                QCOMPARE(card->viewMode(), 1);
                ++cards;
            }
        }
        QCOMPARE(cards, 3); // "Spare" is not shown but follows the mode as well
    }
}

void TestOverview::quickDischarge()
{
    Fixture f;
    QVERIFY(f.open(heliStore()));
    widget<QComboBox>(f.win, "cb_overview_location")->setCurrentIndex(1);
    widget<QPlainTextEdit>(f.win, "ptext_log_notes")->clear();
    FolderWatch watch(f.dir.path());
    BatteryWidget *card = shownCard(f.win, "Pack A");
    QVERIFY(card);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

    clickTank(card);

    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    QCOMPARE(watch.takeSaves(), 1);
    QCOMPARE(currentPage(f.win), QStringLiteral("scrollLayout"));
    QVERIFY(!card->batteryCharged());
    QCOMPARE(card->batteryCycles(), 13u);
    QCOMPARE(widget<QLabel>(*card, "lbl_cycles")->text(), QStringLiteral("13"));

    SavedStore saved(f.dir.path());
    const BatteryWidget *battery = saved.battery("Pack A");
    QVERIFY(battery);
    QVERIFY(!battery->batteryCharged());
    QCOMPARE(battery->batteryCycles(), 13u);
    QCOMPARE(battery->cycleDischarged(), QVector<uint> { 0 });
    QCOMPARE(battery->cycleCurrents(), QVector<uint> { 0 });
    const ModelWidget *model = saved.model("Heli");
    QVERIFY(model);
    QCOMPARE(model->flightLog().size(), 1);
    const LogData &entry = model->flightLog().first();
    QCOMPARE(entry.location, QStringLiteral("South"));
    QCOMPARE(entry.duration, QTime(0, 0));
    QCOMPARE(entry.temperature, 0);
    QCOMPARE(entry.notes, QString());
    QVERIFY2(entry.date >= before && entry.date <= after, qPrintable(entry.date.toString()));
    QCOMPARE(battery->cycleDates().first(), entry.date); // the logbook pairs them by this
}

void TestOverview::fullDischarge_data()
{
    QTest::addColumn<uint>("capacity");
    QTest::addColumn<uint>("rating");
    QTest::addColumn<int>("proposedCapacity");
    QTest::addColumn<QString>("proposedCurrent");
    QTest::addColumn<uint>("storedCurrent");
    QTest::addColumn<QString>("cardCurrent");
    QTest::newRow("4500 mAh, 30 C") << 4500u << 30u << 3600 << "135" << 13500u << "135.0A";
    QTest::newRow("2250 mAh, 25 C") << 2250u << 25u << 1800 << "56" << 5600u << "56.0A";
    QTest::newRow("above the range") << 30000u << 50u << 20000 << "300" << 30000u << "300.0A";
}

void TestOverview::fullDischarge()
{
    QFETCH(uint, capacity);
    QFETCH(uint, rating);
    QFETCH(int, proposedCapacity);
    QFETCH(QString, proposedCurrent);
    QFETCH(uint, storedCurrent);
    QFETCH(QString, cardCurrent);

    setSetting("cellora", "Complex");
    Fixture f;
    QVERIFY(f.open(heliStore(capacity, rating)));
    FolderWatch watch(f.dir.path());
    BatteryWidget *card = shownCard(f.win, "Pack A");
    QVERIFY(card);

    clickTank(card);
    QCOMPARE(currentPage(f.win), QStringLiteral("dischargeView"));
    QCOMPARE(widget<QSpinBox>(f.win, "sb_discharged_capacity")->value(), proposedCapacity);
    QCOMPARE(widget<QDoubleSpinBox>(f.win, "dsb_discharged_current")->text(), proposedCurrent);
    QCOMPARE(watch.takeSaves(), 0);

    click(f.win, "pb_save_discharged");

    QCOMPARE(watch.takeSaves(), 1);
    QCOMPARE(currentPage(f.win), QStringLiteral("scrollLayout"));
    auto *discharged = widget<QLabel>(*card, "lbl_discharged");
    auto *current = widget<QLabel>(*card, "lbl_maxCurrent");
    QVERIFY(discharged->isVisibleTo(&f.win) && current->isVisibleTo(&f.win));
    QCOMPARE(discharged->text(), QStringLiteral("%1mAh").arg(proposedCapacity));
    QCOMPARE(current->text(), cardCurrent);

    SavedStore saved(f.dir.path());
    const BatteryWidget *battery = saved.battery("Pack A");
    QVERIFY(battery);
    QCOMPARE(battery->cycleDischarged(), QVector<uint> { uint(proposedCapacity) });
    QCOMPARE(battery->cycleCurrents(), QVector<uint> { storedCurrent });
    QCOMPARE(battery->batteryCycles(), 13u);
    QCOMPARE(saved.model("Heli")->flightLog().size(), 1);
}

void TestOverview::fullModeNotesCarriedToQuick()
{
    Fixture f;
    QVERIFY(f.open(heliStore() + batteryXml({ "Pack C", 3000, 30, 0, true })
        + modelXml("Trainer", { "Pack C" })));
    chooseMode(f.win, "rb_modeAdvanced");
    clickTank(shownCard(f.win, "Pack A"));
    auto *notes = widget<QPlainTextEdit>(f.win, "ptext_log_notes");
    notes->clear();
    QTest::keyClicks(notes, "Gusty wind");
    click(f.win, "pb_save_discharged");

    chooseMode(f.win, "rb_modeSimple");
    widget<QComboBox>(f.win, "cb_select_model")->setCurrentText("Trainer");
    clickTank(shownCard(f.win, "Pack C"));

    SavedStore saved(f.dir.path());
    QCOMPARE(saved.model("Heli")->flightLog().size(), 1);
    QCOMPARE(saved.model("Heli")->flightLog().first().notes, QStringLiteral("Gusty wind"));
    QCOMPARE(saved.model("Trainer")->flightLog().size(), 1);
    QCOMPARE(saved.model("Trainer")->flightLog().first().notes, QStringLiteral("Gusty wind"));
    QCOMPARE(saved.battery("Pack C")->batteryCycles(), 1u);
}

void TestOverview::dischargeWithoutModel()
{
    // The model choosers keep their names when a folder without models is opened,
    // so choosing one of them then matches no model and shows every card.
    QTemporaryDir modelFolder;
    QVERIFY(writeStore(
        modelFolder.path(), batteryXml({ "P1" }) + modelXml("Heli", {}) + modelXml("Glider", {})));
    Fixture f;
    QVERIFY(f.open(batteryXml({ "Lone", 3000, 30, 4, true })));
    f.win.changeStoragePath(modelFolder.path());
    f.win.changeStoragePath(f.dir.path());
    widget<QComboBox>(f.win, "cb_select_model")->setCurrentIndex(1);
    BatteryWidget *card = shownCard(f.win, "Lone");
    QVERIFY(card);
    FolderWatch watch(f.dir.path());

    clickTank(card);

    QCOMPARE(watch.takeSaves(), 1);
    SavedStore saved(f.dir.path());
    QVERIFY(saved.models.isEmpty());
    QVERIFY(!saved.battery("Lone")->batteryCharged());
    QCOMPARE(saved.battery("Lone")->batteryCycles(), 5u);
    QVERIFY(!readStore(f.dir.path()).contains(QLatin1String("LogData")));
    QCOMPARE(currentPage(f.win), QStringLiteral("scrollLayout"));
}

void TestOverview::chargingSavesWithoutReload()
{
    Fixture f;
    QVERIFY(f.open(heliStore()));
    QPointer<BatteryWidget> card = shownCard(f.win, "Pack B");
    QPointer<BatteryWidget> other = shownCard(f.win, "Pack A");
    QVERIFY(card && other);
    FolderWatch watch(f.dir.path());

    clickTank(card);

    QCOMPARE(watch.takeSaves(), 1);
    QVERIFY(card && other); // no refresh: the records are still the same objects
    QCOMPARE(shownCard(f.win, "Pack B"), card.data());
    QVERIFY(card->batteryCharged());
    SavedStore saved(f.dir.path());
    QVERIFY(saved.battery("Pack B")->batteryCharged());
    QCOMPARE(currentPage(f.win), QStringLiteral("scrollLayout"));
}

void TestOverview::modelSwitchingKeepsSingleConnections()
{
    Fixture f;
    QVERIFY(f.open(batteryXml({ "P1", 4000, 30, 7, true }) + batteryXml({ "P2" })
        + batteryXml({ "P3" }) + modelXml("A", { "P1", "P3" }) + modelXml("B", { "P2" })));
    auto *models = widget<QComboBox>(f.win, "cb_select_model");
    for (int i = 0; i < 6; ++i)
        models->setCurrentIndex(1 - models->currentIndex());
    QCOMPARE(models->currentText(), QStringLiteral("A"));
    QCOMPARE(shownCardNames(f.win), (QStringList { "P1", "P3" }));
    FolderWatch watch(f.dir.path());

    clickTank(shownCard(f.win, "P1"));
    QCOMPARE(watch.takeSaves(), 1);
    clickTank(shownCard(f.win, "P3"));
    QCOMPARE(watch.takeSaves(), 1);

    SavedStore saved(f.dir.path());
    QCOMPARE(saved.battery("P1")->batteryCycles(), 8u);
    QCOMPARE(saved.battery("P1")->cycleDates().size(), 1);
    QCOMPARE(saved.model("A")->flightLog().size(), 1);
    QVERIFY(saved.battery("P3")->batteryCharged());
}

void TestOverview::refreshesDoNotGrow()
{
    Fixture f;
    QVERIFY(f.open(heliStore() + batteryXml({ "Spare" })));
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
    QCOMPARE(shownCardNames(f.win), (QStringList { "Pack A", "Pack B" }));
}

QTEST_MAIN(TestOverview)
#include "tst_overview.moc"
