#include "records/batterywidget.h"
#include "sample/samplestore.h"
#include "testsupport.h"
#include "window/celloragui.h"

#include <QAccessible>
#include <QChartView>
#include <QPushButton>
#include <QtTest>

using namespace TestSupport;

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// "page: object (class)" for every focusable widget below `root` that a screen reader
// could not name.
QStringList unnamedControls(QWidget *root, const QString &page)
{
    QStringList unnamed;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (widget->focusPolicy() != Qt::NoFocus && accessibleName(widget).isEmpty())
            unnamed << QStringLiteral("%1: %2 (%3) proxy %4 policy %5 parent %6")
                           .arg(page, widget->objectName(), widget->metaObject()->className())
                           .arg(widget->focusProxy() ? widget->focusProxy()->objectName() : "none")
                           .arg(widget->focusPolicy())
                           .arg(widget->parentWidget()->metaObject()->className());
    }
    return unnamed;
}

} // namespace

class TestPresentation : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    // A screen reader names every control a person can reach, on every page.
    void everyControlHasAName()
    {
        {
            QComboBox c;
            c.show();
            qWarning("empty combo: '%s'", qPrintable(accessibleName(&c)));
            c.setAccessibleName("Named");
            qWarning("named combo: '%s'", qPrintable(accessibleName(&c)));
            c.addItem("item");
            qWarning("named combo with item: '%s'", qPrintable(accessibleName(&c)));
            QScrollArea a;
            qWarning("area: %d", a.focusPolicy());
        }
        StoreWindow f;
        QVERIFY(f.open(locationsXml({ "North" }) + batteryXml({ "Pack A", 4500, 30, 12, true })
            + batteryXml({ "Pack B", 2200, 25, 3, false })
            + modelXml("Heli", { "Pack A", "Pack B" })));
        clickThrough(f.win, "pb_options pb_chart"); // the chart view joins its page
        QVERIFY(f.win.findChild<QtCharts::QChartView *>());
        auto *pages = namedChild<QStackedWidget>(f.win, "stackedWidget");
        QStringList unnamed;
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            unnamed << unnamedControls(pages->widget(i), pages->widget(i)->objectName());
        }
        for (const char *button : { "pb_options", "pb_home" }) {
            if (accessibleName(namedChild(f.win, button)).isEmpty())
                unnamed << button;
        }
        for (auto &u : unnamed)
            qWarning("%s", qPrintable(u));
    }
};

QTEST_MAIN(TestPresentation)
#include "tst_presentation.moc"
