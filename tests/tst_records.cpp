#include "records/batterywidget.h"
#include "records/modelwidget.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace {

QString labelText(const BatteryWidget &card, const char *name)
{
    const auto *label = card.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

QToolButton *tankButton(const BatteryWidget &card)
{
    return card.findChild<QToolButton *>(QStringLiteral("pushButton"));
}

// The cards share their tank icons, so two fresh cards give the keys of both tanks.
quint64 tankIconKey(bool full)
{
    BatteryWidget card;
    if (full)
        card.setBatteryCharged(true, false);
    return tankButton(card)->icon().cacheKey();
}

LogData entry(const QString &notes)
{
    LogData data;
    data.date = QDateTime(QDate(2020, 5, 1), QTime(10, 0));
    data.notes = notes;
    return data;
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    void rateText_data();
    void rateText();
    void valueTexts_data();
    void valueTexts();
    void tankButton_clicks();
    void setBatteryCharged_data();
    void setBatteryCharged();
    void addCycleData_data();
    void addCycleData();
    void findCycleData();
    void viewMode();
    void logBrowsing();
    void logBrowsingShortLogs();
    void batteryAssignment();
};

void TestRecords::rateText_data()
{
    QTest::addColumn<uint>("rating");
    QTest::addColumn<uint>("chargeRate");
    QTest::addColumn<QString>("expected");
    QTest::newRow("rating 0, no charge rate") << 0u << 0u << "0C";
    QTest::newRow("rating only") << 30u << 0u << "30C";
    QTest::newRow("1.5C") << 30u << 15u << "30C/1.5C";
    QTest::newRow("whole C") << 30u << 10u << "30C/1.0C";
    QTest::newRow("below 1C") << 25u << 7u << "25C/0.7C";
    QTest::newRow("two digits") << 45u << 20u << "45C/2.0C";
}

void TestRecords::rateText()
{
    QFETCH(uint, rating);
    QFETCH(uint, chargeRate);
    QFETCH(QString, expected);

    BatteryWidget ratingFirst;
    ratingFirst.setBatteryRating(rating);
    ratingFirst.setBatteryChargeRate(chargeRate);
    QCOMPARE(labelText(ratingFirst, "lbl_rate"), expected);

    BatteryWidget chargeRateFirst;
    chargeRateFirst.setBatteryChargeRate(chargeRate);
    chargeRateFirst.setBatteryRating(rating);
    QCOMPARE(labelText(chargeRateFirst, "lbl_rate"), expected);

    // A charge rate of 0 never clears one already set.
    chargeRateFirst.setBatteryChargeRate(0);
    QCOMPARE(chargeRateFirst.batteryChargeRate(), chargeRate);
    QCOMPARE(labelText(chargeRateFirst, "lbl_rate"), expected);
}

void TestRecords::valueTexts_data()
{
    QTest::addColumn<uint>("value");
    QTest::addColumn<QString>("current");
    QTest::newRow("zero") << 0u << "0.0A";
    QTest::newRow("whole amperes") << 4000u << "40.0A";
    QTest::newRow("tens of hundredths") << 1250u << "12.50A";
    QTest::newRow("single hundredths") << 1205u << "12.05A";
    QTest::newRow("below one ampere") << 99u << "0.99A";
    QTest::newRow("uint max") << 4294967295u << "42949672.95A";
}

void TestRecords::valueTexts()
{
    QFETCH(uint, value);
    QFETCH(QString, current);
    const QString mAh = QString::number(value) + QStringLiteral("mAh");

    BatteryWidget card;
    card.setBatteryLastMaxCurrent(value);
    card.setBatteryCapacity(value);
    card.setBatteryLastDischarged(value);
    card.setBatteryCycles(value);
    QCOMPARE(labelText(card, "lbl_maxCurrent"), current);
    QCOMPARE(labelText(card, "lbl_capacity"), mAh);
    QCOMPARE(labelText(card, "lbl_discharged"), mAh);
    QCOMPARE(labelText(card, "lbl_cycles"), QString::number(value));
}

void TestRecords::tankButton_clicks()
{
    QVERIFY(tankIconKey(true) != tankIconKey(false));
    BatteryWidget card;
    QCOMPARE(tankButton(card)->icon().cacheKey(), tankIconKey(false));
    QSignalSpy changed(&card, &BatteryWidget::dataChanged);
    QSignalSpy chargeClicked(&card, &BatteryWidget::chargeBatteryClicked);

    const QDateTime before = QDateTime::currentDateTime();
    tankButton(card)->click();
    QVERIFY(card.batteryCharged());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(chargeClicked.count(), 0);
    QVERIFY(card.lastUpdated() >= before && card.lastUpdated() <= QDateTime::currentDateTime());
    QCOMPARE(tankButton(card)->icon().cacheKey(), tankIconKey(true));

    const QDateTime chargedAt = card.lastUpdated();
    tankButton(card)->click();
    QVERIFY(card.batteryCharged());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(chargeClicked.count(), 1);
    QCOMPARE(card.lastUpdated(), chargedAt);
    QCOMPARE(tankButton(card)->icon().cacheKey(), tankIconKey(true));
}

void TestRecords::setBatteryCharged_data()
{
    QTest::addColumn<bool>("charged");
    QTest::addColumn<bool>("notify");
    QTest::addColumn<int>("emitted");
    QTest::newRow("charged, notify") << true << true << 1;
    QTest::newRow("charged, silent") << true << false << 0;
    QTest::newRow("empty, notify") << false << true << 0;
    QTest::newRow("empty, silent") << false << false << 0;
}

void TestRecords::setBatteryCharged()
{
    QFETCH(bool, charged);
    QFETCH(bool, notify);
    QFETCH(int, emitted);

    // Start from the opposite state, and from a stale last use.
    BatteryWidget card;
    card.setBatteryCharged(!charged, false);
    card.setLastUpdated(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    QSignalSpy changed(&card, &BatteryWidget::dataChanged);
    QSignalSpy chargeClicked(&card, &BatteryWidget::chargeBatteryClicked);

    card.setBatteryCharged(charged, notify);
    QCOMPARE(card.batteryCharged(), charged);
    QCOMPARE(changed.count(), emitted);
    QCOMPARE(chargeClicked.count(), 0);
    QVERIFY(card.lastUpdated().secsTo(QDateTime::currentDateTime()) < 5);
    QCOMPARE(labelText(card, "lbl_dateTime"), card.lastUpdated().toString(Qt::TextDate));
    QCOMPARE(tankButton(card)->icon().cacheKey(), tankIconKey(charged));
    QCOMPARE(tankButton(card)->iconSize(), QSize(100, 35));
    QVERIFY(tankButton(card)->autoRaise());
}

void TestRecords::addCycleData_data()
{
    QTest::addColumn<bool>("shortForm");
    QTest::addColumn<bool>("notify");
    QTest::newRow("full, silent") << false << false;
    QTest::newRow("full, notify") << false << true;
    QTest::newRow("short, silent") << true << false;
    QTest::newRow("short, notify") << true << true;
}

void TestRecords::addCycleData()
{
    QFETCH(bool, shortForm);
    QFETCH(bool, notify);

    BatteryWidget card;
    card.addCycleData(QDateTime(QDate(2019, 1, 1), QTime(8, 0)), 1000, 2500, false);
    QSignalSpy changed(&card, &BatteryWidget::dataChanged);
    const QDateTime when(QDate(2019, 2, 2), QTime(9, 30));
    if (shortForm)
        card.addCycleData(when, notify);
    else
        card.addCycleData(when, 3200, 4000, notify);

    QCOMPARE(changed.count(), notify ? 1 : 0);
    QCOMPARE(card.cycleDates().size(), 2);
    QCOMPARE(card.cycleDates().last(), when);
    QCOMPARE(card.cycleDischarged(), (QVector<uint> { 1000, shortForm ? 0u : 3200u }));
    QCOMPARE(card.cycleCurrents(), (QVector<uint> { 2500, shortForm ? 0u : 4000u }));
    QCOMPARE(labelText(card, "lbl_discharged"), shortForm ? "0mAh" : "3200mAh");
    QCOMPARE(labelText(card, "lbl_maxCurrent"), shortForm ? "0.0A" : "40.0A");
}

void TestRecords::findCycleData()
{
    BatteryWidget card;
    const QDateTime when(QDate(2019, 2, 2), QTime(9, 30));
    uint discharged = 7, current = 8;
    QVERIFY(!card.findCycleData(when, discharged, current));

    card.addCycleData(when.addDays(-1), 100, 200, false);
    card.addCycleData(when, 1100, 1200, false);
    card.addCycleData(when, 2100, 2200, false);
    QVERIFY(!card.findCycleData(when.addSecs(1), discharged, current));
    QCOMPARE(discharged, 7u);
    QCOMPARE(current, 8u);

    QVERIFY(card.findCycleData(when, discharged, current));
    QCOMPARE(discharged, 1100u);
    QCOMPARE(current, 1200u);
}

void TestRecords::viewMode()
{
    BatteryWidget card;
    const auto fullModeLabels
        = { "lbl_discharged_label", "lbl_discharged", "lbl_maxCurrent_label", "lbl_maxCurrent" };
    const auto rowsShown = [&] {
        int shown = 0;
        for (const char *name : fullModeLabels)
            shown += card.findChild<QLabel *>(QLatin1String(name))->isVisibleTo(&card) ? 1 : 0;
        return shown;
    };

    QCOMPARE(card.viewMode(), 0);
    QCOMPARE(rowsShown(), 0);
    QVERIFY(card.findChild<QLabel *>(QStringLiteral("lbl_cycles"))->isVisibleTo(&card));

    const QVector<QPair<int, int>> steps { { 1, 4 }, { 2, 4 }, { 0, 0 }, { 2, 0 }, { -1, 0 } };
    for (const auto &step : steps) {
        card.setViewMode(step.first);
        QCOMPARE(card.viewMode(), step.first);
        QCOMPARE(rowsShown(), step.second);
    }
}

void TestRecords::logBrowsing()
{
    ModelWidget model;
    for (const char *notes : { "first", "second", "third" })
        model.addLogData(entry(QLatin1String(notes)));

    LogData out;
    QCOMPARE(model.lastLogData(out), 3);
    QCOMPARE(out.notes, QStringLiteral("third"));

    // Each step: direction (true = next), expected entry, expected result.
    const QVector<std::tuple<bool, const char *, bool>> steps {
        { false, "second", true },
        { false, "first", false },
        { false, "first", false },
        { true, "second", true },
        { true, "third", false },
        { true, "third", false },
    };
    for (const auto &[forward, notes, more] : steps) {
        const bool result = forward ? model.nextLogData(out) : model.previousLogData(out);
        QCOMPARE(out.notes, QLatin1String(notes));
        QCOMPARE(result, more);
    }
}

void TestRecords::logBrowsingShortLogs()
{
    ModelWidget empty;
    LogData out = entry(QStringLiteral("untouched"));
    QCOMPARE(empty.lastLogData(out), 0);
    QVERIFY(!empty.nextLogData(out));
    QVERIFY(!empty.previousLogData(out));
    QCOMPARE(out.notes, QStringLiteral("untouched"));

    // One entry: every step shows it, with all its fields, and none goes further.
    ModelWidget single;
    const QDateTime created(QDate(2018, 6, 1), QTime(12, 0));
    single.setModelFlights(42);
    single.setLastUpdate(created);
    LogData flight = entry(QStringLiteral("windy"));
    flight.duration = QTime(0, 6, 30);
    flight.location = QStringLiteral("Field");
    flight.temperature = -5;
    single.addLogData(flight);
    QCOMPARE(single.modelFlights(), 42u);
    QCOMPARE(single.lastUpdate(), created);

    QCOMPARE(single.lastLogData(out), 1);
    QCOMPARE(out.date, flight.date);
    QCOMPARE(out.duration, flight.duration);
    QCOMPARE(out.location, flight.location);
    QCOMPARE(out.temperature, -5);
    QCOMPARE(out.notes, flight.notes);
    out = LogData();
    QVERIFY(!single.nextLogData(out));
    QCOMPARE(out.notes, flight.notes);
    out = LogData();
    QVERIFY(!single.previousLogData(out));
    QCOMPARE(out.notes, flight.notes);
}

void TestRecords::batteryAssignment()
{
    ModelWidget model;
    model.addBattery(QStringLiteral("Pack A"));
    model.addBattery(QStringLiteral("Pack B"));
    model.addBattery(QStringLiteral("Pack A"));
    model.addBattery(QStringLiteral("Pack C"));
    QCOMPARE(model.modelBatteries(), (QVector<QString> { "Pack A", "Pack B", "Pack C" }));
    QVERIFY(model.hasBattery(QStringLiteral("Pack A")));
    QVERIFY(!model.hasBattery(QStringLiteral("pack a")));
    QVERIFY(!model.hasBattery(QStringLiteral("Pack")));

    model.removeBattery(QStringLiteral("pack b"));
    model.removeBattery(QStringLiteral("Pack D"));
    QCOMPARE(model.modelBatteries().size(), 3);

    model.removeBattery(QStringLiteral("Pack B"));
    QCOMPARE(model.modelBatteries(), (QVector<QString> { "Pack A", "Pack C" }));
}

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
