// The host's exports: CSV files read back by csvcheck.py and compared with the store they
// came from, and the pack report's figures for a store with known numbers, in the document
// and in the PDF's text.

#include "exchange/csvexport.h"
#include "exchange/outputfiles.h"
#include "exchange/packreport.h"
#include "sample/samplestore.h"
#include "store/storesnapshot.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

using StoreMaker = SampleStore (*)(const QDateTime &);
Q_DECLARE_METATYPE(StoreMaker)

namespace {

const QDateTime anchor { QDate(2024, 6, 15), QTime(12, 0) };

SampleBattery battery(const QString &name, uint capacity, const QVector<uint> &discharges,
    uint peakCurrent, const QDateTime &lastUse, bool charged)
{
    SampleBattery pack;
    pack.name = name;
    pack.capacity = capacity;
    pack.rating = 25;
    pack.purchase = anchor.date().addDays(-400);
    pack.charged = charged;
    pack.lastUse = lastUse;
    for (int i = 0; i < discharges.size(); ++i) {
        const uint current = i == discharges.size() / 2 ? peakCurrent : 1000;
        pack.cycleData << SampleCycle { lastUse.addDays(i - discharges.size()), discharges[i],
            current };
    }
    pack.cycles = uint(discharges.size());
    return pack;
}

// Worn: 1000 mAh, ten discharges of 500 mAh, then ten of 900 mAh, 30 A at most, charged
// five days ago. Busy: more equivalent cycles, no warning. Blank: no capacity at all.
SampleStore knownFleet(const QDateTime &now)
{
    SampleStore store;
    const QVector<uint> worn = QVector<uint>(10, 500) + QVector<uint>(10, 900);
    store.batteries << battery("Busy", 2000, QVector<uint>(40, 1500), 4000, now.addDays(-1), true)
                    << battery("Worn", 1000, worn, 3000, now.addSecs(-5 * 86400 - 3600), true)
                    << battery("Blank", 0, { 700 }, 100, now.addSecs(-3 * 86400 + 60), true)
                    << battery("Kept", 3000, { 2400 }, 1000, now.addDays(-30), false);
    return store;
}

// Writes `store` into `storage` as its data file and reads it back into `snapshot`.
bool readBack(const SampleStore &store, const QTemporaryDir &storage, StoreSnapshot &snapshot)
{
    return writeStoreFile(store, storage.filePath("cellora.xml"))
        && snapshot.readFile(storage.filePath("cellora.xml"));
}

bool exportAll(const StoreSnapshot &snapshot, const QString &folder, QString *error)
{
    const QDir target(folder);
    const QVector<OutputFiles::Output> outputs {
        { target.filePath("flights.csv"), CsvExport::flights(snapshot) },
        { target.filePath("cycles.csv"), CsvExport::cycles(snapshot) },
    };
    return target.mkpath(".") && OutputFiles::writeAll(outputs, folder, error);
}

// Exports the data file of `storage` into `output` and has csvcheck.py read both back: every
// row, in the exact RFC 4180 form, against the data file itself. Empty when they agree.
QString exportDisagreement(const QString &storage, const QString &output)
{
    StoreSnapshot logbook;
    QString error;
    if (!logbook.readFile(QDir(storage).filePath("cellora.xml"))
        || !exportAll(logbook, output, &error))
        return "no export: " + error;
    QProcess check;
    check.start(CELLORA_PYTHON,
        { CELLORA_TEST_DATA "/../csvcheck.py", QDir(storage).filePath("cellora.xml"),
            QDir(output).filePath("flights.csv"), QDir(output).filePath("cycles.csv") });
    if (!check.waitForFinished(60000) || check.exitCode() != 0)
        return check.errorString() + check.readAllStandardError();
    return QString();
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

    void everyRowAsTheDataFileHoldsIt()
    {
        QFETCH(StoreMaker, maker);
        QTemporaryDir storage;
        const QString dataFile = storage.filePath("cellora.xml");
        QVERIFY(maker
                ? writeStoreFile(maker(anchor), dataFile)
                : QFile::copy(CELLORA_TEST_DATA "/" + QString(QTest::currentDataTag()), dataFile));
        const QString disagreement = exportDisagreement(storage.path(), storage.filePath("csv"));
        QVERIFY2(disagreement.isEmpty(), qPrintable(disagreement));
    }

    void unwritableTargetsFailWithReason()
    {
        QTemporaryDir scratch;
        QFile plain(scratch.filePath("plain-file"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        StoreSnapshot logbook;
        QVERIFY(!logbook.readFile(scratch.filePath("none/cellora.xml")));
        QString error;
        QVERIFY(!OutputFiles::writeAll(
            { { scratch.filePath("plain-file/csv"), CsvExport::cycles(logbook) } }, scratch.path(),
            &error));
        QVERIFY2(error.contains("plain-file"), qPrintable(error));
        error.clear();
        QVERIFY(!OutputFiles::writeAll({ { scratch.filePath("no/report.pdf"),
                                           PackReport::pdf(logbook, scratch.path(), anchor) } },
            scratch.path(), &error));
        QVERIFY2(error.contains("report.pdf"), qPrintable(error));
        QVERIFY(!QFileInfo::exists(scratch.filePath("no")));
    }

    void packFiguresAndWarnings()
    {
        const QDateTime now = QDateTime::currentDateTime();
        QTemporaryDir storage;
        StoreSnapshot logbook;
        QVERIFY(readBack(knownFleet(now), storage, logbook));
        const QVector<PackHealth> fleet = PackReport::assess(logbook, now);

        QStringList order;
        for (const PackHealth &pack : fleet)
            order << pack.name;
        // Warnings first, then by equivalent cycles.
        QCOMPARE(order, (QStringList { "Worn", "Busy", "Kept", "Blank" }));
        const PackHealth &worn = fleet[0];
        QCOMPARE(worn.equivalentCycles, 14.0);
        QCOMPARE(worn.firstShare, 50.0);
        QCOMPARE(worn.recentShare, 90.0);
        QCOMPARE(worn.peakC, 30.0);
        QCOMPARE(worn.daysSinceUse, 5);
        QCOMPARE(worn.ageDays, int(anchor.date().addDays(-400).daysTo(now.date())));
        QCOMPARE(worn.warnings, (QStringList { "charged for 5 days", "over 80 % used" }));
        const PackHealth &busy = fleet[1];
        QCOMPARE(busy.equivalentCycles, 30.0);
        QCOMPARE(busy.recentShare, 75.0);
        QVERIFY(busy.warnings.isEmpty()); // charged, but only a day ago
        QVERIFY(fleet[2].warnings.isEmpty()); // 80 % exactly is not over 80 %, and empty
        QCOMPARE(fleet[2].recentShare, 80.0);
        const PackHealth &blank = fleet[3];
        QVERIFY(blank.warnings.isEmpty()); // charged a minute short of three days
        QCOMPARE(blank.firstShare, -1.0);
        QCOMPARE(blank.peakC, -1.0);

        QTextDocument document;
        PackReport::compose(document, fleet, storage.path(), now);
        const QString text = document.toPlainText();
        QVERIFY2(text.contains("charged for 5 days") && text.contains("over 80 % used")
                && text.contains("90.0 %") && text.contains("30.0 C"),
            qPrintable(text));
    }

    void pdfTextHoldsTheFigures()
    {
        const QDateTime now = QDateTime::currentDateTime();
        QTemporaryDir storage;
        StoreSnapshot logbook;
        QVERIFY(readBack(knownFleet(now), storage, logbook));
        const QString pdf = storage.filePath("report.pdf");
        QVERIFY(OutputFiles::writeAll(
            { { pdf, PackReport::pdf(logbook, storage.path(), now) } }, storage.path(), nullptr));

        QProcess pdftotext;
        pdftotext.start("pdftotext", { "-layout", pdf, "-" });
        QVERIFY2(pdftotext.waitForFinished(60000) && pdftotext.exitCode() == 0,
            "pdftotext (poppler-utils) must be installed");
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        // The summary, then one page per pack in the summary's order.
        QCOMPARE(pages.size(), 5);
        QVERIFY2(pages[0].indexOf("Worn") < pages[0].indexOf("Busy"), qPrintable(pages[0]));
        QVERIFY(pages[0].contains("charged for 5 days"));
        const QString &worn = pages[1];
        for (const char *figure : { "1000 mAh", "Equivalent full cycles", "14.0", "50.0 %",
                 "90.0 %", "30.0 C", "charged for 5 days", "over 80 % used" })
            QVERIFY2(worn.contains(figure), qPrintable(figure + ("\n" + worn)));
        QVERIFY(pages[2].contains("Busy") && pages[2].contains("30.0"));
    }
};

QTEST_MAIN(TestExports)
#include "tst_exports.moc"
