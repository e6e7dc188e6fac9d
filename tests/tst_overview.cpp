// The overview's cards and choosers, a discharge from the tank to the data file, and the
// backup page's export and import.

#include "windowsupport.h"

#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
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

// Date-times of this day come from the clock: the file names them "now".
QByteArray withoutClock(const QByteArray &file)
{
    const QDate today = QDate::currentDate();
    const QString pattern = QLocale::c().toString(today, "ddd MMM d") + " \\d\\d:\\d\\d:\\d\\d "
        + QString::number(today.year());
    return QString::fromUtf8(file).replace(QRegularExpression(pattern), "now").toUtf8();
}

QStringList backupsIn(const QTemporaryDir &folder)
{
    return QDir(folder.path()).entryList({ "cellora_*" }, QDir::Files);
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
        const auto pair = [](const QVector<SampleModel> &models) {
            return SampleStore { {}, { pack("P1"), pack("P2") }, models };
        };
        const QStringList pairBatteries { "P1", "P2" }, none;
        QTest::newRow("no data") << SampleStore() << false << QString()
                                 << QStringList { "lbl_welcome", "lbl_optionshint" } << QString()
                                 << none;
        QTest::newRow("batteries, no model")
            << pair({}) << true << QString() << none << "" << pairBatteries;
        QTest::newRow("model without batteries")
            << pair({ model("Glider") }) << true << QString() << QStringList { "lbl_optionshint" }
            << "Glider" << pairBatteries;
        QTest::newRow("one name twice")
            << pair({ model("Heli", { "P1" }), model("Heli", { "P2" }) }) << true << QString()
            << QStringList { "P2" } << "Heli" << pairBatteries;
        // The last model, an unknown one, and one in other letter case.
        for (const auto &[logModel, row, selected] :
            { std::tuple("B", "B1", "B"), std::tuple("C", "C1", "C"), std::tuple("Z", "A1 A2", "A"),
                std::tuple("b", "A1 A2", "A") })
            QTest::addRow("logmodel %s", logModel)
                << three << true << QString(logModel) << QString(row).split(' ')
                << QString(selected) << QStringList { "A1", "A2", "B1", "C1" };
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
        QCOMPARE(QFile::exists(dataFileIn(dir.path())), written);
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
        QVERIFY(f.open(heliFleet(capacity, rating)));
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
        QVERIFY(entry.date >= before && entry.date <= QDateTime::currentDateTime().addSecs(1));
        QCOMPARE(battery->cycleDates(), QVector<QDateTime> { entry.date }); // the logbook's link
    }

    // Model names stay in the choosers when a folder without models is opened, so choosing
    // one of them then matches no model and shows every card; its tank logs no flight.
    void dischargeWithoutModel()
    {
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
    // charging saves without reloading the records; refreshes leave no widget behind.
    void modelSwitchingAndRefreshes()
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
        QCOMPARE(column(f.win), QStringList({ "P1", "P3" }));
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

        // Old content widgets leave the window's tree when taken out of the scroll area,
        // so the count of all widgets of the process is what would show a leak.
        const auto refresh = [&f](int times) {
            for (int i = 0; i < times; ++i)
                f.win.changeStoragePath(f.dir.path());
        };
        refresh(10);
        const int children = f.win.findChildren<QObject *>().size();
        const int widgets = QApplication::allWidgets().size();
        refresh(990);
        QCOMPARE(f.win.findChildren<QObject *>().size(), children);
        QCOMPARE(QApplication::allWidgets().size(), widgets);
        QCOMPARE(column(f.win), QStringList({ "P1", "P3" }));
    }

    // The same clicks make the same data file under Qt 5 and Qt 6: the file kept in
    // tests/data, from a store as an older version may have left it (a fraction of a second,
    // a year of three digits, names beyond ASCII).
    void scriptedSessionFile()
    {
        setSetting("cellora", "Complex");
        StoreWindow f;
        QVERIFY(writeStore(f.dir.path(),
            { { "Feld Nord", "Wiese \u00e4\u00f6\u00fc" },
                { pack("Pack A", 5000, 35, 12, true), pack("Pack B", 2200, 25, 3) },
                { model("Heli \U0001F681", { "Pack A", "Pack B" }) } }));
        QVERIFY(writeBytes(dataFileIn(f.dir.path()),
            readStore(f.dir.path())
                .replace("14:05:09 2024<", "14:05:09.5 2024<")
                .replace(
                    "<LastUpdate>Sun Dec 31 23:59:59 2023<", "<LastUpdate>Tue Dec 31 12:00:00 999<")
                .toUtf8()));
        f.win.changeStoragePath(f.dir.path());
        f.win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.win));
        addLocation(f.win, "Hang \U0001F3D4");
        clickTank(overviewCard(f.win, "Pack B")); // charged now
        namedChild<QComboBox>(f.win, "cb_overview_location")->setCurrentIndex(1);
        clickTank(overviewCard(f.win, "Pack A")); // a Full discharge
        namedChild<QDateEdit>(f.win, "dedt_dischargeDate")->setDate(QDate(2024, 5, 4));
        namedChild<QTimeEdit>(f.win, "tedt_dischargeTime")->setTime(QTime(9, 30));
        namedChild<QSpinBox>(f.win, "sb_log_temp")->setValue(-5);
        namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")
            ->setPlainText("B\u00f6en \u2713\nzweite Zeile");
        clickThrough(f.win, "pb_save_discharged");
        QCOMPARE(withoutClock(bytesOf(dataFileIn(f.dir.path()))),
            bytesOf(CELLORA_TEST_DATA "/session.xml"));
    }

    void exportThenImport()
    {
        QTemporaryDir storage, target;
        AnsweredDialogs dialogs({}, target.path());
        QVERIFY(writeStore(storage.path(), heliFleet()));
        const QByteArray saved = bytesOf(dataFileIn(storage.path()));
        CelloraGui win;
        win.changeStoragePath(storage.path());
        clickThrough(win, "pb_options pb_backup");
        QCOMPARE(shownPage(win), QStringLiteral("backupView"));

        // Named after the moment of the export, which may tick over during it.
        QElapsedTimer sinceExport;
        sinceExport.start();
        const QString before = StoreFiles::copyName(QDateTime::currentDateTime());
        clickThrough(win, "pb_export_data");
        const QStringList backups = backupsIn(target);
        QVERIFY(backups == QStringList(before)
            || backups == QStringList(StoreFiles::copyName(QDateTime::currentDateTime())));
        QCOMPARE(backupStatus(win), QStringLiteral("Export finished!"));
        QCOMPARE(bytesOf(target.filePath(backups.first())), saved);

        // Later work replaces everything; the backup brings the old records back.
        QVERIFY(writeStore(
            storage.path(), { {}, { pack("Pack X") }, { model("Trainer", { "Pack X" }) } }));
        win.changeStoragePath(storage.path());
        QCOMPARE(overviewCardNames(win), QStringList { "Pack X" });
        QTest::qWait(1000);
        QCOMPARE(backupStatus(win), QStringLiteral("Export finished!"));
        dialogs.answer(target.filePath(backups.first()));
        clickThrough(win, "pb_import_data");
        QCOMPARE(backupStatus(win), QStringLiteral("Import finished!"));
        QCOMPARE(bytesOf(dataFileIn(storage.path())), saved);
        QCOMPARE(comboItems(win, "cb_select_model"), QStringList { "Heli" });
        QCOMPARE(overviewCardNames(win), QStringList({ "Pack A", "Pack B" }));

        // The export's timer also clears the second message, before that one's own two seconds.
        QTRY_COMPARE_WITH_TIMEOUT(backupStatus(win), QString(), 1500);
        QVERIFY(sinceExport.elapsed() >= 1900);
    }

    void exportCases_data()
    {
        QTest::addColumn<QByteArray>("data"); // null: no data file
        QTest::addColumn<QString>("folder"); // in the target folder; null: cancelled
        QTest::addColumn<QByteArray>("backup"); // null: none made
        QTest::addColumn<QString>("status");
        const QByteArray store = "<Cellora>\n</Cellora>\n";
        const QString finished = "Export finished!";
        QTest::newRow("no data file") << QByteArray() << "." << QByteArray("") << QString();
        QTest::newRow("cancelled") << store << QString() << QByteArray() << QString();
        QTest::newRow("missing folder")
            << store << "missing" << QByteArray() << "Error! Could not create file.";
        QTest::newRow("no line end at the end")
            << QByteArray("<Cellora>\n</Cellora>") << "." << store << finished;
        QTest::newRow("carriage returns, an empty line")
            << QByteArray("<Cellora>\r\n\r\n</Cellora>\r\n") << "."
            << QByteArray("<Cellora>\n\n</Cellora>\n") << finished;
    }

    void exportCases()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, folder);
        QFETCH(QByteArray, backup);
        QTemporaryDir storage, target;
        QVERIFY(data.isNull() || writeBytes(dataFileIn(storage.path()), data));
        AnsweredDialogs dialogs({}, folder.isNull() ? QString() : target.filePath(folder));
        CelloraGui win;
        win.changeStoragePath(storage.path());

        clickThrough(win, "pb_export_data");
        QTEST(backupStatus(win), "status");
        QCOMPARE(backupsIn(target).size(), backup.isNull() ? 0 : 1);
        if (!backup.isNull())
            QCOMPARE(bytesOf(target.filePath(backupsIn(target).first())), backup);
        QCOMPARE(
            bytesOf(dataFileIn(storage.path())), data.isNull() ? QByteArray("<unreadable>") : data);
    }

    void importCases_data()
    {
        QTest::addColumn<bool>("folderSet");
        QTest::addColumn<QString>("source"); // in the source folder; "self": the data file
        QTest::addColumn<QByteArray>("content"); // written there first; null: no such file
        QTest::addColumn<QStringList>("cards"); // the overview after the import
        QTest::addColumn<QString>("status");
        const QStringList heli { "Pack A", "Pack B" }, none;
        const QByteArray trainer = "<Cellora><Battery><Name>Pack X</Name></Battery></Cellora>\n";
        QTest::newRow("no storage folder")
            << false << "trainer.xml" << trainer << none << "Error! Not a valid file.";
        QTest::newRow("missing file")
            << true << "missing.xml" << QByteArray() << heli << "Error! Could not access file.";
        QTest::newRow("the data file itself")
            << true << "self" << QByteArray() << heli << "Import finished!";
        QTest::newRow("empty file")
            << true << "empty.xml" << QByteArray("") << none << "Import finished!";
        QTest::newRow("not a backup")
            << true << "notes.txt" << QByteArray("just notes\n") << none << "Import finished!";
    }

    void importCases()
    {
        QFETCH(bool, folderSet);
        QFETCH(QString, source);
        QFETCH(QByteArray, content);
        QTemporaryDir storage, sources;
        QVERIFY(writeStore(storage.path(), heliFleet()));
        const QByteArray saved = bytesOf(dataFileIn(storage.path()));
        const QString path
            = source == "self" ? dataFileIn(storage.path()) : sources.filePath(source);
        QVERIFY(content.isNull() || writeBytes(path, content));
        // Without a folder the store stands for the working directory: keep it empty.
        const QString oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(sources.path()));
        AnsweredDialogs dialogs(path);
        CelloraGui win;
        if (folderSet)
            win.changeStoragePath(storage.path());

        clickThrough(win, "pb_import_data");
        QDir::setCurrent(oldCurrent);
        QTEST(backupStatus(win), "status");
        QTEST(overviewCardNames(win), "cards");
        QCOMPARE(
            bytesOf(dataFileIn(storage.path())), folderSet && !content.isNull() ? content : saved);
        QVERIFY(!QFile::exists(dataFileIn(sources.path())));
        QVERIFY(content.isNull() || bytesOf(path) == content);
        // A reload of a file without locations keeps the location choosers' items.
        QCOMPARE(comboItems(win, "cb_overview_location"),
            folderSet ? QStringList({ "North", "South", "East" }) : QStringList());
    }
};

QTEST_MAIN(TestOverview)
#include "tst_overview.moc"
