// The host window driven through its menus, with its dialogs answered by the test: other
// storage folders and the lock that moves with them, the recent folders after a restart,
// a restore from a rescue copy, the exports, About and the home button.

#include "host/hostdialogs.h"
#include "host/hostwindow.h"
#include "store/rescuecopies.h"
#include "windowsupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

using namespace TestSupport;

namespace {

const QDateTime anchor { QDate(2024, 6, 15), QTime(12, 0) };

SampleStore storeOf(const QStringList &batteryNames, int flights = 0)
{
    SampleStore store { {}, {}, { model("Heli") } };
    for (const QString &name : batteryNames)
        store.batteries << pack(name, 4000);
    for (int i = 0; i < flights; ++i)
        store.models[0].flightLog << SampleFlight { anchor.addDays(i), QTime(0, 5), "Feld", 10,
            "" };
    return store;
}

QAction *action(const HostWindow &window, const char *name)
{
    return namedChild<QAction>(window, name);
}

QStringList recentMenuTexts(const HostWindow &window)
{
    QStringList texts;
    for (QAction *entry : namedChild<QMenu>(window, "menuRecent")->actions())
        texts << entry->text();
    return texts;
}

struct Told {
    QString text;
    bool warning = false;
};

} // namespace

class TestHostWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir scratch;
    QString chosenFolder, chosenFile;
    int chosenItem = -1;
    QStringList offeredItems;
    QVector<Told> told;

    QString folder(const QString &name) const { return scratch.filePath(name); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
        HostDialogs::chooseFolder
            = [this](QWidget *, const QString &, const QString &) { return chosenFolder; };
        HostDialogs::chooseSaveFile = [this](QWidget *, const QString &, const QString &,
                                          const QString &) { return chosenFile; };
        HostDialogs::chooseItem
            = [this](QWidget *, const QString &, const QString &, const QStringList &items) {
                  offeredItems = items;
                  return chosenItem;
              };
        HostDialogs::tell = [this](QWidget *, const QString &, const QString &text, bool warning) {
            told << Told { text, warning };
        };
    }

    void init()
    {
        QSettings(QStringLiteral("Cellora"), QStringLiteral("cellora")).clear();
        chosenFolder.clear();
        chosenFile.clear();
        chosenItem = -1;
        offeredItems.clear();
        told.clear();
    }

    // A save that cannot reach the file shows at once, holds the window open while the user
    // keeps it, and goes away once Retry saves.
    void failedSaveShowsTheWarningBar()
    {
        QVERIFY(writeStore(folder("warn"), storeOf({ "Pack A" })));
        HostWindow window;
        QCOMPARE(window.openFolder(folder("warn")), StorageLock::Outcome::Locked);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *bar = namedChild<QWidget>(window, "warningBar");
        QVERIFY(!bar->isVisible());
        const QString dataFile = QDir(folder("warn")).filePath(dataFileName());
        QVERIFY(QFile::remove(dataFile) && QDir().mkdir(dataFile));
        clickThrough(window.gui(), "pb_options pb_choose_addlocation");
        namedChild<QLineEdit>(window, "ledt_location_new")->setText("Neuwiese");
        QTest::mouseClick(namedChild<QPushButton>(window, "pb_add_location"), Qt::LeftButton);
        QTRY_VERIFY(bar->isVisible());
        QVERIFY(namedChild<QLabel>(window, "warningText")->text().contains("not a file"));
        bool asked = false;
        HostDialogs::ask
            = [&asked](QWidget *, const QString &, const QString &) { return !(asked = true); };
        QVERIFY(!window.close());
        QVERIFY(asked && window.isVisible());
        QVERIFY(QDir().rmdir(dataFile));
        namedChild<QPushButton>(window, "retryButton")->click();
        QVERIFY(!bar->isVisible());
        QVERIFY(bytesOf(dataFile).contains("Neuwiese"));
        QVERIFY(window.close());

        // A folder that cannot be written is said in the window too, not only on stderr.
        HostWindow readOnly;
        QVERIFY(writeBytes(folder("plain"), "a file"));
        QCOMPARE(readOnly.openFolder(folder("plain") + "/sub"), StorageLock::Outcome::Unwritable);
        QVERIFY(!namedChild<QWidget>(readOnly, "warningBar")->isHidden());
        QVERIFY(namedChild<QLabel>(readOnly, "warningText")
                    ->text()
                    .contains("cannot be created or written"));
    }

    void foreignLockSaysWhichFileToDelete_data()
    {
        QTest::addColumn<QByteArray>("lock");
        QTest::newRow("another machine") << QByteArray("1\ncellora\nfar-away-host\n");
        QTest::newRow("garbage") << QByteArray("garbage");
        QTest::newRow("empty") << QByteArray();
    }

    // A lock this machine cannot check names the file to delete if no Cellora runs there.
    void foreignLockSaysWhichFileToDelete()
    {
        QFETCH(QByteArray, lock);
        QVERIFY(QDir().mkpath(folder("foreign")));
        const QString lockFile = QDir(folder("foreign")).filePath(StoreFiles::lockFile);
        QVERIFY(writeBytes(lockFile, lock));
        StorageLock storage;
        QCOMPARE(storage.lock(folder("foreign")), StorageLock::Outcome::InUse);
        QVERIFY2(storage.holder().contains("delete " + QDir::toNativeSeparators(lockFile)),
            qPrintable(storage.holder()));
        QVERIFY(QFile::remove(lockFile));
    }

    void openFolderMovesTheLock()
    {
        QVERIFY(writeStore(folder("a"), storeOf({ "Pack A" })));
        QVERIFY(writeStore(folder("b"), storeOf({ "Pack B" })));
        QVERIFY(writeStore(folder("c"), storeOf({ "Pack C" })));
        HostWindow window;
        QCOMPARE(window.openFolder(folder("a")), StorageLock::Outcome::Locked);
        QCOMPARE(window.windowTitle(), "Cellora – " + folder("a"));

        chosenFolder = folder("b");
        action(window, "actionOpenFolder")->trigger();
        QCOMPARE(window.windowTitle(), "Cellora – " + folder("b"));
        QCOMPARE(comboItems(window.gui(), "cb_batteryData"), QStringList { "Pack B" });
        QVERIFY(QFileInfo::exists(QDir(folder("b")).filePath("cellora.lock")));
        QVERIFY(!QFileInfo::exists(QDir(folder("a")).filePath("cellora.lock")));
        QVERIFY(told.isEmpty());

        // Another program on c: the window says so and stays on b, which it still holds.
        StorageLock other;
        QCOMPARE(other.lock(folder("c")), StorageLock::Outcome::Locked);
        chosenFolder = folder("c");
        action(window, "actionOpenFolder")->trigger();
        QCOMPARE(told.size(), 1);
        QVERIFY(told[0].warning && told[0].text.contains(folder("c")));
        QCOMPARE(window.storageFolder(), folder("b"));
        QCOMPARE(comboItems(window.gui(), "cb_batteryData"), QStringList { "Pack B" });
        QVERIFY(QFileInfo::exists(QDir(folder("b")).filePath("cellora.lock")));
        QCOMPARE(window.recentFolders(), (QStringList { folder("b"), folder("a") }));

        // The folder already shown opens again: it is this window's own lock.
        chosenFolder = folder("b");
        action(window, "actionOpenFolder")->trigger();
        QCOMPARE(told.size(), 1);
        QCOMPARE(window.storageFolder(), folder("b"));

        // Cancelled: nothing changes.
        chosenFolder.clear();
        action(window, "actionOpenFolder")->trigger();
        QCOMPARE(window.storageFolder(), folder("b"));
    }

    void recentFoldersAndGeometryAfterRestart()
    {
        QStringList opened;
        {
            HostWindow window;
            for (int i = 0; i < 9; ++i) {
                opened.prepend(folder(QStringLiteral("recent-%1").arg(i)));
                window.openFolder(opened.first());
            }
            window.show();
            window.resize(520, 540);
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            // A temporary folder, such as the demo's, is not remembered.
            window.openFolder(folder("temporary"), nullptr, false);
            QCOMPARE(action(window, "actionQuit")->shortcut(), QKeySequence("Ctrl+Q"));
            QCOMPARE(action(window, "actionOpenFolder")->shortcut(), QKeySequence("Ctrl+O"));
            action(window, "actionQuit")->trigger();
            QVERIFY(!window.isVisible());
        }
        HostWindow window;
        QCOMPARE(window.size(), QSize(520, 540));
        QCOMPARE(recentMenuTexts(window), opened.mid(0, HostWindow::recentLimit));

        // An entry opens its folder and moves to the top; the oldest stays dropped.
        namedChild<QMenu>(window, "menuRecent")->actions().at(3)->trigger();
        QCOMPARE(window.storageFolder(), opened[3]);
        QCOMPARE(recentMenuTexts(window),
            QStringList { opened[3] } + opened.mid(0, 3) + opened.mid(4, 4));
    }

    void restoreFromRescueCopy()
    {
        const QString storage = folder("rescue-store");
        QVERIFY(writeStore(storage, storeOf({ "Present" })));
        const QByteArray present = bytesOf(QDir(storage).filePath(dataFileName()));
        HostWindow window;
        window.openFolder(storage);

        action(window, "actionRestoreRescueCopy")->trigger();
        QCOMPARE(told.size(), 1);
        QVERIFY(told[0].text.contains("no rescue copies"));

        QVERIFY(writeStore(folder("older"), storeOf({ "Older" })));
        QVERIFY(
            RescueCopies(storage).keep(bytesOf(QDir(folder("older")).filePath(dataFileName()))));
        QVERIFY(writeStore(folder("kept"), storeOf({ "R1", "R2" }, 3)));
        QVERIFY(RescueCopies(storage).keep(bytesOf(QDir(folder("kept")).filePath(dataFileName()))));
        const QString copy = RescueCopies(storage).copies().last();
        action(window, "actionRestoreRescueCopy")->trigger(); // cancelled
        QCOMPARE(offeredItems.size(), 2); // newest first
        QVERIFY2(offeredItems[0].contains("2 batteries, 1 models, 3 flights")
                && offeredItems[0].contains(QFileInfo(copy).fileName()),
            qPrintable(offeredItems[0]));
        QCOMPARE(bytesOf(QDir(storage).filePath(dataFileName())), present);

        chosenItem = 0;
        action(window, "actionRestoreRescueCopy")->trigger();
        QCOMPARE(comboItems(window.gui(), "cb_batteryData"), (QStringList { "R1", "R2" }));
        // The store it replaced is a rescue copy in turn.
        bool kept = false;
        for (const QString &file : RescueCopies(storage).copies())
            kept = kept || bytesOf(file) == present;
        QVERIFY(kept);
    }

    void exportsAndAbout()
    {
        const QString storage = folder("export-store");
        QVERIFY(writeStore(storage, storeOf({ "Pack" }, 2)));
        HostWindow window;
        window.openFolder(storage);

        action(window, "actionExportFlights")->trigger(); // cancelled
        QVERIFY(told.isEmpty());
        chosenFile = folder("flights.csv");
        action(window, "actionExportFlights")->trigger();
        QCOMPARE(bytesOf(chosenFile).count("\r\n"), 3);
        QVERIFY(bytesOf(chosenFile).startsWith("model,date,time,"));
        chosenFile = folder("cycles.csv");
        action(window, "actionExportCycles")->trigger();
        QVERIFY(bytesOf(chosenFile).startsWith("battery,date_time,"));
        chosenFile = folder("report.pdf");
        action(window, "actionPackReport")->trigger();
        QVERIFY(bytesOf(chosenFile).startsWith("%PDF-"));
        QCOMPARE(told.size(), 3);
        QVERIFY(!told.last().warning && told.last().text.contains(chosenFile));

        action(window, "actionAbout")->trigger();
        QVERIFY(told.last().text.contains("Cellora 9.8.7") && told.last().text.contains(qVersion())
            && told.last().text.contains(storage));

        // A folder without a data file: said, and nothing written.
        window.openFolder(folder("empty-store"));
        chosenFile = folder("empty.csv");
        action(window, "actionExportFlights")->trigger();
        QVERIFY(told.last().warning && told.last().text.contains("no data file"));
        QVERIFY(!QFileInfo::exists(chosenFile));
    }

    void homeButtonClosesTheProgram()
    {
        HostWindow window;
        window.openFolder(folder("home-store"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        namedChild<QAbstractButton>(window.gui(), "pb_home")->click();
        QVERIFY(!window.isVisible());
    }

    // The program's own texts have a German translation of their own, beside the module's.
    void menusInGerman()
    {
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/i18n/cellora-host_de.qm")));
        QCoreApplication::installTranslator(&german);
        HostWindow window;
        QCoreApplication::removeTranslator(&german);
        QStringList titles;
        for (const QAction *menu : window.menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, QStringList({ "&Datei", "&Bearbeiten", "&Flugbuch", "&Hilfe" }));
        QCOMPARE(action(window, "actionPackReport")->text(), QString("&Akkubericht…"));
    }
};

QTEST_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
