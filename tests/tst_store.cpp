// The store on its own: its readers, writer, cache and text forms, the sample stores, the
// snapshot of plain values, the fuzzer's corpus, and telemetry logs read into a logbook.

#include "exchange/telemetryimport.h"
#include "exchange/telemetrylog.h"
#include "store/earlierreading.h"
#include "store/recordreader.h"
#include "sample/sampletelemetry.h"
#include "store/recordwriter.h"
#include "store/rescuecopies.h"
#include "store/storemerge.h"
#include "store/storesnapshot.h"
#include "store/syncbase.h"
#include "store/synccopies.h"
#include "store/textforms.h"
#include "storesupport.h"

#include <QBuffer>
#include <QDirIterator>
#include <QLabel>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include <ctime>
#include <memory>

using namespace TestSupport;
using Edit = void (*)(SampleStore &);
Q_DECLARE_METATYPE(TelemetryColumns)
using Edit = void (*)(SampleStore &);
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(std::function<QByteArray(QByteArray)>)
Q_DECLARE_METATYPE(RecordRules::Refusal)

namespace {

const QString dataDir = QStringLiteral(CELLORA_TEST_DATA);
const QByteArray emptyStore
    = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE Cellora>\n<Cellora/>\n";
const QDateTime anchor { QDate(2024, 6, 15), QTime(12, 0) };
const QString telemetryDir = dataDir + "/telemetry/";

void setZone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
    checkTimeZone();
}

// 1890 to 2120 in uneven steps: every weekday, month, leap day and daylight-saving change.
QVector<QDateTime> spreadOfDateTimes()
{
    QVector<QDateTime> all { { QDate(2024, 2, 29), QTime(0, 0) },
        { QDate(2023, 12, 31), QTime(23, 59, 59, 999) }, { QDate(2000, 2, 29), QTime(9, 5, 7, 5) },
        { QDate(2024, 3, 2), QTime(14, 5, 9, 120) } };
    QDateTime when(QDate(1890, 1, 1), QTime(0, 0), Qt::LocalTime);
    for (int i = 0; i < 5000; ++i) {
        when = when.addSecs(i % 7 == 0 ? 86400 * 23 + 3600 : 86400 * 16 + 4321).addMSecs(37);
        all << when;
    }
    return all;
}

// As text and as an instant, twice: the second read reuses the date-times of the first.
void compareReadingWithToolkit(const QStringList &texts)
{
    QStringList here, toolkit;
    for (int pass = 0; pass < 2; ++pass) {
        for (const QString &text : texts) {
            const QDateTime mine = parseDateTime(text);
            const QDateTime theirs = QDateTime::fromString(text, Qt::TextDate);
            here << iso(mine) + " at " + QString::number(mine.toMSecsSinceEpoch());
            toolkit << iso(theirs) + " at " + QString::number(theirs.toMSecsSinceEpoch());
        }
    }
    QCOMPARE(here, toolkit);
}

QByteArray writtenForm(const Loaded &load)
{
    return RecordWriter::wholeDocument(
        StoreValues::of(load.batteries, load.models, load.locations));
}

// Each reader in a pass of its own.
QByteArray readInThreePasses(const QString &folder)
{
    const QByteArray content = bytesOf(dataFileIn(folder));
    return RecordWriter::wholeDocument(
        RecordReader::read(content, RecordReader::Passes::OnePerKind).records);
}

// The widgets the store's readers make hold what its plain records hold (a battery stamped
// with the moment of reading counts as stamped alike): empty, or the two written forms.
QString widgetsAgainstRecords(const Loaded &loaded, const QByteArray &content, const QDateTime &now)
{
    StoreSnapshot snapshot;
    snapshot.readBytes(content);
    StoreValues records = StoreValues::of(snapshot);
    StoreValues widgets = StoreValues::of(loaded.batteries, loaded.models, loaded.locations);
    for (StoreValues *values : { &records, &widgets }) {
        for (BatteryValues &battery : values->batteries)
            battery.record.lastUse = battery.record.lastUse >= now ? now : battery.record.lastUse;
    }
    const QByteArray fromRecords = RecordWriter::wholeDocument(records);
    const QByteArray fromWidgets = RecordWriter::wholeDocument(widgets);
    return fromRecords == fromWidgets ? QString() : fromRecords + "\nwidgets:\n" + fromWidgets;
}

// All a reading gives, with the moments of reading from `now` on counted as `now`.
QString readingText(StoreReading reading, const QDateTime &now)
{
    QString text;
    for (BatteryRecord &battery : reading.records.batteries) {
        text += battery.lastUse >= now ? QStringLiteral("used now ")
                                       : battery.lastUse.toString(Qt::ISODateWithMs) + ' ';
        battery.lastUse = battery.lastUse >= now ? now : battery.lastUse;
    }
    text += QString::fromUtf8(RecordWriter::wholeDocument(reading.records));
    for (const BatteryReading &battery : reading.batteries)
        text += QStringLiteral(" fields %1 cycles %2").arg(battery.fieldsRead).arg(
            battery.cyclesBeforeLastChild);
    for (const bool damaged : reading.damaged)
        text += damaged ? " damaged" : " whole";
    return text;
}

using ByteEdit = std::function<QByteArray(QByteArray)>;

QString hostileText(QRandomGenerator &random)
{
    static const QStringList parts { "<b>&amp;\"'", "\t\n\r", QString(QChar(0x01)),
        QString(QChar(0xD800)), "]]>", "Flug \u00FC\U0001F681", "  ", "ok" };
    QString text;
    for (int i = random.bounded(4); i >= 0; --i)
        text += parts.at(random.bounded(parts.size()));
    return text;
}

// Another writer's change: often well-formed but skipped by the readers, sometimes broken.
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

// A lowest voltage and a resistance for a discharge: both, one or none known.
void setFigures(BatteryWidget *battery, int index, QRandomGenerator &random)
{
    battery->setCycleFigures(index, random.bounded(2) * random.bounded(1u, 3000u),
        random.bounded(2) * random.bounded(1u, 500u));
}

// A click on a card, a discharge, an edit of any kind of record, or a change of time zone.
// The figures of discharges come from their own generator, typed in now and then.
void edit(Loaded &load, QRandomGenerator &random, QRandomGenerator &figures, const QDateTime &when)
{
    BatteryWidget *battery = anyOf(load.batteries, random);
    ModelWidget *model = anyOf(load.models, random);
    const int kind = random.bounded(10);
    if (battery && !battery->cycleDates().isEmpty() && figures.bounded(4) == 0)
        setFigures(battery, figures.bounded(battery->cycleDates().size()), figures);
    if (kind == 0 && battery) {
        battery->setBatteryCharged(!battery->batteryCharged(), false);
        battery->setLastUpdated(when);
    } else if (kind == 1 && battery && model) {
        battery->addCycleData(when, random.bounded(5000u), random.bounded(9000u), false);
        setFigures(battery, battery->cycleDates().size() - 1, figures);
        battery->setBatteryCycles(battery->batteryCycles() + 1);
        battery->setBatteryCharged(false, false);
        model->addLogData({ when, QTime(0, random.bounded(60), random.bounded(60)),
            hostileText(random), random.bounded(-20, 40), hostileText(random) });
        model->setModelFlights(model->modelFlights() + 1);
    } else if (kind == 2 && model) {
        model->setNotes(hostileText(random));
    } else if (kind == 3 && battery) {
        battery->setBatteryName(hostileText(random));
    } else if (kind == 4 && battery) {
        delete load.batteries.takeAt(load.batteries.indexOf(battery));
    } else if (kind == 5) {
        battery = new BatteryWidget;
        battery->setBatteryName(hostileText(random));
        battery->setBatteryCapacity(random.bounded(9000u));
        load.batteries.insert(random.bounded(load.batteries.size() + 1), battery);
    } else if (kind == 6 && model) {
        model->addBattery(hostileText(random));
    } else if (kind == 7) {
        load.locations.append(hostileText(random));
    } else if (kind == 8) {
        setZone(random.bounded(2) ? "Europe/Berlin" : "UTC");
    } else if (kind == 9 && model) { // a flight like the last, one value apart
        LogData flight = model->flightLog().isEmpty() ? LogData() : model->flightLog().last();
        const int field = random.bounded(5);
        flight.notes += field == 0 ? "x" : "";
        flight.location += field == 1 ? "x" : "";
        flight.temperature += field == 2 ? 1 : 0;
        flight.date = flight.date.addSecs(field == 3 ? 1 : 0);
        flight.duration = flight.duration.addSecs(field == 4 ? 1 : 0);
        model->addLogData(flight);
    }
}

QDateTime at(int day, const char *time)
{
    return QDateTime(QDate(2026, 5, day), QTime::fromString(QLatin1String(time), "HH:mm:ss"));
}

// "start seconds mAh centiamperes millivolts" per flight, so a table row reads as a log.
QStringList describe(const QVector<TelemetryFlight> &flights)
{
    QStringList lines;
    for (const TelemetryFlight &flight : flights) {
        const TelemetryFigures figures = figuresOf(flight);
        lines << QString("%1 %2 %3 %4 %5")
                     .arg(flight.start.toString(QString("dd HH:mm:ss")))
                     .arg(flight.seconds)
                     .arg(figures.dischargedMah)
                     .arg(figures.maxCurrent)
                     .arg(flight.hasVoltage ? qRound(flight.minVoltage * 1000) : -1);
    }
    return lines;
}

// A made-up flight of known figures: from 10:00 for 60 s the current steps between 10 and
// 40 A every 2 s, on a 6-cell pack of 20 mΩ whose resting voltage falls from 4.1 to 3.9 V
// a cell, logged 5 times a second. By hand: 150 rows of 0.2 s at 10 A and 150 at 40 A use
// 416.7 mAh; the lowest voltage is the last 40 A row's, 6 × (4.1 − 0.2 × 59.8 / 60) −
// 40 A × 20 mΩ = 22.60 V.
SampleLogFlight knownFlight(int seconds = 60, double milliohms = 20, double noise = 0)
{
    SampleLogFlight flight;
    flight.start = at(1, "10:00:00");
    flight.seconds = seconds;
    flight.lowAmps = 10;
    flight.peakAmps = 40;
    flight.milliohms = milliohms;
    flight.noiseVolts = noise;
    return flight;
}

QByteArray knownLog(const QVector<SampleLogFlight> &flights, SampleLogStyle style = {})
{
    style.dropoutPercent = 0;
    style.voltDecimals = 2;
    return sampleTelemetryLog(flights, style, 7);
}

// Kestrel 700 X: Quick entries at 10:01 on the 1st (P1) and far from any logged flight, one
// with figures at 10:02:30 (P2).
SampleStore logbook()
{
    SampleBattery p1 = pack("P1", 5000, 25, 2), p2 = pack("P2", 5000, 25, 1);
    p1.cycleData = { { at(1, "10:01:00"), 0, 0 }, { at(3, "18:00:00"), 0, 0 } };
    p2.cycleData = { { at(1, "10:02:30"), 3100, 6000 } };
    SampleModel kestrel = model("Kestrel 700 X", { "P1", "P2" });
    kestrel.flightLog = { { at(1, "10:01:00"), QTime(0, 0), QString(), 0, QString() },
        { at(1, "10:02:30"), QTime(0, 4), QString(), 0, QString() },
        { at(3, "18:00:00"), QTime(0, 0), QString(), 0, QString() } };
    return { {}, { p1, p2 }, { kestrel } };
}

// What two machines shared before each changed it: A flew M twice, B is new; two fields.
SampleStore shared()
{
    SampleBattery a = pack("A", 2200, 25, 2);
    a.cycleData = { { at(1, "10:00:00"), 1500, 4000 }, { at(2, "10:00:00"), 1600, 4100 } };
    SampleModel m = model("M", { "A" });
    m.flightLog = { { at(1, "10:00:00"), QTime(0, 5), "Field", 20, "" },
        { at(2, "10:00:00"), QTime(0, 5), "Field", 21, "" } };
    return { { "Field", "Park" }, { a, pack("B") }, { m } };
}

// A discharge of `pack` and a flight of M at `when`, as the module records them.
void discharge(SampleStore &store, int pack, const QDateTime &when)
{
    SampleBattery &battery = store.batteries[pack];
    battery.cycleData << SampleCycle { when, 1000, 3000 };
    battery.cycles += 1;
    battery.charged = false;
    battery.lastUse = when;
    store.models[0].flightLog << SampleFlight { when, QTime(0, 6), "Field", 18, "" };
}

// "A cycles 3", "A entries 1-10:00,2-10:00", "batteries A,B", "M packs A"...
QStringList facts(const StoreRecords &store)
{
    const auto moments = [](const auto &entries) {
        QStringList shown;
        for (const auto &entry : entries)
            shown << entry.date.toString("d-HH:mm");
        return shown.join(',');
    };
    QStringList names, all { "locations " + store.locations.join(',') };
    for (const BatteryRecord &b : store.batteries) {
        names << b.name;
        all << b.name + " capacity " + QString::number(b.capacity)
                + QString(" cycles %1").arg(b.cycles)
            << b.name + (b.charged ? " charged" : " empty")
            << b.name + " entries " + moments(b.cycleData);
        QStringList resistances;
        for (const CycleRecord &cycle : b.cycleData)
            resistances << QString::number(cycle.resistance);
        all << b.name + " resistances " + resistances.join(',');
    }
    all << "batteries " + names.join(',');
    for (const ModelRecord &m : store.models)
        all << m.name + " packs " + m.batteries.join(',')
            << m.name + " flights " + moments(m.flightLog)
            << m.name + " notes " + m.flightLog.value(0).notes;
    return all;
}
} // namespace

class TestStore : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init()
    {
        setZone("Europe/Berlin"); // daylight saving: date-times in its gaps too
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    // Every kind of field, read and written back to the same records and text.
    void fullStoreRoundTrip()
    {
        QVERIFY(QFile::copy(dataDir + "/store_full.xml", dataFileIn(dir->path())));
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
    }

    // Lowest voltages and resistances: read by the module and written back byte for byte,
    // after the date and only when known, with no rescue copy, also around a new discharge.
    void cycleFiguresWrittenBack()
    {
        SampleStore store = typicalStore(anchor);
        QVector<SampleCycle> &cycles = store.batteries[1].cycleData;
        cycles[0].minVoltage = 2215;
        cycles[0].resistance = 118;
        cycles[1].resistance = 125;
        cycles[2].minVoltage = 2190;
        QVERIFY(writeStore(dir->path(), store));
        const QByteArray bytes = bytesOf(dataFileIn(dir->path()));
        for (const QString &cycle : { dateTimeText(cycles[0].date)
                     + "\" MinVoltage=\"2215\" "
                       "Resistance=\"118\"/>",
                 dateTimeText(cycles[1].date) + "\" Resistance=\"125\"/>",
                 dateTimeText(cycles[3].date) + "\"/>" })
            QVERIFY2(bytes.contains(" Date=\"" + cycle.toUtf8()), qPrintable(cycle));
        Loaded loaded(dir->path());
        const BatteryWidget *battery = loaded.batteries[1];
        QCOMPARE(battery->cycleMinVoltages().mid(0, 4), (QVector<uint> { 2215, 0, 2190, 0 }));
        QCOMPARE(battery->cycleResistances().mid(0, 4), (QVector<uint> { 118, 125, 0, 0 }));
        QCOMPARE(fields(battery)[8],
            QString("%1 mAh %2 A/100 at %3")
                .arg(cycles[0].discharged)
                .arg(cycles[0].current)
                .arg(iso(cycles[0].date)));
        loaded.store.writeData(loaded.batteries, loaded.models, loaded.locations);
        QCOMPARE(bytesOf(dataFileIn(dir->path())), bytes);
        QVERIFY(RescueCopies(dir->path()).copies().isEmpty());
        loaded.batteries[1]->addCycleData(anchor, 3000, 4000, false);
        loaded.store.writeData(loaded.batteries, loaded.models, loaded.locations);
        cycles << SampleCycle { anchor, 3000, 4000 };
        QCOMPARE(bytesOf(dataFileIn(dir->path())), storeBytes(store));
    }

    void readsUnusualButWellFormedFiles()
    {
        const QDateTime before = QDateTime::currentDateTime();
        // Root children in another order, names inside foreign elements, a LastUse before
        // Charged, a child after Data, a bare Cycle, a second name attribute, bad numbers.
        QVERIFY(writeBytes(dataFileIn(dir->path()),
            "<?xml "
            "version=\"1.0\"?>\n<Cellora><Model><Name>Heli</Name><Weight>-5</Weight><Size>12abc</"
            "Size>"
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
            "<Battery><Data><Cycle Discharged=\"500\" Current=\"1250\"/></Data></Battery>"
            "<Locations><Location Name=\"A\" AltName=\"B\"/></Locations></Cellora>\n"));
        const Loaded loaded(dir->path());
        QCOMPARE(loaded.locations, QStringList({ "A", "B" }));
        QCOMPARE(loaded.models.size(), 1);
        QCOMPARE(fields(loaded.models[0]),
            QStringList({ "Heli", "", "0", "0", "", "0", "", "null", "battery P", "battery p",
                "flight null  at , -12 degrees: ", "flight null  at , 0 degrees: " }));
        QCOMPARE(loaded.batteries.size(), 4);
        QVERIFY(!loaded.batteries[1]->batteryCharged()); // only "1" means charged
        QVERIFY(!loaded.batteries[2]->batteryCharged());
        const BatteryWidget *battery = loaded.batteries[0];
        QCOMPARE(
            fields(battery).mid(0, 7), QStringList({ "Early", "0", "0", "0", "", "4", "charged" }));
        QVERIFY(battery->lastUpdated() >= before); // Charged came last: the moment of reading
        QCOMPARE(fields(battery).mid(8),
            QStringList({ "0 mAh 0 A/100 at null", "500 mAh 700 A/100 at null" }));
        // The cards: the last discharge's figures only from cycle data at the end, the form's
        // sample texts where the file gives no value.
        QStringList labels;
        for (const BatteryWidget *card : { loaded.batteries[0], loaded.batteries[3] }) {
            for (const char *name :
                { "lbl_name", "lbl_capacity", "lbl_discharged", "lbl_maxCurrent" })
                labels << card->findChild<QLabel *>(name)->text();
        }
        QCOMPARE(labels,
            QStringList(
                { "Early", "0mAh", "0mAh", "0.0A", "Lipolar", "4500mAh", "500mAh", "12.50A" }));
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
        QVERIFY(QFile::copy(
            dataDir + "/malformed/" + QTest::currentDataTag(), dataFileIn(dir->path())));
        const Loaded loaded(dir->path());
        for (const BatteryWidget *battery : loaded.batteries)
            QVERIFY(battery->batteryName().size() < 100); // no entity expansion, no deep names
        QCOMPARE(loaded.counts().section(' ', 0, 4), expected);
        QCOMPARE(loaded.hasLocations, !loaded.locations.isEmpty());
    }

    // Saves go into the storage folder only, made when missing; without one nothing is written.
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
        store.writeData({}, {}, {});
        QCOMPARE(bytesOf(store.dataFilePath()), emptyStore);
        QCOMPARE(QDir(dir->filePath("new/nested")).entryList(QDir::Files | QDir::Hidden),
            QStringList("cellora.xml"));
        QVERIFY(!Loaded(dir->filePath("new/nested")).hasLocations);
    }

    // Every input of the fuzzer's corpus and every other test file is read, what was read
    // survives a save, the readers' widgets hold what the plain records hold, and the
    // outline, where it follows a file, finds what the readers read.
    void replaysTheFuzzCorpus()
    {
        const QString in = dir->filePath("in"), out = dir->filePath("out");
        QVERIFY(QDir().mkpath(in) && QDir().mkpath(out));
        const QDateTime now = QDateTime::currentDateTime();
        QDirIterator files(dataDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        int count = 0;
        for (; files.hasNext(); ++count) {
            const QByteArray content = bytesOf(files.next());
            const QString loss = probeLoss(content, in, out);
            const QString differs = widgetsAgainstRecords(Loaded(in), content, now);
            const QString outlined = outlineAgainstReaders(content);
            QVERIFY2(loss.isEmpty() && differs.isEmpty() && outlined.isEmpty(),
                qPrintable(files.filePath() + ": " + loss + differs + outlined));
        }
        // An empty or missing folder would let this test pass without replaying anything.
        QVERIFY(count >= 200);
    }

    // Near misses of a store the writer wrote: markup put in place of a byte, or before it,
    // outlined from the store's outline.
    void outlineFollowsTheReaders()
    {
        const QByteArray store = bytesOf(dataDir + "/store_full.xml");
        StoreOutline original;
        QVERIFY(original.scan(store));
        int followed = 0;
        for (int at = 0; at < store.size(); at += 2) {
            for (const char *piece : { "<", "&", "\"", "\n", "\r", "<a/>", "</a>", "&#13;", "Name",
                     "Data", "FlightLog", "Location" }) {
                for (const QByteArray &near : { QByteArray(store).replace(at, 1, piece),
                         QByteArray(store).insert(at, piece) }) {
                    const QString differs = outlineAgainstReaders(near, original);
                    QVERIFY2(differs.isEmpty(),
                        qPrintable(QString("%1 at %2: %3").arg(piece).arg(at).arg(differs)));
                    followed += StoreOutline().scan(near) ? 1 : 0;
                }
            }
        }
        QVERIFY(followed > 1000); // and it does follow most of them
    }

    void sampleStores_data()
    {
        QTest::addColumn<StoreMaker>("maker");
        // Batteries, models, locations; cycles and flights each (0: any number); batteries per
        // model, least and most; megabytes, about (0: any size).
        QTest::addColumn<QVector<int>>("shape");
        QTest::newRow("ten years")
            << &tenYearStore << QVector<int> { 60, 15, 25, 300, 1200, 4, 8, 4 };
        QTest::newRow("typical") << &typicalStore << QVector<int> { 8, 3, 4, 40, 0, 2, 5, 0 };
        QTest::newRow("demo") << &demoStore << QVector<int> { 6, 2, 4, 0, 0, 3, 4, 0 };
        QTest::newRow("long names") << &longNamesStore << QVector<int> { 6, 2, 4, 0, 0, 3, 4, 0 };
    }

    // Consistent (a flight's date-time is a cycle entry of one battery of its model), placed by
    // its anchor alone, and written back byte for byte by the module and the snapshot.
    void sampleStores()
    {
        QFETCH(StoreMaker, maker);
        QFETCH(QVector<int>, shape);
        const SampleStore store = maker(anchor);
        QCOMPARE(shape.mid(0, 3),
            (QVector<int> { int(store.batteries.size()), int(store.models.size()),
                int(store.locations.size()) }));
        QHash<QDateTime, QString> cycleOwners;
        QSet<QString> batteryNames;
        int cycleCount = 0, flightCount = 0;
        for (const SampleBattery &battery : store.batteries) {
            batteryNames.insert(battery.name);
            const QVector<SampleCycle> &cycles = battery.cycleData;
            QVERIFY(!cycles.isEmpty() && (shape[3] == 0 || cycles.size() == shape[3]));
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
            QVERIFY(model.batteries.size() >= shape[5] && model.batteries.size() <= shape[6]);
            QVERIFY(!model.flightLog.isEmpty()
                && (shape[4] == 0 || model.flightLog.size() == shape[4]));
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

        const int megabytes = shape[7];
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

    // Damage is reported, a missing file is no store, empty bytes are an empty store.
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

    void readsAsTheToolkitDoes()
    {
        QStringList texts { "Sat Mar 2 14:05:09 2024", "Sat Mar  2 14:05:09 2024",
            "Sat Mar 2 2024 14:05:09", "Sat Mar 02 14:05:09 2024", "Mon Mar 2 14:05:09 2024",
            "Sat Mar 2 14:05 2024", "Sat Mar 2 24:00:00 2024", "Fri Feb 30 10:00:00 2024",
            "Sat Mar 2 14:05:09 2024 GMT+0100", "Sat Mar 2 14:05:09. 2024",
            "Sun Mar 31 02:30:00 2024", "Sun Oct 27 02:30:00 2024", "Thu Dec 31 12:00:00 999",
            "sat mar 2 14:05:09 2024", "garbage", "" };
        const QVector<QDateTime> spread = spreadOfDateTimes();
        for (int i = 0; i < spread.size(); ++i) {
            const QString text = spread.at(i).toString(Qt::TextDate);
            texts << text;
            if (i % 10 == 0) // a fraction of three digits, which both toolkits read alike
                texts << QString(text).insert(text.lastIndexOf(' '),
                    "." + QString::number(i % 1000).rightJustified(3, QLatin1Char('0')));
        }
        compareReadingWithToolkit(texts);

        QStringList times { "00:06:30", "23:59:59", "24:00:00", "12:60:00", "12:00:60", "1:02:03",
            "12:34", "12:34:56.789", " 12:34:56", "12:34:56 ", "12-34-56", "ab:cd:ef", "",
            "123:4:56" };
        for (int second = 0; second < 86400; second += 97)
            times << QTime(0, 0).addSecs(second).toString(Qt::TextDate);
        QStringList read, expected;
        for (const QString &text : times) {
            read << parseTime(xmlStringRef(text)).toString("HH:mm:ss.zzz");
            expected << QTime::fromString(text, Qt::TextDate).toString("HH:mm:ss.zzz");
        }
        QCOMPARE(read, expected);

        for (const QString text :
            { "0", "7", "007", "123456789", "999999999", "1234567890", "4294967295", "4294967296",
                "9999999999", "-1", "+5", " 5", "5 ", "5a", "", "1e3", "0x10", "١٢" })
            QVERIFY2(parseUInt(text) == text.toUInt(), qPrintable(text));
        for (const QString name : { "Date", "Dat", "LastDate", "DateX", "aDatea", "DDate", "date",
                 "", "Location", "AltName", "Name", "Nam" }) {
            const XmlStringRef ref = xmlStringRef(name);
            for (const char *word : { "Date", "Name", "Location", "" })
                QVERIFY2(
                    containsWord(ref, QLatin1String(word)) == ref.contains(QLatin1String(word)),
                    qPrintable(name + " / " + word));
        }
    }

    // The file is read as Qt 5 reads it under Qt 6 too, where Qt 6's reading differs.
    void readsAsQt5Does()
    {
        const QList<QPair<QString, QString>> dateTimes {
            // the digits after the point are whole milliseconds (Qt 6: a decimal fraction)
            { "Sat Mar 2 14:05:09.5 2024", "2024-03-02 14:05:09.005" },
            { "Sat Mar 2 14:05:09.05 2024", "2024-03-02 14:05:09.005" },
            { "Sat Mar 2 14:05:09.50 2024", "2024-03-02 14:05:09.050" },
            { "Sat Mar 2 14:05:09.500 2024", "2024-03-02 14:05:09.500" },
            { "Sat Mar  2 14:05:09.05 2024", "2024-03-02 14:05:09.005" },
            { "Sat Mar 2 14:05:09.0005 2024", "2024-03-02 14:05:09.005" },
            { "Sat Mar 2 14:05:09.+5 2024", "2024-03-02 14:05:09.005" },
            { "Thu Dec 31 12:00:00.5 999", "0999-12-31 12:00:00.005" },
            { "Sat Mar 2 14:05:09.5 2024 GMT+0100", "2024-03-02 14:05:09.005 not local" },
            { "Sat Mar 2 14:05:09.1234 2024", "null" },
            { "Sat Mar 2 14:05:09.9999 2024", "null" },
            { "Sat Mar 2 14:05:09,5 2024", "null" },
            { "Sat Mar 2 14:05:09.1.2 2024", "null" },
            { "Sat Mar 2 14:05.5 2024", "null" },
            // the day before the month (Qt 6: no date-time)
            { "Sat 2. Mar 14:05:09 2024", "2024-03-02 14:05:09.000" },
            { "Sat 2. Mar 14:05:09.5 2024", "2024-03-02 14:05:09.005" },
            // a year of three digits, as the writer writes it
            { "Thu Dec 31 12:00:00 999", "0999-12-31 12:00:00.000" },
        };
        for (const auto &[text, expected] : dateTimes)
            QVERIFY2(iso(parseDateTime(text)) == expected, qPrintable(text));
        // A duration's fraction is a decimal one in both; a point alone is none (Qt 6: no time).
        QCOMPARE(parseTime(xmlStringRef(QStringLiteral("00:06:30."))), QTime(0, 6, 30));
        QCOMPARE(parseTime(xmlStringRef(QStringLiteral("12:34:56.5"))), QTime(12, 34, 56, 500));
        QCOMPARE(parseTime(xmlStringRef(QStringLiteral("12:34:56.x"))), QTime());
    }

    // As the toolkit writes, twice (then from the days kept); years before 1000 as Qt 5 writes
    // them (Qt 6: "0999"), so that both builds write the same file.
    void writesAsTheToolkitDoes()
    {
        QVector<QDateTime> values = spreadOfDateTimes();
        values << QDateTime() << QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9), Qt::UTC)
               << QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9), Qt::OffsetFromUTC, 3600)
               << QDateTime(QDate(12345, 1, 1), QTime(1, 2, 3)) // a year of five digits
               << QDateTime(QDate(2024, 3, 31), QTime(2, 30)); // in the spring gap
        QStringList written, expected;
        for (int pass = 0; pass < 2; ++pass) {
            for (const QDateTime &when : values) {
                written << dateTimeText(when) << timeText(when.time());
                expected << when.toString(Qt::TextDate) << when.time().toString(Qt::TextDate);
            }
        }
        QCOMPARE(written, expected);
        const QDateTime year999(QDate(999, 12, 31), QTime(12, 0));
        QCOMPARE(dateTimeText(year999), "Tue Dec 31 12:00:00 999");
        QCOMPARE(dateTimeText(QDateTime(QDate(999, 12, 31), QTime(12, 0), Qt::UTC)),
            "Tue Dec 31 12:00:00 999 GMT");
        QCOMPARE(parseDateTime(dateTimeText(year999)), year999);
        forgetSavedDays();
    }

    // Nothing read before a zone change is reused; the last two are in New York's and Berlin's
    // gaps.
    void followsTheTimeZone()
    {
        const QStringList texts { "Sat Mar 2 14:05:09 2024", "Sun Jul 7 12:00:00 2024",
            "Sun Mar 10 02:30:00 2024", "Sun Mar 31 02:30:00 2024" };
        compareReadingWithToolkit(texts);
        setZone("America/New_York");
        compareReadingWithToolkit(texts);
    }

    void laterReadsTakeOverUnchangedChildren_data()
    {
        QTest::addColumn<ByteEdit>("before"); // of the typical store's bytes
        QTest::addColumn<ByteEdit>("after");
        QTest::addColumn<int>("changed"); // root children read anew; -1: every one
        const auto same = [](QByteArray bytes) { return bytes; };
        const auto records = [](std::function<void(SampleStore &)> edit) {
            return [edit](QByteArray) {
                SampleStore store = typicalStore(anchor);
                edit(store);
                return storeBytes(store);
            };
        };
        const auto replaced = [](const char *what, const char *by, int from = 0) {
            return [=](QByteArray bytes) {
                const int at = bytes.indexOf(what, from < 0 ? bytes.size() / 2 : from);
                return at < 0 ? QByteArray() : bytes.replace(at, int(qstrlen(what)), by);
            };
        };
        const auto cycle = [](SampleStore &s) {
            s.batteries[1].cycleData.append({ anchor, 1234, 4500, 2210, 85 });
        };
        QTest::addRow("the same bytes") << ByteEdit(same) << ByteEdit(same) << 0;
        QTest::addRow("a cycle of the second battery")
            << ByteEdit(same) << ByteEdit(records(cycle)) << 1;
        QTest::addRow("a location added, the first child")
            << ByteEdit(same)
            << ByteEdit(records([](SampleStore &s) { s.locations << "Neue Wiese"; })) << 1;
        QTest::addRow("the last model renamed to four-byte characters")
            << ByteEdit(same)
            << ByteEdit(records([](SampleStore &s) {
                   s.models.last().name = QString::fromUtf8("Fl\xF0\x9F\x9A\x81 Heli");
               }))
            << 1;
        // The neighbour whose bytes begin and end alike is read again.
        QTest::addRow("a battery removed")
            << ByteEdit(same)
            << ByteEdit(records([](SampleStore &s) { s.batteries.removeAt(1); })) << 1;
        QTest::addRow("a comment between two children")
            << ByteEdit(same) << ByteEdit(replaced("\n    <Model>", "<!-- x -->\n    <Model>"))
            << 0;
        QTest::addRow("a changed child broken")
            << ByteEdit(same) << ByteEdit(replaced("</Battery>", "</Batery>", -1)) << -1;
        QTest::addRow("a carriage return in a changed child")
            << ByteEdit(same) << ByteEdit(replaced("<Notes>", "<Notes>\r", -1)) << -1;
        QTest::addRow("an entity declared in the head")
            << ByteEdit(replaced("<!DOCTYPE Cellora>", "<!DOCTYPE Cellora [<!ENTITY x \"y\">]>"))
            << ByteEdit(replaced("<!DOCTYPE Cellora>", "<!DOCTYPE Cellora [<!ENTITY x \"y\">]>"))
            << -1;
        // The first battery's Charged after its LastUse: used at the moment of reading,
        // also when taken over.
        const auto chargedLast = [](QByteArray bytes) {
            const QRegularExpression pair("(<Charged>[01]</Charged>)(\\s*)(<LastUse>[^<]*</LastUse>)");
            const QString text = QString::fromUtf8(bytes);
            const QRegularExpressionMatch found = pair.match(text);
            return QString(text)
                .replace(found.capturedStart(), found.capturedLength(),
                    found.captured(3) + found.captured(2) + found.captured(1))
                .toUtf8();
        };
        QTest::addRow("an unchanged battery used at the moment of reading")
            << ByteEdit(chargedLast)
            << ByteEdit([=](const QByteArray &bytes) { return chargedLast(records(cycle)(bytes)); })
            << 1;
    }

    // A read after another reads only the root children whose bytes changed, and takes the
    // others over with exactly what the three readers give; anything that could give a
    // child another meaning is read whole. Then a read after that one, with the first child
    // changed, finds the others where they now lie; and none is taken over into another
    // time zone.
    void laterReadsTakeOverUnchangedChildren()
    {
        QFETCH(ByteEdit, before);
        QFETCH(ByteEdit, after);
        QFETCH(int, changed);
        const QByteArray first = before(storeBytes(typicalStore(anchor)));
        const QByteArray second = after(storeBytes(typicalStore(anchor)));
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        const auto threePasses = [](const QByteArray &bytes, const QDateTime &now) {
            return readingText(RecordReader::read(bytes, RecordReader::Passes::OnePerKind), now);
        };
        QDateTime now = QDateTime::currentDateTime();
        QCOMPARE(readingText(RecordReader::read(first), now), threePasses(first, now));
        QThread::msleep(5); // a moment of reading taken over would be that of the first read
        now = QDateTime::currentDateTime();
        const StoreReading secondRead = RecordReader::read(second);
        QCOMPARE(readingText(secondRead, now), threePasses(second, now));
        const int children = 1 + secondRead.records.batteries.size()
            + secondRead.records.models.size();
        QCOMPARE(EarlierReading::takenOverByLastRead(), changed < 0 ? 0 : children - changed);
        const QByteArray third = QByteArray(second).replace(
            "<Locations>", "<Locations>\n        <Location Name=\"Dritte Wiese\"/>");
        QCOMPARE(readingText(RecordReader::read(third), now), threePasses(third, now));
        QCOMPARE(EarlierReading::takenOverByLastRead(), changed < 0 ? 0 : children - 1);
        setZone("UTC");
        const QDateTime utcNow = QDateTime::currentDateTime();
        QCOMPARE(readingText(RecordReader::read(second), utcNow),
            readingText(RecordReader::read(second, RecordReader::Passes::OnePerKind), utcNow));
        QCOMPARE(EarlierReading::takenOverByLastRead(), 0);
    }

    void randomSessionsMatchOneWriterAndThreePasses_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : { 1u, 2u, 3u, 4u })
            QTest::addRow("seed %u", seed) << seed;
    }

    // 250 steps per seed; after each the cached save is one writer's document, the shared pass
    // reads what three do, and a file the writer would not make again is kept first.
    void randomSessionsMatchOneWriterAndThreePasses()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed), figures(seed);
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
                edit(*load, random, figures, anchor.addSecs(600 * step));
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

    void droppedContentIsKeptBeforeTheFirstSave_data()
    {
        QTest::addColumn<StoreMaker>("maker");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        const QByteArray notes = "</Notes>", fault = "see <b>manual</b></Notes>";
        QTest::newRow("good file") << &demoStore << QByteArray() << QByteArray();
        QTest::newRow("fault in a model field") << &demoStore << notes << fault;
        QTest::newRow("ten years, fault in a model field") << &tenYearStore << notes << fault;
    }

    // A fault stopping one reader only is kept before the first save (what the readers skip,
    // the random sessions' outside changes show).
    void droppedContentIsKeptBeforeTheFirstSave()
    {
        QFETCH(StoreMaker, maker);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        qunsetenv("TZ"); // the system's zone, which a read must leave as it found it
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
        QVERIFY(!qEnvironmentVariableIsSet("TZ"));
        load.store.writeData(load.batteries, load.models, load.locations);
        QCOMPARE(contentsOf(RescueCopies(folder.path()).copies()),
            from.isEmpty() ? QByteArrayList() : QByteArrayList { bytes });
    }

    void recordRulesJudgeWhatChanged_data()
    {
        QTest::addColumn<Edit>("before"); // made on both sides
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<RecordRules::Refusal>("refusal");
        using R = RecordRules::Refusal;
        const Edit none = [](SampleStore &) {};
        const auto row = [](const char *tag, Edit before, Edit edit, R refusal) {
            QTest::newRow(tag) << before << edit << refusal;
        };
        row(
            "figure at the limit", none,
            [](SampleStore &s) { s.batteries[1].cycleData[0].discharged = 20000; }, R::None);
        row(
            "figure beyond it", none,
            [](SampleStore &s) { s.batteries[1].cycleData[0].discharged = 20001; },
            R::DischargedOverLimit);
        row(
            "current beyond it", none,
            [](SampleStore &s) { s.batteries[1].cycleData[0].current = 30001; },
            R::CurrentOverLimit);
        row(
            "temperature beyond it", none,
            [](SampleStore &s) { s.models[0].flightLog[0].temperature = 100; },
            R::TemperatureOutOfRange);
        row(
            "an old figure beyond it, unchanged",
            [](SampleStore &s) { s.batteries[1].cycleData[0].discharged = 90000; },
            [](SampleStore &s) { s.batteries[1].cycleData[0].current = 100; }, R::None);
        row(
            "moved onto another flight's moment", none,
            [](SampleStore &s) {
                s.models[0].flightLog[0].date = s.batteries[0].cycleData[0].date
                    = at(1, "10:02:30");
            },
            R::MomentTaken);
        row(
            "moved before the earliest date", none,
            [](SampleStore &s) {
                s.models[0].flightLog[0].date = s.batteries[0].cycleData[0].date
                    = QDateTime(QDate(2004, 12, 31), QTime(9, 0));
            },
            R::DateOutOfRange);
        row(
            "discharge moved to another pack", none,
            [](SampleStore &s) {
                s.batteries[1].cycleData.prepend(s.batteries[0].cycleData.takeFirst());
            },
            R::None);
        row(
            "flight added at a free moment", none,
            [](SampleStore &s) {
                s.models[0].flightLog.append({ at(4, "09:00:00"), QTime(0, 5), {}, 20, {} });
                s.batteries[0].cycleData.append({ at(4, "09:00:00"), 1000, 2000 });
            },
            R::None);
        row(
            "flight added at a taken moment", none,
            [](SampleStore &s) {
                s.models[0].flightLog.append({ at(3, "18:00:00"), QTime(0, 5), {}, 20, {} });
            },
            R::MomentTaken);
    }

    // Only what a change makes new or different answers to the rules.
    void recordRulesJudgeWhatChanged()
    {
        QFETCH(Edit, before);
        QFETCH(Edit, edit);
        SampleStore was = logbook();
        before(was);
        SampleStore is = was;
        edit(is);
        QTEST(RecordRules::changeRefusal(was, is).refusal, "refusal");
    }

    // A figure too large for the file is refused instead of wrapping, a log that repeats a
    // moment adds one flight there, and a name means the last record of that name.
    void telemetryKeepsTheRecordRules()
    {
        SampleStore store = logbook();
        TelemetryFlight absurd;
        absurd.start = at(1, "10:00:10");
        absurd.seconds = 50;
        absurd.hasCapacity = true;
        absurd.usedMah = 5e9;
        TelemetryFlight repeated = absurd;
        repeated.start = at(5, "09:00:00");
        repeated.usedMah = 1200;
        TelemetryLog log;
        log.modelName = store.models[0].name;
        log.flights = { absurd, repeated, repeated };
        store.batteries << pack("P1"); // of two packs of one name, the later one is meant
        QVector<RecordRules::RuleBreak> refused;
        // The absurd capacity stays unknown (its duration fills the entry); the repeat is refused.
        QCOMPARE(applyTelemetryImport(store, proposeTelemetryImport(store, { log }), &refused), 2);
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused[0].refusal, RecordRules::Refusal::MomentTaken);
        QCOMPARE(store.batteries[0].cycleData[0].discharged, 0u);
        QCOMPARE(store.models[0].flightLog.size(), 4);
        QCOMPARE(store.batteries[2].cycleData.size(), 1);
    }

    void flightsAndFigures_data()
    {
        QTest::addColumn<QByteArray>("content"); // the log, or the name of a fixture
        QTest::addColumn<TelemetryColumns>("chosen");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("flights");
        QTest::addColumn<int>("skipped");
        const TelemetryColumns usual;
        // BOM, CRLF, a lost sensor row, a 0 V reading, a 70 s pause and a cut-off last line.
        QTest::newRow("gap") << QByteArray("Kestrel 700 X-2026-05-01.csv") << usual << QString()
                             << QStringList { "01 10:00:00 50 1000 8025 22100",
                                    "01 10:02:00 30 495 3000 23000" }
                             << 1;
        // A counter reset in the air is summed; one on the ground is a fresh pack.
        QTest::newRow("counter resets")
            << QByteArray("Corsa 550 Pro-2026-05-02-110000.csv") << usual << QString()
            << QStringList { "02 11:00:00 25 505 4000 22000", "02 11:00:40 20 448 5000 22900" }
            << 0;
        // The ESC's own sensors win over the receiver's voltage, unless mapped otherwise.
        QTest::newRow("esc names") << QByteArray("Goblin-2026-05-03.csv") << usual << QString()
                                   << QStringList { "03 09:00:00 10 250 12050 46500" } << 0;
        QTest::newRow("mapped") << QByteArray("Goblin-2026-05-03.csv")
                                << TelemetryColumns { "EscA(A)", "EscC(mAh)", "RxBt(V)" }
                                << QString() << QStringList { "03 09:00:00 10 250 12050 8000" }
                                << 0;
        QTest::newRow("missing") << QByteArray("missing.csv") << usual << "cannot be read"
                                 << QStringList() << 0;
        QTest::newRow("empty") << QByteArray() << usual << "the file is empty" << QStringList()
                               << 0;
        QTest::newRow("other csv") << QByteArray("Name,Capacity\nP1,5000\n") << usual
                                   << "not a telemetry log: the first line names no Date and Time "
                                      "columns"
                                   << QStringList() << 0;
        QTest::newRow("binary") << QByteArray("Date,Time\0\xff\x01", 12) << usual
                                << "not a telemetry log: the first line is no list of column names"
                                << QStringList() << 0;
        QTest::newRow("receiver voltage last")
            << QByteArray("Date,Time,RxBt(V),TxBat(V),Pack(V)\n2026-05-04,08:00:00,8.0,7.4,24.5\n")
            << usual << QString() << QStringList { "04 08:00:00 0 0 0 24500" } << 0;
        QTest::newRow("header only")
            << QByteArray("Date,Time,Curr(A)\r\n") << usual << QString() << QStringList() << 0;
        // Names nobody knows find nothing until mapped; a huge line and a bad date are skipped.
        const QByteArray unknown = "Date,Time,I,Q\n2026-05-04,08:00:00,1,0\n"
            + QByteArray(100000, '7') + "\n2026-13-04,08:00:05,9,9\n2026-05-04,08:00:10,12.5,100\n";
        QTest::newRow("unknown names")
            << unknown << usual << QString() << QStringList { "04 08:00:00 10 0 0 -1" } << 2;
        // A number too long for a double is a glitch, not an infinite current.
        const QByteArray endless = QByteArray(400, '9') + '.' + QByteArray(400, '1');
        QTest::newRow("endless number")
            << "Date,Time,Curr(A)\n2026-05-04,08:00:00," + endless + "\n2026-05-04,08:00:10,12.5\n"
            << usual << QString() << QStringList { "04 08:00:00 10 0 1250 -1" } << 0;
        // Negative readings and a voltage no pack has are left out: 120 - 100 mAh.
        QTest::newRow("negative and beyond")
            << QByteArray("Date,Time,Curr(A),Capa(mAh),VFAS(V)\n2026-05-04,08:00:00,-3,-40,-1\n"
                          "2026-05-04,08:00:10,12.5,100,150\n2026-05-04,08:00:20,2,120,24\n")
            << usual << QString() << QStringList { "04 08:00:00 20 20 1250 24000" } << 0;
        QTest::newRow("unknown mapped")
            << unknown << TelemetryColumns { "I", "Q", QString() } << QString()
            << QStringList { "04 08:00:00 10 100 1250 -1" } << 2;
    }

    void flightsAndFigures()
    {
        QFETCH(QByteArray, content);
        QFETCH(TelemetryColumns, chosen);
        QBuffer buffer(&content);
        buffer.open(QIODevice::ReadOnly);
        const TelemetryLog log = content.endsWith(".csv")
            ? readTelemetryFile(telemetryDir + QString::fromUtf8(content), chosen)
            : readTelemetryLog(buffer, "x-2026-05-04.csv", chosen);
        QTEST(log.error, "error");
        QTEST(describe(log.flights), "flights");
        QTEST(log.skippedRows, "skipped");
    }

    void modelNames()
    {
        QCOMPARE(telemetryModelName(QString("/sd/LOGS/Kestrel 700 X-2026-05-01.csv")),
            QString("Kestrel 700 X"));
        QCOMPARE(telemetryModelName(QString("Corsa-1-2026-05-02-101500.CSV")), QString("Corsa-1"));
        QCOMPARE(telemetryModelName(QString("notes.csv")), QString("notes"));

        const SampleStore store = logbook();
        const QHash<QString, QString> chosen { { QString("Heli"), store.models[0].name } };
        QCOMPARE(matchTelemetryModel(store, QString("kestrel700x")), store.models[0].name);
        QCOMPARE(matchTelemetryModel(store, QString("Heli")), QString());
        QCOMPARE(matchTelemetryModel(store, QString("Heli"), chosen), store.models[0].name);
    }

    void fillsQuickEntriesOnly()
    {
        SampleStore store = logbook();
        store.batteries[0].cycleData[0].resistance = 150; // typed in by hand
        const QVector<TelemetryLog> logs { readTelemetryFile(
                                               telemetryDir + "Kestrel 700 X-2026-05-01.csv"),
            readTelemetryFile(telemetryDir + "Goblin-2026-05-03.csv") };
        QVector<TelemetryProposal> proposals = proposeTelemetryImport(store, logs);
        QCOMPARE(proposals.size(), 3);
        QCOMPARE(proposals[0].kind, TelemetryProposal::FillEntry);
        QCOMPARE(proposals[0].battery, QString("P1"));
        QCOMPARE(proposals[1].kind, TelemetryProposal::HasFigures);
        QVERIFY(!proposals[1].ticked);
        QCOMPARE(proposals[2].kind, TelemetryProposal::NoModel);

        QCOMPARE(applyTelemetryImport(store, proposals), 1);
        QCOMPARE(store.models[0].flightLog[0].duration, QTime(0, 0, 50));
        QCOMPARE(store.batteries[0].cycleData[0].discharged, 1000u);
        QCOMPARE(store.batteries[0].cycleData[0].current, 8025u);
        QCOMPARE(store.batteries[0].cycleData[0].resistance, 150u); // the log gave none
        QCOMPARE(store.batteries[1].cycleData[0].discharged, 3100u);
        QCOMPARE(store.models[0].flightLog[1].duration, QTime(0, 4));

        // Importing again finds every flight recorded: not one byte changes.
        const QByteArray once = storeBytes(store);
        QCOMPARE(applyTelemetryImport(store, proposeTelemetryImport(store, logs)), 0);
        QCOMPARE(storeBytes(store), once);

        // Ticked, figures are overwritten; a flight far from all entries goes, once, to the
        // nearest.
        proposals = proposeTelemetryImport(store, logs);
        proposals[1].ticked = true;
        QCOMPARE(applyTelemetryImport(store, proposals), 1);
        QCOMPARE(store.batteries[1].cycleData[0].discharged, 495u);

        const QVector<TelemetryLog> far { readTelemetryFile(
            telemetryDir + "Kestrel 700 X-2026-05-01.csv") };
        SampleStore fresh = logbook();
        fresh.models[0].flightLog.remove(0, 2);
        fresh.batteries[1].cycleData.clear();
        proposals = proposeTelemetryImport(fresh, far);
        QCOMPARE(proposals[0].kind, TelemetryProposal::AddFlight);
        QCOMPARE(proposals[0].battery, QString("P1"));
        QCOMPARE(applyTelemetryImport(fresh, proposals), 2);
        QCOMPARE(fresh.models[0].flightLog.size(), 3);
        QCOMPARE(fresh.batteries[0].cycles, 4u);
        QCOMPARE(fresh.batteries[0].cycleData[2].date, at(1, "10:02:00"));
        const QByteArray added = storeBytes(fresh);
        // An entry up to 15 minutes from the flight records it; one further away does not.
        for (const int minutes : { 15, 16 }) {
            SampleStore late = logbook();
            late.models[0].flightLog[0].date = at(1, "10:00:50").addSecs(minutes * 60);
            late.batteries[0].cycleData[0].date = late.models[0].flightLog[0].date;
            QCOMPARE(proposeTelemetryImport(late, far)[0].kind == TelemetryProposal::FillEntry,
                minutes == 15);
        }
        QCOMPARE(applyTelemetryImport(fresh, proposeTelemetryImport(fresh, far)), 0);
        QCOMPARE(storeBytes(fresh), added);

        // A figure beyond the discharge page's limits stays unknown, never cut to the limit.
        TelemetryFlight beyond;
        beyond.hasCapacity = beyond.hasCurrent = true;
        beyond.usedMah = 20001;
        beyond.maxCurrent = 300.01;
        QCOMPARE(figuresOf(beyond).dischargedMah + figuresOf(beyond).maxCurrent, 0u);
    }

    // Each fault a radio logs, in a log made up of known figures: the figures stay those
    // worked out by hand, and what was left out is counted.
    void glitchesNeverBecomeFigures_data()
    {
        QTest::addColumn<QByteArrayList>("logs"); // consecutive files of "Flik-Wing"
        QTest::addColumn<QStringList>("flights"); // seconds, mAh, hundredths of A and V, glitches
        const auto faulty = [](SampleLogFault::Kind kind, int row, int rows, double value) {
            SampleLogFlight flight = knownFlight();
            flight.faults = { { kind, row, rows, value } };
            return QByteArrayList { knownLog({ flight }) };
        };
        const QStringList clean { "60 417 4000 2260 0" };
        QTest::newRow("clean") << QByteArrayList { knownLog({ knownFlight() }) } << clean;
        QTest::newRow("current 250 A, 1 row") << faulty(SampleLogFault::CurrentSpike, 100, 1, 250)
                                              << QStringList { "60 417 4000 2260 1" };
        QTest::newRow("current 250 A, 3 rows") << faulty(SampleLogFault::CurrentSpike, 100, 3, 250)
                                               << QStringList { "60 417 4000 2260 3" };
        QTest::newRow("current 1.3e8 A, 20 rows") << faulty(SampleLogFault::CurrentSpike, 100, 20,
            130875804.8) << QStringList { "60 417 4000 2260 20" };
        // A punch-out of a row that the voltage answers is no glitch: 6.1 mAh more, and
        // 6 × (4.1 − 0.2 × 21 / 60) − 120 A × 20 mΩ = 21.78 V.
        QTest::newRow("punch-out, 1 row")
            << faulty(SampleLogFault::Punch, 105, 1, 120) << QStringList { "60 423 12000 2178 0" };
        QTest::newRow("capacity 5e9 mAh") << faulty(SampleLogFault::CapacitySpike, 150, 1, 5e9)
                                          << QStringList { "60 417 4000 2260 1" };
        QTest::newRow("capacity leaps 2 rows") << faulty(SampleLogFault::CapacitySpike, 150, 2,
            15000) << QStringList { "60 417 4000 2260 2" };
        // A leap that lasts is no count either: the 10 rows from 199 to 222 mAh are lost.
        QTest::newRow("capacity leaps for 2 s") << faulty(SampleLogFault::CapacitySpike, 150, 10,
            15000) << QStringList { "60 394 4000 2260 1" };
        // A sensor that counts on from pack to pack, from 65500 until it wraps to 0 in row
        // 31: 33 mAh before, 417 - 36 after; the 3 mAh across the wrap are lost.
        SampleLogFlight wrapped = knownFlight();
        wrapped.counterStart = 65500;
        wrapped.counterWrap = 65536;
        QTest::newRow("wrapped counter")
            << QByteArrayList { knownLog({ wrapped }) } << QStringList { "60 414 4000 2260 0" };
        QTest::newRow("dead voltage sensor, 8 s") << faulty(SampleLogFault::DeadVoltage, 200, 40,
            1.08) << QStringList { "60 417 4000 2260 40" };
        // 6 s at 1 A a minute before the flight: 1.7 mAh, under 2 % of the pack's 2200 mAh.
        SampleLogFlight powerOn = knownFlight(6);
        powerOn.lowAmps = powerOn.peakAmps = 1;
        SampleLogFlight later = knownFlight();
        later.start = later.start.addSecs(60);
        QTest::newRow("power-on") << QByteArrayList { knownLog({ powerOn, later }) }
                                  << QStringList { "6 2 100 2338 0 power-on", clean[0] };
        // 40 s, 9 s without a log while the counter went on by 30 mAh, then 30 s more:
        // 278 + 30 + 200 mAh.
        SampleLogFlight first = knownFlight(40), second = knownFlight(30);
        second.start = at(1, "10:00:49");
        second.counterStart = 278 + 30;
        QTest::newRow("counter continued in the next file") << QByteArrayList { knownLog({ first }),
            knownLog({ second }) } << QStringList { "79 508 4000 2260 0" };
        SampleLogStyle stuttering;
        stuttering.wholeSeconds = true;
        stuttering.clockBackEvery = 8;
        QTest::newRow("times repeated and going back")
            << QByteArrayList { knownLog({ knownFlight() }, stuttering) } << clean;
    }

    void glitchesNeverBecomeFigures()
    {
        QFETCH(QByteArrayList, logs);
        // A Quick entry just after the power-on goes to the flight that it records.
        SampleStore store { {}, { pack("W1", 2200) }, { model("Flik Wing", { "W1" }) } };
        store.batteries[0].cycleData = { { at(1, "10:00:10"), 0, 0 } };
        store.models[0].flightLog = { { at(1, "10:00:10"), QTime(0, 0), QString(), 0, QString() } };
        QVector<TelemetryLog> read;
        for (int i = 0; i < logs.size(); ++i) {
            QBuffer buffer(&logs[i]);
            buffer.open(QIODevice::ReadOnly);
            read << readTelemetryLog(
                buffer, QString("Flik-Wing-2026-05-01-%1.csv").arg(i, 6, 10, QChar('0')));
        }
        QStringList flights;
        for (const TelemetryProposal &proposal : proposeTelemetryImport(store, read)) {
            const TelemetryFigures figures = figuresOf(proposal.flight);
            QCOMPARE(proposal.model, QString("Flik Wing"));
            QCOMPARE(proposal.ticked, !proposal.powerOn);
            QCOMPARE(proposal.kind == TelemetryProposal::FillEntry, !proposal.powerOn);
            flights << QString("%1 %2 %3 %4 %5%6")
                           .arg(proposal.flight.seconds)
                           .arg(figures.dischargedMah)
                           .arg(figures.maxCurrent)
                           .arg(figures.minVoltage)
                           .arg(proposal.flight.glitches)
                           .arg(proposal.powerOn ? " power-on" : "");
        }
        QTEST(flights, "flights");
    }

    // Made-up flights of a known resistance with noise on the voltage: the estimate lies
    // within 15 % of it. Too few steps of the current give none.
    void resistanceFromCurrentSteps_data()
    {
        QTest::addColumn<double>("milliohms");
        QTest::addColumn<double>("noise"); // volts, either way
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("decimals"); // of the logged voltage
        QTest::addColumn<bool>("steps"); // else a flight's own current around its average
        QTest::newRow("8 mΩ, 0.2 V noise") << 8.0 << 0.2 << 90 << 2 << true;
        QTest::newRow("25 mΩ, 0.1 V noise") << 25.0 << 0.1 << 90 << 2 << true;
        QTest::newRow("60 mΩ, 0.2 V noise") << 60.0 << 0.2 << 90 << 2 << true;
        QTest::newRow("5 mΩ, logged to 0.1 V") << 5.0 << 0.03 << 120 << 1 << true;
        QTest::newRow("15 mΩ, a flight's current") << 15.0 << 0.05 << 300 << 2 << false;
        QTest::newRow("8 steps") << 20.0 << 0.02 << 16 << 2 << true;
    }

    void resistanceFromCurrentSteps()
    {
        QFETCH(double, milliohms);
        QFETCH(int, seconds);
        QFETCH(int, decimals);
        QFETCH(bool, steps);
        SampleLogFlight flight = knownFlight(seconds, milliohms);
        QFETCH(double, noise);
        flight.noiseVolts = noise;
        if (!steps) {
            flight.lowAmps = -1;
            flight.usedMah = 2500;
            flight.peakAmps = 90;
        }
        SampleLogStyle style;
        style.rowsPerSecond = 10;
        style.dropoutPercent = 0;
        style.voltDecimals = decimals;
        QByteArray content = sampleTelemetryLog({ flight }, style, 11);
        QBuffer buffer(&content);
        buffer.open(QIODevice::ReadOnly);
        const TelemetryLog log = readTelemetryLog(buffer, "R-2026-05-01.csv");
        QCOMPARE(log.flights.size(), 1);
        const double estimate = figuresOf(log.flights[0]).resistance / 10.0;
        if (seconds < 20)
            QCOMPARE(estimate, 0.0);
        else
            QVERIFY2(std::abs(estimate - milliohms) <= 0.15 * milliohms,
                qPrintable(QString::number(estimate)));
    }

    // Two versions that went apart made one, with and without the version both had: each
    // rule and each kind of conflict. Taking the other value of every conflict gives what the
    // other machine's merge of the same versions gives, byte for byte.
    void mergesTwoVersions_data()
    {
        QTest::addColumn<Edit>("ours");
        QTest::addColumn<Edit>("theirs");
        QTest::addColumn<bool>("withBase");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("conflicts");
        const Edit none = [](SampleStore &) {};
        QTest::newRow("disjoint") << Edit([](SampleStore &s) {
            discharge(s, 0, at(3, "10:00:00"));
        }) << Edit([](SampleStore &s) {
            s.batteries << pack("C");
            s.batteries[1].charged = true;
            s.batteries[1].lastUse = at(3, "09:00:00");
        }) << true
                                  << QStringList { "batteries A,B,C", "A capacity 2200 cycles 3",
                                         "B charged", "M flights 1-10:00,2-10:00,3-10:00" }
                                  << QStringList();
        QTest::newRow("one pack flown on both")
            << Edit([](SampleStore &s) { discharge(s, 0, at(3, "12:00:00")); })
            << Edit([](SampleStore &s) { discharge(s, 0, at(3, "10:00:00")); }) << true
            << QStringList { "A capacity 2200 cycles 4",
                   "A entries 1-10:00,2-10:00,3-10:00,3-12:00",
                   "M flights 1-10:00,2-10:00,3-10:00,3-12:00" }
            << QStringList();
        QTest::newRow("changed alike")
            << Edit([](SampleStore &s) { s.batteries[0].capacity = 2400; })
            << Edit([](SampleStore &s) { s.batteries[0].capacity = 2400; }) << true
            << QStringList { "A capacity 2400 cycles 2" } << QStringList();
        QTest::newRow("changed apart")
            << Edit([](SampleStore &s) { s.batteries[0].capacity = 2400; })
            << Edit([](SampleStore &s) { s.batteries[0].capacity = 2600; }) << true
            << QStringList { "A capacity 2400 cycles 2" } << QStringList { "Field Capacity" };
        QTest::newRow("a figure typed there")
            << none << Edit([](SampleStore &s) { s.batteries[0].cycleData[1].resistance = 153; })
            << true << QStringList { "A resistances 0,153" } << QStringList();
        QTest::newRow("charged after the later use")
            << Edit([](SampleStore &s) {
                   s.batteries[0].charged = true;
                   s.batteries[0].lastUse = at(3, "09:00:00");
               })
            << Edit([](SampleStore &s) { discharge(s, 0, at(3, "11:00:00")); }) << true
            << QStringList { "A empty", "A capacity 2200 cycles 3" } << QStringList();
        QTest::newRow("deleted there")
            << none << Edit([](SampleStore &s) { s.batteries.remove(1); }) << true
            << QStringList { "batteries A" } << QStringList();
        QTest::newRow("deleted here, a cycle there")
            << Edit([](SampleStore &s) { s.batteries.remove(0); })
            << Edit([](SampleStore &s) { discharge(s, 0, at(3, "10:00:00")); }) << true
            << QStringList { "batteries B", "M flights 1-10:00,2-10:00,3-10:00" }
            << QStringList { "DeletedChanged" };
        QTest::newRow("a cycle here, deleted there")
            << Edit([](SampleStore &s) { discharge(s, 0, at(3, "10:00:00")); })
            << Edit([](SampleStore &s) { s.batteries.remove(0); }) << true
            << QStringList { "batteries A,B", "A capacity 2200 cycles 3" }
            << QStringList { "DeletedChanged" };
        QTest::newRow("renamed there")
            << none << Edit([](SampleStore &s) { s.batteries[1].name = "B2"; }) << true
            << QStringList { "batteries A,B2" } << QStringList();
        QTest::newRow("renamed there, flown here")
            << Edit([](SampleStore &s) { discharge(s, 0, at(3, "10:00:00")); })
            << Edit([](SampleStore &s) {
                   s.batteries[0].name = "A2";
                   s.models[0].batteries = QStringList { "A2", "B" };
               })
            << true << QStringList { "batteries A,B", "A capacity 2200 cycles 3", "M packs A,B" }
            << QStringList { "Rename Name" };
        QTest::newRow("deleted here, a new pack flown here") << Edit([](SampleStore &s) {
            s.batteries[1] = pack("C");
            discharge(s, 1, at(3, "10:00:00"));
        }) << Edit([](SampleStore &s) {
            s.batteries[1].capacity = 5000;
        }) << true << QStringList { "batteries A,C" } << QStringList { "DeletedChanged" };
        QTest::newRow("one moment, two packs")
            << Edit([](SampleStore &s) { discharge(s, 0, at(3, "10:00:00")); })
            << Edit([](SampleStore &s) { discharge(s, 1, at(3, "10:00:00")); }) << true
            << QStringList { "A capacity 2200 cycles 3", "B capacity 4500 cycles 0", "B entries ",
                   "M flights 1-10:00,2-10:00,3-10:00" }
            << QStringList { "Pairing" };
        QTest::newRow("assignments and locations") << Edit([](SampleStore &s) {
            s.models[0].batteries << "B";
            s.locations << "Lake";
        }) << Edit([](SampleStore &s) {
            s.models[0].batteries.clear();
            s.locations.removeAll("Park");
        }) << true << QStringList { "M packs B", "locations Field,Lake" }
                                                   << QStringList();
        QTest::newRow("flight fields")
            << Edit([](SampleStore &s) { s.models[0].flightLog[0].notes = "gusty"; })
            << Edit([](SampleStore &s) {
                   s.models[0].flightLog[0].notes = "calm";
                   s.models[0].flightLog[1].temperature = 25;
               })
            << true << QStringList { "M notes gusty" } << QStringList { "Field Notes" };
        QTest::newRow("no base: the union")
            << Edit([](SampleStore &s) { s.batteries << pack("C"); })
            << Edit([](SampleStore &s) { s.batteries.remove(1); }) << false
            << QStringList { "batteries A,B,C" } << QStringList();
        QTest::newRow("no base: values apart")
            << Edit([](SampleStore &s) { s.batteries[0].cycles = 5; }) << none << false
            << QStringList { "A capacity 2200 cycles 5" } << QStringList { "Field Cycles" };
    }

    void mergesTwoVersions()
    {
        QFETCH(Edit, ours);
        QFETCH(Edit, theirs);
        QFETCH(bool, withBase);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, conflicts);
        const SampleStore base = shared();
        SampleStore mine = base, other = base;
        ours(mine);
        theirs(other);
        const StoreRecords *from = withBase ? &base : nullptr;
        const StoreMerge::Result merged = StoreMerge::merge(from, mine, other);
        const QStringList got = facts(merged.records);
        for (const QString &fact : expected)
            QVERIFY2(got.contains(fact), qPrintable(fact + " not in " + got.join('|')));
        QStringList kinds;
        QSet<QString> keys;
        for (const StoreMerge::Conflict &conflict : merged.conflicts) {
            const char *names[] = { "Field", "DeletedChanged", "Rename", "Pairing" };
            kinds << QString(names[int(conflict.kind)] + QString(" ") + conflict.field).trimmed();
            keys << conflict.key;
        }
        QCOMPARE(kinds, conflicts);
        QCOMPARE(merged.withoutBase, !withBase);
        const StoreMerge::Result there
            = StoreMerge::merge(from, other, mine, StoreMerge::Lead::Theirs);
        QCOMPARE(RecordWriter::wholeDocument(
                     StoreMerge::merge(from, mine, other, StoreMerge::Lead::Ours, keys).records),
            RecordWriter::wholeDocument(there.records));
    }

    // The base of a merge: the newest version this machine read, or wrote and the other
    // machine's version shows it had; the same after the history was written and read back.
    void baseIsTheNewestVersionBothHad_data()
    {
        QTest::addColumn<int>("from"); // the version the other machine changed
        QTest::addColumn<bool>("charged"); // there at another moment than here
        QTest::newRow("read here") << 0 << false;
        QTest::newRow("a discharge written here") << 1 << false;
        QTest::newRow("a charge written after it") << 2 << false;
        QTest::newRow("charged there too") << 1 << true;
    }

    void baseIsTheNewestVersionBothHad()
    {
        QFETCH(int, from);
        QFETCH(bool, charged);
        // Large enough for many pieces of history before and after the change.
        QVector<SampleStore> versions { shared() };
        for (int i = 0; i < 300; ++i) {
            versions[0].locations << QString("Field %1").arg(i);
            versions[0].models[0].flightLog
                << SampleFlight { at(4, "10:00:00").addSecs(i), QTime(), "", 0, "" };
        }
        versions << versions.last();
        discharge(versions.last(), 0, at(3, "10:00:00"));
        versions << versions.last();
        versions.last().batteries[1].charged = true;
        versions.last().batteries[1].lastUse = at(3, "11:00:00");
        SampleStore theirs = versions[from];
        theirs.batteries << pack("C");
        theirs.batteries[1].name = "B2"; // a rename there too
        if (charged) {
            theirs.batteries[1].charged = true;
            theirs.batteries[1].lastUse = at(3, "12:00:00");
        }
        auto history = std::make_unique<SyncBase>(dir->path());
        QVERIFY(history->isEmpty());
        history->noteSeen(storeBytes(versions[0]));
        history->noteWritten(storeBytes(versions[1]));
        history->noteWritten(storeBytes(versions[2]));
        for (int pass = 0; pass < 2; ++pass) {
            StoreRecords base;
            QVERIFY(history->commonBase(theirs, &base));
            QCOMPARE(RecordWriter::wholeDocument(base), storeBytes(versions[from]));
            QCOMPARE(history->newest(), storeBytes(versions[2]));
            QVERIFY(history->save());
            history = std::make_unique<SyncBase>(dir->path());
        }
        QVERIFY(QFileInfo::exists(SyncBase::folderFor(dir->path()) + "/history"));
    }

    // The sync engines' copies found by their names, beside the data file and among the
    // rescue copies; kept there or merged into the index, never rotated away.
    void syncCopiesFoundAndKept()
    {
        const QDir folder(dir->path());
        QVERIFY(folder.mkpath("rescue"));
        const QStringList copies { "cellora (Anna's conflicted copy 2026-12-07).xml",
            "cellora (Case Conflict 1).xml", "cellora (conflicted copy 2026-12-07 022957).xml",
            "cellora.sync-conflict-20261207-022957-VUU4AIH.lock",
            "cellora.sync-conflict-20261207-022957-VUU4AIH.xml",
            "rescue/cellora_2026-12-07_02-29-57.sync-conflict-20261207-023010-ABCDEFG.xml",
            "rescue/copies.sync-conflict-20261207-022957-VUU4AIH.index" };
        const QStringList others { "cellora.xml", "cellora.sync-conflict-x.xml",
            "notes (conflicted copy).txt", "rescue/cellora_2026-12-07_02-29-57.xml",
            "rescue/cellora (conflicted copy 2026-12-01).xml" };
        for (const QString &name : copies + others)
            QVERIFY(writeBytes(folder.filePath(name), name.toUtf8()));
        QStringList found;
        for (const SyncCopies::Copy &copy : SyncCopies::find(folder.path()))
            found << folder.relativeFilePath(copy.path) + " " + QString::number(int(copy.of));
        QCOMPARE(found,
            (QStringList { copies[0] + " 0", copies[1] + " 0", copies[2] + " 0", copies[3] + " 1",
                copies[4] + " 0", copies[5] + " 3", copies[6] + " 2" }));

        QVERIFY(writeBytes(folder.filePath(copies[6]), "cellora_2026-12-07_02-29-57.xml\n"));
        QVERIFY(SyncCopies::mergeIndexCopy(folder.path(), folder.filePath(copies[6])));
        QVERIFY(SyncCopies::adoptRescueCopy(folder.path(), folder.filePath(copies[5])));
        QVERIFY(SyncCopies::keepAmongRescueCopies(folder.path(), folder.filePath(copies[4])));
        QCOMPARE(bytesOf(folder.filePath("rescue/cellora_2026-12-07_02-29-57_1.xml")),
            copies[5].toUtf8());
        RescueCopies rescue(folder.path());
        for (int i = 0; i < RescueCopies::kept + 2; ++i)
            QVERIFY(rescue.keep("copy " + QByteArray::number(i)));
        rescue.rotate();
        const QByteArray kept = '\n' + bytesOf(folder.filePath("rescue/copies.index"));
        QVERIFY(kept.contains("\ncellora.sync-conflict-20261207-022957-VUU4AIH.xml "));
        QVERIFY(!kept.contains("\ncellora_2026-12-07_02-29-57_1.xml ")); // rotated as the store's
        QCOMPARE(rescue.copies(true).filter("sync-conflict").size(), 1);
        QVERIFY(SyncCopies::find(folder.path()).size() == 4 && !folder.exists(copies[4]));
    }
};

QTEST_MAIN(TestStore)
#include "tst_store.moc"
