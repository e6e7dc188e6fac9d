#include "records/batterywidget.h"
#include "testsupport.h"
#include "window/celloragui.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
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

BatteryWidget *shownCard(const CelloraGui &win, const QString &name)
{
    const auto *content = widget<QScrollArea>(win, "scrollArea")->widget();
    for (BatteryWidget *card : content->findChildren<BatteryWidget *>()) {
        if (card->batteryName() == name)
            return card;
    }
    return nullptr;
}

// "Pack A" (charged) and "Pack B" belong to "Heli"; "Spare" to no model.
QString sampleStore()
{
    return locationsXml({ "North", "South", "East" }) + batteryXml({ "Pack A", 4500, 30, 12, true })
        + batteryXml({ "Pack B", 2200, 25, 3, false }) + batteryXml({ "Spare", 1000, 20, 0, false })
        + modelXml("Heli", { "Pack A", "Pack B" });
}

// A window shown on a temporary folder that holds the sample store.
struct Fixture {
    QTemporaryDir dir;
    CelloraGui win;

    bool open(const QString &store = sampleStore())
    {
        if (!dir.isValid() || !writeStore(dir.path(), store))
            return false;
        win.changeStoragePath(dir.path());
        win.show();
        return QTest::qWaitForWindowExposed(&win);
    }
};

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
    void init();
    void construction();
    void destructionWritesNothing();
    void metaMethods_data();
    void metaMethods();
    void optionsButton_data();
    void optionsButton();
    void homeButton();
    void modeButtons_data();
    void modeButtons();
    void storedModeVariants_data();
    void storedModeVariants();
    void keysStayInWindow();
    void inputMasks_data();
    void inputMasks();
    void dischargeFieldRanges();
    void locationLink();
    void addPagesProposeToday_data();
    void addPagesProposeToday();
    void changeStoragePathTwice();
    void overviewShot();

private:
    void reachState(Fixture &f, int state);
};

void TestShell::init()
{
    resetSettings();
}

void TestShell::construction()
{
    // An empty storage path stands for the working directory: a data file there
    // must stay untouched until the host names a folder.
    QTemporaryDir dir;
    QVERIFY(writeStore(dir.path(), sampleStore()));
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    FolderWatch watch(dir.path(), IN_OPEN | IN_ACCESS | IN_MODIFY | IN_CREATE | IN_MOVED_TO);
    QVERIFY(watch.isValid());

    {
        CelloraGui win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));

        QCOMPARE(win.windowTitle(), QStringLiteral("Vantrix 15.8.4"));
        QCOMPARE(currentPage(win), QStringLiteral("scrollLayout"));
        QCOMPARE(widget<QLabel>(win, "lbl_welcome")->text(), QStringLiteral("Welcome"));
        QVERIFY(widget<QLabel>(win, "lbl_welcome")->isVisible());
        QCOMPARE(widget<QLabel>(win, "lbl_optionshint")->text(),
            QStringLiteral("Please go to Options and add new model and battery!"));
        QVERIFY(widget<QLabel>(win, "lbl_optionshint")->isVisible());
        for (const char *really :
            { "lbl_really", "lbl_reallydelete_model", "lbl_reallydelete_location" })
            QVERIFY2(widget<QLabel>(win, really)->isHidden(), really);
        QCOMPARE(widget<QLabel>(win, "lbl_backup_status")->text(), QString());
        QVERIFY(widget<QRadioButton>(win, "rb_showmAh")->isChecked());
        QVERIFY(widget<QRadioButton>(win, "rb_modeSimple")->isChecked());
        QCOMPARE(widget<QComboBox>(win, "cb_select_model")->count(), 0);
        QVERIFY(allCards().isEmpty());
        QVERIFY(win.qt_metacast("CelloraGui"));
    }

    QDir::setCurrent(oldCurrent);
    for (const auto &event : watch.takeEvents())
        QVERIFY2(event.second.isEmpty(), qPrintable(event.second));
}

void TestShell::destructionWritesNothing()
{
    setSetting("logmodel", "Heli");
    QTemporaryDir dir;
    QVERIFY(writeStore(dir.path(), sampleStore()));
    auto win = std::make_unique<CelloraGui>();
    win->changeStoragePath(dir.path());
    const QString before = readStore(dir.path());
    FolderWatch watch(dir.path(), IN_MODIFY | IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE);

    win.reset();

    QVERIFY(watch.takeEvents().isEmpty());
    QCOMPARE(readStore(dir.path()), before);
    QVERIFY(!setting("cellora").isValid());
    QCOMPARE(setting("logmodel").toString(), QStringLiteral("Heli"));
}

void TestShell::metaMethods_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QByteArray>("parameterNames");
    QTest::addColumn<bool>("isPrivate");

    const struct {
        const char *signature;
        const char *parameterNames;
    } table[] = {
        { "closeCelloraGui()", "" },
        { "on_pb_backup_clicked()", "" },
        { "on_pb_export_data_clicked()", "" },
        { "on_pb_import_data_clicked()", "" },
        { "on_pb_update_battery_clicked()", "" },
        { "on_pb_update_model_clicked()", "" },
        { "on_pb_home_clicked()", "" },
        { "on_pb_options_clicked()", "" },
        { "on_pb_mode_clicked()", "" },
        { "on_pb_edit_data_clicked()", "" },
        { "on_pb_choose_addbattery_clicked()", "" },
        { "on_pb_choose_addmodel_clicked()", "" },
        { "on_pb_choose_addlocation_clicked()", "" },
        { "on_pb_addNewBattery_clicked()", "" },
        { "on_pb_addNewModel_clicked()", "" },
        { "on_pb_add_location_clicked()", "" },
        { "on_pb_del_location_clicked()", "" },
        { "on_pb_chart_clicked()", "" },
        { "on_pb_choose_delbattery_clicked()", "" },
        { "on_pb_choose_delmodel_clicked()", "" },
        { "on_pb_choose_modify_battery_clicked()", "" },
        { "on_pb_choose_modify_model_clicked()", "" },
        { "on_pb_choose_dellocation_clicked()", "" },
        { "on_pb_logbook_clicked()", "" },
        { "on_btnGrp_mode_buttonClicked(QAbstractButton*)", "button" },
        { "on_btngrp_showData_buttonClicked(QAbstractButton*)", "button" },
        { "on_cb_batteryData_currentIndexChanged(int)", "index" },
        { "on_pb_save_discharged_clicked()", "" },
        { "on_pb_deleteConfirm_clicked()", "" },
        { "on_pb_deleteConfirm_model_clicked()", "" },
        { "on_cb_batteryList_delete_currentIndexChanged(int)", "index" },
        { "on_cb_select_model_currentIndexChanged(int)", "index" },
        { "on_pb_add_batt_to_model_clicked()", "" },
        { "on_pb_rem_batt_from_model_clicked()", "" },
        { "keyPressEvent(QKeyEvent*)", "event" },
        { "changeStoragePath(QString)", "path" },
        { "on_cb_logview_model_currentIndexChanged(int)", "index" },
        { "on_cb_bat_choose_model_currentIndexChanged(int)", "index" },
        { "on_cb_model_choose_bat_currentIndexChanged(int)", "index" },
        { "on_pb_logview_next_clicked()", "" },
        { "on_pb_logview_prev_clicked()", "" },
        { "writeDataWithDataprocessor()", "" },
        { "showBatteryCharge()", "" },
        { "updateBackupStatus(QString)", "text" },
        { "updateBackupStatus()", "" },
        { "store_discharge(bool)", "quickmode" },
    };
    int index = 0;
    for (const auto &row : table) {
        QTest::addRow("%d %s", index, row.signature)
            << index << QByteArray(row.signature) << QByteArray(row.parameterNames)
            << (index >= 41);
        ++index;
    }
}

void TestShell::metaMethods()
{
    QFETCH(int, index);
    QFETCH(QByteArray, signature);
    QFETCH(QByteArray, parameterNames);
    QFETCH(bool, isPrivate);

    const QMetaObject &meta = CelloraGui::staticMetaObject;
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 46);
    const QMetaMethod method = meta.method(meta.methodOffset() + index);
    QCOMPARE(method.methodSignature(), signature);
    QCOMPARE(method.parameterNames().join(','), parameterNames);
    QCOMPARE(method.methodType(), index == 0 ? QMetaMethod::Signal : QMetaMethod::Slot);
    QCOMPARE(method.access(), isPrivate ? QMetaMethod::Private : QMetaMethod::Public);
}

// Brings the window into a view state the way a user gets there.
void TestShell::reachState(Fixture &f, int state)
{
    const auto editPage = [&f](const char *button) {
        click(f.win, "pb_options");
        click(f.win, "pb_edit_data");
        click(f.win, button);
    };
    switch (state) {
    case 0:
        break;
    case 1:
        click(f.win, "pb_options");
        break;
    case 2:
        click(f.win, "pb_options");
        click(f.win, "pb_mode");
        break;
    case 3:
        click(f.win, "pb_options");
        click(f.win, "pb_chart");
        break;
    case 4:
        click(f.win, "pb_options");
        click(f.win, "pb_edit_data");
        break;
    case 5:
        return editPage("pb_choose_addbattery");
    case 6:
        return editPage("pb_choose_addmodel");
    case 7:
        return editPage("pb_choose_addlocation");
    case 8:
        return editPage("pb_choose_delbattery");
    case 9:
        return editPage("pb_choose_delmodel");
    case 10:
        return editPage("pb_choose_dellocation");
    case 11:
        click(f.win, "pb_options");
        click(f.win, "pb_logbook");
        break;
    case 12: {
        reachState(f, 2);
        click(f.win, "rb_modeAdvanced");
        click(f.win, "pb_options"); // mode page -> options menu
        click(f.win, "pb_options"); // options menu -> overview
        BatteryWidget *card = shownCard(f.win, "Pack A");
        QVERIFY(card && card->batteryCharged());
        widget<QToolButton>(*card, "pushButton")->click();
        break;
    }
    case 13:
        return editPage("pb_choose_modify_battery");
    case 14:
        return editPage("pb_choose_modify_model");
    case 15:
        click(f.win, "pb_options");
        click(f.win, "pb_backup");
        break;
    }
}

void TestShell::optionsButton_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("pageAfter");

    const QString options = QStringLiteral("optionsView");
    const QString overview = QStringLiteral("scrollLayout");
    const struct {
        const char *page;
        bool toOptions;
    } table[] = {
        { "scrollLayout", true },
        { "optionsView", false },
        { "modeView", true },
        { "dataView", true },
        { "editDataView", false },
        { "addView", true },
        { "addModelView", true },
        { "addLocationView", false },
        { "deleteView", true },
        { "deleteModelView", true },
        { "deleteLocationView", false },
        { "logView", true },
        { "dischargeView", false },
        { "modBatteryView", true },
        { "modModelView", true },
        { "backupView", false },
    };
    int state = 0;
    for (const auto &row : table) {
        QTest::addRow("state %d", state)
            << state << QString::fromLatin1(row.page) << (row.toOptions ? options : overview);
        ++state;
    }
}

void TestShell::optionsButton()
{
    QFETCH(int, state);
    QFETCH(QString, page);
    QFETCH(QString, pageAfter);

    Fixture f;
    QVERIFY(f.open());
    reachState(f, state);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(currentPage(f.win), page);

    click(f.win, "pb_options");
    QCOMPARE(currentPage(f.win), pageAfter);
    // The second press tells the new state apart: 1 leads to the overview, 0 to the menu.
    click(f.win, "pb_options");
    QCOMPARE(currentPage(f.win),
        pageAfter == QLatin1String("optionsView") ? QStringLiteral("scrollLayout")
                                                  : QStringLiteral("optionsView"));
}

void TestShell::homeButton()
{
    Fixture f;
    QVERIFY(f.open());
    reachState(f, 4);
    FolderWatch watch(f.dir.path());
    QSignalSpy closing(&f.win, &CelloraGui::closeCelloraGui);

    click(f.win, "pb_home");

    QCOMPARE(closing.count(), 1);
    QCOMPARE(currentPage(f.win), QStringLiteral("editDataView"));
    QVERIFY(f.win.isVisible());
    QCOMPARE(watch.takeSaves(), 0);
    click(f.win, "pb_options"); // still state 4: back to the overview, not to the menu
    QCOMPARE(currentPage(f.win), QStringLiteral("scrollLayout"));
}

void TestShell::modeButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("viewMode");
    QTest::newRow("Full") << QStringLiteral("rb_modeAdvanced") << QStringLiteral("Complex") << 1;
    QTest::newRow("Quick") << QStringLiteral("rb_modeSimple") << QStringLiteral("Simple") << 0;
}

void TestShell::modeButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, stored);
    QFETCH(int, viewMode);

    Fixture f;
    QVERIFY(f.open());
    reachState(f, 2);
    QCOMPARE(allCards().size(), 3); // two shown, "Spare" not

    // The second click hits the already checked button and must act all the same.
    for (int round = 0; round < 2; ++round) {
        setSetting("cellora", "unchanged");
        for (BatteryWidget *card : allCards())
            card->setViewMode(1 - viewMode);

        click(f.win, qPrintable(button));

        QCOMPARE(setting("cellora").toString(), stored);
        for (BatteryWidget *card : allCards())
            QCOMPARE(card->viewMode(), viewMode);
    }
    const BatteryWidget *shown = shownCard(f.win, "Pack A");
    QCOMPARE(widget<QLabel>(*shown, "lbl_maxCurrent")->isVisibleTo(shown), viewMode == 1);
}

void TestShell::storedModeVariants_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("full");
    QTest::newRow("Complex") << "Complex" << true;
    QTest::newRow("complex") << "complex" << false;
    QTest::newRow("COMPLEX") << "COMPLEX" << false;
    QTest::newRow("Full") << "Full" << false;
    QTest::newRow("Complex with blank") << "Complex " << false;
}

void TestShell::storedModeVariants()
{
    QFETCH(QString, stored);
    QFETCH(bool, full);

    setSetting("cellora", stored);
    Fixture f;
    QVERIFY(f.open());

    QCOMPARE(widget<QRadioButton>(f.win, "rb_modeAdvanced")->isChecked(), full);
    QCOMPARE(widget<QRadioButton>(f.win, "rb_modeSimple")->isChecked(), !full);
    QCOMPARE(allCards().size(), 3);
    for (BatteryWidget *card : allCards())
        QCOMPARE(card->viewMode(), full ? 1 : 0);
    QCOMPARE(setting("cellora").toString(), stored); // Quick mode writes nothing back
}

void TestShell::keysStayInWindow()
{
    KeyCountingHost host;
    auto *layout = new QVBoxLayout(&host);
    auto *win = new CelloraGui;
    auto *sibling = new QWidget;
    layout->addWidget(win);
    layout->addWidget(sibling);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));

    // A widget of the host that does not use keys passes them on: the counter works.
    QTest::keyClick(sibling, Qt::Key_A);
    QCOMPARE(host.keys, 1);

    QTest::keyClick(win, Qt::Key_A);
    QTest::keyClick(win, Qt::Key_Escape);
    QTest::keyClick(win, Qt::Key_Return);
    // A push button uses no letters; the key climbs to the window and stops there.
    QTest::keyClick(widget<QPushButton>(*win, "pb_options"), Qt::Key_X);
    QCOMPARE(host.keys, 1);

    // Keys that a child uses still work.
    click(*win, "pb_options");
    click(*win, "pb_edit_data");
    click(*win, "pb_choose_addlocation");
    auto *name = widget<QLineEdit>(*win, "ledt_location_new");
    name->clear();
    QTest::keyClicks(name, "Field");
    QCOMPARE(name->text(), QStringLiteral("Field"));
    QCOMPARE(host.keys, 1);
}

void TestShell::inputMasks_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    const struct {
        const char *row, *field, *typed, *expected;
    } table[] = {
        { "capacity: five digits", "ledt_capacity", "1234567", "12345" },
        { "capacity: digits only", "ledt_capacity", "4a5b0c0", "4500" },
        { "discharge rate: three digits", "ledt_dischargeRate", "12345", "123" },
        { "charge rate: d.d", "ledt_chargeRate", "15", "1.5" },
        { "charge rate: no third digit", "ledt_chargeRate", "999", "9.9" },
        { "cycles: four digits", "ledt_cyclesused", "98765", "9876" },
        { "battery purchase date", "ledt_purchaseDate", "20241231999", "2024-12-31" },
        { "purchase date: digits only", "ledt_purchaseDate", "2024/05/06", "2024-05-06" },
        { "model purchase date", "ledt_addheli_purchase", "19990909", "1999-09-09" },
        { "modified purchase date", "ledt_modifyBattery_purchaseDate", "x2021y0102", "2021-01-02" },
    };
    for (const auto &row : table)
        QTest::newRow(row.row) << row.field << row.typed << row.expected;
}

void TestShell::inputMasks()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    CelloraGui win;
    auto *edit = widget<QLineEdit>(win, qPrintable(field));
    edit->clear();
    edit->home(false);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), expected);
}

void TestShell::dischargeFieldRanges()
{
    CelloraGui win;

    auto *temperature = widget<QSpinBox>(win, "sb_log_temp");
    QCOMPARE(temperature->value(), 20);
    temperature->setValue(-150);
    QCOMPARE(temperature->value(), -99);
    temperature->setValue(150);
    QCOMPARE(temperature->value(), 99);

    auto *capacity = widget<QSpinBox>(win, "sb_discharged_capacity");
    capacity->setValue(25000);
    QCOMPARE(capacity->value(), 20000);

    auto *current = widget<QDoubleSpinBox>(win, "dsb_discharged_current");
    current->setValue(512.0);
    QCOMPARE(current->value(), 300.0);
    current->setValue(56.25);
    QCOMPARE(current->value(), 56.0);
    QCOMPARE(current->text(), QStringLiteral("56"));

    auto *date = widget<QDateEdit>(win, "dedt_dischargeDate");
    date->setDate(QDate(2004, 12, 31));
    QCOMPARE(date->date(), QDate(2005, 1, 1));
    date->setDate(QDate(2031, 1, 12));
    QCOMPARE(date->date(), QDate(2031, 1, 11));
    date->setDate(QDate(2023, 10, 30));
    QCOMPARE(date->text(), QStringLiteral("30.10.23"));
}

void TestShell::locationLink()
{
    Fixture f;
    QVERIFY(f.open());
    auto *overview = widget<QComboBox>(f.win, "cb_overview_location");
    auto *discharge = widget<QComboBox>(f.win, "cb_log_location");

    overview->setCurrentIndex(1);
    QCOMPARE(discharge->currentText(), QStringLiteral("South"));
    discharge->setCurrentIndex(2);
    QCOMPARE(overview->currentText(), QStringLiteral("East"));
}

void TestShell::addPagesProposeToday_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("field");
    QTest::newRow("battery") << QStringLiteral("pb_choose_addbattery")
                             << QStringLiteral("ledt_purchaseDate");
    QTest::newRow("model") << QStringLiteral("pb_choose_addmodel")
                           << QStringLiteral("ledt_addheli_purchase");
}

void TestShell::addPagesProposeToday()
{
    QFETCH(QString, button);
    QFETCH(QString, field);

    Fixture f;
    QVERIFY(f.open());
    auto *date = widget<QLineEdit>(f.win, qPrintable(field));
    const QString today = QDate::currentDate().toString(Qt::ISODate);

    for (int opening = 0; opening < 2; ++opening) {
        click(f.win, "pb_options");
        click(f.win, "pb_edit_data");
        click(f.win, qPrintable(button));
        QCOMPARE(date->text(), today);
        date->setText(QStringLiteral("1999-09-09"));
        click(f.win, "pb_options"); // leave without adding
        click(f.win, "pb_options");
    }
}

void TestShell::changeStoragePathTwice()
{
    Fixture f;
    QVERIFY(f.open());
    reachState(f, 4);
    auto *batteries = widget<QComboBox>(f.win, "cb_bat_choose_model");
    QCOMPARE(batteries->count(), 3);

    QVERIFY(writeStore(f.dir.path(), sampleStore() + batteryXml({ "Pack C" })));
    for (int call = 0; call < 2; ++call) {
        f.win.changeStoragePath(f.dir.path());
        QCOMPARE(currentPage(f.win), QStringLiteral("editDataView"));
        QCOMPARE(batteries->count(), 4);
        QCOMPARE(batteries->itemText(3), QStringLiteral("Pack C"));
    }
    click(f.win, "pb_options"); // state 4 kept: back to the overview
    QCOMPARE(currentPage(f.win), QStringLiteral("scrollLayout"));
}

void TestShell::overviewShot()
{
    const QString shots = qEnvironmentVariable("CELLORA_SHOTS_DIR");
    if (shots.isEmpty())
        QSKIP("CELLORA_SHOTS_DIR not set");
    Fixture f;
    QVERIFY(f.open());
    QVERIFY(QDir().mkpath(shots));
    QVERIFY(f.win.grab().save(QDir(shots).filePath(QStringLiteral("shell_overview.png"))));
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
