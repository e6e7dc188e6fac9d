#include "host/screenshottour.h"

#include "host/hostwindow.h"
#include "host/telemetrydialog.h"
#include "window/celloragui.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>

#include <functional>

namespace {

struct Stop {
    QString fileName;
    QString pageName;
    std::function<void()> route;
};

} // namespace

ScreenshotTour::ScreenshotTour(
    CelloraGui &window, const QStringList &chargedBatteries, const QDir &folder)
    : window(window)
    , pages(window.findChild<QStackedWidget *>(QStringLiteral("stackedWidget")))
    , charged(chargedBatteries)
    , folder(folder)
{
}

bool ScreenshotTour::run()
{
    if (!pages) {
        problemList << QStringLiteral("the window has no stackedWidget");
        return false;
    }
    // Numbered like the window's view states, so the files sort in menu order.
    const QVector<Stop> stops = {
        { "00-overview.png", "scrollLayout", [this] { toOverview(); } },
        { "01-options.png", "optionsView", [this] { toOptions(); } },
        { "02-mode.png", "modeView",
            [this] {
                toOptions();
                click("pb_mode");
            } },
        { "03-chart.png", "dataView",
            [this] {
                toOptions();
                click("pb_chart");
            } },
        { "04-edit.png", "editDataView", [this] { toEditMenu(); } },
        { "05-add-battery.png", "addView",
            [this] {
                toEditMenu();
                click("pb_choose_addbattery");
            } },
        { "06-add-model.png", "addModelView",
            [this] {
                toEditMenu();
                click("pb_choose_addmodel");
            } },
        { "07-add-location.png", "addLocationView",
            [this] {
                toEditMenu();
                click("pb_choose_addlocation");
            } },
        { "08-delete-battery.png", "deleteView",
            [this] {
                toEditMenu();
                click("pb_choose_delbattery");
            } },
        { "09-delete-model.png", "deleteModelView",
            [this] {
                toEditMenu();
                click("pb_choose_delmodel");
            } },
        { "10-delete-location.png", "deleteLocationView",
            [this] {
                toEditMenu();
                click("pb_choose_dellocation");
            } },
        { "11-logbook.png", "logView",
            [this] {
                toOptions();
                click("pb_logbook");
            } },
        { "12-discharge.png", "dischargeView",
            [this] {
                // Only Full mode shows the page; Quick mode would store the discharge at once.
                toOptions();
                click("pb_mode");
                click("rb_modeAdvanced");
                toOverview();
                clickChargedCard();
            } },
        { "13-modify-battery.png", "modBatteryView",
            [this] {
                toEditMenu();
                selectFirst("cb_bat_choose_model");
                click("pb_choose_modify_battery");
            } },
        { "14-modify-model.png", "modModelView",
            [this] {
                toEditMenu();
                selectFirst("cb_model_choose_bat");
                click("pb_choose_modify_model");
            } },
        { "15-backup.png", "backupView",
            [this] {
                toOptions();
                click("pb_backup");
            } },
    };
    for (const Stop &stop : stops) {
        stop.route();
        shoot(stop.fileName, stop.pageName);
    }
    return problemList.isEmpty();
}

QString ScreenshotTour::currentPage() const
{
    return pages->currentWidget() ? pages->currentWidget()->objectName() : QString();
}

void ScreenshotTour::click(const QString &buttonName)
{
    auto *button = window.findChild<QAbstractButton *>(buttonName);
    if (!button || !button->isEnabled()) {
        problemList << QStringLiteral("button %1 missing or disabled on page %2")
                           .arg(buttonName, currentPage());
        return;
    }
    button->click();
    QApplication::processEvents();
}

void ScreenshotTour::toOverview()
{
    // The options button toggles between the menu and the overview; two presses reach it
    // from every page.
    for (int presses = 0; presses < 2 && currentPage() != QLatin1String("scrollLayout"); ++presses)
        click("pb_options");
}

void ScreenshotTour::toOptions()
{
    toOverview();
    click("pb_options");
}

void ScreenshotTour::toEditMenu()
{
    toOptions();
    click("pb_edit_data");
}

void ScreenshotTour::selectFirst(const QString &comboName)
{
    auto *combo = window.findChild<QComboBox *>(comboName);
    if (combo && combo->count() > 0)
        combo->setCurrentIndex(0);
    QApplication::processEvents();
}

void ScreenshotTour::clickChargedCard()
{
    auto *scrollArea = window.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QWidget *cards = scrollArea ? scrollArea->widget() : nullptr;
    if (!cards) {
        problemList << QStringLiteral("the overview has no card column");
        return;
    }
    // Cards are matched by their tool tip, the whole name (the label may show less of it):
    // the host does not see the record class.
    for (QWidget *card : cards->findChildren<QWidget *>()) {
        if (!card->inherits("BatteryWidget"))
            continue;
        auto *button = card->findChild<QAbstractButton *>(QStringLiteral("pushButton"));
        if (button && card->isVisible() && charged.contains(card->toolTip())) {
            button->click();
            QApplication::processEvents();
            return;
        }
    }
    problemList << QStringLiteral("no card of a charged battery in the overview");
}

void ScreenshotTour::shoot(const QString &fileName, const QString &pageName)
{
    if (currentPage() != pageName) {
        problemList << QStringLiteral("%1: clicking led to %2 instead of %3")
                           .arg(fileName, currentPage(), pageName);
        // Still show the page, so that the picture set is complete.
        if (auto *page = pages->findChild<QWidget *>(pageName))
            pages->setCurrentWidget(page);
    }
    QApplication::processEvents();
    save(window.grab(), window.size(), fileName);
}

void ScreenshotTour::shootHostWindow(QMainWindow &host, const QString &fileName)
{
    toOverview();
    QApplication::processEvents();
    const QPixmap window = host.grab();
    QMenuBar *bar = host.menuBar();
    QMenu *file = bar->actions().isEmpty() ? nullptr : bar->actions().first()->menu();
    if (!file) {
        save(window, host.size(), fileName);
        return;
    }
    // A popup is a window of its own: draw it where it opens below its title, on a canvas
    // wide enough for both, as a screen would show them.
    const QPoint below = bar->mapTo(&host, bar->actionGeometry(file->menuAction()).bottomLeft());
    file->popup(host.mapToGlobal(below));
    QApplication::processEvents();
    const QPixmap menu = file->grab();
    file->hide();
    const QSize size = QRect(QPoint(), host.size())
                           .united(QRect(below, menu.size() / menu.devicePixelRatio()))
                           .size();
    QPixmap shot(size * window.devicePixelRatio());
    shot.setDevicePixelRatio(window.devicePixelRatio());
    shot.fill(Qt::transparent);
    QPainter painter(&shot);
    painter.drawPixmap(0, 0, window);
    painter.drawPixmap(below, menu);
    painter.end();
    save(shot, size, fileName);
}

void ScreenshotTour::shootProgram(HostWindow &host, const QString &logsFolder)
{
    host.showStartPage();
    QApplication::processEvents();
    save(host.grab(), host.size(), QStringLiteral("17-start-page.png"));
    host.showLogbook();
    if (QAction *editor = host.findChild<QAction *>(QStringLiteral("actionFlightsAndCycles")))
        editor->trigger();
    if (auto *dialog = host.findChild<QDialog *>(QStringLiteral("flightEditor"))) {
        saveAsShown(*dialog, QStringLiteral("18-flights-and-cycles.png"));
        dialog->close();
    } else {
        problemList << QStringLiteral("Flights and Cycles did not open");
    }
    const auto run = runTelemetryDialog;
    runTelemetryDialog = [this, &logsFolder](TelemetryDialog &dialog) {
        dialog.addPaths({ logsFolder });
        dialog.show();
        saveAsShown(dialog, QStringLiteral("19-telemetry-import.png"));
        return false;
    };
    if (QAction *import = host.findChild<QAction *>(QStringLiteral("actionImportTelemetry")))
        import->trigger();
    runTelemetryDialog = run;
}

void ScreenshotTour::saveAsShown(QWidget &shown, const QString &fileName)
{
    // Time for the window system to place and draw the window.
    QEventLoop settle;
    QTimer::singleShot(400, &settle, &QEventLoop::quit);
    settle.exec();
    QScreen *screen = shown.screen();
    const QPixmap whole = screen ? screen->grabWindow(0) : QPixmap();
    if (whole.isNull())
        save(shown.grab(), shown.size(), fileName);
    else
        save(whole, screen->size(), fileName);
}

void ScreenshotTour::save(QPixmap shot, const QSize &size, const QString &fileName)
{
    // One image pixel per window pixel, whatever the screen's scale.
    if (shot.devicePixelRatio() != 1.0)
        shot = shot.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shot.setDevicePixelRatio(1.0);
    if (!shot.save(folder.filePath(fileName), "PNG"))
        problemList << QStringLiteral("%1: could not be saved").arg(folder.filePath(fileName));
}
