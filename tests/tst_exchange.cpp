// The logbook page and the CSV export name the same battery for every flight, because both
// pair through the store's one rule.

#include "exchange/csvexport.h"
#include "exchange/outputfiles.h"
#include "sample/samplestore.h"
#include "store/storesnapshot.h"
#include "windowsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

using namespace TestSupport;

namespace {

const QDateTime anchor(QDate(2024, 6, 1), QTime(12, 0));

// The demo store with undated entries: flights and cycle entries of two batteries whose
// moment was lost, so that the later battery's undated entry is the one flown.
SampleStore undatedStore()
{
    SampleStore store = demoStore(anchor);
    for (int i = 0; i < store.models[0].flightLog.size(); i += 3)
        store.models[0].flightLog[i].date = QDateTime();
    store.batteries[1].cycleData[0].date = QDateTime();
    store.batteries[3].cycleData[2].date = QDateTime();
    store.batteries[3].cycleData[4].date = QDateTime();
    return store;
}

// Battery, discharged mAh and current of the flight the page shows, as the CSV writes them.
QStringList pageBattery(const CelloraGui &win)
{
    const QString current = namedChild<QLabel>(win, "lbl_logview_current")->text();
    return { namedChild<QLabel>(win, "lbl_logview_battname")->text(),
        namedChild<QLabel>(win, "lbl_logview_capacity")->text(),
        current.isEmpty()
            ? current
            : QString::number(QString(current).replace(',', '.').toDouble(), 'f', 2) };
}

QStringList csvBattery(const QByteArray &row)
{
    const QList<QByteArray> cells = row.trimmed().split(',');
    QStringList battery;
    for (int i = cells.size() - 3; i < cells.size(); ++i)
        battery << QString::fromUtf8(cells.value(i));
    battery[2] = battery[2].isEmpty() ? battery[2] : QString::number(battery[2].toDouble(), 'f', 2);
    return battery;
}

} // namespace

class TestExchange : public QObject {
    Q_OBJECT

private slots:
    void pageAndCsvAgree_data()
    {
        QTest::addColumn<SampleStore>("store");
        QTest::addColumn<int>("stepsPerModel"); // the newest flights of each model
        QTest::newRow("demo") << demoStore(anchor) << 1000;
        QTest::newRow("typical") << typicalStore(anchor) << 1000;
        QTest::newRow("long names") << longNamesStore(anchor) << 1000;
        QTest::newRow("undated") << undatedStore() << 1000;
        QTest::newRow("ten years") << tenYearStore(anchor) << 4;
    }
    void pageAndCsvAgree()
    {
        QFETCH(SampleStore, store);
        QFETCH(int, stepsPerModel);
        // Notes and places play no part in the pairing: without them a row splits at commas.
        for (SampleModel &model : store.models) {
            for (SampleFlight &flight : model.flightLog)
                flight.notes = flight.location = QString();
        }
        QTemporaryDir dir;
        QVERIFY(writeStoreFile(store, dir.filePath(dataFileName())));
        StoreSnapshot snapshot;
        QVERIFY(snapshot.readFile(dir.filePath(dataFileName())));
        QList<QByteArray> rows = CsvExport::flights(snapshot).split('\n').mid(1);
        CelloraGui win;
        win.changeStoragePath(dir.path());
        auto *models = namedChild<QComboBox>(win, "cb_logview_model");
        int paired = 0;
        for (const SampleModel &model : store.models) {
            models->setCurrentIndex(models->findText(model.name));
            QCOMPARE(models->currentText(), model.name);
            namedChild<QPushButton>(win, "pb_logbook")->click(); // the model's newest flight
            const int count = model.flightLog.size();
            for (int i = count - 1; i >= std::max(0, count - stepsPerModel); --i) {
                QCOMPARE(pageBattery(win), csvBattery(rows.value(i)));
                paired += !pageBattery(win).first().isEmpty();
                namedChild<QPushButton>(win, "pb_logview_prev")->click();
            }
            rows = rows.mid(count);
        }
        QVERIFY(paired > 0);
    }

    // No output replaces the store's own files, however the path reaches them.
    void storeFilesRefused_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("refused");
        QTest::newRow("data file") << "store/cellora.xml" << true;
        QTest::newRow("lock file") << "store/cellora.lock" << true;
        QTest::newRow("rescue copy") << "store/rescue/cellora_2024-01-01_00-00-00.xml" << true;
        QTest::newRow("new file in rescue") << "store/rescue/report.pdf" << true;
        QTest::newRow("dotted path") << "store/./rescue/../cellora.xml" << true;
        QTest::newRow("link to data file") << "link.xml" << true;
        QTest::newRow("through linked folder") << "linked/cellora.xml" << true;
        QTest::newRow("link to absent lock file") << "lock-link" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("beside the data file") << "store/flights.csv" << false;
        QTest::newRow("elsewhere") << "out/report.pdf" << false;
    }
    void storeFilesRefused()
    {
        QFETCH(QString, output);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("store/rescue") && QDir(dir.path()).mkpath("out"));
        QVERIFY(writeBytes(dir.filePath("store/cellora.xml"), "<Cellora/>\n"));
        QVERIFY(QFile::link(dir.filePath("store/cellora.xml"), dir.filePath("link.xml")));
        QVERIFY(QFile::link(dir.filePath("store"), dir.filePath("linked")));
        QVERIFY(QFile::link(dir.filePath("store/cellora.lock"), dir.filePath("lock-link")));
        const QString store = dir.filePath("store");
        const QString why = OutputFiles::refusal(output.isEmpty() ? output : dir.filePath(output),
            store, QDir(store).filePath("cellora.lock"));
        QCOMPARE(!why.isEmpty(), refused);
    }

    // Outputs are replaced together and only whole, with the data file's permission bits;
    // formula-like text cells become text, numbers stay numbers.
    void outputsWrittenSafely()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath("flights.csv");
        QVERIFY(writeBytes(first, "previous"));
        QVERIFY(writeBytes(dir.filePath("cellora.xml"), "<Cellora/>\n"));
        QVERIFY(QFile::setPermissions(
            dir.filePath("cellora.xml"), QFile::ReadOwner | QFile::WriteOwner));
        QString error;
        QVERIFY(!OutputFiles::writeAll(
            { { first, "new" }, { dir.filePath("missing/cycles.csv"), "new" } }, dir.path(),
            &error));
        QVERIFY2(error.contains("cycles.csv"), qPrintable(error));
        QCOMPARE(bytesOf(first), QByteArray("previous"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no leftover

        const mode_t umaskBefore = ::umask(0);
        const bool written = OutputFiles::writeAll({ { first, "new" } }, dir.path(), &error);
        ::umask(umaskBefore);
        QVERIFY(written);
        QCOMPARE(bytesOf(first), QByteArray("new"));
        QCOMPARE(QFile::permissions(first), QFile::permissions(dir.filePath("cellora.xml")));

        StoreSnapshot snapshot;
        snapshot.models.resize(1);
        snapshot.models[0].name = "=HYPERLINK(x)";
        for (const char *note : { "+1", "-2", "@SUM(A1)", "\tx", "\rx", "plain" })
            snapshot.models[0].flightLog.append({ QDateTime(), QTime(), QString(), -7, note });
        snapshot.pairFlights();
        const QByteArray csv = CsvExport::flights(snapshot);
        for (const char *cell :
            { "'=HYPERLINK(x)", "'+1", "'-2", "'@SUM(A1)", "'\tx", "\"'\rx\"", ",-7,plain," })
            QVERIFY2(csv.contains(cell), cell);
    }
};

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
