#include "records/batterywidget.h"
#include "testsupport.h"
#include "window/celloragui.h"
#include "window/filedialogs.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace TestSupport;

namespace {

template <typename T> T *child(const QWidget &parent, const char *name)
{
    T *widget = parent.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget named %s", name);
    return widget;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool putFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QString heliStore()
{
    return locationsXml({ "Field A", "Field B" }) + batteryXml({ "Pack A" })
        + batteryXml({ "Pack B" }) + modelXml("Heli", { "Pack A", "Pack B" });
}

QString trainerStore()
{
    return batteryXml({ "Pack X" }) + modelXml("Trainer", { "Pack X" });
}

QStringList itemsOf(const CelloraGui &win, const char *comboBox)
{
    const auto *box = child<QComboBox>(win, comboBox);
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Names of the battery cards in the overview.
QStringList cardNames(const CelloraGui &win)
{
    QStringList names;
    const QWidget *content = child<QScrollArea>(win, "scrollArea")->widget();
    for (const BatteryWidget *card : content->findChildren<BatteryWidget *>())
        names << card->batteryName();
    return names;
}

QString status(const CelloraGui &win)
{
    return child<QLabel>(win, "lbl_backup_status")->text();
}

void openBackupPage(CelloraGui &win)
{
    child<QPushButton>(win, "pb_options")->click();
    child<QPushButton>(win, "pb_backup")->click();
    QCOMPARE(child<QStackedWidget>(win, "stackedWidget")->currentWidget()->objectName(),
        QString("backupView"));
}

void click(CelloraGui &win, const char *button)
{
    child<QPushButton>(win, button)->click();
}

FileDialogs::Chooser answer(const QString &choice)
{
    return [choice](QWidget *) { return choice; };
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exportCopiesDataFile();
    void exportWithoutDataFile();
    void exportCancelled();
    void exportToUnwritableFolder_data();
    void exportToUnwritableFolder();
    void exportEndsEveryLine_data();
    void exportEndsEveryLine();

    void importReplacesAndReloads();
    void exportThenImportRestores();
    void importWithoutStorageFolder();
    void importUnreadableFile();
    void importDataFileItself();
    void importEmptyFile();

    void statusClearsAfterTwoSeconds();

private:
    QString dataFile() const { return QDir(storage->path()).filePath(dataFileName()); }
    QStringList backups() const { return QDir(target->path()).entryList(QDir::Files); }

    FileDialogs::Chooser systemExportDialog;
    FileDialogs::Chooser systemImportDialog;
    std::unique_ptr<QTemporaryDir> storage;
    std::unique_ptr<QTemporaryDir> target;
};

void TestBackup::initTestCase()
{
    systemExportDialog = FileDialogs::chooseExportFolder;
    systemImportDialog = FileDialogs::chooseImportFile;
}

void TestBackup::init()
{
    resetSettings();
    storage = std::make_unique<QTemporaryDir>();
    target = std::make_unique<QTemporaryDir>();
    QVERIFY(storage->isValid() && target->isValid());
    // A dialog left in place would block the test: fail loudly instead.
    const auto unexpected = [](QWidget *) {
        qFatal("a backup dialog was not answered by the test");
        return QString();
    };
    FileDialogs::chooseExportFolder = unexpected;
    FileDialogs::chooseImportFile = unexpected;
}

void TestBackup::cleanup()
{
    FileDialogs::chooseExportFolder = systemExportDialog;
    FileDialogs::chooseImportFile = systemImportDialog;
}

void TestBackup::exportCopiesDataFile()
{
    QVERIFY(writeStore(storage->path(), heliStore()));
    CelloraGui win;
    win.changeStoragePath(storage->path());
    openBackupPage(win);
    FileDialogs::chooseExportFolder = answer(target->path());

    const QDateTime before = QDateTime::currentDateTime().addMSecs(-999);
    click(win, "pb_export_data");
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(backups().size(), 1);
    const QRegularExpressionMatch name
        = QRegularExpression(R"(^cellora_(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)\.xml$)")
              .match(backups().first());
    QVERIFY2(name.hasMatch(), qPrintable(backups().first()));
    const QDateTime stamp = QDateTime::fromString(name.captured(1), "yyyy-MM-dd_HH-mm-ss");
    QVERIFY2(stamp >= before && stamp <= after, qPrintable(name.captured(1)));
    QCOMPARE(contentOf(target->filePath(backups().first())), contentOf(dataFile()));
    QCOMPARE(status(win), QString("Export finished!"));
}

void TestBackup::exportWithoutDataFile()
{
    CelloraGui win;
    win.changeStoragePath(storage->path());
    FileDialogs::chooseExportFolder = answer(target->path());

    click(win, "pb_export_data");
    QCOMPARE(backups().size(), 1);
    QCOMPARE(QFileInfo(target->filePath(backups().first())).size(), 0);
    QCOMPARE(status(win), QString());
}

void TestBackup::exportCancelled()
{
    QVERIFY(writeStore(storage->path(), heliStore()));
    CelloraGui win;
    win.changeStoragePath(storage->path());
    FileDialogs::chooseExportFolder = answer(QString());

    click(win, "pb_export_data");
    QVERIFY(backups().isEmpty());
    QCOMPARE(status(win), QString());
}

void TestBackup::exportToUnwritableFolder_data()
{
    QTest::addColumn<QString>("folder"); // below the target folder
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("a file, not a folder") << "plain.txt";
}

void TestBackup::exportToUnwritableFolder()
{
    QFETCH(QString, folder);
    QVERIFY(putFile(target->filePath("plain.txt"), "not a folder\n"));
    QVERIFY(writeStore(storage->path(), heliStore()));
    CelloraGui win;
    win.changeStoragePath(storage->path());
    FileDialogs::chooseExportFolder = answer(target->filePath(folder));

    click(win, "pb_export_data");
    QCOMPARE(status(win), QString("Error! Could not create file."));
    QCOMPARE(backups(), QStringList { "plain.txt" });
}

void TestBackup::exportEndsEveryLine_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("backup");
    QTest::newRow("no line end at the end")
        << QByteArray("<Cellora>\n</Cellora>") << QByteArray("<Cellora>\n</Cellora>\n");
    QTest::newRow("carriage returns")
        << QByteArray("<Cellora>\r\n</Cellora>\r\n") << QByteArray("<Cellora>\n</Cellora>\n");
}

void TestBackup::exportEndsEveryLine()
{
    QFETCH(QByteArray, data);
    QVERIFY(putFile(dataFile(), data));
    CelloraGui win;
    win.changeStoragePath(storage->path());
    FileDialogs::chooseExportFolder = answer(target->path());

    click(win, "pb_export_data");
    QCOMPARE(backups().size(), 1);
    QTEST(contentOf(target->filePath(backups().first())), "backup");
    QCOMPARE(contentOf(dataFile()), data);
}

void TestBackup::importReplacesAndReloads()
{
    QVERIFY(writeStore(storage->path(), heliStore()));
    QVERIFY(writeStore(target->path(), trainerStore()));
    const QString source = target->filePath(dataFileName());
    CelloraGui win;
    win.changeStoragePath(storage->path());
    QCOMPARE(cardNames(win), (QStringList { "Pack A", "Pack B" }));
    openBackupPage(win);
    FileDialogs::chooseImportFile = answer(source);

    click(win, "pb_import_data");
    QCOMPARE(contentOf(dataFile()), contentOf(source));
    QCOMPARE(itemsOf(win, "cb_select_model"), QStringList { "Trainer" });
    QCOMPARE(itemsOf(win, "cb_batteryData"), QStringList { "Pack X" });
    QCOMPARE(cardNames(win), QStringList { "Pack X" });
    QCOMPARE(status(win), QString("Import finished!"));
}

void TestBackup::exportThenImportRestores()
{
    QVERIFY(writeStore(storage->path(), heliStore()));
    const QByteArray saved = contentOf(dataFile());
    CelloraGui win;
    win.changeStoragePath(storage->path());
    FileDialogs::chooseExportFolder = answer(target->path());
    click(win, "pb_export_data");
    QCOMPARE(backups().size(), 1);

    // Later work replaces everything; the backup brings the old records back.
    QVERIFY(writeStore(storage->path(), trainerStore()));
    win.changeStoragePath(storage->path());
    QCOMPARE(cardNames(win), QStringList { "Pack X" });
    FileDialogs::chooseImportFile = answer(target->filePath(backups().first()));
    click(win, "pb_import_data");

    QCOMPARE(contentOf(dataFile()), saved);
    QCOMPARE(itemsOf(win, "cb_select_model"), QStringList { "Heli" });
    QCOMPARE(itemsOf(win, "cb_log_location"), (QStringList { "Field A", "Field B" }));
    QCOMPARE(cardNames(win), (QStringList { "Pack A", "Pack B" }));
}

void TestBackup::importWithoutStorageFolder()
{
    QVERIFY(writeStore(target->path(), trainerStore()));
    const QString source = target->filePath(dataFileName());
    const QByteArray sourceContent = contentOf(source);
    // Without a folder the store would stand for the working directory: it must stay as it is.
    const QString inWorkingDir = QDir::current().filePath(dataFileName());
    const bool existedBefore = QFile::exists(inWorkingDir);
    const QByteArray beforeContent = existedBefore ? contentOf(inWorkingDir) : QByteArray();
    CelloraGui win;
    FileDialogs::chooseImportFile = answer(source);

    click(win, "pb_import_data");
    QCOMPARE(status(win), QString("Error! Not a valid file."));
    QCOMPARE(QFile::exists(inWorkingDir), existedBefore);
    if (existedBefore)
        QCOMPARE(contentOf(inWorkingDir), beforeContent);
    QCOMPARE(contentOf(source), sourceContent);
    QVERIFY(itemsOf(win, "cb_select_model").isEmpty());
    QVERIFY(cardNames(win).isEmpty());
}

void TestBackup::importUnreadableFile()
{
    QVERIFY(writeStore(storage->path(), heliStore()));
    const QByteArray saved = contentOf(dataFile());
    CelloraGui win;
    win.changeStoragePath(storage->path());
    FileDialogs::chooseImportFile = answer(target->filePath("missing.xml"));

    click(win, "pb_import_data");
    QCOMPARE(status(win), QString("Error! Could not access file."));
    QCOMPARE(contentOf(dataFile()), saved);
    QCOMPARE(cardNames(win), (QStringList { "Pack A", "Pack B" }));
}

void TestBackup::importDataFileItself()
{
    QVERIFY(writeStore(storage->path(), heliStore()));
    const QByteArray saved = contentOf(dataFile());
    CelloraGui win;
    win.changeStoragePath(storage->path());
    FileDialogs::chooseImportFile = answer(dataFile());

    click(win, "pb_import_data");
    QCOMPARE(contentOf(dataFile()), saved);
    QCOMPARE(itemsOf(win, "cb_select_model"), QStringList { "Heli" });
    QCOMPARE(cardNames(win), (QStringList { "Pack A", "Pack B" }));
    QCOMPARE(status(win), QString("Import finished!"));
}

void TestBackup::importEmptyFile()
{
    QVERIFY(writeStore(storage->path(), heliStore()));
    QVERIFY(putFile(target->filePath("empty.xml"), QByteArray()));
    CelloraGui win;
    win.changeStoragePath(storage->path());
    FileDialogs::chooseImportFile = answer(target->filePath("empty.xml"));

    click(win, "pb_import_data");
    QCOMPARE(QFileInfo(dataFile()).size(), 0);
    QVERIFY(cardNames(win).isEmpty());
    QVERIFY(!child<QPushButton>(win, "pb_chart")->isEnabled());
    const QStringList locations { "Field A", "Field B" };
    for (const char *chooser : { "cb_log_location", "cb_overview_location", "cb_location_delete" })
        QCOMPARE(itemsOf(win, chooser), locations);
    QCOMPARE(status(win), QString("Import finished!"));
}

void TestBackup::statusClearsAfterTwoSeconds()
{
    QVERIFY(writeStore(storage->path(), heliStore()));
    CelloraGui win;
    win.changeStoragePath(storage->path());
    FileDialogs::chooseExportFolder = answer(target->path());

    QElapsedTimer sinceFirst;
    sinceFirst.start();
    click(win, "pb_export_data");
    QCOMPARE(status(win), QString("Export finished!"));
    QTest::qWait(1000);
    QCOMPARE(status(win), QString("Export finished!"));

    // The first message's timer also clears the second one, well before its own two seconds.
    FileDialogs::chooseExportFolder = answer(target->filePath("missing"));
    click(win, "pb_export_data");
    QCOMPARE(status(win), QString("Error! Could not create file."));
    QTRY_COMPARE_WITH_TIMEOUT(status(win), QString(), 1500);
    QVERIFY2(sinceFirst.elapsed() >= 1900, qPrintable(QString::number(sinceFirst.elapsed())));
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
