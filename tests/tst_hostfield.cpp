// The desktop program on small and scaled screens, leaving a begun discharge through
// Home, and the pack report the same from the menu and the command line.

#include "host/batchcommands.h"
#include "host/homeguard.h"
#include "host/hostdialogs.h"
#include "host/hostwindow.h"
#include "windowsupport.h"

#include <QAction>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using namespace TestSupport;

namespace {

const SampleStore fleet { { "Field" }, { pack("Pack A", 4000, 25, 3, true), pack("Pack B", 2200) },
    { model("Heli", { "Pack A", "Pack B" }) } };

// Buttons of the shown page (and the top bar) that cannot be scrolled fully into the part
// of the window that a screen of `room` shows.
QStringList buttonsOutOfReach(HostWindow &window, const QSize &room)
{
    auto *area = window.findChild<QScrollArea *>(QStringLiteral("moduleScrollArea"));
    QWidget *sight = area ? area->viewport() : window.centralWidget();
    const QRect visible
        = QRect(sight->mapTo(&window, QPoint()), sight->size()) & QRect(QPoint(), room);
    QStringList unreachable;
    for (QAbstractButton *button : window.gui().findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(&window))
            continue;
        if (area)
            area->ensureWidgetVisible(button, 0, 0);
        if (!visible.contains(QRect(button->mapTo(&window, QPoint()), button->size())))
            unreachable << button->objectName();
    }
    return unreachable;
}

// pdftotext's words of the PDF with their boxes.
QString wordsOf(const QString &pdf)
{
    QProcess tool;
    tool.start("pdftotext", { "-bbox", pdf, "-" });
    return tool.waitForFinished() ? QString::fromUtf8(tool.readAllStandardOutput()) : QString();
}

// The heights of the words "mAh" in pdftotext's boxes.
QStringList unitHeights(const QString &boxes)
{
    QStringList heights;
    const QRegularExpression box(R"re(yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">mAh<)re");
    for (auto it = box.globalMatch(boxes); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        heights << QString::number(m.captured(2).toDouble() - m.captured(1).toDouble(), 'f', 1);
    }
    return heights;
}

} // namespace

class TestHostField : public QObject {
    Q_OBJECT

private:
    QTemporaryDir scratch;
    QString chosenFile;

private slots:
    void initTestCase()
    {
        HostDialogs::chooseSaveFile = [this](QWidget *, const QString &, const QString &,
                                          const QString &) { return chosenFile; };
        HostDialogs::tell = [](QWidget *, const QString &, const QString &, bool) {};
    }

    void init()
    {
        resetSettings();
        QSettings(QStringLiteral("Cellora"), QStringLiteral("cellora")).clear();
    }

    // The window opens within the screen, and every button of every page can be scrolled
    // into sight in the room a netbook or a scaled screen leaves.
    void everyButtonReachable_data()
    {
        QTest::addColumn<QSize>("room");
        QTest::newRow("1024x600, 32 px panel") << QSize(1024 - 16, 600 - 32 - 40);
        QTest::newRow("1366x768 at 1.25") << QSize(1093 - 16, 614 - 32 - 40);
        QTest::newRow("1366x768 at 1.5") << QSize(911 - 16, 512 - 32 - 40);
        QTest::newRow("1366x768 at 2") << QSize(683 - 16, 384 - 32 - 40);
    }
    void everyButtonReachable()
    {
        QFETCH(QSize, room);
        setSetting("cellora", "Complex");
        QTemporaryDir dir;
        QVERIFY(writeStore(dir.path(), fleet));
        HostWindow window;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.size().expandedTo(window.size()) == screen.size());
        room = room.boundedTo(screen.size());
        window.openFolder(dir.path(), nullptr, false);
        window.resize(room);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        auto *pages = namedChild<QStackedWidget>(window.gui(), "stackedWidget");
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            const QStringList unreachable = buttonsOutOfReach(window, room);
            QVERIFY2(unreachable.isEmpty(),
                qPrintable(pages->currentWidget()->objectName() + ": " + unreachable.join(' ')));
        }
    }

    // Home on a begun discharge asks first; declined, the page stays.
    void homeAsksBeforeDroppingADischarge()
    {
        setSetting("cellora", "Complex");
        QTemporaryDir dir;
        QVERIFY(writeStore(dir.path(), fleet));
        QStringList asked;
        bool leave = false;
        HomeGuard::leaveUnsaved = [&](QWidget *, const QString &battery) {
            asked << battery;
            return leave;
        };
        HostWindow window;
        window.openFolder(dir.path(), nullptr, false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        clickTank(overviewCard(window.gui(), "Pack A"));
        QCOMPARE(shownPage(window.gui()), QStringLiteral("dischargeView"));
        clickThrough(window.gui(), "pb_home");
        QCOMPARE(asked, QStringList { "Pack A in Heli" });
        QVERIFY(window.isVisible());
        QCOMPARE(shownPage(window.gui()), QStringLiteral("dischargeView"));
        leave = true;
        clickThrough(window.gui(), "pb_home");
        QVERIFY(!window.isVisible());
    }

    // The menu's report, under a desktop font of its own, has the text size of the command
    // line's; both write numbers and dates the German way when the language is German.
    void reportTheSameFromBothPaths()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        QTemporaryDir dir;
        QVERIFY(writeStore(dir.path(), fleet));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QFont desktop = QApplication::font();
        QFont small = desktop;
        small.setPixelSize(9);
        QApplication::setFont(small);
        HostWindow window;
        window.openFolder(dir.path(), nullptr, false);
        chosenFile = scratch.filePath(QStringLiteral("menu.pdf"));
        namedChild<QAction>(window, "actionPackReport")->trigger();
        QApplication::setFont(desktop);
        const QString batch = scratch.filePath(QStringLiteral("batch.pdf"));
        BatchCommands::Request request;
        request.storageFolder = dir.path();
        request.report = true;
        request.reportFile = batch;
        QCOMPARE(BatchCommands::run(request).code, ExitOk);
        QLocale::setDefault(QLocale::c());

        const QString words = wordsOf(batch);
        QVERIFY(!unitHeights(words).isEmpty());
        QCOMPARE(unitHeights(wordsOf(chosenFile)), unitHeights(words));
        const QString today = QLocale(QLocale::German).toString(QDate::currentDate(), "dd.MM.yy");
        QVERIFY2(words.contains(QRegularExpression(">\\(\\d+,\\d<"))
                && words.contains(">" + today + "<"),
            qPrintable(words));
    }
};

QTEST_MAIN(TestHostField)
#include "tst_hostfield.moc"
