#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "sample/samplestore.h"
#include "store/dataprocessor.h"

#include <QtTest>

using StoreMaker = SampleStore (*)(const QDateTime &);
Q_DECLARE_METATYPE(StoreMaker)

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QDateTime anchor { QDate(2024, 6, 15), QTime(12, 0) };

} // namespace

class TestSampleStore : public QObject {
    Q_OBJECT

private slots:
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

    void sampleStores()
    {
        QFETCH(StoreMaker, maker);
        QFETCH(QVector<int>, counts);
        QFETCH(QVector<int>, each);
        QFETCH(QVector<int>, assigned);
        const SampleStore store = maker(anchor);
        QCOMPARE((QVector<int> { int(store.batteries.size()), int(store.models.size()),
                     int(store.locations.size()) }),
            counts);

        // Each cycle's date-time belongs to one battery, so the logbook finds exactly one
        // battery for a flight.
        QHash<QDateTime, QString> cycleOwners;
        QSet<QString> batteryNames;
        int cycleCount = 0;
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

        int flightCount = 0;
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

        // The anchor alone places the dates, and the module reads the file and writes it
        // back byte for byte.
        QFETCH(int, megabytes);
        QTemporaryDir dir;
        auto written = [&](const SampleStore &generated, const QString &name) {
            const QString path = dir.filePath(name);
            return writeStoreFile(generated, path) ? fileBytes(path) : QByteArray();
        };
        const QByteArray sample = written(store, "sample/cellora.xml");
        QVERIFY2(megabytes == 0 || qAbs(sample.size() / 1e6 - megabytes) < 1,
            qPrintable(QString::number(sample.size())));
        QVERIFY(written(maker(anchor), "again.xml") == sample);
        QVERIFY(written(maker(anchor.addDays(7)), "later.xml") != sample);

        DataProcessor processor;
        processor.setStoragePath(dir.filePath("sample"));
        QStringList locations;
        QVector<ModelWidget *> models;
        QVector<BatteryWidget *> batteries;
        const auto freeRecords = qScopeGuard([&] {
            qDeleteAll(models);
            qDeleteAll(batteries);
        });
        processor.readLocations(locations);
        processor.readModels(models);
        processor.readBatteries(batteries);
        processor.setStoragePath(dir.filePath("module"));
        processor.writeData(batteries, models, locations);
        // Line by line, so that a difference names its line.
        QCOMPARE(fileBytes(dir.filePath("module/cellora.xml")).split('\n'), sample.split('\n'));
    }
};

QTEST_MAIN(TestSampleStore)
#include "tst_samplestore.moc"
