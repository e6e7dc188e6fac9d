// The program's exports: CSV files read back by csvcheck.py against the store they came
// from, the logbook page and the CSV naming the same battery for every flight, outputs that
// never replace the store's own files and are written whole, and the pack report's figures.

#include "exchange/csvexport.h"
#include "exchange/outputfiles.h"
#include "exchange/packreport.h"
#include "store/storesnapshot.h"
#include "windowsupport.h"

#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

using namespace TestSupport;

namespace {

const QDateTime anchor { QDate(2024, 6, 15), QTime(12, 0) };

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

// The battery and discharged mAh of the flight the page shows, and of a CSV row.
QStringList pageBattery(const CelloraGui &win)
{
    return { namedChild<QLabel>(win, "lbl_logview_battname")->text(),
        namedChild<QLabel>(win, "lbl_logview_capacity")->text() };
}

QStringList csvBattery(const QByteArray &row)
{
    const QList<QByteArray> cells = row.split(',');
    return { QString(cells.value(cells.size() - 3)), QString(cells.value(cells.size() - 2)) };
}

SampleBattery battery(const QString &name, uint capacity, const QVector<uint> &discharges,
    uint peakCurrent, const QDateTime &lastUse, bool charged)
{
    SampleBattery made = pack(name, capacity, 25, uint(discharges.size()), charged);
    made.purchase = anchor.date().addDays(-400);
    made.lastUse = lastUse;
    for (int i = 0; i < discharges.size(); ++i) {
        const uint current = i == discharges.size() / 2 ? peakCurrent : 1000;
        made.cycleData << SampleCycle { lastUse.addDays(i - discharges.size()), discharges[i],
            current };
    }
    return made;
}

// Worn: 1000 mAh, ten discharges of 500 mAh, then ten of 900 mAh, 30 A at most, charged
// five days ago. Busy: more equivalent cycles, no warning. Blank: no capacity at all.
SampleStore knownFleet(const QDateTime &now)
{
    const QVector<uint> worn = QVector<uint>(10, 500) + QVector<uint>(10, 900);
    return { {},
        { battery("Busy", 2000, QVector<uint>(40, 1500), 4000, now.addDays(-1), true),
            battery("Worn", 1000, worn, 3000, now.addSecs(-5 * 86400 - 3600), true),
            battery("Blank", 0, { 700 }, 100, now.addSecs(-3 * 86400 + 60), true),
            battery("Kept", 3000, { 2400 }, 1000, now.addDays(-30), false) },
        {} };
}

} // namespace

class TestExports : public QObject {
    Q_OBJECT

private slots:
    // The sample stores, and the hand-written ones with quotes, line breaks, formulas,
    // undated entries, flights without a battery and two packs sharing a moment.
    void everyRowAsTheDataFileHoldsIt_data()
    {
        QTest::addColumn<StoreMaker>("maker"); // null: the file of the row's name
        QTest::newRow("demo") << &demoStore;
        QTest::newRow("typical") << &typicalStore;
        QTest::newRow("store_full.xml") << StoreMaker();
        QTest::newRow("store_csv.xml") << StoreMaker();
    }

    // Every row, in the exact RFC 4180 form, as csvcheck.py reads the data file itself.
    void everyRowAsTheDataFileHoldsIt()
    {
        QFETCH(StoreMaker, maker);
        QTemporaryDir storage;
        const QString dataFile = dataFileIn(storage.path());
        QVERIFY(maker
                ? writeStoreFile(maker(anchor), dataFile)
                : QFile::copy(CELLORA_TEST_DATA "/" + QString(QTest::currentDataTag()), dataFile));
        StoreSnapshot logbook;
        QVERIFY(logbook.readFile(dataFile));
        const QString flights = storage.filePath("flights.csv"),
                      cycles = storage.filePath("cycles.csv");
        QVERIFY(writeBytes(flights, CsvExport::flights(logbook))
            && writeBytes(cycles, CsvExport::cycles(logbook)));
        QProcess check;
        check.start(
            CELLORA_PYTHON, { CELLORA_TEST_DATA "/../csvcheck.py", dataFile, flights, cycles });
        QVERIFY(check.waitForFinished(60000));
        QVERIFY2(check.exitCode() == 0, check.readAllStandardError().constData());
    }

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
        QVERIFY(writeStore(dir.path(), store));
        StoreSnapshot snapshot;
        QVERIFY(snapshot.readFile(dataFileIn(dir.path())));
        QList<QByteArray> rows = CsvExport::flights(snapshot).split('\n').mid(1);
        CelloraGui win;
        win.changeStoragePath(dir.path());
        auto *models = namedChild<QComboBox>(win, "cb_logview_model");
        int paired = 0;
        for (const SampleModel &model : store.models) {
            models->setCurrentIndex(models->findText(model.name));
            clickThrough(win, "pb_logbook"); // the model's newest flight
            const int count = model.flightLog.size();
            for (int i = count - 1; i >= std::max(0, count - stepsPerModel); --i) {
                QCOMPARE(pageBattery(win), csvBattery(rows.value(i)));
                paired += !pageBattery(win).first().isEmpty();
                clickThrough(win, "pb_logview_prev");
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

    // Outputs are replaced together and only whole, with the data file's permission bits,
    // and a failure names the output and makes no folder; formula-like text cells become
    // text, numbers stay numbers.
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
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
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

    // Warnings first, then by equivalent cycles; the figures in the PDF's text, the summary
    // then one page per pack in the summary's order.
    void packReportFigures()
    {
        const QDateTime now = QDateTime::currentDateTime();
        QTemporaryDir storage;
        StoreSnapshot logbook;
        QVERIFY(writeStore(storage.path(), knownFleet(now)));
        QVERIFY(logbook.readFile(dataFileIn(storage.path())));
        const QVector<PackHealth> fleet = PackReport::assess(logbook, now);
        QStringList order;
        for (const PackHealth &pack : fleet)
            order << pack.name;
        QCOMPARE(order, (QStringList { "Worn", "Busy", "Kept", "Blank" }));
        QCOMPARE(fleet[0].daysSinceUse, 5); // the rest of its figures: in the PDF below
        QCOMPARE(fleet[0].ageDays, int(anchor.date().addDays(-400).daysTo(now.date())));
        QCOMPARE(fleet[1].recentShare, 75.0);
        QVERIFY(fleet[1].warnings.isEmpty()); // charged, but only a day ago
        QVERIFY(fleet[2].warnings.isEmpty()); // 80 % exactly is not over 80 %, and empty
        QCOMPARE(fleet[2].recentShare, 80.0);
        QVERIFY(fleet[3].warnings.isEmpty()); // charged a minute short of three days
        QCOMPARE(fleet[3].firstShare, -1.0);
        QCOMPARE(fleet[3].peakC, -1.0);
        const QString pdf = storage.filePath("report.pdf");
        QVERIFY(OutputFiles::writeAll(
            { { pdf, PackReport::pdf(logbook, storage.path(), now) } }, storage.path(), nullptr));
        QProcess pdftotext;
        pdftotext.start("pdftotext", { "-layout", pdf, "-" });
        QVERIFY2(pdftotext.waitForFinished(60000) && pdftotext.exitCode() == 0,
            "pdftotext (poppler-utils) must be installed");
        const QStringList pages
            = QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 5);
        QVERIFY2(pages[0].indexOf("Worn") < pages[0].indexOf("Busy"), qPrintable(pages[0]));
        QVERIFY(pages[0].contains("charged for 5 days"));
        for (const char *figure : { "1000 mAh", "Equivalent full cycles", "14.0", "50.0 %",
                 "90.0 %", "30.0 C", "charged for 5 days", "over 80 % used" })
            QVERIFY2(pages[1].contains(figure), qPrintable(figure + ("\n" + pages[1])));
        QVERIFY(pages[2].contains("Busy") && pages[2].contains("30.0"));
    }
};

QTEST_MAIN(TestExports)
#include "tst_exports.moc"
