// The battery card and the model record on their own.

#include "windowsupport.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <tuple>

using namespace TestSupport;

namespace {

QString labelText(const BatteryWidget &card, const char *name)
{
    return namedChild<QLabel>(card, name)->text();
}

QToolButton *tank(const BatteryWidget &card)
{
    return namedChild<QToolButton>(card, "pushButton");
}

// The cards share their tank icons, so a fresh card gives the key of each tank.
quint64 tankIconKey(bool full)
{
    BatteryWidget card;
    card.setBatteryCharged(full, false);
    return tank(card)->icon().cacheKey();
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    // The rate text is the same in either order of setting; a charge rate of 0 never
    // clears one already set. Currents show two decimals where hundredths are set, and the
    // largest numbers the file holds stay unsigned.
    void valueTexts()
    {
        for (const auto &[rating, chargeRate, text] : { std::tuple(0u, 0u, "0C"),
                 std::tuple(25u, 7u, "25C/0.7C"), std::tuple(45u, 20u, "45C/2.0C") }) {
            BatteryWidget ratingFirst, chargeRateFirst;
            ratingFirst.setBatteryRating(rating);
            ratingFirst.setBatteryChargeRate(chargeRate);
            chargeRateFirst.setBatteryChargeRate(chargeRate);
            chargeRateFirst.setBatteryRating(rating);
            chargeRateFirst.setBatteryChargeRate(0);
            QCOMPARE(labelText(ratingFirst, "lbl_rate") + labelText(chargeRateFirst, "lbl_rate"),
                QString(text).repeated(2));
            QCOMPARE(chargeRateFirst.batteryChargeRate(), chargeRate);
        }
        QStringList currents;
        for (uint value : { 0u, 4000u, 1250u, 1205u, 4294967295u }) {
            BatteryWidget card;
            card.setBatteryLastMaxCurrent(value);
            currents << labelText(card, "lbl_maxCurrent");
        }
        QCOMPARE(currents.join(' '), "0.0A 40.0A 12.50A 12.05A 42949672.95A");
        BatteryWidget card;
        card.setBatteryCapacity(4294967295u);
        card.setBatteryLastDischarged(4294967295u);
        card.setBatteryCycles(4294967295u);
        QCOMPARE(labelText(card, "lbl_capacity") + labelText(card, "lbl_discharged")
                + labelText(card, "lbl_cycles"),
            "4294967295mAh4294967295mAh4294967295");
    }

    // An empty tank's click marks it charged; a charged one's only asks for its discharge.
    // The icon-only button says what a click does now, and for which battery.
    void tankButton()
    {
        QVERIFY(tankIconKey(true) != tankIconKey(false));
        BatteryWidget card;
        card.setBatteryName("Voltra #1");
        QCOMPARE(tank(card)->icon().cacheKey(), tankIconKey(false));
        QSignalSpy changed(&card, &BatteryWidget::dataChanged);
        QSignalSpy chargeClicked(&card, &BatteryWidget::chargeBatteryClicked);
        const auto state = [&] {
            return QString("%1 %2 %3 / %4")
                .arg(changed.count())
                .arg(chargeClicked.count())
                .arg(tank(card)->toolTip(), tank(card)->accessibleName());
        };
        QCOMPARE(state(), "0 0 Mark as charged / Voltra #1: mark as charged");

        const QDateTime before = QDateTime::currentDateTime();
        tank(card)->click();
        QVERIFY(card.batteryCharged());
        QCOMPARE(state(), "1 0 Record a discharge / Voltra #1: record a discharge");
        QVERIFY(card.lastUpdated() >= before && card.lastUpdated() <= QDateTime::currentDateTime());
        QCOMPARE(tank(card)->icon().cacheKey(), tankIconKey(true));

        const QDateTime chargedAt = card.lastUpdated();
        tank(card)->click();
        QVERIFY(card.batteryCharged());
        QCOMPARE(state(), "1 1 Record a discharge / Voltra #1: record a discharge");
        QCOMPARE(card.lastUpdated(), chargedAt);
        card.setBatteryCharged(false, false);
        card.setBatteryName("Voltra #2");
        QCOMPARE(state(), "1 1 Mark as charged / Voltra #2: mark as charged");
    }

    // From the opposite state and a stale last use: only "charged" with notice emits.
    void setBatteryCharged()
    {
        for (const auto &[charged, notify, emitted] :
            { std::tuple(true, true, 1), std::tuple(true, false, 0), std::tuple(false, true, 0),
                std::tuple(false, false, 0) }) {
            BatteryWidget card;
            card.setBatteryCharged(!charged, false);
            card.setLastUpdated(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
            QSignalSpy changed(&card, &BatteryWidget::dataChanged);

            card.setBatteryCharged(charged, notify);
            QCOMPARE(card.batteryCharged(), charged);
            QCOMPARE(changed.count(), emitted);
            QVERIFY(card.lastUpdated().secsTo(QDateTime::currentDateTime()) < 5);
            QCOMPARE(labelText(card, "lbl_dateTime"), card.lastUpdated().toString(Qt::TextDate));
            QCOMPARE(tank(card)->icon().cacheKey(), tankIconKey(charged));
        }
    }

    // A name wider than its label is cut in the middle with an ellipsis, anew whenever the
    // label's width or font changes; the card's tool tip always holds the whole name.
    void nameOnCard()
    {
        const QString longName = QStringLiteral(
            "Graphene Panther 6S 5000 mAh Wettbewerbs-Akku #1 \U0001F50B \u00c4\u00d6\u00dc");
        BatteryWidget card;
        card.resize(260, 170);
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        auto *name = namedChild<QLabel>(card, "lbl_name");
        const auto shownWhole = [&] { // 1: whole, 0: cut in the middle, -1: neither, or too wide
            if (name->fontMetrics().horizontalAdvance(name->text()) > name->width())
                return -1;
            if (name->text() == card.batteryName())
                return 1;
            return cutInMiddle(name->text(), card.batteryName()) ? 0 : -1;
        };

        card.setBatteryName(longName);
        QCOMPARE(shownWhole(), 0);
        QCOMPARE(card.batteryName(), longName);
        QCOMPARE(card.toolTip(), longName);
        card.resize(2000, 170);
        QTRY_COMPARE(shownWhole(), 1);
        QFont larger = name->font();
        larger.setPointSize(40);
        name->setFont(larger);
        QCOMPARE(shownWhole(), 0);
        name->setFont(QFont());
        card.resize(260, 170);
        QTRY_COMPARE(shownWhole(), 0);
        card.setBatteryName("Voltra #1");
        QCOMPARE(shownWhole(), 1);
        QCOMPARE(card.toolTip(), QStringLiteral("Voltra #1"));
    }

    // Cycle data adds without notice unless asked; the older of two entries with one moment
    // answers a search, a moment a second off none.
    void cycleData()
    {
        BatteryWidget card;
        QSignalSpy changed(&card, &BatteryWidget::dataChanged);
        const QDateTime when(QDate(2019, 2, 2), QTime(9, 30));
        card.addCycleData(when, 3200, 4000, false);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(
            labelText(card, "lbl_discharged") + labelText(card, "lbl_maxCurrent"), "3200mAh40.0A");
        card.addCycleData(when, true); // the short form, with the same moment
        QCOMPARE(changed.count(), 1);
        QCOMPARE(labelText(card, "lbl_discharged") + labelText(card, "lbl_maxCurrent"), "0mAh0.0A");
        QCOMPARE(card.cycleDates(), QVector<QDateTime>({ when, when }));
        QCOMPARE(card.cycleDischarged(), QVector<uint>({ 3200, 0 }));
        QCOMPARE(card.cycleCurrents(), QVector<uint>({ 4000, 0 }));

        uint discharged = 7, current = 8;
        QVERIFY(!card.findCycleData(when.addSecs(1), discharged, current));
        QCOMPARE(discharged + current, 15u);
        QVERIFY(card.findCycleData(when, discharged, current));
        QCOMPARE(std::pair(discharged, current), std::pair(3200u, 4000u));
    }

    // A card filled with its labels held shows, once shown, what the same calls show on
    // their own; a label no call touched keeps its form's text.
    void heldCardLabels()
    {
        const std::function<void(BatteryWidget &)> fillings[] = {
            [](BatteryWidget &card) {
                card.setBatteryName("Pack");
                card.setBatteryCapacity(5000);
                card.setBatteryChargeRate(15);
                card.setBatteryRating(35);
                card.setBatteryCycles(2);
                card.setBatteryCharged(true, false);
                card.setLastUpdated(QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9)));
                card.addCycleData(QDateTime(QDate(2024, 3, 1), QTime(10, 15)), 3200, 4000, false);
                card.addCycleData(QDateTime(QDate(2024, 3, 2), QTime(9, 30)), 3350, 1250, false);
            },
            [](BatteryWidget &card) { card.setBatteryCycles(7); },
        };
        const auto labelTexts = [](const BatteryWidget &card) {
            QStringList texts;
            for (const QLabel *label : card.findChildren<QLabel *>())
                texts << label->objectName() + '=' + label->text();
            return texts;
        };
        for (const auto &fill : fillings) {
            BatteryWidget plain, held;
            fill(plain);
            const QStringList before = labelTexts(held);
            held.holdCardLabels();
            fill(held);
            QCOMPARE(labelTexts(held), before);
            held.showCardLabels();
            QCOMPARE(labelTexts(held), labelTexts(plain));
            held.setBatteryCycles(9); // shown at once again
            QCOMPARE(labelText(held, "lbl_cycles"), "9");
        }
    }

    // Mode 1 shows the Discharged and Max. Current rows, 0 hides them, others leave them.
    void viewMode()
    {
        BatteryWidget card;
        const auto rows
            = card.findChildren<QLabel *>(QRegularExpression("^lbl_(discharged|maxCurrent)"));
        QCOMPARE(rows.size(), 4);
        QStringList seen;
        for (int mode : { 0, 1, 2, 0, 2, -1 }) {
            if (!seen.isEmpty())
                card.setViewMode(mode);
            seen << QString::number(card.viewMode()) + ':';
            for (const QLabel *row : rows)
                seen.last() += row->isVisibleTo(&card) ? '+' : '-';
        }
        QCOMPARE(seen.join(' '), QStringLiteral("0:---- 1:++++ 2:++++ 0:---- 2:---- -1:----"));
    }

    // The cursor starts at the newest entry and never wraps; an empty log leaves out alone.
    // Batteries are listed once each, matched in their exact letters.
    void modelRecord()
    {
        for (const auto &[entries, steps, expected] :
            { std::tuple(3, "<<<>>>", "2+ 1- 1- 2+ 3- 3-"), std::tuple(1, "><", "1- 1-"),
                std::tuple(0, "><", "0- 0-") }) {
            ModelWidget model;
            model.setModelFlights(42);
            for (int n = 1; n <= entries; ++n)
                model.addLogData({ {}, {}, {}, 0, QString::number(n) });
            QCOMPARE(model.modelFlights(), 42u);
            QVERIFY(!model.lastUpdate().isValid());
            LogData out { {}, {}, {}, 0, "0" };
            QCOMPARE(model.lastLogData(out), entries);
            QCOMPARE(out.notes, QString::number(entries));
            QStringList seen;
            for (const char step : QByteArray(steps)) {
                const bool more = step == '>' ? model.nextLogData(out) : model.previousLogData(out);
                seen << out.notes + (more ? '+' : '-');
            }
            QCOMPARE(seen.join(' '), QString(expected));
        }

        ModelWidget model;
        for (const char *name : { "Pack A", "Pack B", "Pack A", "Pack C" })
            model.addBattery(name);
        QCOMPARE(model.modelBatteries(), QVector<QString>({ "Pack A", "Pack B", "Pack C" }));
        QVERIFY(
            model.hasBattery("Pack A") && !model.hasBattery("pack a") && !model.hasBattery("Pack"));
        for (const char *name : { "pack b", "Pack D", "Pack B" })
            model.removeBattery(name);
        QCOMPARE(model.modelBatteries(), QVector<QString>({ "Pack A", "Pack C" }));
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
