// Telemetry logs: reading and splitting them, and what their flights do to a logbook.

#include "exchange/telemetryimport.h"
#include "exchange/telemetrylog.h"
#include "storesupport.h"

#include <QBuffer>
#include <QtTest>

Q_DECLARE_METATYPE(TelemetryColumns)

namespace {

QString fixture(const QString &name)
{
    return QString(CELLORA_TEST_DATA "/telemetry/") + name;
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

// Kestrel 700 X: Quick entries at 10:01 on the 1st (P1) and far from any logged flight, one
// with figures at 10:02:30 (P2).
SampleStore logbook()
{
    SampleBattery p1 = TestSupport::pack("P1", 5000, 25, 2),
                  p2 = TestSupport::pack("P2", 5000, 25, 1);
    p1.cycleData = { { at(1, "10:01:00"), 0, 0 }, { at(3, "18:00:00"), 0, 0 } };
    p2.cycleData = { { at(1, "10:02:30"), 3100, 6000 } };
    SampleModel model = TestSupport::model("Kestrel 700 X", { "P1", "P2" });
    model.flightLog = { { at(1, "10:01:00"), QTime(0, 0), QString(), 0, QString() },
        { at(1, "10:02:30"), QTime(0, 4), QString(), 0, QString() },
        { at(3, "18:00:00"), QTime(0, 0), QString(), 0, QString() } };
    return { {}, { p1, p2 }, { model } };
}

} // namespace

class TelemetryTest : public QObject {
    Q_OBJECT

private slots:
    void flightsAndFigures_data();
    void flightsAndFigures();
    void modelNames();
    void fillsQuickEntriesOnly();
};

void TelemetryTest::flightsAndFigures_data()
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
        << QStringList { "02 11:00:00 25 505 4000 22000", "02 11:00:40 20 448 5000 22900" } << 0;
    // The ESC's own sensors win over the receiver's voltage, unless mapped otherwise.
    QTest::newRow("esc names") << QByteArray("Goblin-2026-05-03.csv") << usual << QString()
                               << QStringList { "03 09:00:00 10 250 12050 46500" } << 0;
    QTest::newRow("mapped") << QByteArray("Goblin-2026-05-03.csv")
                            << TelemetryColumns { "EscA(A)", "EscC(mAh)", "RxBt(V)" } << QString()
                            << QStringList { "03 09:00:00 10 250 12050 8000" } << 0;
    QTest::newRow("missing") << QByteArray("missing.csv") << usual << "cannot be read"
                             << QStringList() << 0;
    QTest::newRow("empty") << QByteArray() << usual << "the file is empty" << QStringList() << 0;
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
    QTest::newRow("header only") << QByteArray("Date,Time,Curr(A)\r\n") << usual << QString()
                                 << QStringList() << 0;
    // Names nobody knows find nothing until mapped; a huge line and a bad date are skipped.
    const QByteArray unknown = "Date,Time,I,Q\n2026-05-04,08:00:00,1,0\n" + QByteArray(100000, '7')
        + "\n2026-13-04,08:00:05,9,9\n2026-05-04,08:00:10,12.5,100\n";
    QTest::newRow("unknown names")
        << unknown << usual << QString() << QStringList { "04 08:00:00 10 0 0 -1" } << 2;
    QTest::newRow("unknown mapped")
        << unknown << TelemetryColumns { "I", "Q", QString() } << QString()
        << QStringList { "04 08:00:00 10 100 1250 -1" } << 2;
}

void TelemetryTest::flightsAndFigures()
{
    QFETCH(QByteArray, content);
    QFETCH(TelemetryColumns, chosen);
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    const TelemetryLog log = content.endsWith(".csv")
        ? readTelemetryFile(fixture(QString::fromUtf8(content)), chosen)
        : readTelemetryLog(buffer, "x-2026-05-04.csv", chosen);
    QTEST(log.error, "error");
    QTEST(describe(log.flights), "flights");
    QTEST(log.skippedRows, "skipped");
}

void TelemetryTest::modelNames()
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

void TelemetryTest::fillsQuickEntriesOnly()
{
    SampleStore store = logbook();
    const QVector<TelemetryLog> logs { readTelemetryFile(fixture("Kestrel 700 X-2026-05-01.csv")),
        readTelemetryFile(fixture("Goblin-2026-05-03.csv")) };
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
    QCOMPARE(store.batteries[1].cycleData[0].discharged, 3100u);
    QCOMPARE(store.models[0].flightLog[1].duration, QTime(0, 4));

    // Importing again finds every flight recorded: not one byte changes.
    const QByteArray once = TestSupport::storeBytes(store);
    QCOMPARE(applyTelemetryImport(store, proposeTelemetryImport(store, logs)), 0);
    QCOMPARE(TestSupport::storeBytes(store), once);

    // Ticked, figures are overwritten; a flight far from all entries goes, once, to the nearest.
    proposals = proposeTelemetryImport(store, logs);
    proposals[1].ticked = true;
    QCOMPARE(applyTelemetryImport(store, proposals), 1);
    QCOMPARE(store.batteries[1].cycleData[0].discharged, 495u);

    const QVector<TelemetryLog> far { readTelemetryFile(fixture("Kestrel 700 X-2026-05-01.csv")) };
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
    const QByteArray added = TestSupport::storeBytes(fresh);
    // An entry up to 15 minutes from the flight records it; one further away does not.
    for (const int minutes : { 15, 16 }) {
        SampleStore late = logbook();
        late.models[0].flightLog[0].date = at(1, "10:00:50").addSecs(minutes * 60);
        late.batteries[0].cycleData[0].date = late.models[0].flightLog[0].date;
        QCOMPARE(proposeTelemetryImport(late, far)[0].kind == TelemetryProposal::FillEntry,
            minutes == 15);
    }
    QCOMPARE(applyTelemetryImport(fresh, proposeTelemetryImport(fresh, far)), 0);
    QCOMPARE(TestSupport::storeBytes(fresh), added);
}

QTEST_GUILESS_MAIN(TelemetryTest)
#include "tst_telemetry.moc"
