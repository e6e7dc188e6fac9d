// The data file under failure: killed, refused and failed saves, rescue copies, imports of
// anything, damaged files, characters XML cannot hold and two windows on one folder.

#include "store/filebytes.h"
#include "store/rescuecopies.h"
#include "windowsupport.h"

#include <QDeadlineTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

const char saveLoop[] = "--save-loop";

SampleStore heliStore(const QString &location = "Field", bool charged = true)
{
    return { { location },
        { pack("Pack A", 4500, 30, 12, charged), pack("Pack B", 4500, 30, 3, charged) },
        { model("Heli", { "Pack A", "Pack B" }) } };
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArrayList rescued(const QString &storage)
{
    return contentsOf(RescueCopies(storage).copies());
}

void setMode(const QString &path, mode_t mode)
{
    QCOMPARE(chmod(QFile::encodeName(path).constData(), mode), 0);
}

// The immutable flag stops root too; it needs CAP_LINUX_IMMUTABLE and file system support.
bool setImmutable(const QString &path, bool on)
{
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    int flags = 0;
    const bool read = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    const bool done = read && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd); // fails harmlessly on -1, as the calls before did
    return done;
}

void flipFirstCycleCount(const QVector<BatteryWidget *> &batteries)
{
    batteries.first()->setBatteryCycles(batteries.first()->batteryCycles() ^ 1u);
}

// The child of the kills: loads, then saves the two states in turn until killed, saying so
// after each save. As "nobody" in a folder refusing new files, it writes in place.
int runSaveLoop(const QString &folder, bool asNobody)
{
    if (asNobody && setresuid(65534, 65534, 65534) != 0)
        return 3;
    Loaded loaded(folder);
    std::printf("loaded %s\n", qPrintable(loaded.counts()));
    std::fflush(stdout);
    for (quint64 saves = 1; !loaded.batteries.isEmpty(); ++saves) {
        flipFirstCycleCount(loaded.batteries);
        loaded.store.writeData(loaded.batteries, loaded.models, loaded.locations);
        std::printf("saved %llu\n", static_cast<unsigned long long>(saves));
        std::fflush(stdout);
    }
    return 2;
}

// Whether the process has a file of `folder` open: the save loop's only ones are saves.
bool writesIntoFolder(qint64 pid, const QString &folder)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System))
        if (QFileInfo(fds.filePath(fd)).symLinkTarget().startsWith(folder + '/'))
            return true;
    return false;
}

void import(CelloraGui &win, const QString &path)
{
    const AnsweredDialogs dialogs(path);
    alarm(30); // a read that waits forever (a FIFO) ends the test instead of hanging it
    clickThrough(win, "pb_options pb_backup pb_import_data");
    alarm(0);
}

// The store in UTF-16 with a byte order mark, by hand (Qt 6 has no codec without compat).
QByteArray utf16Store(const QString &lineEnd)
{
    QString text = QString::fromUtf8(storeBytes(heliStore()));
    text.replace("encoding=\"UTF-8\"", "encoding=\"UTF-16\"").replace("\n", lineEnd);
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : qAsConst(text))
        bytes.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
    return bytes;
}

} // namespace

class TestSafetyNet : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir, appData;
    QString dataFile() const { return dataFileIn(dir->path()); }

private slots:
    void init()
    {
        resetSettings();
        dir = std::make_unique<QTemporaryDir>();
        appData = std::make_unique<QTemporaryDir>(); // for the copies kept elsewhere
        QVERIFY(dir->isValid() && appData->isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(appData->path()));
    }

    void killedSavesLeaveOneWholeState_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("new file renamed over it") << false;
        QTest::newRow("in place, as nobody") << true;
    }

    // Each kill leaves the state before the save or the next one, or, cut short in place, the
    // state before as a rescue copy in the user's data folder.
    void killedSavesLeaveOneWholeState()
    {
        QFETCH(bool, inPlace);
        if (inPlace && geteuid() != 0)
            QSKIP("the save loop needs to become another user");
        QVERIFY(
            writeStoreFile(tenYearStore(QDateTime(QDate(2024, 6, 15), QTime(12, 0))), dataFile()));
        QByteArray states[2]; // as the store itself writes them
        QElapsedTimer clock;
        {
            Loaded loaded(dir->path());
            clock.start();
            for (QByteArray &state : states) {
                loaded.store.writeData(loaded.batteries, loaded.models, loaded.locations);
                state = bytesOf(dataFile());
                flipFirstCycleCount(loaded.batteries);
            }
        }
        const quint32 saveUs = quint32(clock.nsecsElapsed() / 2000);
        clock.restart();
        QVERIFY(FileBytes::replaceFile(dataFile(), states[0]));
        const quint32 writeUs = quint32(clock.nsecsElapsed() / 1000); // write and commit
        if (inPlace) {
            setMode(dir->path(), 0555);
            setMode(dataFile(), 0666);
            setMode(appData->path(), 0777);
        }

        QRandomGenerator random(20240615);
        int current = 0, inWrite = 0, cut = 0;
        for (int attempt = 1; attempt <= 30 && !QTest::currentTestFailed(); ++attempt) {
            const QString where = QString("kill %1").arg(attempt);
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                { saveLoop, dir->path(), inPlace ? "nobody" : "" });
            QByteArray output;
            while (!output.contains('\n')) {
                QVERIFY2(child.waitForReadyRead(30000), "the save loop did not start");
                output += child.readAllStandardOutput();
            }
            QVERIFY2(output.startsWith("loaded 25 15 60 "), qPrintable(where + ": " + output));
            // Two kills of three once a save opened its file, the third anywhere in two saves.
            const qint64 pid = child.processId();
            if (attempt % 3 != 0) {
                const QDeadlineTimer deadline(10000);
                while (!writesIntoFolder(pid, dir->path()) && !deadline.hasExpired())
                    QThread::usleep(20);
                QThread::usleep(random.bounded(writeUs / (inPlace ? 40 : 4) + 1));
            } else {
                QThread::usleep(random.bounded(2 * saveUs + 1));
            }
            ::kill(pid_t(pid), SIGSTOP);
            siginfo_t stopped {};
            waitid(P_PID, id_t(pid), &stopped, WSTOPPED | WNOWAIT);
            inWrite += writesIntoFolder(pid, dir->path());
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            output += child.readAllStandardOutput();

            // Save n writes state (initial + n) mod 2; the unreported next one may have completed.
            const int before = (current + output.count("saved ")) % 2;
            const QByteArray content = bytesOf(dataFile());
            if (inPlace && content != states[0] && content != states[1]) {
                QVERIFY2(contentsOf(RescueCopies::elsewhere(dir->path()).copies())
                             .contains(states[before]),
                    qPrintable(where + ": a store was lost"));
                QVERIFY(writeBytes(dataFile(), states[before])); // as a user would restore it
                current = before;
                ++cut;
                continue;
            }
            QVERIFY2(content == states[before] || content == states[1 - before], qPrintable(where));
            current = content == states[before] ? before : 1 - before;
            // Temporary files of killed saves must not pile up.
            QVERIFY2(filesIn(dir->path()).size() <= 2, qPrintable(filesIn(dir->path()).join(' ')));
        }
        qInfo("30 kills, %d while a save wrote its file, %d cut the file short", inWrite, cut);
        QVERIFY2(
            inWrite >= (inPlace ? 3 : 10), "too few kills hit a write: the test proves little");
    }

    void refusedSavesKeepTheFile_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : { "read-only file", "immutable file", "read-only folder" })
            QTest::newRow(how) << QString(how);
    }

    // Refused saves leave the file untouched and the changes in rescue copies; a folder refusing
    // new files has the file written in place, with every copy (of another user's change too)
    // elsewhere.
    void refusedSavesKeepTheFile()
    {
        QFETCH(QString, how);
        const bool inPlace = how == "read-only folder", immutable = how == "immutable file";
        const QByteArray old = storeBytes(heliStore("Hangweide", false));
        QVERIFY(writeBytes(dataFile(), old));
        CelloraGui win;
        win.changeStoragePath(dir->path());
        // Allowed again even when a check below fails, so that the folder can be removed.
        const auto restore = qScopeGuard([this] {
            setImmutable(dataFile(), false);
            chmod(QFile::encodeName(dir->path()).constData(), 0700);
        });
        setMode(dir->path(), inPlace ? 0555 : 0777);
        setMode(dataFile(), how == "read-only file" ? 0444 : 0666);
        if (immutable && !setImmutable(dataFile(), true))
            QSKIP("no immutable flag here (CAP_LINUX_IMMUTABLE or file system support missing)");
        FolderWatch watch(dir->path(),
            IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE
                | IN_ATTRIB);
        QVERIFY(watch.isValid());
        setMode(appData->path(), 0777); // takes the previous bytes before a write in place

        QByteArray saved;
        {
            const RunAsNobody unprivileged(!immutable);
            QVERIFY(geteuid() != 0 || immutable);
            // A refused edit reloads the list; a refused charge stays in memory only.
            addLocation(win, "Neuwiese");
            QCOMPARE(comboItems(win, "cb_log_location"),
                QStringList({ "Hangweide", "Neuwiese" }).mid(0, inPlace ? 2 : 1));
            QCOMPARE(shownPage(win), QString("scrollLayout"));
            clickTank(overviewCard(win, "Pack A"));
            QVERIFY(overviewCard(win, "Pack A")->batteryCharged());
            saved = bytesOf(dataFile());
            import(win, dataFile());
            QCOMPARE(backupStatus(win),
                QString(inPlace ? "Import finished!" : "Error! Not a valid file."));
        }

        QCOMPARE(bytesOf(dataFile()), saved);
        // Each refused change is kept as a rescue copy before the next write is tried.
        QCOMPARE(
            QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList({ "cellora.xml", "rescue" }).mid(0, inPlace ? 1 : 2));
        if (inPlace) {
            QVERIFY(saved.contains("<Location Name=\"Neuwiese\"/>"));
            QVERIFY(saved.contains("<Charged>1</Charged>"));
            const QStringList kept = RescueCopies::elsewhere(dir->path()).copies();
            QCOMPARE(kept.size(), 3); // before each of the two saves and the import
            QCOMPARE(bytesOf(kept.first()), old);
            const QByteArray outside = QByteArray(saved).replace("Neuwiese", "Fremdwiese");
            QVERIFY(writeBytes(dataFile(), outside));
            const RunAsNobody unprivileged(true);
            addLocation(win, "Ostwiese");
            QVERIFY(contentsOf(RescueCopies::elsewhere(dir->path()).copies()).contains(outside));
            saved = bytesOf(dataFile());
            QVERIFY(saved.contains("Ostwiese"));
            // A write in place that the disk stops half-way writes the old content back.
            const FileSizeLimit full(rlim_t(saved.size() + 100));
            addLocation(win, QString(9000, 'x'));
            QCOMPARE(bytesOf(dataFile()), saved);
            return;
        }
        QCOMPARE(saved, old);
        const QByteArrayList kept = rescued(dir->path());
        QVERIFY(kept.size() == 2 && kept[0].contains("Neuwiese") && kept[1].contains("<Charged>1"));
        for (const auto &event : watch.takeEvents())
            QCOMPARE(event.second, QString("rescue"));
        // The host's refresh shows what the file holds: the charge is gone again.
        win.changeStoragePath(dir->path());
        QCOMPARE(overviewCardNames(win), QStringList({ "Pack A", "Pack B" }));
        QVERIFY(!overviewCard(win, "Pack A")->batteryCharged());
    }

    void everyFailureSaysItsCause_data()
    {
        QTest::addColumn<QString>("words");
        const auto row
            = [](const char *tag, const char *words) { QTest::newRow(tag) << QString(words); };
        row("folder in its place", "not a file");
        row("below a file", "storage folder");
        row("read-only file", "is read-only or belongs to another user");
        row("huge", "cannot be read whole");
        // Several hundred KB: the kernel takes part of one write, beyond the toolkit's buffer.
        row("full disk", "could not be written (larger than this program may write)");
        row("full disk, copy first", "no copy could be written");
        row("read-only everywhere", "(read-only, or another user's)");
        row("import, copy first", "import did not happen: the present data file");
        row("import", "import did not happen: the data file");
    }

    // Each failure leaves the file as it was, no partial copy, and a reason naming the file and
    // the cause until a save reaches it.
    void everyFailureSaysItsCause()
    {
        const QString cause = QTest::currentDataTag();
        QFETCH(QString, words);
        const bool asNobody = cause.startsWith("read-only");
        if (asNobody && geteuid() != 0)
            QSKIP("needs to become another user");
        StoreWindow window;
        QVERIFY(window.open(heliStore(QString(300000, 'x'))));
        const QString data = dataFileIn(window.dir.path());
        const QByteArray outside = bytesOf(data).replace("xxxxx", "yyyyy"), big = outside + outside;
        const bool changed = cause.contains("copy") || cause.endsWith("everywhere");
        const QByteArray before = changed ? outside : bytesOf(data); // written by another program
        QVERIFY(writeBytes(data, before) && writeBytes(dir->filePath("big.xml"), big));
        if (cause == "import")
            QVERIFY(RescueCopies(window.dir.path()).keep(before)); // nothing more to keep
        setMode(window.dir.path(), cause.endsWith("everywhere") ? 0555 : 0755);
        setMode(data, cause == "read-only file" ? 0444 : 0666);
        QString problem;
        {
            const RunAsNobody unprivileged(asNobody);
            const bool full = cause.contains("disk") || cause.startsWith("import");
            const FileSizeLimit limit(full
                    ? rlim_t(before.size() / 2 + (cause == "import") * before.size())
                    : RLIM_INFINITY);
            if (cause.startsWith("import"))
                window.win.importFile(dir->filePath("big.xml"));
            else if (cause == "folder in its place")
                QVERIFY(QFile::remove(data) && QDir().mkdir(data));
            else if (cause == "below a file")
                window.win.changeStoragePath(data + "/below");
            else if (cause == "huge")
                QVERIFY(QFile::resize(data, qint64(600) * 1024 * 1024));
            if (!cause.startsWith("import"))
                window.win.saveAgain();
            problem = window.win.storeProblem();
        }
        QVERIFY2(problem.contains(words), qPrintable(problem));
        QVERIFY2(problem.contains(QDir::toNativeSeparators(data)), qPrintable(problem));
        if (cause == "folder in its place")
            QVERIFY(QDir().rmdir(data) && writeBytes(data, before));
        if (cause == "below a file")
            window.win.changeStoragePath(window.dir.path());
        QVERIFY(QFile::resize(data, before.size()));
        QCOMPARE(bytesOf(data), before);
        const QStringList copies = RescueCopies(window.dir.path()).copies()
            + RescueCopies::elsewhere(window.dir.path()).copies();
        for (const QByteArray &copy : contentsOf(copies))
            QVERIFY(copy == before || copy == outside);
        window.win.saveAgain();
        QCOMPARE(window.win.storeProblem(), QString());
    }

    // Twenty copies dated in the future and a user's backup in rescue/; the oldest copy restored
    // beyond a file size limit (a nearly full disk), then for real.
    void restoringKeepsEveryCopyThatMatters()
    {
        StoreWindow window;
        QVERIFY(window.open(heliStore("Present")));
        const QString dataFile = dataFileIn(window.dir.path());
        const QByteArray present = bytesOf(dataFile);
        RescueCopies copies(window.dir.path());
        // The largest, so that the limit stops its import but not the copy of the present store.
        const QByteArray oldest = storeBytes(heliStore(QString(8000, 'o')));
        QVERIFY(copies.keep(oldest));
        for (int i = 1; i < RescueCopies::kept; ++i)
            QVERIFY(copies.keep(storeBytes(heliStore(QStringLiteral("Copy %1").arg(i)))));
        const QString userBackup
            = QDir(copies.folder()).filePath("cellora_2020-01-01_00-00-00.xml");
        QVERIFY(writeBytes(userBackup, present));
        const QStringList made = filesIn(copies.folder());
        QStringList touch { "-d", "next year" };
        for (const QString &name : made)
            touch << QDir(copies.folder()).filePath(name);
        QCOMPARE(QProcess::execute("touch", touch), 0);
        const QString oldestCopy
            = copies.copies().value(rescued(window.dir.path()).indexOf(oldest));

        {
            const FileSizeLimit nearlyFull(rlim_t(present.size() + 4000));
            window.win.importFile(oldestCopy);
        }
        QCOMPARE(backupStatus(window.win), QString("Error! Not a valid file."));
        QVERIFY(!window.win.storeProblem().isEmpty());
        QCOMPARE(bytesOf(dataFile), present);
        for (const QString &name : made)
            QVERIFY2(filesIn(copies.folder()).contains(name), qPrintable(name));

        window.win.importFile(oldestCopy);
        QCOMPARE(backupStatus(window.win), QString("Import finished!"));
        QVERIFY(window.win.storeProblem().isEmpty());
        QCOMPARE(bytesOf(dataFile), oldest);
        QCOMPARE(bytesOf(oldestCopy), oldest);
        QCOMPARE(bytesOf(userBackup), present);
        QCOMPARE(rescued(window.dir.path()).count(present), 2); // the user's and the store's own
        // The rotation deleted one copy of its own: the second oldest.
        QCOMPARE(copies.copies().size(), RescueCopies::kept + 1);
    }

    // A backup beyond a size limit leaves no file; a whole one and a rescue copy have the data
    // file's permission bits whatever the umask.
    void backupsAreWholeOrAbsentWithTheFilesMode()
    {
        StoreWindow window;
        QVERIFY(window.open(heliStore(QString(8000, 'b'))));
        const QString dataFile = dataFileIn(window.dir.path());
        const QFile::Permissions ownerOnly
            = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        QVERIFY(QFile::setPermissions(dataFile, ownerOnly));
        const mode_t umaskBefore = umask(022);
        QTemporaryDir target;
        {
            const AnsweredDialogs dialogs({}, target.path());
            {
                const FileSizeLimit full(4000);
                clickThrough(window.win, "pb_backup pb_export_data");
            }
            QCOMPARE(backupStatus(window.win), QString("Error! Could not create file."));
            QCOMPARE(filesIn(target.path()), QStringList());
            clickThrough(window.win, "pb_export_data");
        }
        QCOMPARE(backupStatus(window.win), QString("Export finished!"));
        const QStringList backups = filesIn(target.path());
        QCOMPARE(backups.size(), 1);
        QCOMPARE(bytesOf(target.filePath(backups.first())), bytesOf(dataFile));
        QCOMPARE(QFile::permissions(target.filePath(backups.first())), ownerOnly);

        QVERIFY(writeBytes(dataFile, bytesOf(dataFile).replace("bbb", "ccc"))); // an outside edit
        QVERIFY(QFile::setPermissions(dataFile, ownerOnly));
        window.win.saveAgain();
        const QStringList copies = RescueCopies(window.dir.path()).copies();
        umask(umaskBefore);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(QFile::permissions(copies.first()), ownerOnly);

        // Exported into rescue/, a backup takes a free name: no file of its second is replaced.
        const QDir rescue(RescueCopies(window.dir.path()).folder());
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 3; ++s)
            QVERIFY(writeBytes(rescue.filePath(StoreFiles::copyName(now.addSecs(s))), "mine"));
        {
            const AnsweredDialogs dialogs({}, rescue.path());
            clickThrough(window.win, "pb_export_data");
        }
        QCOMPARE(backupStatus(window.win), QString("Export finished!"));
        const QByteArrayList there = contentsOf(RescueCopies(window.dir.path()).copies());
        QVERIFY(there.count("mine") == 3 && there.contains(bytesOf(dataFile)));
    }

    void nothingPutIntoRescueLeadsOut_data()
    {
        QTest::addColumn<QString>("plant");
        for (const char *plant : { "index linked outside", "copy linked to the data file",
                 "links named like the next copies", "index naming the user's files",
                 "folder linked outside" })
            QTest::newRow(plant) << QString(plant);
    }

    // Whatever a person, a script or a synced folder puts into rescue/ is neither written
    // through, taken for a copy nor deleted: the content to keep gets a file of its own there
    // (elsewhere, when rescue/ itself is a link).
    void nothingPutIntoRescueLeadsOut()
    {
        QFETCH(QString, plant);
        StoreWindow window;
        QVERIFY(window.open(heliStore()));
        const QString data = dataFileIn(window.dir.path());
        // Another program's change, with content the readers skip: the next save keeps it.
        const QByteArray unread = bytesOf(data).replace("<Model>", "<Extra/><Model>");
        QVERIFY(writeBytes(data, unread));
        QTemporaryDir outside;
        QVERIFY(writeBytes(outside.filePath("victim"), "precious"));
        const QDir rescue(RescueCopies(window.dir.path()).folder());
        const bool linked = plant == "folder linked outside";
        QVERIFY(linked ? QFile::link(outside.path(), rescue.path()) : rescue.mkpath("."));
        const auto listed = [](const QString &name, const QByteArray &content) {
            return name.toUtf8() + '\n' + name.toUtf8() + ' ' + QByteArray::number(content.size())
                + ' ' + QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex()
                + '\n';
        };
        QByteArray index;
        QStringList mine;
        if (plant == "index linked outside") {
            QVERIFY(QFile::link(outside.filePath("victim"), rescue.filePath("copies.index")));
        } else if (plant == "copy linked to the data file") {
            QVERIFY(
                QFile::link("../cellora.xml", rescue.filePath("cellora_2020-01-01_00-00-00.xml")));
            index = listed("cellora_2020-01-01_00-00-00.xml", unread);
        } else if (plant == "links named like the next copies") {
            for (int s = 0; s < 3; ++s) {
                const QString name = StoreFiles::copyName(QDateTime::currentDateTime().addSecs(s));
                QVERIFY(QFile::link(outside.filePath(name), rescue.filePath(name)));
            }
        } else if (!linked) {
            for (int i = 0; i < 30; ++i) {
                mine << QString("cellora_2020-01-01_00-00-%1.xml").arg(i, 2, 10, QChar('0'));
                QVERIFY(writeBytes(rescue.filePath(mine.last()), "mine"));
                index += listed(mine.last(), "MINE"); // the size fits, the checksum not
            }
        }
        QVERIFY(index.isEmpty() || writeBytes(rescue.filePath("copies.index"), index));
        window.win.saveAgain();
        QVERIFY(window.win.storeProblem().isEmpty());
        const RescueCopies kept
            = linked ? RescueCopies::elsewhere(window.dir.path()) : RescueCopies(window.dir.path());
        QVERIFY(contentsOf(kept.copies()).contains(unread));
        RescueCopies copies(window.dir.path());
        for (int i = 0; i < 25; ++i, copies.rotate())
            QVERIFY(copies.keep("store " + QByteArray::number(i)) != linked);
        QCOMPARE(filesIn(outside.path()), QStringList("victim"));
        QCOMPARE(bytesOf(outside.filePath("victim")), QByteArray("precious"));
        for (const QString &name : qAsConst(mine))
            QCOMPARE(bytesOf(rescue.filePath(name)), QByteArray("mine"));
    }

    // An edit after a read fault keeps the whole damaged file first; Import brings it back.
    void damagedFileIsRescuedBeforeAnEdit()
    {
        QVERIFY(
            writeStoreFile(typicalStore(QDateTime(QDate(2024, 6, 15), QTime(12, 0))), dataFile()));
        QByteArray damaged = bytesOf(dataFile());
        int battery = -1;
        for (int i = 0; i < 4; ++i)
            battery = damaged.indexOf("<Battery>", battery + 1);
        damaged.insert(damaged.indexOf("<Name>", battery) + 7, '\xff');
        QVERIFY(writeBytes(dataFile(), damaged));

        CelloraGui win;
        win.changeStoragePath(dir->path());
        QVERIFY(rescued(dir->path()).isEmpty()); // reading alone writes nothing
        addLocation(win, "Neuwiese");
        QVERIFY(bytesOf(dataFile()).size() < damaged.size() / 2);
        QCOMPARE(rescued(dir->path()), QByteArrayList { damaged });
        addLocation(win, "Oberwiese"); // another edit of the same short store keeps no second copy
        QCOMPARE(rescued(dir->path()).size(), 1);

        import(win, RescueCopies(dir->path()).copies().first());
        QCOMPARE(backupStatus(win), QString("Import finished!"));
        QCOMPARE(bytesOf(dataFile()), damaged);
        // The store that the import replaced is a rescue copy in turn.
        QCOMPARE(rescued(dir->path()).size(), 2);
        QVERIFY(rescued(dir->path()).last().contains("Oberwiese"));
    }

    // A pasted control character is left out of the file; the entry and every later save are kept.
    void uncodableCharactersNeverBlockASave()
    {
        setSetting("cellora", "Complex");
        StoreWindow f;
        QVERIFY(f.open(heliStore()));
        const auto discharge = [&f](const char *pack, const QString &notes) {
            namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")->setPlainText(notes);
            clickTank(overviewCard(f.win, pack));
            clickThrough(f.win, "pb_save_discharged");
        };
        discharge(
            "Pack A", QString("Gusty\vwind") + QChar(1) + QChar(0xFFFF) + QChar(0xD800) + "!");
        QVERIFY(readStore(f.dir.path()).contains("Notes=\"Gustywind!\""));
        discharge("Pack B", "Calm");
        addLocation(f.win, QString("Hill\v") + QChar(1));
        QCOMPARE(comboItems(f.win, "cb_log_location"), QStringList({ "Field", "Hill" }));
        clickThrough(f.win, "pb_options pb_choose_addbattery");
        namedChild<QLineEdit>(f.win, "ledt_name")->setText(QString("Pack\vC") + QChar(1));
        clickThrough(f.win, "pb_addNewBattery");
        const QString saved = readStore(f.dir.path());
        QVERIFY(saved.contains("<Name>PackC</Name>"));
        QVERIFY(saved.contains("<Location Name=\"Hill\"/>"));
        QVERIFY(saved.contains("Notes=\"Calm\""));
        QCOMPARE(saved.count("<LogData "), 2);
        QCOMPARE(saved.count("<Cycle "), 2);
    }

    // Each window keeps a file it did not read or write before its own change; its own clicks
    // or a touch keep nothing.
    void twoWindowsOnOneFolderKeepBothChanges()
    {
        QVERIFY(writeStore(dir->path(), heliStore()));
        CelloraGui a, b;
        a.changeStoragePath(dir->path());
        b.changeStoragePath(dir->path());
        addLocation(a, "FromA");
        clickTank(overviewCard(a, "Pack A"));
        QVERIFY(!QFileInfo::exists(dir->filePath("rescue")));

        addLocation(b, "FromB");
        QVERIFY(readStore(dir->path()).contains("FromB"));
        QCOMPARE(rescued(dir->path()).size(), 1);
        QVERIFY(rescued(dir->path()).first().contains("FromA"));

        const QString when = QDateTime::currentDateTime().addSecs(5).toString(Qt::ISODate);
        QVERIFY(QProcess::execute("touch", { "-d", when, dataFile() }) == 0);
        addLocation(b, "FromB2");
        QCOMPARE(rescued(dir->path()).size(), 1);

        // So is one of the same size and time renamed over it (cp -p); named in local time.
        const QByteArray swapped = bytesOf(dataFile()).replace("FromB2", "FromC2");
        QVERIFY(writeBytes(dir->filePath("new"), swapped));
        QCOMPARE(QProcess::execute("touch", { "-r", dataFile(), dir->filePath("new") }), 0);
        QCOMPARE(QProcess::execute("mv", { dir->filePath("new"), dataFile() }), 0);
        const QString now = StoreFiles::stamp(QDateTime::currentDateTime()).left(13); // the hour
        addLocation(b, "FromB3");
        const QStringList copies = RescueCopies(dir->path()).copies();
        QCOMPARE(contentsOf(copies).last(), swapped);
        const QRegularExpression name("^" + QRegularExpression::escape(StoreFiles::copyPrefix + now)
            + "-\\d\\d-\\d\\d(_\\d+)?\\.xml$"); // like a backup's, unique
        QVERIFY2(
            name.match(QFileInfo(copies.last()).fileName()).hasMatch(), qPrintable(copies.last()));
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
        const QString done = "Import finished!", refused = "Error! Could not access file.";
        QTest::newRow("binary") << "photo.jpg" << binary << done << binary + '\n' << none;
        // Copied line by line, every line ended by a single line feed, the encoding kept.
        QTest::newRow("lines") << "lines.xml"
                               << QByteArray("<Cellora>\r\n  S\xc3\xbc\x64\r\n\r\n</Cellora>")
                               << done << QByteArray("<Cellora>\n  S\xc3\xbc\x64\n\n</Cellora>\n")
                               << none;
        QTest::newRow("UTF-16") << "utf16.xml" << utf16Store("\r\n") << done << utf16Store("\n")
                                << heli;
        QTest::newRow("FIFO") << "fifo" << QByteArray() << refused << QByteArray() << heli;
        QTest::newRow("/dev/zero")
            << "/dev/zero" << QByteArray() << refused << QByteArray() << heli;
        QTest::newRow("folder") << "." << QByteArray() << refused << QByteArray() << heli;
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
        QVERIFY(writeStore(dir->path(), heliStore()));
        const QByteArray before = bytesOf(dataFile());
        CelloraGui win;
        win.changeStoragePath(dir->path());

        import(win, path);
        QTEST(backupStatus(win), "status");
        QCOMPARE(bytesOf(dataFile()), imported.isNull() ? before : imported);
        QCOMPARE(
            rescued(dir->path()), imported.isNull() ? QByteArrayList() : QByteArrayList { before });
        QTEST(overviewCardNames(win), "cards");
    }

    // The newest twenty copies are kept, each content once.
    void rescueCopiesStayFewAndDistinct()
    {
        RescueCopies copies(dir->path());
        for (int i = 0; i < 25; ++i)
            QVERIFY(copies.keep("store " + QByteArray::number(i)));
        QVERIFY(copies.keep("store 24"));
        copies.rotate();
        const QByteArrayList kept = contentsOf(copies.copies());
        QCOMPARE(kept.size(), 20);
        QCOMPARE(kept.first() + kept.last(), QByteArray("store 5store 24"));

        // What a kill left of a copy's write goes once it is old; a younger one may still be
        // written, and a link of that name is not the store's.
        const QDir rescue(copies.folder());
        QTemporaryDir outside;
        const auto plant = [&](const QString &name, qint64 age) {
            QFile file(name);
            return file.open(QIODevice::WriteOnly) && file.write("half") == 4 && file.flush()
                && file.setFileTime(
                    QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime);
        };
        QVERIFY(plant(rescue.filePath(".cellora-killed.tmp"), 2 * 3600));
        QVERIFY(plant(rescue.filePath(".cellora-writing.tmp"), 60));
        QVERIFY(plant(outside.filePath("old"), 2 * 3600));
        QVERIFY(QFile::link(outside.filePath("old"), rescue.filePath(".cellora-link.tmp")));
        QVERIFY(copies.keep("store 25"));
        copies.rotate();
        QCOMPARE(rescue.entryList({ ".cellora-*" }, QDir::AllEntries | QDir::Hidden | QDir::System),
            QStringList({ ".cellora-link.tmp", ".cellora-writing.tmp" }));
        QVERIFY(QFileInfo::exists(outside.filePath("old")));

        // A storage path too long to name a folder after it whole gets a name with a checksum.
        const QString deep = dir->filePath(QString(200, 'a') + '/' + QString(200, 'b'));
        const QString elsewhere = RescueCopies::elsewhereFolder(deep);
        QVERIFY(QFile::encodeName(QFileInfo(elsewhere).fileName()).size() <= 255);
        QVERIFY(elsewhere != RescueCopies::elsewhereFolder(deep + 'c'));
        QVERIFY(RescueCopies::elsewhere(deep).keep("store"));
    }
};

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], saveLoop) == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv); // the records are widgets
        return runSaveLoop(QString::fromLocal8Bit(argv[2]), qstrcmp(argv[3], "nobody") == 0);
    }
    QApplication app(argc, argv);
    TestSafetyNet test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_safetynet.moc"
