// Putting mistakes right: the module's store listener and replacement entry point, the
// rescue copy before a delete with history.

#include "store/rescuecopies.h"
#include "testsupport.h"

#include <QtTest>

#include <functional>

using namespace TestSupport;

namespace {

const QString battery = QStringLiteral("Voltra #1");
const QString cycleData = QStringLiteral(
    "        <Data>\n"
    "            <Cycle Discharged=\"3000\" Current=\"4000\" Date=\"Sat Mar 2 14:05:09 2024\"/>\n"
    "        </Data>\n");

// One battery that the model flies, with a cycle and a flight when `history` is set.
QString storeXml(bool history)
{
    QString batteryPart = batteryXml({ battery });
    QString modelPart = modelXml(QStringLiteral("Heli"), { battery });
    if (history) {
        batteryPart.insert(batteryPart.lastIndexOf(QLatin1String("    </Battery>")), cycleData);
        modelPart.insert(modelPart.lastIndexOf(QLatin1String("    </Model>")),
            QStringLiteral("        <FlightLog>\n"
                           "            <LogData Date=\"Sat Mar 2 14:05:09 2024\" Location=\"Feld\""
                           " Duration=\"00:05:00\" Temperature=\"20\" Notes=\"\"/>\n"
                           "        </FlightLog>\n"));
    }
    return locationsXml({ QStringLiteral("Feld") }) + batteryPart + modelPart;
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
};

// Every write is told with its bytes; a replacement writes exactly the given bytes, reloads
// the pages, keeps an outside change first, and changes nothing when it cannot write.
void TestUndo::storeReplacement()
{
    StoreWindow s;
    QVERIFY(s.open(storeXml(false)));
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
    QVERIFY(overviewCard(s.win, battery)->batteryCharged());

    QVERIFY(s.win.replaceStoreContent(original));
    QCOMPARE(bytesOf(file), original);
    QVERIFY(!overviewCard(s.win, battery)->batteryCharged());
    QCOMPARE(backupStatus(s.win), QString());
    QCOMPARE(writes.size(), 2);
    QCOMPARE(writes[1].after, original);

    // Another program wrote the file: its content is kept before the replacement.
    const QByteArray outside = original + "<!-- outside -->\n";
    QVERIFY(writeBytes(file, outside));
    QVERIFY(s.win.replaceStoreContent(charged));
    QCOMPARE(bytesOf(file), charged);
    const QStringList copies = RescueCopies(s.dir.path()).copies();
    QCOMPARE(copies.size(), 1);
    QCOMPARE(bytesOf(copies.first()), outside);

    // A folder that cannot exist: nothing is written, the listener hears of it.
    s.win.changeStoragePath(file + QStringLiteral("/below-a-file"));
    writes.clear();
    QVERIFY(!s.win.replaceStoreContent(original));
    QCOMPARE(writes.size(), 1);
    QVERIFY(!writes[0].written);
    QCOMPARE(bytesOf(file), charged);
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
    QVERIFY(s.open(storeXml(history)));
    const QByteArray before = bytesOf(QDir(s.dir.path()).filePath(dataFileName()));
    clickThrough(s.win, "pb_options pb_edit_data " + buttons);
    QVERIFY(readStore(s.dir.path()).size() < before.size()); // deleted
    const QStringList copies = RescueCopies(s.dir.path()).copies();
    QCOMPARE(copies.size(), keptCopy ? 1 : 0);
    if (keptCopy)
        QCOMPARE(bytesOf(copies.first()), before);
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
