#include "records/batterywidget.h"
#include "records/elidinglabel.h"
#include "window/celloragui.h"
#include "window/chartclasses.h"
#include "windowsupport.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>

using namespace TestSupport;

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *described = QAccessible::queryAccessibleInterface(widget);
    return described ? described->text(QAccessible::Name) : QString();
}

// "page: object (class)" for every widget below `page` that takes focus but that a screen
// reader could not name; hidden ones too, since a refresh may show them.
QStringList unnamedControls(QWidget *page)
{
    QStringList unnamed;
    for (QWidget *widget : page->findChildren<QWidget *>()) {
        if (widget->focusPolicy() != Qt::NoFocus && accessibleName(widget).isEmpty())
            unnamed << QStringLiteral("%1: %2 (%3)")
                           .arg(page->objectName(), widget->objectName(),
                               widget->metaObject()->className());
    }
    return unnamed;
}

QStringList unnamedControlsOfEveryPage(CelloraGui &win)
{
    auto *pages = namedChild<QStackedWidget>(win, "stackedWidget");
    QStringList unnamed;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        unnamed << unnamedControls(pages->widget(i));
    }
    for (const char *button : { "pb_options", "pb_home" }) {
        if (accessibleName(namedChild(win, button)).isEmpty())
            unnamed << button;
    }
    return unnamed;
}

// Whether a name label shows all of `name`, or `name` cut in the middle, within its width.
bool showsFitting(const QLabel *label, const QString &name)
{
    const QString shown = label->text();
    if (label->fontMetrics().horizontalAdvance(shown) > label->width())
        return false;
    return shown == name || cutInMiddle(shown, name);
}

} // namespace

class TestPresentation : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    // A screen reader names every control a person can reach, on every page, before the
    // first load (every chooser empty) and with a store.
    void everyControlHasAName()
    {
        CelloraGui empty;
        empty.show();
        QVERIFY(QTest::qWaitForWindowExposed(&empty));
        QStringList unnamed = unnamedControlsOfEveryPage(empty);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join('\n')));

        StoreWindow f;
        QVERIFY(f.open(
            { { "North" }, { pack("Pack A", 4500, 30, 12, true), pack("Pack B", 2200, 25, 3) },
                { model("Heli", { "Pack A", "Pack B" }) } }));
        clickThrough(f.win, "pb_options pb_chart"); // the chart view joins its page
        QVERIFY(f.win.findChild<QChartView *>());
        unnamed = unnamedControlsOfEveryPage(f.win);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join('\n')));

        QCOMPARE(namedChild(f.win, "pb_options")->toolTip(), QStringLiteral("Menu"));
        QCOMPARE(namedChild(f.win, "pb_home")->toolTip(), QStringLiteral("Home"));
        const QList<BatteryWidget *> cards = overviewCards(f.win);
        QVERIFY(!cards.isEmpty());
        QCOMPARE(accessibleName(namedChild(*cards.first(), "pushButton")),
            QStringLiteral("Pack A: record a discharge"));
    }

    // Names of fifty characters keep the window at its size on every page; where a name
    // is cut, its whole text is the tool tip.
    void longNames()
    {
        const SampleStore store = longNamesStore(QDateTime::currentDateTime());
        QStringList names = store.locations;
        for (const SampleBattery &battery : store.batteries)
            names << battery.name;
        for (const SampleModel &model : store.models)
            names << model.name;
        for (const QString &name : qAsConst(names))
            QVERIFY2(name.toUcs4().size() == 50, qPrintable(name));

        QTemporaryDir dir;
        QVERIFY(writeStore(dir.path(), store));
        CelloraGui win;
        win.resize(345, 543);
        win.changeStoragePath(dir.path());
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        auto *pages = namedChild<QStackedWidget>(win, "stackedWidget");
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            QVERIFY2(win.minimumSizeHint().width() <= 345 && win.width() == 345,
                qPrintable(pages->currentWidget()->objectName()));
        }

        pages->setCurrentIndex(0);
        const QList<BatteryWidget *> cards = overviewCards(win);
        QVERIFY(!cards.isEmpty());
        for (const BatteryWidget *card : cards)
            QVERIFY(showsFitting(namedChild<QLabel>(*card, "lbl_name"), card->batteryName()));

        auto *chooser = namedChild<QComboBox>(win, "cb_select_model");
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), chooser->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(chooser, &help);
        QTRY_COMPARE(QToolTip::text(), store.models.first().name);

        clickThrough(win, "pb_options pb_options pb_logbook");
        auto *battery = namedChild<ElidingLabel>(win, "lbl_logview_battname");
        QVERIFY(battery->text() != battery->fullText());
        QVERIFY(showsFitting(battery, battery->fullText()));
        QCOMPARE(battery->toolTip(), battery->fullText());

        clickThrough(win, "pb_options pb_options pb_edit_data pb_choose_modify_battery");
        const auto *name = namedChild<QLineEdit>(win, "ledt_modifyBattery_name");
        QCOMPARE(name->toolTip(), name->text());
        QVERIFY(store.batteries.first().name.startsWith(name->text().left(10)));
    }
};

QTEST_MAIN(TestPresentation)
#include "tst_presentation.moc"
