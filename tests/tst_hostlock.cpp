// The stand-in host on a storage folder: one host at a time (a second start brings the
// first one forward), the lock of a dead host taken over, and a folder that cannot be
// written said once at start.

#include "storesupport.h"

#include <QProcess>
#include <QtTest>

#include <signal.h>

using namespace TestSupport;

namespace {

const QString host = QStringLiteral(CELLORA_HOST);

bool waitForFile(const QString &path)
{
    for (int waited = 0; waited < 30000 && !QFileInfo::exists(path); waited += 20)
        QTest::qWait(20);
    return QFileInfo::exists(path);
}

// A host run to its first frame and back: exit code 0 when it opened the folder.
struct ShortRun {
    explicit ShortRun(const QString &folder)
    {
        process.start(host, { "--storage", folder, "--startup-probe" });
        finished = process.waitForFinished(60000);
        errors = QString::fromLocal8Bit(process.readAllStandardError());
    }
    QProcess process;
    bool finished = false;
    QString errors;
};

} // namespace

class TestHostLock : public QObject {
    Q_OBJECT

private slots:
    void oneHostPerStorageFolder()
    {
        QTemporaryDir storage;
        QVERIFY(writeStore(storage.path(), { {}, { pack("Pack A") }, {} }));
        const QByteArray store = bytesOf(storage.filePath(dataFileName()));
        QProcess first;
        first.start(host, { "--storage", storage.path() });
        QVERIFY(waitForFile(storage.filePath("cellora.lock")));

        // A second start on the same folder brings the first one's window forward.
        const ShortRun second(storage.path());
        QVERIFY(second.finished);
        QCOMPARE(second.process.exitCode(), 0);
        QVERIFY2(!second.errors.contains("cellora:"), qPrintable(second.errors));
        QTRY_VERIFY(first.peek(4096).contains("Brought the window to the front"));
        QCOMPARE(bytesOf(storage.filePath(dataFileName())), store);

        // Ended normally, the first host gives the folder free.
        first.terminate();
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(ShortRun(storage.path()).process.exitCode(), 0);

        // Killed, it leaves a lock that the next host takes over.
        first.start(host, { "--storage", storage.path() });
        QTest::qWait(200);
        QVERIFY(waitForFile(storage.filePath("cellora.lock")));
        first.kill();
        QVERIFY(first.waitForFinished(30000));
        QVERIFY(QFileInfo::exists(storage.filePath("cellora.lock")));
        QCOMPARE(ShortRun(storage.path()).process.exitCode(), 0);
        QCOMPARE(bytesOf(storage.filePath(dataFileName())), store);
    }

    void folderHeldOnAnotherMachineIsRefused()
    {
        QTemporaryDir storage;
        QVERIFY(writeBytes(storage.filePath("cellora.lock"), "4242\ncellora\nfield-laptop\n"));
        const ShortRun second(storage.path());
        QVERIFY(second.finished);
        QCOMPARE(second.process.exitCode(), 3);
        QVERIFY2(second.errors.contains("4242") && second.errors.contains("field-laptop")
                && second.errors.contains("delete " + storage.filePath("cellora.lock")),
            qPrintable(second.errors));
        QCOMPARE(second.errors.count("cellora:"), 1);
    }

    void unwritableFolderIsSaidAtStart()
    {
        QTemporaryDir scratch;
        QVERIFY(writeBytes(scratch.filePath("plain-file"), "not a folder"));
        const ShortRun run(scratch.filePath("plain-file/storage"));
        QVERIFY(run.finished);
        QCOMPARE(run.process.exitCode(), 0); // the window opens all the same
        QVERIFY2(run.errors.contains("cannot be created or written"), qPrintable(run.errors));
        QCOMPARE(run.errors.count("cellora:"), 1);
    }
};

QTEST_MAIN(TestHostLock)
#include "tst_hostlock.moc"
