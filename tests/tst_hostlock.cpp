// The stand-in host on a storage folder: one host at a time, the lock of a dead host taken
// over, and a folder that cannot be written said once at start.

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

        const ShortRun second(storage.path());
        QVERIFY(second.finished);
        QCOMPARE(second.process.exitCode(), 3);
        QVERIFY2(second.errors.contains(storage.path())
                && second.errors.contains(QString::number(first.processId())),
            qPrintable(second.errors));
        QCOMPARE(second.errors.count("cellora:"), 1);
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
