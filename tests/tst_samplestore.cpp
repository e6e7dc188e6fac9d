#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "sample/samplestore.h"
#include "store/dataprocessor.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using StoreMaker = SampleStore (*)(const QDateTime &);
Q_DECLARE_METATYPE(StoreMaker)

namespace {

SampleStore emptyStore(const QDateTime &)
{
    return SampleStore();
}

QList<QByteArray> fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The battery whose cycle data holds this date-time, among the given names.
bool flownWithOneOf(const SampleStore &store, const QStringList &names, const QDateTime &when)
{
    for (const SampleBattery &battery : store.batteries) {
        if (!names.contains(battery.name))
            continue;
        for (const SampleCycle &cycle : battery.cycleData) {
            if (cycle.date == when)
                return true;
        }
    }
    return false;
}

} // namespace

class TestSampleStore : public QObject {
    Q_OBJECT

private slots:
    void storesAreConsistent_data();
    void storesAreConsistent();
    void moduleWritesTheSameBytes_data();
    void moduleWritesTheSameBytes();
    void generatorsAreDeterministic_data();
    void generatorsAreDeterministic();
    void tenYearStoreIsAboutFourMegabytes();

private:
    const QDateTime anchor { QDate(2024, 6, 15), QTime(12, 0) };
};

void TestSampleStore::storesAreConsistent_data()
{
    QTest::addColumn<StoreMaker>("maker");
    QTest::addColumn<int>("batteryCount");
    QTest::addColumn<int>("cyclesPerBattery"); // 0: any number
    QTest::addColumn<int>("modelCount");
    QTest::addColumn<int>("flightsPerModel"); // 0: any number
    QTest::addColumn<int>("locationCount");
    QTest::addColumn<int>("minAssigned");
    QTest::addColumn<int>("maxAssigned");

    QTest::newRow("ten years") << &tenYearStore << 60 << 300 << 15 << 1200 << 25 << 4 << 8;
    QTest::newRow("typical") << &typicalStore << 8 << 40 << 3 << 0 << 4 << 2 << 5;
    QTest::newRow("demo") << &demoStore << 6 << 0 << 2 << 0 << 4 << 3 << 4;
}

void TestSampleStore::storesAreConsistent()
{
    QFETCH(StoreMaker, maker);
    QFETCH(int, batteryCount);
    QFETCH(int, cyclesPerBattery);
    QFETCH(int, modelCount);
    QFETCH(int, flightsPerModel);
    QFETCH(int, locationCount);
    QFETCH(int, minAssigned);
    QFETCH(int, maxAssigned);

    const SampleStore store = maker(anchor);
    QCOMPARE(store.batteries.size(), batteryCount);
    QCOMPARE(store.models.size(), modelCount);
    QCOMPARE(store.locations.size(), locationCount);

    QSet<QString> batteryNames;
    QSet<QDateTime> cycleDates;
    int cycleCount = 0;
    for (const SampleBattery &battery : store.batteries) {
        batteryNames.insert(battery.name);
        if (cyclesPerBattery > 0)
            QCOMPARE(battery.cycleData.size(), cyclesPerBattery);
        QCOMPARE(battery.cycles, uint(battery.cycleData.size()));
        QVERIFY(!battery.cycleData.isEmpty());
        QVERIFY(battery.purchase < battery.cycleData.constFirst().date.date());
        QVERIFY(battery.lastUse > battery.cycleData.constLast().date);
        QDateTime previous;
        for (const SampleCycle &cycle : battery.cycleData) {
            QVERIFY(cycle.date > previous && cycle.date < anchor);
            QCOMPARE(cycle.date.time().msec(), 0);
            QVERIFY(cycle.discharged > 0 && cycle.discharged <= battery.capacity);
            QVERIFY(cycle.current > 0 && cycle.current <= 30000);
            QCOMPARE(cycle.current % 100, 0u);
            cycleDates.insert(cycle.date);
            previous = cycle.date;
        }
        cycleCount += battery.cycleData.size();
    }
    QCOMPARE(batteryNames.size(), batteryCount);
    // Unique date-times let the logbook find exactly one battery for a flight.
    QCOMPARE(cycleDates.size(), cycleCount);

    int flightCount = 0;
    for (const SampleModel &model : store.models) {
        QVERIFY2(model.batteries.size() >= minAssigned && model.batteries.size() <= maxAssigned,
            qPrintable(model.name));
        for (const QString &name : model.batteries)
            QVERIFY2(batteryNames.contains(name), qPrintable(name));
        if (flightsPerModel > 0)
            QCOMPARE(model.flightLog.size(), flightsPerModel);
        QVERIFY(!model.flightLog.isEmpty());
        QVERIFY(model.purchase < model.flightLog.constFirst().date.date());
        for (const SampleFlight &flight : model.flightLog) {
            QVERIFY(store.locations.contains(flight.location));
            QVERIFY2(flownWithOneOf(store, model.batteries, flight.date),
                qPrintable(model.name + flight.date.toString()));
        }
        flightCount += model.flightLog.size();
    }
    QCOMPARE(flightCount, cycleCount);
}

void TestSampleStore::moduleWritesTheSameBytes_data()
{
    QTest::addColumn<StoreMaker>("maker");
    QTest::newRow("empty") << &emptyStore;
    QTest::newRow("demo") << &demoStore;
    QTest::newRow("typical") << &typicalStore;
    QTest::newRow("ten years") << &tenYearStore;
}

void TestSampleStore::moduleWritesTheSameBytes()
{
    QFETCH(StoreMaker, maker);
    const SampleStore store = maker(anchor);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString samplePath = dir.filePath(QStringLiteral("sample/cellora.xml"));
    QVERIFY(writeStoreFile(store, samplePath));

    DataProcessor reader;
    reader.setStoragePath(dir.filePath(QStringLiteral("sample")));
    QStringList locations;
    QVector<ModelWidget *> models;
    QVector<BatteryWidget *> batteries;
    const auto freeRecords = qScopeGuard([&] {
        qDeleteAll(models);
        qDeleteAll(batteries);
    });
    QCOMPARE(reader.readLocations(locations), !store.locations.isEmpty());
    reader.readModels(models);
    reader.readBatteries(batteries);
    QCOMPARE(locations, store.locations);
    QCOMPARE(models.size(), store.models.size());
    QCOMPARE(batteries.size(), store.batteries.size());

    DataProcessor writer;
    writer.setStoragePath(dir.filePath(QStringLiteral("module")));
    writer.writeData(batteries, models, locations);

    const QList<QByteArray> expected = fileLines(samplePath);
    const QList<QByteArray> written = fileLines(dir.filePath(QStringLiteral("module/cellora.xml")));
    QVERIFY(expected.size() > 3);
    for (int i = 0; i < qMin(expected.size(), written.size()); ++i) {
        if (written.at(i) != expected.at(i))
            QFAIL(qPrintable(
                QStringLiteral("line %1 differs:\n  sample: %2\n  module: %3")
                    .arg(i + 1)
                    .arg(QString::fromUtf8(expected.at(i)), QString::fromUtf8(written.at(i)))));
    }
    QCOMPARE(written.size(), expected.size());
}

void TestSampleStore::generatorsAreDeterministic_data()
{
    QTest::addColumn<StoreMaker>("maker");
    QTest::newRow("demo") << &demoStore;
    QTest::newRow("typical") << &typicalStore;
    QTest::newRow("ten years") << &tenYearStore;
}

void TestSampleStore::generatorsAreDeterministic()
{
    QFETCH(StoreMaker, maker);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString first = dir.filePath(QStringLiteral("first.xml"));
    const QString second = dir.filePath(QStringLiteral("second.xml"));
    QVERIFY(writeStoreFile(maker(anchor), first));
    QVERIFY(writeStoreFile(maker(anchor), second));
    const QByteArray bytes = fileBytes(first);
    QVERIFY(!bytes.isEmpty());
    QVERIFY(bytes == fileBytes(second));

    // The anchor, not the clock, places the dates.
    const QString later = dir.filePath(QStringLiteral("later.xml"));
    QVERIFY(writeStoreFile(maker(anchor.addDays(7)), later));
    QVERIFY(bytes != fileBytes(later));
}

void TestSampleStore::tenYearStoreIsAboutFourMegabytes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("cellora.xml"));
    QVERIFY(writeStoreFile(tenYearStore(anchor), path));
    const qint64 size = QFileInfo(path).size();
    QVERIFY2(size >= 3'000'000 && size <= 6'000'000, qPrintable(QString::number(size)));
}

QTEST_MAIN(TestSampleStore)
#include "tst_samplestore.moc"
