// The window and its records as people meet them: the card's texts, a screen reader's names,
// long names, the keyboard alone, and every shown text translated and extracted.

#include "records/elidinglabel.h"
#include "window/chartclasses.h"
#include "windowsupport.h"

#include <tuple>

using namespace TestSupport;

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *described = QAccessible::queryAccessibleInterface(widget);
    return described ? described->text(QAccessible::Name) : QString();
}

// Every control that takes focus, hidden or not, that a screen reader could not name.
QStringList unnamedControls(const CelloraGui &win)
{
    QStringList unnamed;
    for (QWidget *widget : win.findChildren<QWidget *>()) {
        if (widget->focusPolicy() != Qt::NoFocus && accessibleName(widget).isEmpty())
            unnamed << widget->objectName() + " (" + widget->metaObject()->className() + ')';
    }
    return unnamed;
}

// Whether a name label shows, within its width, all of `name` or a start and an end of it
// around "…".
bool showsFitting(const QLabel *label, const QString &name)
{
    const QString shown = label->text();
    const int mark = shown.indexOf(QChar(0x2026));
    if (label->fontMetrics().horizontalAdvance(shown) > label->width())
        return false;
    return shown == name
        || (mark > 0 && mark < shown.size() - 1 && shown.size() - 1 <= name.size()
            && name.startsWith(shown.left(mark)) && name.endsWith(shown.mid(mark + 1)));
}

// A key pressed where the keyboard is: the focused control, or else the active window.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : QApplication::activeWindow(), Qt::Key(key), modifiers);
}

// Presses Tab until `target` has the focus; false after a whole round without it.
bool tabTo(QWidget *target)
{
    for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i)
        press(Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

// The texts of the extraction by context, without those that vanished from the sources.
QMap<QString, QSet<QString>> readExtraction()
{
    QMap<QString, QSet<QString>> extraction;
    QFile file(QStringLiteral(CELLORA_TRANSLATION_SOURCE));
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")
            && !QStringList({ "vanished", "obsolete" })
                    .contains(xml.attributes().value("type").toString()))
            extraction[context].insert(source);
    }
    return extraction;
}

const QChar openMark(0x27E6), closeMark(0x27E7);

// Answers every text with the source text between marks, so that a text on the screen
// shows whether it came through the translation, and notes what it was asked.
class MarkingTranslator : public QTranslator {
public:
    mutable QSet<QPair<QString, QString>> asked;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *text, const char *, int) const override
    {
        asked.insert({ QString::fromUtf8(context), QString::fromUtf8(text) });
        // Input masks and the paging arrows stay as they are: marks would change them.
        if (!QString::fromUtf8(text).contains(QRegularExpression("\\p{L}")))
            return QString::fromUtf8(text);
        return openMark + QString::fromUtf8(text) + closeMark;
    }
};

// The window's texts with a word that is neither marked, nor one of `names` from the data
// file, a unit, or the system's short day and month names of the date texts.
QStringList unmarkedTexts(const QWidget &window, const QStringList &names)
{
    QStringList words { "mAh", "A", "C" }, unmarked;
    for (int i = 1; i <= 12; ++i)
        words << QLocale::system().monthName(i, QLocale::ShortFormat).remove('.')
              << QLocale::system().dayName(qMin(i, 7), QLocale::ShortFormat).remove('.');
    const auto check = [&](const QWidget *widget, const QString &text) {
        QString rest = text;
        rest.remove(QRegularExpression(QString("%1[^%2]*%2").arg(openMark, closeMark)));
        for (const QString &name : names)
            rest.remove(name);
        for (auto it = QRegularExpression("\\p{L}+").globalMatch(rest); it.hasNext();) {
            if (!words.contains(it.next().captured()))
                unmarked << widget->objectName() + ": " + text;
        }
    };
    check(&window, window.windowTitle());
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        for (const QString &text :
            { widget->toolTip(), widget->statusTip(), widget->whatsThis(), widget->accessibleName(),
                widget->accessibleDescription(), widget->property("placeholderText").toString() })
            check(widget, text);
        if (widget->inherits("QLabel") || widget->inherits("QAbstractButton"))
            check(widget, widget->property("text").toString());
        if (const auto *view = qobject_cast<const QChartView *>(widget))
            check(widget, view->chart()->title());
    }
    return unmarked;
}

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

class TestPresentation : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    // Before the first load (every chooser empty) and with a store.
    void everyControlHasAName()
    {
        CelloraGui empty;
        empty.show();
        QVERIFY(QTest::qWaitForWindowExposed(&empty));
        QCOMPARE(unnamedControls(empty), QStringList());
        StoreWindow f;
        QVERIFY(f.open(heliFleet()));
        clickThrough(f.win, "pb_options pb_chart"); // the chart view joins its page
        QVERIFY(f.win.findChild<QChartView *>());
        QCOMPARE(unnamedControls(f.win), QStringList());
        QCOMPARE(
            namedChild(f.win, "pb_options")->toolTip() + namedChild(f.win, "pb_home")->toolTip(),
            "MenuHome");
    }

    // Names of fifty characters keep the window at its size on every page; names that differ
    // only at their end stay apart, cut in the middle, with the whole name as tool tip.
    void longNames()
    {
        const SampleStore store = longNamesStore(QDateTime::currentDateTime());
        StoreWindow f;
        CelloraGui &win = f.win;
        win.resize(345, 543);
        QVERIFY(f.open(store));
        auto *pages = namedChild<QStackedWidget>(win, "stackedWidget");
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            QVERIFY(win.minimumSizeHint().width() <= 345 && win.width() == 345);
        }
        pages->setCurrentIndex(0);
        QStringList shown;
        for (const BatteryWidget *card : overviewCards(win)) {
            const auto *name = namedChild<QLabel>(*card, "lbl_name");
            QVERIFY(showsFitting(name, card->batteryName()) && name->text() != card->batteryName());
            shown << name->text();
        }
        QVERIFY(shown.size() > 1 && shown.removeDuplicates() == 0);
        auto *chooser = namedChild<QComboBox>(win, "cb_select_model");
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), chooser->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(chooser, &help);
        QTRY_COMPARE(QToolTip::text(), store.models.first().name);
        clickThrough(win, "pb_options pb_options pb_logbook");
        auto *battery = namedChild<ElidingLabel>(win, "lbl_logview_battname");
        QVERIFY(
            battery->text() != battery->fullText() && showsFitting(battery, battery->fullText()));
        QCOMPARE(battery->toolTip(), battery->fullText());
        clickThrough(win, "pb_options pb_options pb_edit_data pb_choose_modify_battery");
        const auto *name = namedChild<QLineEdit>(win, "ledt_modifyBattery_name");
        QCOMPARE(name->toolTip(), name->text());
        QVERIFY(store.batteries.first().name.startsWith(name->text().left(10)));
    }

    // A Full discharge from the overview to the saved file with the keyboard alone.
    void keyboardOnlyDischarge()
    {
        setSetting("cellora", "Complex");
        StoreWindow f;
        QVERIFY(f.open(heliFleet()));
        f.win.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.win));
        auto *tank = namedChild<QToolButton>(*overviewCard(f.win, "Pack A"), "pushButton");
        QVERIFY(tabTo(tank));
        QVERIFY(namedChild(*tank, "focusRing")->isVisible());
        press(Qt::Key_Return); // on the focused tank
        QCOMPARE(shownPage(f.win), QStringLiteral("dischargeView"));
        QCOMPARE(namedChild<QLabel>(f.win, "lbl_discharge_battery")->text(), "Pack A in Heli");
        QApplication::processEvents(); // the added name keeps the window at its size
        QCOMPARE(f.win.minimumSizeHint().boundedTo(QSize(345, 543)), f.win.minimumSizeHint());
        // Every field in reading order, typed over; Tab leaves the notes, Ctrl+Tab does not.
        const std::pair<const char *, QString> walk[]
            = { { "dedt_dischargeDate", "05" }, { "tedt_dischargeTime", "17" },
                  { "sb_discharged_capacity", "3300" }, { "dsb_discharged_current", "90" },
                  { "cb_log_location", "S" }, { "sb_log_duration", "" }, { "sb_log_temp", "18" },
                  { "ptext_log_notes", "calm" }, { "pb_save_discharged", "" } };
        QVERIFY(tabTo(namedChild(f.win, "pb_home"))); // the last of the round
        for (const auto &step : walk) {
            press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), namedChild(f.win, step.first));
            QTest::keyClicks(QApplication::focusWidget(), step.second);
        }
        press(Qt::Key_Backtab);
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")->toPlainText(), "calm\t");
        press(Qt::Key_Backspace);
        press(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(shownPage(f.win), QStringLiteral("scrollLayout"));
        const QDate today = QDate::currentDate();
        const QString moment
            = QLocale::c().toString(QDate(today.year(), today.month(), 5), "ddd MMM d 17:");
        const QRegularExpression saved("<Cycle Discharged=\"3300\" Current=\"9000\" Date=\""
                + moment + ".*<LogData Date=\"" + moment
                + "[^>]*Location=\"South\"[^>]*Temperature=\"18\" "
                  "Notes=\"calm\"",
            QRegularExpression::DotMatchesEverythingOption);
        QVERIFY(readStore(f.dir.path()).contains(saved));
    }

    // A click into a date field picks the section under it; typing replaces it.
    void clickedSectionTakesTyping()
    {
        CelloraGui win;
        win.show();
        win.activateWindow();
        namedChild<QStackedWidget>(win, "stackedWidget")
            ->setCurrentWidget(namedChild(win, "dischargeView"));
        auto *date = namedChild<QDateEdit>(win, "dedt_dischargeDate");
        date->setDate(QDate(2023, 10, 30));
        auto *editor = date->findChild<QLineEdit *>();
        editor->setCursorPosition(4); // within the month of "30.10.23"
        const QPoint month = editor->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QTest::mouseClick(editor, Qt::LeftButton, Qt::NoModifier, month);
        QTest::keyClicks(date, "07");
        QCOMPARE(date->date(), QDate(2023, 7, 30));
        QTest::mouseClick(editor, Qt::LeftButton, Qt::NoModifier, QPoint(3, editor->height() / 2));
        QTest::keyClicks(date, "05");
        QCOMPARE(date->date(), QDate(2023, 7, 5));
    }

    // Every text the window shows, on every page and in every backup message, came through
    // the translation; every text asked of it is in the extraction, in its two contexts only.
    void everyShownTextIsTranslated()
    {
        MarkingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        setSetting("cellora", "Complex");
        QTemporaryDir backups;
        QStringList unmarked;
        {
            StoreWindow f;
            QVERIFY(f.open(heliFleet()));
            const auto shown = [&] {
                unmarked << unmarkedTexts(
                    f.win, { "North", "South", "East", "Pack A", "Pack B", "Spare", "Heli" });
            };
            shown();
            clickTank(overviewCard(f.win, "Pack A"));
            shown();
            // The delete button is pressed once, armed: "Yes".
            for (const QString &button : QString("save_discharged options logbook chart mode "
                                                 "edit_data choose_addbattery choose_addmodel "
                                                 "choose_addlocation choose_modify_battery "
                                                 "choose_modify_model choose_delbattery "
                                                 "deleteConfirm choose_delmodel "
                                                 "choose_dellocation backup")
                                             .split(' ')) {
                clickThrough(f.win, "pb_" + button);
                shown();
            }
            QVERIFY(writeBytes(backups.filePath("garbage.xml"), "not a store"));
            AnsweredDialogs dialogs;
            for (const QString &folder : { backups.path(), backups.filePath("missing/folder") }) {
                dialogs.answer({}, folder);
                f.win.on_pb_export_data_clicked();
                shown();
            }
            const QStringList exported = QDir(backups.path()).entryList({ "cellora_*.xml" });
            QCOMPARE(exported.size(), 1);
            for (const QString &file :
                { QString("missing.xml"), QString("garbage.xml"), exported[0] }) {
                f.win.importFile(backups.filePath(file));
                shown();
            }
        }
        QCoreApplication::removeTranslator(&translator);
        unmarked.removeDuplicates();
        QCOMPARE(unmarked, QStringList());
        const auto extraction = readExtraction();
        QCOMPARE(extraction.keys(), QStringList({ "BatteryWidget", "CelloraGui" }));
        QStringList missing;
        for (const auto &text : qAsConst(translator.asked)) {
            // Qt's own classes ask for their texts as well; they are not ours to extract.
            if (!text.first.startsWith('Q') && !extraction.value(text.first).contains(text.second))
                missing << text.first + ": " + text.second;
        }
        QCOMPARE(missing, QStringList());
        QVERIFY(translator.asked.contains(
            qMakePair(QString("CelloraGui"), QString("Vantrix %1.%2.%3"))));
        QVERIFY(translator.asked.contains(qMakePair(QString("BatteryWidget"), QString("Cycles:"))));
    }

    // The rate text in either order of setting, a charge rate of 0 clearing nothing; currents
    // with two decimals where hundredths are set; the largest numbers unsigned.
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
            return showsFitting(name, card.batteryName()) ? int(name->text() == card.batteryName())
                                                          : -1;
        };
        card.setBatteryName(longName);
        QCOMPARE(shownWhole(), 0);
        QCOMPARE(card.batteryName() + card.toolTip(), longName + longName);
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

    // Cycle data notifies when asked; the older of two entries of a moment answers a search.
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
        QCOMPARE(
            card.cycleDischarged() + card.cycleCurrents(), QVector<uint>({ 3200, 0, 4000, 0 }));
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
        const auto labelTexts = [](const BatteryWidget &card) {
            QStringList texts;
            for (const QLabel *label : card.findChildren<QLabel *>())
                texts << label->objectName() + '=' + label->text();
            return texts;
        };
        for (bool whole : { true, false }) {
            BatteryWidget plain, held;
            const QStringList before = labelTexts(held);
            held.holdCardLabels();
            for (BatteryWidget *card : { &plain, &held }) {
                card->setBatteryCycles(7);
                if (!whole)
                    continue;
                card->setBatteryName("Pack");
                card->setBatteryCapacity(5000);
                card->setBatteryChargeRate(15);
                card->setBatteryRating(35);
                card->setBatteryCharged(true, false);
                card->setLastUpdated(QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9)));
                card->addCycleData(QDateTime(QDate(2024, 3, 1), QTime(10, 15)), 3200, 4000, false);
                card->addCycleData(QDateTime(QDate(2024, 3, 2), QTime(9, 30)), 3350, 1250, false);
            }
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

    // A flight logged leaves the flight count and the last update alone (the logbook page
    // steps through the log). Batteries are listed once each, matched in their exact letters.
    void modelRecord()
    {
        ModelWidget model;
        model.setModelFlights(42);
        model.addLogData({ {}, {}, {}, 0, "1" });
        LogData out;
        QCOMPARE(model.lastLogData(out), 1);
        QCOMPARE(out.notes + ' ' + QString::number(model.modelFlights()), "1 42");
        QVERIFY(!model.lastUpdate().isValid());
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

QTEST_MAIN(TestPresentation)
#include "tst_presentation.moc"
