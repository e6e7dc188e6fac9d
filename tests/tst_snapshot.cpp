#include "sample/samplestore.h"
#include "store/storesnapshot.h"
#include "storesupport.h"

#include <QtTest>

using namespace TestSupport;

class TestSnapshot : public QObject {
    Q_OBJECT

private slots:
    // Unchanged content goes back byte for byte, whether read from the file or from memory.
    void roundTrip_data()
    {
        const QDateTime anchor(QDate(2024, 6, 1), QTime(12, 0));
        QTest::addColumn<SampleStore>("store");
        QTest::newRow("typical") << typicalStore(anchor);
        QTest::newRow("demo") << demoStore(anchor);
        QTest::newRow("long names") << longNamesStore(anchor);
        QTest::newRow("empty") << SampleStore();
    }
    void roundTrip()
    {
        QFETCH(SampleStore, store);
        QTemporaryDir dir;
        const QString path = dir.filePath(dataFileName());
        QVERIFY(writeStoreFile(store, path));
        StoreSnapshot fromFile;
        QVERIFY(fromFile.readFile(path));
        QVERIFY(!fromFile.damaged());
        QCOMPARE(fromFile.toBytes(), bytesOf(path));
        StoreSnapshot fromBytes;
        fromBytes.readBytes(bytesOf(path));
        QCOMPARE(fromBytes.toBytes(), bytesOf(path));
        QCOMPARE(fromBytes.models.size(), store.models.size());
        QCOMPARE(fromBytes.flights().size(), fromFile.flights().size());
    }

    // Damage is reported, a missing file is no store, and empty bytes are an empty store.
    void readFaults()
    {
        StoreSnapshot snapshot;
        QVERIFY(!snapshot.readFile(QStringLiteral("/nonexistent/cellora.xml")));
        snapshot.readBytes("<Cellora><Model><Name>A</Name></Model><Model><Name>B</Na");
        QVERIFY(snapshot.damaged());
        QCOMPARE(snapshot.models.size(), 2);
        snapshot.readBytes("not a store");
        QVERIFY(snapshot.damaged());
        snapshot.readBytes(QByteArray());
        QVERIFY(!snapshot.damaged());
        QVERIFY(snapshot.models.isEmpty());
    }

    // Flights pair with cycle entries of the same moment, undated with undated; the later
    // battery wins, and within a battery its first entry.
    void pairing()
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

QTEST_MAIN(TestSnapshot)
#include "tst_snapshot.moc"
