// The window worked at the flying field: by keyboard alone, with names that differ only
// at their end, and with a discharge page that says what it records.

#include "windowsupport.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace TestSupport;

namespace {

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

} // namespace

class TestFieldwork : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    // A Full discharge from the overview to the saved file with the keyboard alone.
    void keyboardOnlyDischarge()
    {
        setSetting("cellora", "Complex");
        StoreWindow f;
        QVERIFY(f.open(
            { { "North", "South" }, { pack("Pack A", 4500, 30, 12, true), pack("Pack B", 2200) },
                { model("Heli", { "Pack A", "Pack B" }) } }));
        f.win.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.win));

        auto *tank = namedChild<QToolButton>(*overviewCard(f.win, "Pack A"), "pushButton");
        QVERIFY(tabTo(tank));
        QVERIFY(namedChild(*tank, "focusRing")->isVisible());
        press(Qt::Key_Return); // on the focused tank
        QCOMPARE(shownPage(f.win), QStringLiteral("dischargeView"));
        QCOMPARE(namedChild<QLabel>(f.win, "lbl_discharge_battery")->text(),
            QStringLiteral("Pack A in Heli"));
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
        const QString file = readStore(f.dir.path());
        const QDate today = QDate::currentDate();
        const QString moment
            = QLocale::c().toString(QDate(today.year(), today.month(), 5), "ddd MMM d 17:");
        QVERIFY2(file.contains("<LogData Date=\"" + moment), qPrintable(file));
        QVERIFY2(file.contains("<Cycle Discharged=\"3300\" Current=\"9000\" Date=\"" + moment)
                && file.contains("Location=\"South\"")
                && file.contains("Temperature=\"18\" Notes=\"calm\""),
            qPrintable(file));
    }

    // A click into a date or time field picks the section under it; typing replaces it.
    void clickedSectionTakesTyping()
    {
        StoreWindow f;
        QVERIFY(f.open({ {}, { pack("Pack A") }, {} }));
        f.win.activateWindow();
        auto *pages = namedChild<QStackedWidget>(f.win, "stackedWidget");
        pages->setCurrentWidget(namedChild(f.win, "dischargeView"));
        auto *date = namedChild<QDateEdit>(f.win, "dedt_dischargeDate");
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

    // Names that differ only at their end stay apart on the cards, whole in the tool tips.
    void longNamesToldApart()
    {
        const QString stem = QStringLiteral("Graphene 6S 2200 mAh competition race pack #");
        StoreWindow f;
        QVERIFY(f.open({ {}, { pack(stem + "1"), pack(stem + "2"), pack(stem + "3") },
            { model("Heli", { stem + "1", stem + "2", stem + "3" }) } }));
        QStringList shown;
        for (BatteryWidget *card : overviewCards(f.win)) {
            const QString text = namedChild<QLabel>(*card, "lbl_name")->text();
            QVERIFY2(cutInMiddle(text, card->batteryName()), qPrintable(text));
            QCOMPARE(card->toolTip(), card->batteryName());
            shown << text;
        }
        QCOMPARE(shown.size(), 3);
        shown.removeDuplicates();
        QCOMPARE(shown.size(), 3);
    }
};

QTEST_MAIN(TestFieldwork)
#include "tst_fieldwork.moc"
