// The safety net around the data file where it used to tear: rescue copies that rotate
// by the store's own list, imports that fail without deleting anything, backups that are
// whole or absent, permission bits, and saves that fail with a reason the host can show.

#include "store/filebytes.h"
#include "store/rescuecopies.h"
#include "windowsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <QProcess>
#include <QRandomGenerator>
#include <QXmlStreamReader>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

using namespace TestSupport;

namespace {

SampleStore storeWith(const QString &location)
{
    return { { location }, { pack("Pack A", 5000) }, {} };
}

// The store's bytes as the window's save writes them, with one location named so.
QByteArray savedStore(const QString &location)
{
    StoreWindow window;
    if (!window.open(storeWith(location)))
        return QByteArray();
    window.win.saveAgain();
    return bytesOf(QDir(window.dir.path()).filePath(dataFileName()));
}

// Lowers the file size limit of this process while it lives: writes beyond it fail as on a
// full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit lowered = before;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }

private:
    rlimit before {};
};

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

mode_t modeOf(const QString &path)
{
    struct stat info { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

const char inPlaceLoop[] = "--in-place-loop";

bool isWholeStore(const QByteArray &content)
{
    QXmlStreamReader reader(content);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError() && content.contains("</Cellora>");
}

// The child's side of the kills: as "nobody", saves a changed store over and over into a
// folder that refuses new files, so that every save is written in place.
int runInPlaceLoop(const QString &folder)
{
    if (setresuid(65534, 65534, 65534) != 0)
        return 3;
    DataProcessor store;
    store.setStoragePath(folder);
    QVector<BatteryWidget *> batteries;
    QVector<ModelWidget *> models;
    QStringList locations;
    store.readLocations(locations);
    store.readModels(models);
    store.readBatteries(batteries);
    if (batteries.isEmpty())
        return 4;
    for (uint cycles = 1;; ++cycles) {
        batteries.first()->setBatteryCycles(cycles);
        store.writeData(batteries, models, locations);
    }
}

// Whether process `pid` has the file at `path` open.
bool holdsOpen(qint64 pid, const QString &path)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System))
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == path)
            return true;
    return false;
}

} // namespace

class TestSafetyNet : public QObject {
    Q_OBJECT

private slots:
    void restoringKeepsEveryCopyThatMatters();
    void backupsAreWholeOrAbsentWithTheFilesMode();
    void failedSavesSayWhy_data();
    void failedSavesSayWhy();
    void contentSwappedBehindTheWindowIsKept();
    void killsDuringTheInPlaceWriteLoseNothing();
};

// Twenty copies with times in the future (a clock set back), a user's backup in rescue/
// with the store's bytes, and the oldest copy restored twice: once beyond a file size limit
// (a nearly full disk), once for real.
void TestSafetyNet::restoringKeepsEveryCopyThatMatters()
{
    StoreWindow window;
    QVERIFY(window.open(storeWith("Present")));
    const QString dataFile = QDir(window.dir.path()).filePath(dataFileName());
    const QByteArray present = bytesOf(dataFile);
    RescueCopies copies(window.dir.path());
    // The oldest copy is the largest, so that a limit can stop its import but not the copy
    // of the present store.
    const QByteArray oldest = savedStore(QString(8000, QLatin1Char('o')));
    QVERIFY(copies.keep(oldest));
    for (int i = 1; i < RescueCopies::kept; ++i)
        QVERIFY(copies.keep(savedStore(QStringLiteral("Copy %1").arg(i))));
    const QString userBackup = QDir(copies.folder()).filePath("cellora_2020-01-01_00-00-00.xml");
    QVERIFY(writeBytes(userBackup, present));
    const QStringList made = filesIn(copies.folder());
    const utimbuf future { time(nullptr) + 86400 * 365, time(nullptr) + 86400 * 365 };
    for (const QString &name : made)
        QCOMPARE(
            utime(QFile::encodeName(QDir(copies.folder()).filePath(name)).constData(), &future), 0);
    QString oldestCopy;
    for (const QString &path : copies.copies())
        if (bytesOf(path) == oldest)
            oldestCopy = path;
    QVERIFY(!oldestCopy.isEmpty());

    {
        const FileSizeLimit nearlyFull(rlim_t(present.size() + 1000));
        window.win.importFile(oldestCopy);
    }
    QCOMPARE(backupStatus(window.win), QString("Error! Not a valid file."));
    QVERIFY(!window.win.storeProblem().isEmpty());
    QCOMPARE(bytesOf(dataFile), present);
    for (const QString &name : made)
        QVERIFY2(QFileInfo::exists(QDir(copies.folder()).filePath(name)), qPrintable(name));

    window.win.importFile(oldestCopy);
    QCOMPARE(backupStatus(window.win), QString("Import finished!"));
    QVERIFY(window.win.storeProblem().isEmpty());
    QCOMPARE(bytesOf(dataFile), oldest);
    QCOMPARE(bytesOf(oldestCopy), oldest);
    QCOMPARE(bytesOf(userBackup), present);
    int holdingPresent = 0;
    for (const QString &path : copies.copies())
        holdingPresent += bytesOf(path) == present;
    QCOMPARE(holdingPresent, 2); // the user's backup and the store's own copy
    // The rotation deleted one copy of its own: the second oldest.
    QCOMPARE(copies.copies().size(), RescueCopies::kept + 1);
}

// A backup beyond a file size limit leaves no file and says so; a whole one has the data
// file's permission bits whatever the umask, as has a rescue copy.
void TestSafetyNet::backupsAreWholeOrAbsentWithTheFilesMode()
{
    StoreWindow window;
    QVERIFY(window.open(storeWith(QString(8000, QLatin1Char('b')))));
    const QString dataFile = QDir(window.dir.path()).filePath(dataFileName());
    QVERIFY(QFile::setPermissions(dataFile, QFile::ReadOwner | QFile::WriteOwner));
    const mode_t umaskBefore = umask(022);
    QTemporaryDir target;
    const FileDialogs::Chooser dialog = FileDialogs::chooseExportFolder;
    FileDialogs::chooseExportFolder = [&target](QWidget *) { return target.path(); };
    {
        const FileSizeLimit full(4000);
        clickThrough(window.win, "pb_backup pb_export_data");
    }
    QCOMPARE(backupStatus(window.win), QString("Error! Could not create file."));
    QCOMPARE(filesIn(target.path()), QStringList());
    clickThrough(window.win, "pb_export_data");
    FileDialogs::chooseExportFolder = dialog;
    QCOMPARE(backupStatus(window.win), QString("Export finished!"));
    const QStringList backups = filesIn(target.path());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(bytesOf(QDir(target.path()).filePath(backups.first())), bytesOf(dataFile));
    QCOMPARE(modeOf(QDir(target.path()).filePath(backups.first())), mode_t(0600));

    QVERIFY(writeBytes(dataFile, bytesOf(dataFile).replace("bbb", "ccc"))); // an outside edit
    QVERIFY(QFile::setPermissions(dataFile, QFile::ReadOwner | QFile::WriteOwner));
    window.win.saveAgain();
    const QStringList copies = RescueCopies(window.dir.path()).copies();
    umask(umaskBefore);
    QCOMPARE(copies.size(), 1);
    QCOMPARE(modeOf(copies.first()), mode_t(0600));
}

void TestSafetyNet::failedSavesSayWhy_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("words");
    QTest::newRow("folder in its place") << "folder"
                                         << "not a file";
    QTest::newRow("over the read limit") << "huge"
                                         << "cannot be read whole";
    QTest::newRow("full disk") << "full"
                               << "could not be written";
}

// Each failure leaves a reason naming the data file until a save reaches it again.
void TestSafetyNet::failedSavesSayWhy()
{
    QFETCH(QString, damage);
    QFETCH(QString, words);
    StoreWindow window;
    QVERIFY(window.open(storeWith("Here")));
    const QString dataFile = QDir(window.dir.path()).filePath(dataFileName());
    QVERIFY(window.win.storeProblem().isEmpty());
    const QByteArray before = bytesOf(dataFile);
    if (damage == "folder") {
        QVERIFY(QFile::remove(dataFile) && QDir().mkdir(dataFile));
        window.win.saveAgain();
        QVERIFY(QDir().rmdir(dataFile));
    } else if (damage == "huge") {
        QFile file(dataFile);
        QVERIFY(file.open(QIODevice::Append) && file.resize(qint64(600) * 1024 * 1024));
        file.close();
        window.win.saveAgain();
        QVERIFY(QFile::remove(dataFile));
    } else {
        clickThrough(window.win, "pb_options pb_choose_addlocation");
        window.win.findChild<QLineEdit *>("ledt_location_new")->setText(QString(9000, 'x'));
        {
            const FileSizeLimit full(rlim_t(before.size() + 100));
            window.win.findChild<QPushButton *>("pb_add_location")->click();
        }
        QCOMPARE(bytesOf(dataFile), before);
    }
    const QString problem = window.win.storeProblem();
    QVERIFY2(problem.contains(words), qPrintable(problem));
    QVERIFY2(problem.contains(QDir::toNativeSeparators(dataFile)), qPrintable(problem));
    window.win.saveAgain();
    QCOMPARE(window.win.storeProblem(), QString());
}

// A new file of the same size and time renamed over the data file (cp -p, rsync -t) is
// noticed: the next save keeps it as a rescue copy, named in local time.
void TestSafetyNet::contentSwappedBehindTheWindowIsKept()
{
    StoreWindow window;
    QVERIFY(window.open(storeWith("Alpha")));
    const QString dataFile = QDir(window.dir.path()).filePath(dataFileName());
    const QByteArray swapped = bytesOf(dataFile).replace("Alpha", "Omega");
    const QString newFile = dataFile + ".new";
    QVERIFY(writeBytes(newFile, swapped));
    const QDateTime modified = QFileInfo(dataFile).lastModified();
    QFile file(newFile);
    QVERIFY(file.open(QIODevice::ReadWrite)
        && file.setFileTime(modified, QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(
        ::rename(QFile::encodeName(newFile).constData(), QFile::encodeName(dataFile).constData())
        == 0);
    const QString now = StoreFiles::stamp(QDateTime::currentDateTime()).left(13); // to the hour
    window.win.saveAgain();
    const QStringList copies = RescueCopies(window.dir.path()).copies();
    QCOMPARE(copies.size(), 1);
    QCOMPARE(bytesOf(copies.first()), swapped);
    QVERIFY2(QFileInfo(copies.first()).fileName().startsWith(StoreFiles::copyPrefix + now),
        qPrintable(copies.first()));
}

// Kills aimed at the write in place: whenever the data file is cut short by a kill, the
// newest copy in the user's application data folder holds a whole store.
void TestSafetyNet::killsDuringTheInPlaceWriteLoseNothing()
{
    if (geteuid() != 0)
        QSKIP("the child needs to become another user");
    QTemporaryDir base, appData;
    const QString folder = base.filePath("shared");
    const QString dataFile = QDir(folder).filePath(dataFileName());
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(writeBytes(dataFile, savedStore(QString(200000, QLatin1Char('k')))));
    for (const auto &[path, mode] : { std::pair { base.path(), 0755 }, { folder, 0555 },
             { dataFile, 0666 }, { appData.path(), 0777 } })
        QCOMPARE(chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
    qputenv("XDG_DATA_HOME", QFile::encodeName(appData.path()));
    const RescueCopies elsewhere = RescueCopies::elsewhere(folder);
    int aimed = 0, inWrite = 0, cut = 0;
    for (; aimed < 40; ++aimed) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { inPlaceLoop, folder });
        QVERIFY(child.waitForStarted());
        QTest::qWait(int(QRandomGenerator::global()->bounded(20, 120)));
        for (int poll = 0; poll < 2000 && !holdsOpen(child.processId(), dataFile); ++poll)
            QThread::usleep(50);
        inWrite += holdsOpen(child.processId(), dataFile);
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished();
        if (isWholeStore(bytesOf(dataFile)))
            continue;
        ++cut;
        const QStringList copies = elsewhere.copies();
        QVERIFY2(!copies.isEmpty() && isWholeStore(bytesOf(copies.last())), "a store was lost");
        QVERIFY(writeBytes(dataFile, bytesOf(copies.last()))); // as a user would restore it
    }
    qunsetenv("XDG_DATA_HOME");
    qInfo("%d kills, %d during a write in place, %d left the file cut short", aimed, inWrite, cut);
    QVERIFY(inWrite > 0);
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], inPlaceLoop) == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv); // the records are widgets
        return runInPlaceLoop(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    TestSafetyNet test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_safetynet.moc"
