// Putting mistakes right: the module's store listener and replacement entry point, the
// rescue copy before a delete with history, Undo and Redo in the host window, and a
// fresh module window for every other folder.

#include "host/hostwindow.h"
#include "host/undohistory.h"
#include "store/rescuecopies.h"
#include "windowsupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

using namespace TestSupport;

namespace {

const QString battery = QStringLiteral("Voltra #1");

// One battery that the model flies, with a cycle and a flight when `history` is set.
SampleStore storeOf(bool history)
{
    SampleStore store { { "Feld" }, { pack(battery) }, { model("Heli", { battery }) } };
    if (history) {
        const QDateTime moment(QDate(2024, 3, 2), QTime(14, 5, 9));
        store.batteries[0].cycleData << SampleCycle { moment, 1, 1 };
        store.models[0].flightLog << SampleFlight { moment, QTime(0, 0), QString(), 0, QString() };
    }
    return store;
}

// Carries out one change as a person does: "tank <card>", "click <buttons>",
// "text <field> <text>", "choose <combo box> <item>" or "import <file>", separated by "|".
void perform(CelloraGui &gui, const QString &script)
{
    for (const QString &command : script.split(QLatin1Char('|'))) {
        const QString verb = command.section(QLatin1Char(' '), 0, 0);
        const QString rest = command.section(QLatin1Char(' '), 1);
        const QString name = rest.section(QLatin1Char(' '), 0, 0);
        const QString value = rest.section(QLatin1Char(' '), 1);
        if (verb == QLatin1String("tank"))
            clickTank(overviewCard(gui, rest));
        else if (verb == QLatin1String("click"))
            clickThrough(gui, rest);
        else if (verb == QLatin1String("text"))
            namedChild<QLineEdit>(gui, qPrintable(name))->setText(value);
        else if (verb == QLatin1String("choose"))
            namedChild<QComboBox>(gui, qPrintable(name))->setCurrentText(value);
        else if (verb == QLatin1String("import"))
            gui.importFile(rest);
    }
}

// What the pages show of the records: every chooser's items and every card's state.
QStringList pagesOf(const CelloraGui &gui)
{
    QStringList shown;
    for (const QComboBox *box : gui.findChildren<QComboBox *>())
        shown << box->objectName() + ": "
                + comboItems(gui, qPrintable(box->objectName())).join(',');
    for (const BatteryWidget *card : overviewCards(gui))
        shown << QStringLiteral("%1 %2 %3")
                     .arg(card->batteryName())
                     .arg(card->batteryCharged())
                     .arg(card->batteryCycles());
    shown.sort(); // in name order: a refresh moves widgets among their parent's children
    return shown;
}

QString menuEntry(HostWindow &host, const char *action)
{
    emit namedChild<QMenu>(host, "menuEdit")->aboutToShow();
    return namedChild<QAction>(host, action)->text();
}

struct Write {
    bool written;
    QByteArray before, after;
};

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }
    void storeReplacement();
    void deleteWithHistoryKeepsRescueCopy_data();
    void deleteWithHistoryKeepsRescueCopy();
    void undoRedoEachChange_data();
    void undoRedoEachChange();
    void fiftyStepsOnTenYearStore();
    void otherFolderCarriesNothingOver();
};

// Every write is told with its bytes; a replacement writes exactly the given bytes, reloads
// the pages, and changes nothing when it cannot write.
void TestUndo::storeReplacement()
{
    StoreWindow s;
    QVERIFY(s.open(storeOf(false)));
    const QString file = QDir(s.dir.path()).filePath(dataFileName());
    const QByteArray original = bytesOf(file);
    QVector<Write> writes;
    s.win.setStoreListener(
        [&writes](bool written, const QByteArray &before, const QByteArray &after) {
            writes.append({ written, before, after });
        });

    clickTank(overviewCard(s.win, battery));
    const QByteArray charged = bytesOf(file);
    QCOMPARE(writes.size(), 1);
    QVERIFY(writes[0].written);
    QCOMPARE(writes[0].before, original);
    QCOMPARE(writes[0].after, charged);

    QVERIFY(s.win.replaceStoreContent(original));
    QCOMPARE(bytesOf(file), original);
    QVERIFY(!overviewCard(s.win, battery)->batteryCharged());
    QCOMPARE(backupStatus(s.win), QString());
    QCOMPARE(writes.size(), 2);
    QCOMPARE(writes[1].after, original);

    // A folder that cannot exist: nothing is written, the listener hears of it.
    s.win.changeStoragePath(file + QStringLiteral("/below-a-file"));
    writes.clear();
    QVERIFY(!s.win.replaceStoreContent(charged));
    QCOMPARE(writes.size(), 1);
    QVERIFY(!writes[0].written);
    QCOMPARE(bytesOf(file), original);
}

void TestUndo::deleteWithHistoryKeepsRescueCopy_data()
{
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<bool>("history");
    QTest::addColumn<bool>("keptCopy");
    const QString battery = "pb_choose_delbattery pb_deleteConfirm pb_deleteConfirm";
    const QString model = "pb_choose_delmodel pb_deleteConfirm_model pb_deleteConfirm_model";
    QTest::newRow("battery with cycles") << battery << true << true;
    QTest::newRow("battery without") << battery << false << false;
    QTest::newRow("model with flights") << model << true << true;
    QTest::newRow("model without") << model << false << false;
}

void TestUndo::deleteWithHistoryKeepsRescueCopy()
{
    QFETCH(QString, buttons);
    QFETCH(bool, history);
    QFETCH(bool, keptCopy);
    StoreWindow s;
    QVERIFY(s.open(storeOf(history)));
    const QByteArray before = bytesOf(QDir(s.dir.path()).filePath(dataFileName()));
    clickThrough(s.win, "pb_options pb_edit_data " + buttons);
    QVERIFY(readStore(s.dir.path()).size() < before.size()); // deleted
    const QStringList copies = RescueCopies(s.dir.path()).copies();
    QCOMPARE(copies.size(), keptCopy ? 1 : 0);
    if (keptCopy)
        QCOMPARE(bytesOf(copies.first()), before);
}

void TestUndo::undoRedoEachChange_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("label");
    // EDIT| stands for the way to the edit page.
    const char *const rows[][3] = { { "charge", "tank Voltra #1", "Charge of Voltra #1" },
        { "quick discharge", "tank Voltra #2", "Discharge of Voltra #2" },
        { "full discharge", "tank Voltra #2|click pb_save_discharged", "Discharge of Voltra #2" },
        { "add battery",
            "EDIT|click pb_choose_addbattery|text ledt_name Pack|click pb_addNewBattery",
            "Add Battery Pack" },
        { "modify battery",
            "EDIT|choose cb_bat_choose_model Voltra #1|click pb_choose_modify_battery|"
            "text ledt_modifyBattery_capacity 5000|click pb_update_battery",
            "Modify Battery Voltra #1" },
        { "delete battery",
            "EDIT|choose cb_bat_choose_model Voltra #1|click pb_choose_delbattery "
            "pb_deleteConfirm pb_deleteConfirm",
            "Delete Battery Voltra #1" },
        { "add model",
            "EDIT|click pb_choose_addmodel|text ledt_addheli_name Goblin|click pb_addNewModel",
            "Add Model Goblin" },
        { "modify model",
            "EDIT|click pb_choose_modify_model|text ledt_modifyheli_type Plane|click "
            "pb_update_model",
            "Modify Model Heli" },
        { "delete model",
            "EDIT|click pb_choose_delmodel pb_deleteConfirm_model pb_deleteConfirm_model",
            "Delete Model Heli" },
        { "add location",
            "EDIT|click pb_choose_addlocation|text ledt_location_new Wiese|click pb_add_location",
            "Add Location Wiese" },
        { "delete location", "EDIT|click pb_choose_dellocation pb_del_location pb_del_location",
            "Delete Location Feld" },
        { "assignment", "EDIT|choose cb_bat_choose_model Voltra #3|click pb_add_batt_to_model",
            "Assign Voltra #3 to Heli" },
        { "import", "import OTHER", "Import" } };
    for (const auto &row : rows) {
        QTest::newRow(row[0]) << QString(row[1]).replace("EDIT|", "click pb_options pb_edit_data|")
                              << QString(row[2]);
    }
}

// Each kind of change is undone to the very bytes and pages before it, named in the Edit
// menu, and redone to the bytes and pages after it.
void TestUndo::undoRedoEachChange()
{
    QFETCH(QString, script);
    QFETCH(QString, label);
    if (QTest::currentDataTag() == QLatin1String("full discharge"))
        setSetting("cellora", "Complex");
    QTemporaryDir dir;
    const QString file = dir.filePath(dataFileName());
    QVERIFY(writeStore(dir.path(),
        { { "Feld" },
            { pack("Voltra #1"), pack("Voltra #2", 4500, 30, 3, true), pack("Voltra #3") },
            { model("Heli", { "Voltra #1", "Voltra #2" }) } }));
    const QString imported = dir.filePath("other.xml");
    QVERIFY(writeBytes(imported, bytesOf(file).replace("Heli", "Goblin").replace("Feld", "Wiese")));
    script.replace("OTHER", imported);
    HostWindow host;
    host.openFolder(dir.path(), nullptr, false);
    const QByteArray before = bytesOf(file);
    const QStringList pagesBefore = pagesOf(host.gui());

    perform(host.gui(), script);
    const QByteArray after = bytesOf(file);
    const QStringList pagesAfter = pagesOf(host.gui());
    QVERIFY(after != before);
    QCOMPARE(menuEntry(host, "actionUndo"), "&Undo " + label);

    namedChild<QAction>(host, "actionUndo")->trigger();
    QCOMPARE(bytesOf(file), before);
    QCOMPARE(pagesOf(host.gui()), pagesBefore);
    QCOMPARE(menuEntry(host, "actionRedo"), "&Redo " + label);
    QVERIFY(!namedChild<QAction>(host, "actionUndo")->isEnabled());

    namedChild<QAction>(host, "actionRedo")->trigger();
    QCOMPARE(bytesOf(file), after);
    QCOMPARE(pagesOf(host.gui()), pagesAfter);
}

// Fifty clicks on the ten-year store stay undoable, one by one back to the first byte,
// within the stated memory; a new change after undoing keeps what could have been redone.
void TestUndo::fiftyStepsOnTenYearStore()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(dataFileName());
    QVERIFY(writeStoreFile(tenYearStore(QDateTime(QDate(2024, 6, 1), QTime(18, 0))), file));
    const QByteArray original = bytesOf(file);
    HostWindow host;
    host.openFolder(dir.path(), nullptr, false);
    const QString card = overviewCards(host.gui()).first()->batteryName();
    for (int i = 0; i < 50; ++i) {
        clickTank(overviewCard(host.gui(), card)); // charge and discharge in turn
        QCoreApplication::processEvents(); // the history packs while idle
    }
    UndoHistory &history = host.undoHistory();
    QCOMPARE(history.stepCount(), 50);
    QVERIFY(history.heldBytes() < 6 * 1024 * 1024);

    const QByteArray last = bytesOf(file);
    for (int i = 0; i < 50; ++i)
        QVERIFY(history.undo());
    QCOMPARE(bytesOf(file), original);
    QVERIFY(history.redo() && history.redo());
    // Another program wrote the file: undoing keeps that first.
    QVERIFY(writeBytes(file, original));
    QVERIFY(history.undo());
    QCOMPARE(RescueCopies(dir.path()).copies().size(), 1);
    QVERIFY(history.redo());

    // A click drops the 48 redo steps left: what they held stays as rescue copies.
    clickTank(overviewCard(host.gui(), card));
    QVERIFY(!history.canRedo());
    QCOMPARE(history.stepCount(), 3);
    const QStringList copies = RescueCopies(dir.path()).copies();
    QCOMPARE(copies.size(), RescueCopies::kept);
    QVERIFY(std::any_of(copies.begin(), copies.end(),
        [&last](const QString &copy) { return bytesOf(copy) == last; }));
}

// After the demo's store, an empty folder shows none of it, and its first battery writes
// none of it; the undo history starts afresh.
void TestUndo::otherFolderCarriesNothingOver()
{
    QTemporaryDir demo, empty;
    QVERIFY(writeStoreFile(
        demoStore(QDateTime(QDate(2024, 6, 1), QTime(18, 0))), demo.filePath(dataFileName())));
    HostWindow host;
    host.openFolder(demo.path(), nullptr, false);
    for (int i = 0; i <= UndoHistory::stepLimit; ++i)
        clickTank(overviewCards(host.gui()).first());
    QCOMPARE(host.undoHistory().stepCount(), UndoHistory::stepLimit);

    host.openFolder(empty.path(), nullptr, false);
    QVERIFY(!namedChild<QAction>(host, "actionUndo")->isEnabled());
    for (const QString &shown : pagesOf(host.gui()))
        QVERIFY2(shown.endsWith(": "), qPrintable(shown));
    perform(host.gui(),
        "click pb_options pb_edit_data pb_choose_addbattery|text ledt_name Pack|"
        "click pb_addNewBattery");
    const QString written = readStore(empty.path());
    QVERIFY(written.contains("<Name>Pack</Name>"));
    QVERIFY(!written.contains("<Location") && !written.contains("<Model>"));
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
