// Replays the fuzzer's corpus through the readers in the ordinary build: each input
// that once found a new path must still be read to the end, and what was read must
// survive a save.

#include "readerprobe.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

class TestFuzzReplay : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readsAndResavesEveryInput_data();
    void readsAndResavesEveryInput();

private:
    QTemporaryDir inFolder;
    QTemporaryDir outFolder;
};

void TestFuzzReplay::initTestCase()
{
    qputenv("TZ", "Europe/Berlin"); // as in the fuzz runs
    tzset();
    QVERIFY(inFolder.isValid());
    QVERIFY(outFolder.isValid());
}

void TestFuzzReplay::readsAndResavesEveryInput_data()
{
    QTest::addColumn<QString>("path");
    const QString corpus = QStringLiteral(CELLORA_TEST_DATA "/fuzz-corpus");
    QDirIterator files(corpus, QDir::Files | QDir::Hidden);
    int count = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        QTest::newRow(qPrintable(files.fileName())) << path;
        ++count;
    }
    // An empty or missing folder would let this test pass without replaying anything.
    QVERIFY2(count >= 10, qPrintable("too few inputs in " + corpus));
}

void TestFuzzReplay::readsAndResavesEveryInput()
{
    QFETCH(QString, path);
    QFile input(path);
    QVERIFY(input.open(QIODevice::ReadOnly));

    const ReaderProbe::Outcome outcome
        = ReaderProbe::probe(input.readAll(), inFolder.path(), outFolder.path());
    if (outcome.saved)
        QCOMPARE(outcome.reread.toString(), outcome.read.toString());
}

QTEST_MAIN(TestFuzzReplay)
#include "tst_fuzz_replay.moc"
