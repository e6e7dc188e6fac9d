// The store on its own: what the readers make of well-formed, unusual and damaged files,
// what the writer makes of it again, the sample stores, the snapshot of plain values and
// the fuzzer's corpus.

#include "store/storesnapshot.h"
#include "storesupport.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace TestSupport;

namespace {

const QString dataDir = QStringLiteral(CELLORA_TEST_DATA);
const QByteArray emptyStore
    = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE Cellora>\n<Cellora/>\n";
const QDateTime anchor { QDate(2024, 6, 15), QTime(12, 0) };

} // namespace

class TestStore : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

    void loadFixture(const QString &name)
    {
        const QString dataFile = dataFileIn(dir->path());
        QFile::remove(dataFile);
        QVERIFY(QFile::copy(dataDir + '/' + name, dataFile));
    }

    void writeRoot(const QByteArray &children)
    {
        QVERIFY(writeBytes(dataFileIn(dir->path()),
            "<?xml version=\"1.0\"?>\n<Cellora>" + children + "</Cellora>\n"));
    }

private slots:
    void initTestCase()
    {
        // One zone everywhere, so that the fixture's date-times read the same on every machine.
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    // The hand-written fixture holds every kind of field; reading it and writing it back
    // must give the same records and the same text.
    void fullStoreRoundTrip()
    {
        loadFixture("store_full.xml");
        Loaded loaded(dir->path());
        QVERIFY(loaded.hasLocations);
        QCOMPARE(loaded.locations, QStringList({ "Hangweide Süd", "Club & Field" }));
        QCOMPARE(loaded.batteries.size(), 2);
        QCOMPARE(fields(loaded.batteries[0]),
            QStringList({ "Pack A", "5000", "15", "35", "2023-04-15", "2", "charged",
                "2024-03-02 14:05:09.000", "3200 mAh 4000 A/100 at 2024-03-01 10:15:00.000",
                "3350 mAh 1250 A/100 at 2024-03-02 09:30:45.000" }));
        QCOMPARE(fields(loaded.batteries[1]),
            QStringList(
                { "Pack B", "2200", "0", "25", "", "0", "empty", "2024-01-01 00:00:00.000" }));
        QCOMPARE(loaded.models.size(), 2);
        QCOMPARE(fields(loaded.models[0]),
            QStringList({ "Heli 700", "Helicopter", "512", "700", "2022-12-31", "12",
                "Main blades 690 mm\n\tTail <new> gears", "2023-12-31 23:59:59.000",
                "battery Pack A", "battery Pack B",
                "flight 2024-03-01 10:15:00.000 00:06:30 at Hangweide Süd, -4 "
                "degrees: Windy\n\tgusts from west",
                "flight 2024-03-02 09:30:45.000 00:05:10 at Club & Field, 12 "
                "degrees: " }));
        QCOMPARE(fields(loaded.models[1]),
            QStringList({ "Trainer", "Plane", "0", "0", "", "0", "", "2024-02-29 08:00:00.000" }));

        loaded.saveTo(dir->filePath("copy"));
        // Whole line lists: a truncated or padded file cannot pass.
        QCOMPARE(bytesOf(dataFileIn(dir->filePath("copy"))).split('\n'),
            bytesOf(dataDir + "/store_full.xml").split('\n'));
        QCOMPARE(Loaded(dir->filePath("copy")).allFields(), loaded.allFields());
    }

    void readsUnusualButWellFormedFiles()
    {
        const QDateTime before = QDateTime::currentDateTime();
        // Root children in another order, names inside foreign elements, a LastUse before
        // Charged, a child after Data, a bare Cycle, a second name attribute, bad numbers.
        writeRoot(
            "<Model><Name>Heli</Name><Weight>-5</Weight><Size>12abc</Size>"
            "<Flights>4294967296</Flights>"
            "<Battery>P</Battery><Battery>P</Battery><Battery>p</Battery>"
            "<Gear><Name>Wrong</Name><Battery>X</Battery></Gear>"
            "<FlightLog><LogData Temperature=\"-12\"/><LogData Temperature=\"warm\"/></FlightLog>"
            "</Model>"
            "<Spares><Battery><Name>Hidden</Name></Battery><Location Name=\"Hidden\"/></Spares>"
            "<Battery><Name>Early</Name><Capacity>-2200</Capacity>"
            "<Wiring><Name>Wrong</Name></Wiring>"
            "<LastUse>Sat Mar 2 14:05:09 2024</LastUse><Charged>1</Charged>"
            "<Data><Cycle/><Cycle Discharged=\"500\" Current=\"700\"/></Data>"
            "<Cycles>4</Cycles></Battery>"
            "<Battery><Charged>2</Charged></Battery><Battery><Charged>true</Charged></Battery>"
            "<Locations><Location Name=\"A\" AltName=\"B\"/></Locations>");
        const Loaded loaded(dir->path());
        QCOMPARE(loaded.locations, QStringList({ "A", "B" }));
        QCOMPARE(loaded.models.size(), 1);
        QCOMPARE(fields(loaded.models[0]),
            QStringList({ "Heli", "", "0", "0", "", "0", "", "null", "battery P", "battery p",
                "flight null  at , -12 degrees: ", "flight null  at , 0 degrees: " }));
        QCOMPARE(loaded.batteries.size(), 3);
        QVERIFY(!loaded.batteries[1]->batteryCharged()); // only "1" means charged
        QVERIFY(!loaded.batteries[2]->batteryCharged());
        const BatteryWidget *battery = loaded.batteries[0];
        QCOMPARE(
            fields(battery).mid(0, 7), QStringList({ "Early", "0", "0", "0", "", "4", "charged" }));
        QVERIFY(battery->lastUpdated() >= before); // Charged came last: the moment of reading
        QCOMPARE(fields(battery).mid(8),
            QStringList({ "0 mAh 0 A/100 at null", "500 mAh 700 A/100 at null" }));
    }

    void malformedFilesKeepWhatCameBefore_data()
    {
        QTest::addColumn<QString>("expected"); // locations, models, batteries, cycles, flights
        QTest::newRow("empty.xml") << "0 0 0 0 0";
        QTest::newRow("declaration_only.xml") << "0 0 0 0 0";
        QTest::newRow("binary_garbage.xml") << "0 0 0 0 0";
        QTest::newRow("wrong_root.xml") << "0 0 0 0 0";
        QTest::newRow("breaks_in_data.xml") << "2 1 2 2 0";
        QTest::newRow("breaks_in_flightlog.xml") << "1 1 1 0 2";
        QTest::newRow("breaks_in_locations.xml") << "2 0 0 0 0";
        // Only the reader that meets the fault stops; the record it was reading stays.
        QTest::newRow("text_with_child.xml") << "1 1 2 1 0";
        QTest::newRow("unclosed_root.xml") << "1 1 1 1 1";
        QTest::newRow("deep_nesting.xml") << "0 2 1 0 0";
        QTest::newRow("entity_expansion.xml") << "1 0 1 0 0";
    }

    void malformedFilesKeepWhatCameBefore()
    {
        QFETCH(QString, expected);
        loadFixture(QStringLiteral("malformed/") + QTest::currentDataTag());
        const Loaded loaded(dir->path());
        for (const BatteryWidget *battery : loaded.batteries)
            QVERIFY(battery->batteryName().size() < 100); // no entity expansion, no deep names
        QCOMPARE(loaded.counts().section(' ', 0, 4), expected);
        QCOMPARE(loaded.hasLocations, !loaded.locations.isEmpty());
    }

    // Saves go into the storage folder only, which is made when missing; without a folder
    // the readers look into the working folder and nothing is written.
    void writesOnlyWholeFilesIntoItsFolder()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        DataProcessor unset;
        unset.writeData({}, {}, { "Field" });
        const bool wroteIntoWorkingFolder = QFile::exists("cellora.xml");
        QVERIFY(writeBytes(
            "cellora.xml", "<Cellora><Locations><Location Name=\"Here\"/></Locations></Cellora>"));
        QStringList locations;
        unset.readLocations(locations);
        QDir::setCurrent(previous);
        QVERIFY(!wroteIntoWorkingFolder);
        QCOMPARE(locations, QStringList("Here"));

        DataProcessor store;
        store.setStoragePath(dir->filePath("new/nested"));
        store.writeData({}, {}, { "Old" });
        QVERIFY(bytesOf(store.dataFilePath()).contains("Old"));
        store.writeData({}, {}, {});
        QCOMPARE(bytesOf(store.dataFilePath()), emptyStore);
        QCOMPARE(QDir(dir->filePath("new/nested")).entryList(QDir::Files | QDir::Hidden),
            QStringList("cellora.xml"));
        QVERIFY(!Loaded(dir->filePath("new/nested")).hasLocations);
    }

    // Each input of the fuzzer's corpus that once found a new path must still be read to
    // the end, and what was read must survive a save.
    void replaysTheFuzzCorpus()
    {
        QVERIFY(QDir(dir->path()).mkpath("in") && QDir(dir->path()).mkpath("out"));
        QDirIterator files(dataDir + "/fuzz-corpus", QDir::Files | QDir::Hidden);
        int count = 0;
        for (; files.hasNext(); ++count) {
            const Probe outcome
                = probe(bytesOf(files.next()), dir->filePath("in"), dir->filePath("out"));
            if (outcome.saved)
                QVERIFY2(outcome.reread == outcome.read, qPrintable(files.fileName()));
        }
        // An empty or missing folder would let this test pass without replaying anything.
        QVERIFY(count >= 10);
    }

    void sampleStores_data()
    {
        QTest::addColumn<StoreMaker>("maker");
        QTest::addColumn<QVector<int>>("counts"); // batteries, models, locations
        QTest::addColumn<QVector<int>>("each"); // cycles, flights; 0: any number
        QTest::addColumn<QVector<int>>("assigned"); // batteries per model, least and most
        QTest::addColumn<int>("megabytes"); // about; 0: any size
        QTest::newRow("ten years") << &tenYearStore << QVector<int> { 60, 15, 25 }
                                   << QVector<int> { 300, 1200 } << QVector<int> { 4, 8 } << 4;
        QTest::newRow("typical") << &typicalStore << QVector<int> { 8, 3, 4 }
                                 << QVector<int> { 40, 0 } << QVector<int> { 2, 5 } << 0;
        QTest::newRow("demo") << &demoStore << QVector<int> { 6, 2, 4 } << QVector<int> { 0, 0 }
                              << QVector<int> { 3, 4 } << 0;
        QTest::newRow("long names") << &longNamesStore << QVector<int> { 6, 2, 4 }
                                    << QVector<int> { 0, 0 } << QVector<int> { 3, 4 } << 0;
    }

    // Each generated store is consistent (a flight's date-time is a cycle entry of exactly
    // one battery of its model), placed by its anchor alone, and read and written back byte
    // for byte by the module and by the snapshot.
    void sampleStores()
    {
        QFETCH(StoreMaker, maker);
        QFETCH(QVector<int>, each);
        QFETCH(QVector<int>, assigned);
        const SampleStore store = maker(anchor);
        QTEST((QVector<int> { int(store.batteries.size()), int(store.models.size()),
                  int(store.locations.size()) }),
            "counts");
        QHash<QDateTime, QString> cycleOwners;
        QSet<QString> batteryNames;
        int cycleCount = 0, flightCount = 0;
        for (const SampleBattery &battery : store.batteries) {
            batteryNames.insert(battery.name);
            const QVector<SampleCycle> &cycles = battery.cycleData;
            QVERIFY(!cycles.isEmpty() && (each[0] == 0 || cycles.size() == each[0]));
            QCOMPARE(battery.cycles, uint(cycles.size()));
            QVERIFY(battery.purchase < cycles.first().date.date());
            QVERIFY(battery.lastUse > cycles.last().date);
            QDateTime previous;
            for (const SampleCycle &cycle : cycles) {
                QVERIFY(cycle.date > previous && cycle.date < anchor);
                QCOMPARE(cycle.date.time().msec(), 0);
                QVERIFY(cycle.discharged > 0 && cycle.discharged <= battery.capacity);
                QVERIFY(cycle.current > 0 && cycle.current <= 30000 && cycle.current % 100 == 0);
                cycleOwners.insert(cycle.date, battery.name);
                previous = cycle.date;
            }
            cycleCount += cycles.size();
        }
        QCOMPARE(cycleOwners.size(), cycleCount);
        QCOMPARE(batteryNames.size(), store.batteries.size());
        for (const SampleModel &model : store.models) {
            QVERIFY(model.batteries.size() >= assigned[0] && model.batteries.size() <= assigned[1]);
            QVERIFY(
                !model.flightLog.isEmpty() && (each[1] == 0 || model.flightLog.size() == each[1]));
            QVERIFY(model.purchase < model.flightLog.first().date.date());
            for (const QString &name : model.batteries)
                QVERIFY2(batteryNames.contains(name), qPrintable(name));
            for (const SampleFlight &flight : model.flightLog) {
                QVERIFY(store.locations.contains(flight.location));
                QVERIFY2(model.batteries.contains(cycleOwners.value(flight.date)),
                    qPrintable(model.name + flight.date.toString()));
            }
            flightCount += model.flightLog.size();
        }
        QCOMPARE(flightCount, cycleCount);

        QFETCH(int, megabytes);
        const auto written = [this](const SampleStore &generated, const QString &name) {
            return writeStoreFile(generated, dir->filePath(name)) ? bytesOf(dir->filePath(name))
                                                                  : QByteArray();
        };
        const QByteArray sample = written(store, "sample/cellora.xml");
        QVERIFY2(megabytes == 0 || qAbs(sample.size() / 1e6 - megabytes) < 1,
            qPrintable(QString::number(sample.size())));
        QVERIFY(written(maker(anchor), "again.xml") == sample);
        QVERIFY(written(maker(anchor.addDays(7)), "later.xml") != sample);
        Loaded(dir->filePath("sample")).saveTo(dir->filePath("module"));
        // Line by line, so that a difference names its line.
        QCOMPARE(bytesOf(dir->filePath("module/cellora.xml")).split('\n'), sample.split('\n'));
        StoreSnapshot fromFile, fromBytes;
        QVERIFY(fromFile.readFile(dir->filePath("sample/cellora.xml")) && !fromFile.damaged());
        QCOMPARE(fromFile.toBytes().split('\n'), sample.split('\n'));
        fromBytes.readBytes(sample);
        QVERIFY(fromBytes.toBytes() == sample);
        QCOMPARE(fromBytes.models.size(), store.models.size());
        QCOMPARE(fromBytes.flights().size(), flightCount);
    }

    // Damage is reported, a missing file is no store, and an empty store or empty bytes are
    // an empty store.
    void snapshotReadFaults()
    {
        StoreSnapshot snapshot;
        QVERIFY(!snapshot.readFile(QStringLiteral("/nonexistent/cellora.xml")));
        snapshot.readBytes("<Cellora><Model><Name>A</Name></Model><Model><Name>B</Na");
        QVERIFY(snapshot.damaged());
        QCOMPARE(snapshot.models.size(), 2);
        snapshot.readBytes("not a store");
        QVERIFY(snapshot.damaged());
        snapshot.readBytes(QByteArray());
        QVERIFY(!snapshot.damaged() && snapshot.models.isEmpty());
        QVERIFY(writeStoreFile(SampleStore(), dataFileIn(dir->path())));
        QVERIFY(snapshot.readFile(dataFileIn(dir->path())));
        QCOMPARE(snapshot.toBytes(), bytesOf(dataFileIn(dir->path())));
    }

    // Flights pair with cycle entries of the same moment, undated with undated; the later
    // battery wins, and within a battery its first entry.
    void snapshotPairing()
    {
        const QDateTime t1(QDate(2024, 3, 1), QTime(9, 0));
        const QDateTime t2 = t1.addSecs(600);
        StoreSnapshot snapshot;
        snapshot.batteries.resize(3);
        snapshot.batteries[0].cycleData = { { t1, 100, 1 }, { QDateTime(), 200, 2 } };
        snapshot.batteries[1].cycleData = { { t1, 300, 3 }, { t1, 400, 4 } };
        snapshot.batteries[2].cycleData = { { t2.addSecs(1), 500, 5 } };
        snapshot.models.resize(1);
        for (const QDateTime &moment : { t1, QDateTime(), t2 })
            snapshot.models[0].flightLog.append({ moment, QTime(), QString(), 0, QString() });
        snapshot.pairFlights();
        QStringList paired;
        for (const StoreSnapshot::Flight &flight : snapshot.flights()) {
            const StoreSnapshot::Cycle *cycle = snapshot.cycleOf(flight);
            paired << QStringLiteral("%1/%2:%3")
                          .arg(flight.cycle.battery)
                          .arg(flight.cycle.cycle)
                          .arg(cycle ? cycle->discharged : 0);
        }
        QCOMPARE(paired, QStringList({ "1/0:300", "0/1:200", "-1/-1:0" }));
        QCOMPARE(snapshot.batteryOf(snapshot.flights().at(2)), nullptr);
    }
};

QTEST_MAIN(TestStore)
#include "tst_store.moc"
