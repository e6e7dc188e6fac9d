// The data file under failure: a save killed at random moments, and saves that the
// file system refuses.

#include "store/filebytes.h"
#include "store/rescuecopies.h"
#include "windowsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

const char saveLoopOption[] = "--save-loop";
const char shortWriteOption[] = "--short-write";
const char smallDiskOption[] = "--small-disk";
const char inPlaceOption[] = "--short-write-in-place";

// The two states the save loop alternates between: the first battery's cycle count
// with its lowest bit flipped, so that either state leads to the other.
void flipFirstCycleCount(const QVector<BatteryWidget *> &batteries)
{
    batteries.first()->setBatteryCycles(batteries.first()->batteryCycles() ^ 1u);
}

// The child's side of the kill test: load the store, say what the readers found, then
// save the two states in turn until killed, saying after each save that it completed.
int runSaveLoop(const QString &folder)
{
    Loaded loaded(folder);
    std::printf("loaded %s\n", qPrintable(loaded.counts()));
    std::fflush(stdout);
    if (loaded.batteries.isEmpty())
        return 2;
    for (quint64 saves = 1;; ++saves) {
        flipFirstCycleCount(loaded.batteries);
        loaded.store.writeData(loaded.batteries, loaded.models, loaded.locations);
        std::printf("saved %llu\n", static_cast<unsigned long long>(saves));
        std::fflush(stdout);
    }
}

// The child's side of the short-write test: load the store, then save a changed state with
// a file size limit that the new document exceeds. The kernel takes part of the write,
// and the rest fails.
int runShortWrite(const QString &folder, qint64 limit)
{
    Loaded loaded(folder);
    if (loaded.batteries.isEmpty())
        return 2;
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit fileSize { rlim_t(limit), rlim_t(limit) };
    if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
        return 3;
    flipFirstCycleCount(loaded.batteries);
    loaded.store.writeData(loaded.batteries, loaded.models, loaded.locations);
    return 0;
}

// The same on a real full disk: a tmpfs in a mount namespace of its own, with room for the
// old file but not for a second one beside it. Exit 77 when this system allows no mount.
int runSmallDisk(const QString &sourceFile)
{
    const QByteArray old = bytesOf(sourceFile);
    QTemporaryDir mountPoint;
    const QByteArray target = QFile::encodeName(mountPoint.path());
    const QByteArray size = "size=" + QByteArray::number(old.size() + old.size() / 2);
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount("cellora-test", target.constData(), "tmpfs", 0, size.constData()) != 0) {
        std::printf("no mount: %s\n", std::strerror(errno));
        return 77;
    }
    const QString dataFile = QDir(mountPoint.path()).filePath("cellora.xml");
    const int status = [&] {
        if (!writeBytes(dataFile, old))
            return 4;
        Loaded loaded(mountPoint.path());
        flipFirstCycleCount(loaded.batteries);
        loaded.store.writeData(loaded.batteries, loaded.models, loaded.locations);
        const QByteArray after = bytesOf(dataFile);
        std::printf("%s, %d bytes, %d files\n", after == old ? "intact" : "changed",
            int(after.size()),
            int(QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden).size()));
        return after == old ? 0 : 1;
    }();
    umount(target.constData());
    return status;
}

// The child's side of a failed write in place: as "nobody", in a folder that refuses new
// files, a file size limit between the old and the new size stops the write half-way;
// the old content must be written back.
int runShortWriteInPlace(const QString &dataFile)
{
    const QByteArray old = bytesOf(dataFile);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit fileSize { rlim_t(old.size() * 2), rlim_t(old.size() * 2) };
    if (setresuid(65534, 65534, 65534) != 0 || setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
        return 3;
    const bool replaced = FileBytes::replaceFile(
        dataFile, QByteArray(old.size() * 4, 'x'), old, { [] { return true; }, {} });
    return !replaced && bytesOf(dataFile) == old ? 0 : 1;
}

// Whether the process has a file of `folder` open: the save loop opens nothing there but
// the new file of a save, from its creation to its commit.
bool writesIntoFolder(qint64 pid, const QString &folder)
{
    const QByteArray fds = "/proc/" + QByteArray::number(pid) + "/fd";
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    DIR *listing = opendir(fds.constData());
    if (!listing)
        return false;
    bool found = false;
    while (const dirent *entry = readdir(listing)) {
        char target[4096];
        const QByteArray link = fds + '/' + entry->d_name;
        const ssize_t length = readlink(link.constData(), target, sizeof target - 1);
        if (length > 0 && QByteArray(target, int(length)).startsWith(prefix))
            found = true;
    }
    closedir(listing);
    return found;
}

// Stops the process and waits until it stands still, so that what it holds open can be
// looked at before it is killed.
void stopProcess(qint64 pid)
{
    ::kill(pid_t(pid), SIGSTOP);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 1000) {
        QFile stat(QString("/proc/%1/stat").arg(pid));
        if (stat.open(QIODevice::ReadOnly)) {
            const QByteArray line = stat.readAll();
            const int state = line.lastIndexOf(')') + 2;
            if (state < line.size() && line.at(state) == 'T')
                return;
        }
        QThread::usleep(50);
    }
}

bool parsesToTheEnd(const QByteArray &content)
{
    QXmlStreamReader reader(content);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

QStringList leftoverTempFiles(const QString &folder)
{
    return QDir(folder).entryList({ "cellora.xml.*" }, QDir::Files | QDir::Hidden);
}

// Root writes through any permission bits: while it lives, the process runs as "nobody",
// so that a read-only folder or file refuses the window as it refuses a normal user.
// The real user changes too, because access() asks with the real one; the saved one
// stays root, which allows the way back.
class RunAsNobody {
public:
    explicit RunAsNobody(bool wanted)
        : dropped(wanted && geteuid() == 0 && setresuid(65534, 65534, 0) == 0)
    {
    }
    ~RunAsNobody()
    {
        if (dropped && setresuid(0, 0, 0) != 0)
            std::abort(); // the rest of the run would test nothing
    }
    bool isUnprivileged() const { return geteuid() != 0; }

private:
    bool dropped;
};

// The immutable flag stops root as well; it needs CAP_LINUX_IMMUTABLE and a file
// system that keeps the flag.
bool setImmutable(const QString &path, bool on)
{
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return done;
}

// One location, "Pack A" and "Heli".
QByteArray smallStore()
{
    QTemporaryDir dir;
    SampleStore store { { "Hangweide" }, { pack("Pack A", 5000, 35, 3) },
        { model("Heli", { "Pack A" }) } };
    return writeStore(dir.path(), store) ? bytesOf(dataFileIn(dir.path())) : QByteArray();
}

enum class Refusal { ReadOnlyFile, ReadOnlyFolder, ImmutableFile };

// Everyone may do everything in the folder except the one thing refused.
bool setModes(const QString &folder, Refusal how)
{
    const QByteArray folderName = QFile::encodeName(folder);
    const QByteArray fileName = QFile::encodeName(QDir(folder).filePath("cellora.xml"));
    const mode_t folderMode = how == Refusal::ReadOnlyFolder ? 0555 : 0777;
    const mode_t fileMode = how == Refusal::ReadOnlyFile ? 0444 : 0666;
    return chmod(folderName.constData(), folderMode) == 0
        && chmod(fileName.constData(), fileMode) == 0;
}

} // namespace

Q_DECLARE_METATYPE(Refusal)

class TestReliability : public QObject {
    Q_OBJECT

private slots:
    void init();
    void killedSavesLeaveOneWholeState();
    void fullDisksKeepTheOldFile();
    void refusedSavesKeepTheFile_data();
    void refusedSavesKeepTheFile();

private:
    void allowAgain();

    std::unique_ptr<QTemporaryDir> dir;
    Refusal refusal = Refusal::ReadOnlyFile;
};

void TestReliability::init()
{
    resetSettings();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestReliability::killedSavesLeaveOneWholeState()
{
    const SampleStore sample = tenYearStore(QDateTime(QDate(2024, 6, 15), QTime(12, 0)));
    const QString dataFile = dir->filePath("cellora.xml");
    QVERIFY(writeStoreFile(sample, dataFile));
    const QByteArray fullCounts = QString("loaded %1 %2 %3 ")
                                      .arg(sample.locations.size())
                                      .arg(sample.models.size())
                                      .arg(sample.batteries.size())
                                      .toUtf8();

    // The two states, as the store itself writes them.
    QByteArray states[2];
    QElapsedTimer clock;
    {
        Loaded loaded(dir->path());
        clock.start();
        for (QByteArray &state : states) {
            loaded.store.writeData(loaded.batteries, loaded.models, loaded.locations);
            state = bytesOf(dataFile);
            flipFirstCycleCount(loaded.batteries);
        }
    }
    const quint32 killWindowMs = quint32(clock.elapsed()); // about two saves
    clock.restart();
    QVERIFY(FileBytes::replaceFile(dir->filePath("scratch.xml"), states[0]));
    const quint32 writeWindowUs = quint32(clock.nsecsElapsed() / 1000); // write and commit
    QVERIFY(QFile::remove(dir->filePath("scratch.xml")));
    QVERIFY(states[0] != states[1]);
    QVERIFY(writeBytes(dataFile, states[0]));
    int current = 0; // the state the file holds

    const quint32 seed = 20240615;
    QRandomGenerator random(seed);
    int keptOld = 0;
    int leftTempFile = 0;
    int killsInWrite = 0;
    clock.restart();
    for (int attempt = 1; attempt <= 30; ++attempt) {
        const QString where = QString("kill %1 of 30 (seed %2)").arg(attempt).arg(seed);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { saveLoopOption, dir->path() });
        QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
        // Each child first reads the file that the last kill left with the store's readers.
        QByteArray output;
        while (!output.contains('\n')) {
            QVERIFY2(child.waitForReadyRead(30000), "the save loop did not start");
            output += child.readAllStandardOutput();
        }
        QVERIFY2(output.startsWith(fullCounts), qPrintable(where + ": " + output));

        // Two kills of three are aimed at the write: once the new file is open, within the
        // time a write and commit take. The third falls anywhere in the first two saves.
        const qint64 pid = child.processId();
        if (attempt % 3 != 0) {
            QElapsedTimer waited;
            waited.start();
            while (!writesIntoFolder(pid, dir->path()) && waited.elapsed() < 10000)
                QThread::usleep(20);
            // Most of that time goes to the sync at the end; aim at the write before it too.
            QThread::usleep(random.bounded(writeWindowUs / 4 + 1));
        } else {
            QThread::msleep(random.bounded(killWindowMs + 1));
        }
        stopProcess(pid);
        killsInWrite += writesIntoFolder(pid, dir->path());
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        output += child.readAllStandardOutput();

        // Save n writes state (initial + n) mod 2; the save after the last one reported
        // may have completed, or not, before the kill.
        const int reported = output.count("saved ");
        const QByteArray content = bytesOf(dataFile);
        const int before = (current + reported) % 2;
        const int after = (before + 1) % 2;
        QVERIFY2(content == states[before] || content == states[after],
            qPrintable(where + QString(" after %1 saves").arg(reported)));
        QVERIFY2(parsesToTheEnd(content), qPrintable(where));
        current = content == states[before] ? before : after;
        keptOld += current == before;

        // Temporary files of killed saves must not pile up.
        const QStringList leftovers = leftoverTempFiles(dir->path());
        QVERIFY2(leftovers.size() <= 1, qPrintable(where + ": " + leftovers.join(' ')));
        leftTempFile += leftovers.size();
    }
    {
        const Loaded loaded(dir->path()); // the file of the last kill
        QVERIFY(("loaded " + loaded.counts().toUtf8()).startsWith(fullCounts));
    }
    qInfo("30 kills in %lld s, seed %u: %d while the new file was written or committed; %d "
          "kept the state before the interrupted save, %d held the next one; %d left a "
          "temporary file",
        clock.elapsed() / 1000, seed, killsInWrite, keptOld, 30 - keptOld, leftTempFile);
    QVERIFY2(killsInWrite >= 10, "too few kills hit a write: the test proves little");
}

void TestReliability::fullDisksKeepTheOldFile()
{
    const SampleStore sample = tenYearStore(QDateTime(QDate(2024, 6, 15), QTime(12, 0)));
    const QString dataFile = dir->filePath("cellora.xml");
    QVERIFY(writeStoreFile(sample, dataFile));
    const QByteArray old = bytesOf(dataFile);
    const QString program = QCoreApplication::applicationFilePath();

    // A file size limit: the kernel takes the first half of the new document.
    QProcess limited;
    limited.start(program, { shortWriteOption, dir->path(), QString::number(old.size() / 2) });
    QVERIFY(limited.waitForFinished(60000));
    QCOMPARE(limited.exitCode(), 0);
    QCOMPARE(bytesOf(dataFile), old);
    QCOMPARE(leftoverTempFiles(dir->path()), QStringList());

    // Written in place in a folder that refuses new files: the old content comes back.
    if (geteuid() == 0) {
        QVERIFY(writeBytes(dataFile, smallStore()));
        QVERIFY(chmod(QFile::encodeName(dataFile).constData(), 0666) == 0);
        QVERIFY(chmod(QFile::encodeName(dir->path()).constData(), 0555) == 0);
        QProcess inPlace;
        inPlace.start(program, { inPlaceOption, dataFile });
        QVERIFY(inPlace.waitForFinished(60000));
        chmod(QFile::encodeName(dir->path()).constData(), 0700);
        QCOMPARE(inPlace.exitCode(), 0);
        QCOMPARE(bytesOf(dataFile), smallStore());
        QVERIFY(writeBytes(dataFile, old));
    }

    // A real full disk, where this system lets the test mount one.
    QProcess small;
    small.start(program, { smallDiskOption, dataFile });
    QVERIFY(small.waitForFinished(60000));
    const QByteArray said = small.readAllStandardOutput().trimmed();
    if (small.exitCode() == 77)
        QSKIP(qPrintable("no tmpfs could be mounted for the full-disk case: " + said));
    QVERIFY2(small.exitCode() == 0, said.constData());
    QVERIFY2(said.startsWith("intact") && said.endsWith(", 1 files"), said.constData());
}

void TestReliability::refusedSavesKeepTheFile_data()
{
    QTest::addColumn<Refusal>("how");
    QTest::newRow("read-only data file") << Refusal::ReadOnlyFile;
    QTest::newRow("immutable data file") << Refusal::ImmutableFile;
    QTest::newRow("read-only folder") << Refusal::ReadOnlyFolder;
}

void TestReliability::allowAgain()
{
    if (refusal == Refusal::ImmutableFile)
        setImmutable(dir->filePath("cellora.xml"), false);
    chmod(QFile::encodeName(dir->path()).constData(), 0700);
    chmod(QFile::encodeName(dir->filePath("cellora.xml")).constData(), 0644);
}

// Saves that the file system refuses leave the file as it was and the folder untouched; a
// folder that refuses new files only (a shared folder of another user) has its data file
// written in place, and what needs a new file beside it (a rescue copy before an import)
// is refused without touching the store.
void TestReliability::refusedSavesKeepTheFile()
{
    QFETCH(Refusal, how);
    const bool inPlace = how == Refusal::ReadOnlyFolder;
    const QString dataFile = dataFileIn(dir->path());
    QVERIFY(writeBytes(dataFile, smallStore()));
    CelloraGui win;
    win.changeStoragePath(dir->path());

    refusal = how;
    // Restore the folder even when a check below fails, so that it can be removed.
    const std::unique_ptr<TestReliability, void (*)(TestReliability *)> restore(
        this, [](TestReliability *test) { test->allowAgain(); });
    QVERIFY(setModes(dir->path(), how));
    if (how == Refusal::ImmutableFile && !setImmutable(dataFile, true))
        QSKIP("This system does not let the test set the immutable flag "
              "(CAP_LINUX_IMMUTABLE or file system support missing)");
    // Any change of the folder's content: creating, writing, renaming or removing.
    FolderWatch watch(dir->path(),
        IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE
            | IN_ATTRIB);
    QVERIFY(watch.isValid());
    // The user's own application data folder takes the previous bytes before a write in place.
    QTemporaryDir appData;
    if (inPlace) {
        QVERIFY(chmod(QFile::encodeName(appData.path()).constData(), 0777) == 0);
        qputenv("XDG_DATA_HOME", QFile::encodeName(appData.path()));
    }

    QByteArray saved;
    {
        // The immutable flag stops root too; the permission bits stop only others.
        const bool viaPermissions = how != Refusal::ImmutableFile;
        const RunAsNobody unprivileged(viaPermissions);
        QVERIFY(unprivileged.isUnprivileged() || !viaPermissions);

        // A refused edit reloads the file's list; a charge saved through the card without a
        // reload stays in memory only.
        addLocation(win, "Neuwiese");
        QCOMPARE(comboItems(win, "cb_log_location"),
            QStringList({ "Hangweide", "Neuwiese" }).mid(0, inPlace ? 2 : 1));
        QCOMPARE(shownPage(win), QString("scrollLayout"));
        clickTank(overviewCard(win, "Pack A"));
        QVERIFY(overviewCard(win, "Pack A")->batteryCharged());
        saved = bytesOf(dataFile);

        const AnsweredDialogs dialogs(dataFile);
        clickThrough(win, "pb_backup pb_import_data");
        QCOMPARE(backupStatus(win), QString("Error! Not a valid file."));
    }

    QCOMPARE(bytesOf(dataFile), saved);
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList("cellora.xml"));
    if (inPlace) {
        QVERIFY(saved.contains("<Location Name=\"Neuwiese\"/>"));
        QVERIFY(saved.contains("<Charged>1</Charged>"));
        const QStringList kept = RescueCopies::elsewhere(dir->path()).copies();
        QCOMPARE(kept.size(), 2); // before each of the two saves
        QCOMPARE(bytesOf(kept.first()), smallStore());
        return;
    }
    QCOMPARE(saved, smallStore());
    QCOMPARE(watch.takeEvents().size(), 0);
    // The host's refresh shows what the file holds: the charge is gone again.
    win.changeStoragePath(dir->path());
    QCOMPARE(overviewCardNames(win), QStringList("Pack A"));
    QVERIFY(!overviewCard(win, "Pack A")->batteryCharged());
}

int main(int argc, char *argv[])
{
    if (argc >= 3 && argv[1][0] == '-' && argv[1][1] == '-') {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv); // the records are widgets
        const QString argument = QString::fromLocal8Bit(argv[2]);
        if (qstrcmp(argv[1], saveLoopOption) == 0)
            return runSaveLoop(argument);
        if (qstrcmp(argv[1], shortWriteOption) == 0 && argc == 4)
            return runShortWrite(argument, QByteArray(argv[3]).toLongLong());
        if (qstrcmp(argv[1], smallDiskOption) == 0)
            return runSmallDisk(argument);
        if (qstrcmp(argv[1], inPlaceOption) == 0)
            return runShortWriteInPlace(argument);
    }
    QApplication app(argc, argv);
    TestReliability test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reliability.moc"
