// The store's save writes again only the records that changed, and one pass over the file
// serves all three readers: both must give exactly what one writer over the whole store and
// three separate reader passes give, on good and on damaged files.

#include "store/recordwriter.h"
#include "store/rescuecopies.h"
#include "storesupport.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <memory>

using namespace TestSupport;

namespace {

const QDateTime anchor(QDate(2024, 3, 2), QTime(14, 5, 9));

QByteArray writtenForm(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    return RecordWriter::wholeDocument(StoreValues::of(batteries, models, locations));
}

QByteArray writtenForm(const Loaded &load)
{
    return writtenForm(load.batteries, load.models, load.locations);
}

// The readers each in a pass of its own: models and batteries first, as no pass is then
// shared with them.
QByteArray readInThreePasses(const QString &folder)
{
    DataProcessor store;
    store.setStoragePath(folder);
    Loaded load;
    store.readModels(load.models);
    store.readBatteries(load.batteries);
    store.readLocations(load.locations);
    return writtenForm(load);
}

void setZone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
}

QString hostileText(QRandomGenerator &random)
{
    static const QStringList parts { "<b>&amp;\"'", "\t\n\r", QString(QChar(0x01)),
        QString(QChar(0xD800)), "]]>", "Flug \u00FC\U0001F681", "  ", "ok" };
    QString text;
    for (int i = random.bounded(4); i >= 0; --i)
        text += parts.at(random.bounded(parts.size()));
    return text;
}

// Changes the file as someone else might, now and then so that it stays well-formed but
// holds what the readers skip, or breaks it.
QByteArray outsideChange(QByteArray bytes, QRandomGenerator &random)
{
    static const QVector<QPair<QByteArray, QByteArray>> edits { { "<Cycle ", "<Cxcle " },
        { "Discharged=", "DisCharged=" }, { "2024", "u022" }, { "</Notes>", "<b>x</b></Notes>" },
        { "<Battery>", "<BatteryModel>" }, { "</Locations>", "<Locations/></Locations>" },
        { "<Data>", "<Data><Data/>" }, { "<Cellora>", "<Cellora><Location Name=\"q\"/>" },
        { "    ", "\t" }, { "<Capacity>", "<Capacity>1" },
        { "</Model>", "<Extra>x</Extra></Model>" } };
    const auto &edit = edits.at(random.bounded(edits.size()));
    const int at = bytes.indexOf(edit.first, random.bounded(qMax(1, bytes.size())));
    const int from = at >= 0 ? at : bytes.indexOf(edit.first);
    if (from >= 0)
        bytes.replace(from, edit.first.size(), edit.second);
    if (random.bounded(8) == 0)
        bytes[random.bounded(bytes.size())] = char(random.bounded(32, 127));
    return bytes;
}

template <typename Record> Record *anyOf(const QVector<Record *> &records, QRandomGenerator &random)
{
    return records.isEmpty() ? nullptr : records.at(random.bounded(records.size()));
}

void fullDischarge(Loaded &load, QRandomGenerator &random, const QDateTime &when)
{
    if (BatteryWidget *battery = anyOf(load.batteries, random)) {
        battery->addCycleData(when, random.bounded(5000u), random.bounded(9000u), false);
        battery->setBatteryCycles(battery->batteryCycles() + 1);
        battery->setBatteryCharged(false, false);
    }
    if (ModelWidget *model = anyOf(load.models, random)) {
        model->addLogData({ when, QTime(0, random.bounded(60), random.bounded(60)),
            hostileText(random), random.bounded(-20, 40), hostileText(random) });
        model->setModelFlights(model->modelFlights() + 1);
    }
}

// A click on a card, a discharge, an edit of any kind of record, or a change of time zone.
void edit(Loaded &load, QRandomGenerator &random, const QDateTime &when)
{
    BatteryWidget *battery = anyOf(load.batteries, random);
    ModelWidget *model = anyOf(load.models, random);
    switch (random.bounded(9)) {
    case 0:
        if (battery) {
            battery->setBatteryCharged(!battery->batteryCharged(), false);
            battery->setLastUpdated(when);
        }
        break;
    case 1:
        fullDischarge(load, random, when);
        break;
    case 2:
        if (model)
            model->setNotes(hostileText(random));
        break;
    case 3:
        if (battery)
            battery->setBatteryName(hostileText(random));
        break;
    case 4:
        if (battery)
            delete load.batteries.takeAt(load.batteries.indexOf(battery));
        break;
    case 5:
        battery = new BatteryWidget;
        battery->setBatteryName(hostileText(random));
        battery->setBatteryCapacity(random.bounded(9000u));
        load.batteries.insert(random.bounded(load.batteries.size() + 1), battery);
        break;
    case 6:
        if (model)
            model->addBattery(hostileText(random));
        break;
    case 7:
        load.locations.append(hostileText(random));
        break;
    default:
        setZone(random.bounded(2) ? "Europe/Berlin" : "UTC");
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
    for (quint32 seed : { 1u, 2u, 3u, 4u })
        QTest::addRow("seed %u", seed) << seed;
}

// 250 steps per seed. After each: the cached save is byte for byte one writer's whole
// document, the shared pass reads what three passes read, and a file the writer would not
// make again from what was read is kept as a rescue copy before it is overwritten.
void StoreCacheTest::randomSessionsMatchOneWriterAndThreePasses()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    QTemporaryDir folder;
    const QString path = dataFileIn(folder.path());
    QVERIFY(writeStoreFile(typicalStore(anchor), path));
    const QByteArray otherStore = bytesOf(path);
    QVERIFY(writeStoreFile(demoStore(anchor), path));
    DataProcessor store;
    store.setStoragePath(folder.path());
    auto load = std::make_unique<Loaded>(store);
    for (int step = 0; step < 250; ++step) {
        const int action = random.bounded(10);
        QByteArray outside; // the file's bytes as someone else wrote them
        if (action <= 7) {
            edit(*load, random, anchor.addSecs(600 * step));
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
        if (action >= 8) { // someone else's bytes: reread them, in one pass and in three
            load = std::make_unique<Loaded>(store);
            QCOMPARE(writtenForm(*load), readInThreePasses(folder.path()));
        }
        store.writeData(load->batteries, load->models, load->locations);
        const QString where = QStringLiteral("step %1, action %2").arg(step).arg(action);
        QVERIFY2(outside.isEmpty() || writtenForm(*load) == outside
                || contentsOf(RescueCopies(folder.path()).copies()).contains(outside),
            qPrintable(where + ": no rescue copy"));
        QVERIFY2(bytesOf(path) == writtenForm(*load), qPrintable(where));
        load = std::make_unique<Loaded>(store);
        QCOMPARE(writtenForm(*load), readInThreePasses(folder.path()));
    }
    setZone("UTC");
}

void StoreCacheTest::droppedContentIsKeptBeforeTheFirstSave_data()
{
    QTest::addColumn<StoreMaker>("maker");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    const QByteArray notes = "</Notes>", fault = "see <b>manual</b></Notes>";
    QTest::newRow("good file") << &demoStore << QByteArray() << QByteArray();
    QTest::newRow("unknown cycle") << &demoStore << QByteArray("<Cycle ") << QByteArray("<Cxcle ");
    QTest::newRow("unknown attribute")
        << &demoStore << QByteArray("Discharged=") << QByteArray("DisCharged=");
    QTest::newRow("unreadable date") << &demoStore << QByteArray("2024") << QByteArray("u022");
    QTest::newRow("fault in a model field") << &demoStore << notes << fault;
    QTest::newRow("ten years, fault in a model field") << &tenYearStore << notes << fault;
}

// Whatever the readers skip or drop, or a fault that stops one reader while the next reads
// cleanly, leaves the file's bytes in a rescue copy before a save overwrites them.
void StoreCacheTest::droppedContentIsKeptBeforeTheFirstSave()
{
    QFETCH(StoreMaker, maker);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QTemporaryDir folder;
    const QString path = dataFileIn(folder.path());
    QVERIFY(writeStoreFile(maker(anchor), path));
    QByteArray bytes = bytesOf(path);
    // the models come after the batteries: the fault is in the second model of the file
    const int fault = bytes.indexOf(from, bytes.indexOf(from, bytes.indexOf("<Model>")) + 1);
    if (!from.isEmpty())
        bytes.replace(fault, from.size(), to);
    QVERIFY(writeBytes(path, bytes));
    Loaded load(folder.path());
    QVERIFY(!load.batteries.isEmpty());
    load.store.writeData(load.batteries, load.models, load.locations);
    QCOMPARE(contentsOf(RescueCopies(folder.path()).copies()),
        from.isEmpty() ? QByteArrayList() : QByteArrayList { bytes });
}

QTEST_MAIN(StoreCacheTest)
#include "tst_storecache.moc"
