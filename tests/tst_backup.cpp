#include "window/celloragui.h"
#include "windowsupport.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QtTest>

#include <memory>

using namespace TestSupport;

namespace {

SampleStore heliStore()
{
    return { { "Field A", "Field B" }, { pack("Pack A"), pack("Pack B") },
        { model("Heli", { "Pack A", "Pack B" }) } };
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

    QString dataFile() const { return QDir(storage->path()).filePath(dataFileName()); }
    QStringList backups() const
    {
        return QDir(target->path()).entryList({ "cellora_*" }, QDir::Files);
    }

    std::unique_ptr<QTemporaryDir> storage, target;
    std::unique_ptr<AnsweredDialogs> dialogs;

private slots:
    void init()
    {
        resetSettings();
        storage = std::make_unique<QTemporaryDir>();
        target = std::make_unique<QTemporaryDir>();
        QVERIFY(storage->isValid() && target->isValid());
        dialogs = std::make_unique<AnsweredDialogs>();
    }

    void cleanup() { dialogs.reset(); }

    void exportThenImport()
    {
        QVERIFY(writeStore(storage->path(), heliStore()));
        const QByteArray saved = bytesOf(dataFile());
        CelloraGui win;
        win.changeStoragePath(storage->path());
        clickThrough(win, "pb_options pb_backup");
        QCOMPARE(shownPage(win), QStringLiteral("backupView"));
        dialogs->answer({}, target->path());

        // Named after the moment of the export, which may tick over during it.
        const auto nameAt
            = [](const QDateTime &moment) { return QStringList(StoreFiles::copyName(moment)); };
        QElapsedTimer sinceExport;
        sinceExport.start();
        const QDateTime before = QDateTime::currentDateTime();
        clickThrough(win, "pb_export_data");
        QVERIFY2(backups() == nameAt(before) || backups() == nameAt(QDateTime::currentDateTime()),
            qPrintable(backups().join(' ')));
        QCOMPARE(backupStatus(win), QStringLiteral("Export finished!"));
        QCOMPARE(bytesOf(target->filePath(backups().first())), saved);

        // Later work replaces everything; the backup brings the old records back.
        QVERIFY(writeStore(
            storage->path(), { {}, { pack("Pack X") }, { model("Trainer", { "Pack X" }) } }));
        win.changeStoragePath(storage->path());
        QCOMPARE(overviewCardNames(win), QStringList { "Pack X" });
        QTest::qWait(1000);
        QCOMPARE(backupStatus(win), QStringLiteral("Export finished!"));
        dialogs->answer(target->filePath(backups().first()));
        clickThrough(win, "pb_import_data");

        QCOMPARE(backupStatus(win), QStringLiteral("Import finished!"));
        QCOMPARE(bytesOf(dataFile()), saved);
        QCOMPARE(comboItems(win, "cb_select_model"), QStringList { "Heli" });
        QCOMPARE(overviewCardNames(win), QStringList({ "Pack A", "Pack B" }));

        // The export's timer also clears the second message, before that one's own two seconds.
        QTRY_COMPARE_WITH_TIMEOUT(backupStatus(win), QString(), 1500);
        QVERIFY2(sinceExport.elapsed() >= 1900, qPrintable(QString::number(sinceExport.elapsed())));
    }

    void exportCases_data()
    {
        QTest::addColumn<QByteArray>("data"); // null: no data file
        QTest::addColumn<QString>("folder"); // in the target folder; null: cancelled
        QTest::addColumn<QByteArray>("backup"); // null: none made
        QTest::addColumn<QString>("status");
        const QByteArray store = "<Cellora>\n</Cellora>\n";
        const QString finished = "Export finished!", failed = "Error! Could not create file.";
        QTest::newRow("no data file") << QByteArray() << "." << QByteArray("") << QString();
        QTest::newRow("cancelled") << store << QString() << QByteArray() << QString();
        QTest::newRow("missing folder") << store << "missing" << QByteArray() << failed;
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
        QVERIFY(data.isNull() || writeBytes(dataFile(), data));
        CelloraGui win;
        win.changeStoragePath(storage->path());
        dialogs->answer({}, folder.isNull() ? QString() : target->filePath(folder));

        clickThrough(win, "pb_export_data");
        QTEST(backupStatus(win), "status");
        QCOMPARE(backups().size(), backup.isNull() ? 0 : 1);
        if (!backup.isNull())
            QCOMPARE(bytesOf(target->filePath(backups().first())), backup);
        QCOMPARE(bytesOf(dataFile()), data.isNull() ? QByteArray("<unreadable>") : data);
    }

    void importCases_data()
    {
        QTest::addColumn<bool>("folderSet");
        QTest::addColumn<QString>("source"); // in the target folder; "self": the data file
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
        QVERIFY(writeStore(storage->path(), heliStore()));
        const QByteArray saved = bytesOf(dataFile());
        const QString sourcePath = source == "self" ? dataFile() : target->filePath(source);
        QVERIFY(content.isNull() || writeBytes(sourcePath, content));
        // Without a folder the store stands for the working directory: keep it empty.
        const QString oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(target->path()));
        CelloraGui win;
        if (folderSet)
            win.changeStoragePath(storage->path());
        dialogs->answer(sourcePath);

        clickThrough(win, "pb_import_data");
        QDir::setCurrent(oldCurrent);
        QTEST(backupStatus(win), "status");
        QTEST(overviewCardNames(win), "cards");
        const bool replaced = folderSet && !content.isNull();
        QCOMPARE(bytesOf(dataFile()), replaced ? content : saved);
        QVERIFY(!QFile::exists(target->filePath(dataFileName())));
        QVERIFY(content.isNull() || bytesOf(sourcePath) == content);
        // A reload of a file without locations keeps the location choosers' items.
        QCOMPARE(comboItems(win, "cb_overview_location"),
            folderSet ? QStringList({ "Field A", "Field B" }) : QStringList());
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
