#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/dataprocessor.h"

#include <QBuffer>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString dataDir = QStringLiteral(CELLORA_TEST_DATA);
const QByteArray emptyStore
    = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE Cellora>\n<Cellora/>\n";

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QString iso(const QDateTime &when)
{
    if (!when.isValid())
        return "null";
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
        + (when.timeSpec() == Qt::LocalTime ? "" : " not local");
}

QString labelText(const BatteryWidget *battery, const char *name)
{
    return battery->findChild<QLabel *>(QLatin1String(name))->text();
}

// Every stored field of a record, as text, so that whole records compare as data.
QStringList fields(const BatteryWidget *b)
{
    QStringList all { b->batteryName(), QString::number(b->batteryCapacity()),
        QString::number(b->batteryChargeRate()), QString::number(b->batteryRating()),
        b->purchaseDate().toString(Qt::ISODate), QString::number(b->batteryCycles()),
        b->batteryCharged() ? "charged" : "empty", iso(b->lastUpdated()) };
    for (int i = 0; i < b->cycleDates().size(); ++i)
        all << QString("%1 mAh %2 A/100 at %3")
                   .arg(b->cycleDischarged().value(i))
                   .arg(b->cycleCurrents().value(i))
                   .arg(iso(b->cycleDates().at(i)));
    return all;
}

QStringList fields(const ModelWidget *m)
{
    QStringList all { m->modelName(), m->modelType(), QString::number(m->modelWeight()),
        QString::number(m->modelSize()), m->purchaseDate().toString(Qt::ISODate),
        QString::number(m->modelFlights()), m->notes(), iso(m->lastUpdate()) };
    for (const QString &battery : m->modelBatteries())
        all << "battery " + battery;
    for (const LogData &entry : m->flightLog())
        all << QString("flight %1 %2 at %3, %4 degrees: %5")
                   .arg(iso(entry.date), entry.duration.toString(), entry.location)
                   .arg(entry.temperature)
                   .arg(entry.notes);
    return all;
}

// What the three readers make of the data file. Owns the records it read.
struct Loaded {
    explicit Loaded(DataProcessor &store)
    {
        hasLocations = store.readLocations(locations);
        store.readModels(models);
        store.readBatteries(batteries);
    }
    ~Loaded()
    {
        qDeleteAll(models);
        qDeleteAll(batteries);
    }
    QStringList allFields() const
    {
        QStringList all = locations;
        for (const ModelWidget *model : models)
            all << fields(model);
        for (const BatteryWidget *battery : batteries)
            all << fields(battery);
        return all;
    }

    bool hasLocations = false;
    QStringList locations;
    QVector<ModelWidget *> models;
    QVector<BatteryWidget *> batteries;
};

} // namespace

class TestStore : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    DataProcessor store;

    void loadFixture(const QString &name)
    {
        QFile::remove(store.dataFilePath());
        QVERIFY(QFile::copy(dataDir + '/' + name, store.dataFilePath()));
    }

    void loadRoot(const QByteArray &children)
    {
        putFile(
            store.dataFilePath(), "<?xml version=\"1.0\"?>\n<Cellora>" + children + "</Cellora>\n");
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
        store.setStoragePath(dir->path());
    }

    // The hand-written fixture holds every kind of field; reading it and writing it back
    // must give the same records and the same text.
    void fullStoreRoundTrip()
    {
        loadFixture("store_full.xml");
        const Loaded loaded(store);
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
        // The card shows the last data point, or nothing without data.
        QCOMPARE(labelText(loaded.batteries[0], "lbl_discharged"), "3350mAh");
        QCOMPARE(labelText(loaded.batteries[0], "lbl_maxCurrent"), "12.50A");
        QCOMPARE(labelText(loaded.batteries[1], "lbl_discharged"), "0mAh");
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

        store.setStoragePath(dir->filePath("copy"));
        store.writeData(loaded.batteries, loaded.models, loaded.locations);
        // Whole line lists: a truncated or padded file cannot pass.
        QCOMPARE(contentOf(store.dataFilePath()).split('\n'),
            contentOf(dataDir + "/store_full.xml").split('\n'));
        QCOMPARE(Loaded(store).allFields(), loaded.allFields());
    }

    void readsUnusualButWellFormedFiles()
    {
        const QDateTime before = QDateTime::currentDateTime();
        // Root children in another order, names inside foreign elements, a LastUse before
        // Charged, a child after Data, a bare Cycle, a second name attribute, bad numbers.
        loadRoot(
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
        const Loaded loaded(store);
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
        QCOMPARE(labelText(battery, "lbl_discharged"), "0mAh");
        QCOMPARE(labelText(battery, "lbl_maxCurrent"), "0.0A");
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
        const Loaded loaded(store);
        int cycles = 0;
        for (const BatteryWidget *battery : loaded.batteries) {
            cycles += battery->cycleDates().size();
            QVERIFY(battery->batteryName().size() < 100); // no entity expansion, no deep names
        }
        int flights = 0;
        for (const ModelWidget *model : loaded.models)
            flights += model->flightLog().size();
        QCOMPARE(QStringList({ QString::number(loaded.locations.size()),
                                 QString::number(loaded.models.size()),
                                 QString::number(loaded.batteries.size()), QString::number(cycles),
                                 QString::number(flights) })
                     .join(' '),
            expected);
        QCOMPARE(loaded.hasLocations, !loaded.locations.isEmpty());
    }

    // Saves go into the storage folder only, which is made when missing.
    void writesOnlyWholeFilesIntoItsFolder()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        DataProcessor unset;
        unset.writeData({}, {}, { "Field" });
        const bool wroteIntoWorkingFolder = QFile::exists("cellora.xml");
        // Without a folder the readers look into the working folder.
        putFile(
            "cellora.xml", "<Cellora><Locations><Location Name=\"Here\"/></Locations></Cellora>");
        QStringList locations;
        unset.readLocations(locations);
        QDir::setCurrent(previous);
        QVERIFY(!wroteIntoWorkingFolder);
        QCOMPARE(locations, QStringList("Here"));

        store.setStoragePath(dir->filePath("new/nested"));
        store.writeData({}, {}, { "Old" });
        QVERIFY(contentOf(store.dataFilePath()).contains("Old"));
        QCOMPARE(QDir(dir->filePath("new/nested")).entryList(QDir::Files | QDir::Hidden),
            QStringList("cellora.xml"));

        store.writeData({}, {}, {});
        QCOMPARE(contentOf(store.dataFilePath()), emptyStore);
        const Loaded loaded(store);
        QVERIFY(!loaded.hasLocations);
        QVERIFY(loaded.allFields().isEmpty());
    }

    // An import copies line by line and ends every line with a single line feed; the
    // window's tests check the same for exports.
    void importsLineByLine()
    {
        QBuffer source;
        source.setData("<Cellora>\r\n  Süd\r\n\r\n</Cellora>");
        source.open(QIODevice::ReadOnly);
        QVERIFY(store.importData(&source));
        QCOMPARE(contentOf(store.dataFilePath()), "<Cellora>\n  Süd\n\n</Cellora>\n");
    }
};

QTEST_MAIN(TestStore)
#include "tst_store.moc"
