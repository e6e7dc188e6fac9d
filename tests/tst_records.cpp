#include "records/batterywidget.h"
#include "records/modelwidget.h"

#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <tuple>
#include <utility>

namespace {

QString labelText(const BatteryWidget &card, const char *name)
{
    return card.findChild<QLabel *>(QLatin1String(name))->text();
}

QToolButton *tankButton(const BatteryWidget &card)
{
    return card.findChild<QToolButton *>(QStringLiteral("pushButton"));
}

// The cards share their tank icons, so a fresh card gives the key of each tank.
quint64 tankIconKey(bool full)
{
    BatteryWidget card;
    card.setBatteryCharged(full, false);
    return tankButton(card)->icon().cacheKey();
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    // The rate text is the same in either order of setting; a charge rate of 0 never
    // clears one already set.
    void rateText()
    {
        const struct {
            uint rating, chargeRate;
            const char *text;
        } rates[] = { { 0, 0, "0C" }, { 25, 7, "25C/0.7C" }, { 30, 10, "30C/1.0C" },
            { 45, 20, "45C/2.0C" } };
        for (const auto &rate : rates) {
            BatteryWidget ratingFirst, chargeRateFirst;
            ratingFirst.setBatteryRating(rate.rating);
            ratingFirst.setBatteryChargeRate(rate.chargeRate);
            chargeRateFirst.setBatteryChargeRate(rate.chargeRate);
            chargeRateFirst.setBatteryRating(rate.rating);
            chargeRateFirst.setBatteryChargeRate(0);
            QCOMPARE(labelText(ratingFirst, "lbl_rate"), QString(rate.text));
            QCOMPARE(labelText(chargeRateFirst, "lbl_rate"), QString(rate.text));
            QCOMPARE(chargeRateFirst.batteryChargeRate(), rate.chargeRate);
        }
    }

    void valueTexts()
    {
        const std::pair<uint, const char *> currents[] = { { 0, "0.0A" }, { 4000, "40.0A" },
            { 1250, "12.50A" }, { 1205, "12.05A" }, { 4294967295u, "42949672.95A" } };
        for (const auto &[value, current] : currents) {
            BatteryWidget card;
            card.setBatteryLastMaxCurrent(value);
            QCOMPARE(labelText(card, "lbl_maxCurrent"), QString(current));
        }
        // The largest numbers the file holds, unsigned.
        BatteryWidget card;
        card.setBatteryCapacity(4294967295u);
        card.setBatteryLastDischarged(4294967295u);
        card.setBatteryCycles(4294967295u);
        QCOMPARE(labelText(card, "lbl_capacity") + labelText(card, "lbl_discharged")
                + labelText(card, "lbl_cycles"),
            "4294967295mAh4294967295mAh4294967295");
    }

    void tankButtonClicks()
    {
        QVERIFY(tankIconKey(true) != tankIconKey(false));
        BatteryWidget card;
        QCOMPARE(tankButton(card)->icon().cacheKey(), tankIconKey(false));
        QSignalSpy changed(&card, &BatteryWidget::dataChanged);
        QSignalSpy chargeClicked(&card, &BatteryWidget::chargeBatteryClicked);

        const QDateTime before = QDateTime::currentDateTime();
        tankButton(card)->click();
        QVERIFY(card.batteryCharged());
        QCOMPARE(std::pair(int(changed.count()), int(chargeClicked.count())), std::pair(1, 0));
        QVERIFY(card.lastUpdated() >= before && card.lastUpdated() <= QDateTime::currentDateTime());
        QCOMPARE(tankButton(card)->icon().cacheKey(), tankIconKey(true));

        // Clicking a charged battery only asks for its discharge.
        const QDateTime chargedAt = card.lastUpdated();
        tankButton(card)->click();
        QVERIFY(card.batteryCharged());
        QCOMPARE(std::pair(int(changed.count()), int(chargeClicked.count())), std::pair(1, 1));
        QCOMPARE(card.lastUpdated(), chargedAt);
    }

    // The icon-only tank button says what a click does now, and for which battery.
    void tankButtonDescribesClick()
    {
        BatteryWidget card;
        card.setBatteryName("Voltra #1");
        const auto described = [&] {
            return tankButton(card)->toolTip() + " / " + tankButton(card)->accessibleName();
        };
        QCOMPARE(described(), QStringLiteral("Mark as charged / Voltra #1: mark as charged"));
        tankButton(card)->click();
        QCOMPARE(described(), QStringLiteral("Record a discharge / Voltra #1: record a discharge"));
        card.setBatteryCharged(false, false);
        card.setBatteryName("Voltra #2");
        QCOMPARE(described(), QStringLiteral("Mark as charged / Voltra #2: mark as charged"));
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
        auto *name = card.findChild<QLabel *>(QStringLiteral("lbl_name"));
        const auto shownWhole = [&] {
            const QString shown = name->text();
            const bool fits = name->fontMetrics().horizontalAdvance(shown) <= name->width();
            if (shown == card.batteryName())
                return fits ? 1 : -1;
            const int mark = shown.indexOf(QChar(0x2026));
            const bool cut = mark >= 0 && shown.size() > 1
                && card.batteryName().startsWith(shown.left(mark))
                && card.batteryName().endsWith(shown.mid(mark + 1));
            return fits && cut ? 0 : -1;
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
            QCOMPARE(tankButton(card)->icon().cacheKey(), tankIconKey(charged));
        }
    }

    void cycleData()
    {
        BatteryWidget card;
        QSignalSpy changed(&card, &BatteryWidget::dataChanged);
        const QDateTime when(QDate(2019, 2, 2), QTime(9, 30));
        card.addCycleData(when, 3200, 4000, false);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(labelText(card, "lbl_discharged") + labelText(card, "lbl_maxCurrent"),
            QStringLiteral("3200mAh40.0A"));
        card.addCycleData(when, true); // the short form, with the same moment
        QCOMPARE(changed.count(), 1);
        QCOMPARE(labelText(card, "lbl_discharged") + labelText(card, "lbl_maxCurrent"),
            QStringLiteral("0mAh0.0A"));
        QCOMPARE(card.cycleDates(), QVector<QDateTime>({ when, when }));
        QCOMPARE(card.cycleDischarged(), QVector<uint>({ 3200, 0 }));
        QCOMPARE(card.cycleCurrents(), QVector<uint>({ 4000, 0 }));

        // The older of two entries with one moment answers; a moment a second off, none.
        uint discharged = 7, current = 8;
        QVERIFY(!card.findCycleData(when.addSecs(1), discharged, current));
        QCOMPARE(discharged + current, 15u);
        QVERIFY(card.findCycleData(when, discharged, current));
        QCOMPARE(discharged, 3200u);
        QCOMPARE(current, 4000u);
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
        const auto state = [&] {
            QString text = QString::number(card.viewMode()) + ':';
            for (const QLabel *row : rows)
                text += row->isVisibleTo(&card) ? '+' : '-';
            return text;
        };
        QStringList seen { state() };
        for (int mode : { 1, 2, 0, 2, -1 }) {
            card.setViewMode(mode);
            seen << state();
        }
        QCOMPARE(seen.join(' '), QStringLiteral("0:---- 1:++++ 2:++++ 0:---- 2:---- -1:----"));
    }

    // The cursor starts at the newest entry and never wraps; an empty log leaves out alone.
    void logBrowsing()
    {
        const struct {
            int entries;
            const char *steps, *seen; // '<' previous, '>' next; the entry given and the result
        } cases[]
            = { { 3, "<<<>>>", "2+ 1- 1- 2+ 3- 3-" }, { 1, "><", "1- 1-" }, { 0, "><", "0- 0-" } };
        for (const auto &c : cases) {
            ModelWidget model;
            model.setModelFlights(42);
            for (int n = 1; n <= c.entries; ++n)
                model.addLogData({ {}, {}, {}, 0, QString::number(n) });
            QCOMPARE(model.modelFlights(), 42u);
            QVERIFY(!model.lastUpdate().isValid());

            LogData out { {}, {}, {}, 0, "0" };
            QCOMPARE(model.lastLogData(out), c.entries);
            QCOMPARE(out.notes, QString::number(c.entries));
            QStringList seen;
            for (const char step : QByteArray(c.steps)) {
                const bool more = step == '>' ? model.nextLogData(out) : model.previousLogData(out);
                seen << out.notes + (more ? '+' : '-');
            }
            QCOMPARE(seen.join(' '), QString(c.seen));
        }
    }

    void batteryAssignment()
    {
        ModelWidget model;
        for (const char *name : { "Pack A", "Pack B", "Pack A", "Pack C" })
            model.addBattery(name);
        QCOMPARE(model.modelBatteries(), QVector<QString>({ "Pack A", "Pack B", "Pack C" }));
        QVERIFY(model.hasBattery("Pack A"));
        QVERIFY(!model.hasBattery("pack a"));
        QVERIFY(!model.hasBattery("Pack"));

        for (const char *name : { "pack b", "Pack D", "Pack B" })
            model.removeBattery(name);
        QCOMPARE(model.modelBatteries(), QVector<QString>({ "Pack A", "Pack C" }));
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
