// Everything that used to destroy a logbook, driven through the window as a person does:
// a damaged file before an edit, characters XML cannot hold, two windows on one folder
// and imports of anything at all. Each ends with the user's data still on disk.

#include "store/rescuecopies.h"
#include "window/celloragui.h"
#include "windowsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSpinBox>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

SampleStore heliStore()
{
    return { { "Field" }, { pack("Pack A", 4500, 30, 12, true), pack("Pack B", 4500, 30, 3, true) },
        { model("Heli", { "Pack A", "Pack B" }) } };
}

void import(CelloraGui &win, const QString &path)
{
    const AnsweredDialogs dialogs(path);
    // A read that waits forever (a FIFO) ends the test instead of hanging it.
    alarm(30);
    clickThrough(win, "pb_options pb_backup pb_import_data");
    alarm(0);
}

QStringList rescueCopies(const QString &storage)
{
    return RescueCopies(storage).copies();
}

QByteArrayList rescuedContents(const QString &storage)
{
    QByteArrayList contents;
    for (const QString &path : rescueCopies(storage))
        contents << bytesOf(path);
    return contents;
}

// The store in UTF-16, lines ended by `lineEnd`.
QByteArray utf16Store(const QString &lineEnd)
{
    QTemporaryDir dir;
    writeStore(dir.path(), heliStore());
    QString text = readStore(dir.path()).replace("encoding=\"UTF-8\"", "encoding=\"UTF-16\"");
    text.replace("\n", lineEnd);
    // Little-endian with its byte order mark, written by hand: Qt 6 has no codec for it
    // without its compatibility module.
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : qAsConst(text)) {
        bytes += char(c.unicode() & 0xff);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

} // namespace

class TestNothingLost : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> storage;
    QString dataFile() const { return storage->filePath(dataFileName()); }

private slots:
    void init()
    {
        resetSettings();
        storage = std::make_unique<QTemporaryDir>();
        QVERIFY(storage->isValid());
    }

    // The reader keeps what it read before a fault; the edit that follows rewrites the file
    // from that, so the whole damaged file is kept first, and Import brings it back.
    void damagedFileIsRescuedBeforeAnEdit()
    {
        const SampleStore sample = typicalStore(QDateTime(QDate(2024, 6, 15), QTime(12, 0)));
        QVERIFY(writeStoreFile(sample, dataFile()));
        QByteArray damaged = bytesOf(dataFile());
        int battery = -1;
        for (int i = 0; i < 4; ++i)
            battery = damaged.indexOf("<Battery>", battery + 1);
        damaged.insert(damaged.indexOf("<Name>", battery) + 7, '\xff');
        QVERIFY(writeBytes(dataFile(), damaged));

        CelloraGui win;
        win.changeStoragePath(storage->path());
        QVERIFY(rescueCopies(storage->path()).isEmpty()); // reading alone writes nothing
        addLocation(win, "Neuwiese");
        QVERIFY(bytesOf(dataFile()).size() < damaged.size() / 2);
        QCOMPARE(rescuedContents(storage->path()), QByteArrayList { damaged });

        // Another edit of the same short store keeps no second copy.
        addLocation(win, "Oberwiese");
        QCOMPARE(rescueCopies(storage->path()).size(), 1);

        import(win, rescueCopies(storage->path()).first());
        QCOMPARE(backupStatus(win), QString("Import finished!"));
        QCOMPARE(bytesOf(dataFile()), damaged);
        // The store that the import replaced is a rescue copy in turn.
        QCOMPARE(rescueCopies(storage->path()).size(), 2);
        QVERIFY(rescuedContents(storage->path()).last().contains("Oberwiese"));
    }

    // A pasted control character is left out of the file; the entry and every later save
    // are kept.
    void uncodableCharactersNeverBlockASave()
    {
        setSetting("cellora", "Complex");
        StoreWindow f;
        QVERIFY(f.open(heliStore()));
        namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")
            ->setPlainText(QString("Gusty\vwind") + QChar(1) + QChar(0xFFFF) + QChar(0xD800) + "!");
        clickTank(overviewCard(f.win, "Pack A"));
        clickThrough(f.win, "pb_save_discharged");
        QVERIFY(readStore(f.dir.path()).contains("Notes=\"Gustywind!\""));

        namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")->setPlainText("Calm");
        clickTank(overviewCard(f.win, "Pack B"));
        clickThrough(f.win, "pb_save_discharged");
        QString saved = readStore(f.dir.path());
        QCOMPARE(saved.count("<LogData "), 2);
        QVERIFY(saved.contains("Notes=\"Calm\""));
        QCOMPARE(saved.count("<Cycle "), 2);

        addLocation(f.win, QString("Hill\v") + QChar(1));
        QCOMPARE(comboItems(f.win, "cb_log_location"), QStringList({ "Field", "Hill" }));

        clickThrough(f.win, "pb_options pb_choose_addbattery");
        namedChild<QLineEdit>(f.win, "ledt_name")->setText(QString("Pack\vC") + QChar(1));
        clickThrough(f.win, "pb_addNewBattery");
        saved = readStore(f.dir.path());
        QVERIFY(saved.contains("<Name>PackC</Name>"));
        QVERIFY(saved.contains("<Location Name=\"Hill\"/>"));
        QCOMPARE(saved.count("<LogData "), 2);
    }

    // Each window notices that the file is no longer what it read or wrote, and keeps it
    // before writing its own change; its own clicks alone keep nothing.
    void twoWindowsOnOneFolderKeepBothChanges()
    {
        QVERIFY(writeStore(storage->path(), heliStore()));
        CelloraGui a, b;
        a.changeStoragePath(storage->path());
        b.changeStoragePath(storage->path());
        addLocation(a, "FromA");
        clickTank(overviewCard(a, "Pack A"));
        QVERIFY(!QFileInfo::exists(storage->filePath("rescue")));

        addLocation(b, "FromB");
        QVERIFY(readStore(storage->path()).contains("FromB"));
        QCOMPARE(rescueCopies(storage->path()).size(), 1);
        QVERIFY(rescuedContents(storage->path()).first().contains("FromA"));

        // Touched without a change of content: no copy.
        const QString when = QDateTime::currentDateTime().addSecs(5).toString(Qt::ISODate);
        QVERIFY(QProcess::execute("touch", { "-d", when, dataFile() }) == 0);
        addLocation(b, "FromB2");
        QCOMPARE(rescueCopies(storage->path()).size(), 1);
    }

    void importsKeepThePreviousStore_data()
    {
        QTest::addColumn<QString>("source"); // a name in the test's folder, or a device
        QTest::addColumn<QByteArray>("content"); // written there first; null: not a file
        QTest::addColumn<QString>("status");
        QTest::addColumn<QByteArray>("imported"); // the data file afterwards; null: unchanged
        QTest::addColumn<QStringList>("cards");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary += char((i * 7919) % 251 == 13 ? 0 : (i * 7919) % 251);
        const QStringList heli { "Pack A", "Pack B" }, none;
        QTest::newRow("binary") << "photo.jpg" << binary << "Import finished!" << binary + '\n'
                                << none;
        QTest::newRow("UTF-16") << "utf16.xml" << utf16Store("\r\n") << "Import finished!"
                                << utf16Store("\n") << heli;
        QTest::newRow("FIFO") << "fifo" << QByteArray() << "Error! Could not access file."
                              << QByteArray() << heli;
        QTest::newRow("/dev/zero") << "/dev/zero" << QByteArray() << "Error! Could not access file."
                                   << QByteArray() << heli;
        QTest::newRow("folder") << "." << QByteArray() << "Error! Could not access file."
                                << QByteArray() << heli;
    }

    void importsKeepThePreviousStore()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, imported);
        QTemporaryDir sources;
        const QString path = source.startsWith('/') ? source : sources.filePath(source);
        if (source == "fifo")
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (!content.isNull())
            QVERIFY(writeBytes(path, content));
        QVERIFY(writeStore(storage->path(), heliStore()));
        const QByteArray before = bytesOf(dataFile());
        CelloraGui win;
        win.changeStoragePath(storage->path());

        import(win, path);
        QTEST(backupStatus(win), "status");
        QCOMPARE(bytesOf(dataFile()), imported.isNull() ? before : imported);
        QCOMPARE(rescuedContents(storage->path()),
            imported.isNull() ? QByteArrayList() : QByteArrayList { before });
        QTEST(overviewCardNames(win), "cards");
    }

    // The newest twenty copies are kept, each content once.
    void rescueCopiesStayFewAndDistinct()
    {
        RescueCopies copies(storage->path());
        for (int i = 0; i < 25; ++i)
            QVERIFY(copies.keep("store " + QByteArray::number(i)));
        QVERIFY(copies.keep("store 24"));
        copies.rotate();
        const QStringList kept = copies.copies();
        QCOMPARE(kept.size(), 20);
        QCOMPARE(bytesOf(kept.first()), QByteArray("store 5"));
        QCOMPARE(bytesOf(kept.last()), QByteArray("store 24"));
        const QRegularExpression backupName(
            "^cellora_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(_\\d+)?\\.xml$");
        for (const QString &path : kept)
            QVERIFY2(backupName.match(QFileInfo(path).fileName()).hasMatch(), qPrintable(path));
    }
};

QTEST_MAIN(TestNothingLost)
#include "tst_nothinglost.moc"
