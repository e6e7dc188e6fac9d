// The store's save writes again only the records that changed, and one pass over the file
// serves all three readers: both must give exactly what one writer over the whole store and
// three separate reader passes give, on good and on damaged files.

#include "sample/samplestore.h"
#include "store/recordwriter.h"
#include "store/rescuecopies.h"
#include "storesupport.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <memory>

using TestSupport::bytesOf;
using TestSupport::Loaded;
using TestSupport::writeBytes;

namespace {

QByteArray writtenForm(const Loaded &load)
{
    return RecordWriter::wholeDocument(
        StoreValues::of(load.batteries, load.models, load.locations));
}

// The readers each in a pass of its own: models and batteries first, as no pass is then
// shared with them.
QByteArray readInThreePasses(const QString &folder)
{
    DataProcessor store;
    store.setStoragePath(folder);
    QVector<ModelWidget *> models;
    QVector<BatteryWidget *> batteries;
    QStringList locations;
    store.readModels(models);
    store.readBatteries(batteries);
    store.readLocations(locations);
    const QByteArray form
        = RecordWriter::wholeDocument(StoreValues::of(batteries, models, locations));
    qDeleteAll(models);
    qDeleteAll(batteries);
    return form;
}

void setZone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
}

QString hostileText(QRandomGenerator &random)
{
    static const QStringList parts { QStringLiteral("<b>&amp;\"'"), QStringLiteral("\t\n\r"),
        QString(QChar(0x01)), QString(QChar(0xD800)), QStringLiteral("]]>"),
        QStringLiteral("Flug \u00FC\U0001F681"), QStringLiteral("  "), QStringLiteral("ok") };
    QString text;
    for (int i = random.bounded(4); i >= 0; --i)
        text += parts.at(random.bounded(parts.size()));
    return text;
}

// Changes the file as someone else might, now and then so that it stays well-formed but
// holds what the readers skip, or breaks it.
QByteArray outsideChange(QByteArray bytes, QRandomGenerator &random)
{
    static const QVector<QPair<QByteArray, QByteArray>> edits {
        { "<Cycle ", "<Cxcle " },
        { "Discharged=", "DisCharged=" },
        { "2024", "u022" },
        { "</Notes>", "<b>x</b></Notes>" },
        { "<Battery>", "<BatteryModel>" },
        { "</Locations>", "<Locations/></Locations>" },
        { "<Data>", "<Data><Data/>" },
        { "<Cellora>", "<Cellora><Location Name=\"q\"/>" },
        { "    ", "\t" },
        { "<Capacity>", "<Capacity>1" },
        { "</Model>", "<Extra>x</Extra></Model>" },
    };
    const auto &edit = edits.at(random.bounded(edits.size()));
    const int at = bytes.indexOf(edit.first, random.bounded(qMax(1, bytes.size())));
    const int from = at >= 0 ? at : bytes.indexOf(edit.first);
    if (from >= 0)
        bytes.replace(from, edit.first.size(), edit.second);
    if (random.bounded(8) == 0)
        bytes[random.bounded(bytes.size())] = char(random.bounded(32, 127));
    return bytes;
}

void fullDischarge(Loaded &load, QRandomGenerator &random, const QDateTime &when)
{
    if (load.batteries.isEmpty())
        return;
    BatteryWidget *battery = load.batteries.at(random.bounded(load.batteries.size()));
    battery->addCycleData(when, random.bounded(5000u), random.bounded(9000u), false);
    battery->setBatteryCycles(battery->batteryCycles() + 1);
    battery->setBatteryCharged(false, false);
    if (load.models.isEmpty())
        return;
    ModelWidget *model = load.models.at(random.bounded(load.models.size()));
    LogData flight;
    flight.date = when;
    flight.duration = QTime(0, random.bounded(60), random.bounded(60));
    flight.location = hostileText(random);
    flight.temperature = random.bounded(-20, 40);
    flight.notes = hostileText(random);
    model->addLogData(flight);
    model->setModelFlights(model->modelFlights() + 1);
}

void edit(Loaded &load, QRandomGenerator &random)
{
    const int kind = random.bounded(7);
    if (kind == 0 && !load.models.isEmpty())
        load.models.at(random.bounded(load.models.size()))->setNotes(hostileText(random));
    if (kind == 1 && !load.batteries.isEmpty())
        load.batteries.at(random.bounded(load.batteries.size()))
            ->setBatteryName(hostileText(random));
    if (kind == 2 && !load.batteries.isEmpty())
        delete load.batteries.takeAt(random.bounded(load.batteries.size()));
    if (kind == 3) {
        auto *battery = new BatteryWidget;
        battery->setBatteryName(hostileText(random));
        battery->setBatteryCapacity(random.bounded(9000u));
        load.batteries.insert(random.bounded(load.batteries.size() + 1), battery);
    }
    if (kind == 4 && !load.models.isEmpty())
        load.models.at(random.bounded(load.models.size()))->addBattery(hostileText(random));
    if (kind == 5)
        load.locations.append(hostileText(random));
    if (kind == 6 && !load.models.isEmpty()) { // a flight like the last, one value apart
        ModelWidget *model = load.models.at(random.bounded(load.models.size()));
        LogData flight = model->flightLog().isEmpty() ? LogData() : model->flightLog().last();
        const int field = random.bounded(5);
        flight.notes += field == 0 ? QStringLiteral("x") : QString();
        flight.location += field == 1 ? QStringLiteral("x") : QString();
        flight.temperature += field == 2 ? 1 : 0;
        flight.date = flight.date.addSecs(field == 3 ? 1 : 0);
        flight.duration = flight.duration.addSecs(field == 4 ? 1 : 0);
        model->addLogData(flight);
    }
}

} // namespace

class StoreCacheTest : public QObject {
    Q_OBJECT

private slots:
    void randomSessionsMatchOneWriterAndThreePasses_data();
    void randomSessionsMatchOneWriterAndThreePasses();
    void droppedContentIsKeptBeforeTheFirstSave_data();
    void droppedContentIsKeptBeforeTheFirstSave();
};

void StoreCacheTest::randomSessionsMatchOneWriterAndThreePasses_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("steps");
    for (quint32 seed : { 1u, 2u, 3u, 4u })
        QTest::addRow("seed %u", seed) << seed << 250;
}

// After every step: the cached save is byte for byte one writer's whole document, the
// shared pass reads what three passes read, and a file the writer would not make again
// from what was read is kept as a rescue copy before it is overwritten.
void StoreCacheTest::randomSessionsMatchOneWriterAndThreePasses()
{
    QFETCH(quint32, seed);
    QFETCH(int, steps);
    QRandomGenerator random(seed);
    QTemporaryDir folder;
    const QDateTime anchor(QDate(2024, 3, 2), QTime(14, 5, 9));
    QVERIFY(writeStoreFile(typicalStore(anchor), folder.filePath(QStringLiteral("cellora.xml"))));
    const QByteArray otherStore = bytesOf(folder.filePath(QStringLiteral("cellora.xml")));
    QVERIFY(writeStoreFile(demoStore(anchor), folder.filePath(QStringLiteral("cellora.xml"))));
    DataProcessor store;
    store.setStoragePath(folder.path());
    const QString path = store.dataFilePath();
    auto load = std::make_unique<Loaded>(store);
    QByteArray outside; // the file's bytes when someone else wrote them last
    for (int step = 0; step < steps; ++step) {
        const QDateTime when = anchor.addSecs(600 * step);
        const int action = random.bounded(10);
        if (action <= 2) { // a click on a card
            if (!load->batteries.isEmpty()) {
                BatteryWidget *battery = load->batteries.at(random.bounded(load->batteries.size()));
                battery->setBatteryCharged(!battery->batteryCharged(), false);
                battery->setLastUpdated(when);
            }
        } else if (action <= 4) {
            fullDischarge(*load, random, when);
        } else if (action <= 6) {
            edit(*load, random);
        } else if (action == 7) {
            setZone(random.bounded(2) ? "Europe/Berlin" : "UTC");
        } else if (action == 8) {
            outside = outsideChange(bytesOf(path), random);
            QVERIFY(writeBytes(path, outside));
        } else {
            QBuffer source;
            source.setData(random.bounded(2) ? otherStore : bytesOf(path));
            source.open(QIODevice::ReadOnly);
            QVERIFY(store.importData(&source));
            outside = bytesOf(path);
        }
        if (action >= 8) {
            // someone else's bytes: reread them, in one pass and in three
            load = std::make_unique<Loaded>(store);
            QCOMPARE(writtenForm(*load), readInThreePasses(folder.path()));
            const bool reproducible = writtenForm(*load) == outside;
            store.writeData(load->batteries, load->models, load->locations);
            bool kept = false;
            for (const QString &copy : RescueCopies(folder.path()).copies())
                kept = kept || bytesOf(copy) == outside;
            QVERIFY2(reproducible || outside.isEmpty() || kept,
                qPrintable(QStringLiteral("step %1: no rescue copy").arg(step)));
        } else {
            store.writeData(load->batteries, load->models, load->locations);
        }
        QVERIFY2(bytesOf(path) == writtenForm(*load),
            qPrintable(QStringLiteral("step %1, action %2").arg(step).arg(action)));
        load = std::make_unique<Loaded>(store);
        QCOMPARE(writtenForm(*load), readInThreePasses(folder.path()));
    }
    setZone("UTC");
}

void StoreCacheTest::droppedContentIsKeptBeforeTheFirstSave_data()
{
    QTest::addColumn<bool>("tenYears");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<bool>("kept");
    QTest::newRow("good file") << false << QByteArray() << QByteArray() << false;
    QTest::newRow("unknown cycle")
        << false << QByteArray("<Cycle ") << QByteArray("<Cxcle ") << true;
    QTest::newRow("unknown attribute")
        << false << QByteArray("Discharged=") << QByteArray("DisCharged=") << true;
    QTest::newRow("unreadable date") << false << QByteArray("2024") << QByteArray("u022") << true;
    QTest::newRow("fault in a model field")
        << false << QByteArray("</Notes>") << QByteArray("see <b>manual</b></Notes>") << true;
    QTest::newRow("ten years, fault in a model field")
        << true << QByteArray("</Notes>") << QByteArray("see <b>manual</b></Notes>") << true;
}

// Whatever the readers skip or drop, or a fault that stops one reader while the next
// reads cleanly, leaves the file's bytes in a rescue copy before a save overwrites them.
void StoreCacheTest::droppedContentIsKeptBeforeTheFirstSave()
{
    QFETCH(bool, tenYears);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(bool, kept);
    qunsetenv("TZ"); // the system's zone, which a read must leave as it found it
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("cellora.xml"));
    const QDateTime anchor(QDate(2024, 3, 2), QTime(14, 5, 9));
    QVERIFY(writeStoreFile(tenYears ? tenYearStore(anchor) : demoStore(anchor), path));
    QByteArray bytes = bytesOf(path);
    // the models come after the batteries: the fault is in the second model of the file
    const int fault = bytes.indexOf(from, bytes.indexOf(from, bytes.indexOf("<Model>")) + 1);
    if (!from.isEmpty())
        bytes.replace(fault, from.size(), to);
    QVERIFY(writeBytes(path, bytes));

    DataProcessor store;
    store.setStoragePath(folder.path());
    {
        const Loaded load(store);
        QVERIFY(!load.batteries.isEmpty());
        QVERIFY(!qEnvironmentVariableIsSet("TZ"));
        store.writeData(load.batteries, load.models, load.locations);
    }
    const QStringList copies = RescueCopies(folder.path()).copies();
    QCOMPARE(copies.size(), kept ? 1 : 0);
    if (kept)
        QCOMPARE(bytesOf(copies.first()), bytes);
}

QTEST_MAIN(StoreCacheTest)
#include "tst_storecache.moc"
