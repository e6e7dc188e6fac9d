#ifndef SCREENSHOTTOUR_H
#define SCREENSHOTTOUR_H

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QStringList>

class CelloraGui;
class HostWindow;
class QMainWindow;
class QStackedWidget;
class QWidget;

// Walks through all sixteen pages of a shown window the way a user would, by
// clicking its buttons, and saves a picture of each page as PNG.
class ScreenshotTour {
public:
    // chargedBatteries: names of charged batteries in the loaded store; the tour
    // clicks one of their cards to reach the discharge page.
    ScreenshotTour(CelloraGui &window, const QStringList &chargedBatteries, const QDir &folder);

    // True when every page was reached by clicking and every picture was saved;
    // problems() then is empty.
    bool run();
    // The whole host window around the module, on the overview, with its File menu open.
    void shootHostWindow(QMainWindow &host, const QString &fileName);
    // The program's start page, then Flights and Cycles and the telemetry import of the
    // logs in `logsFolder` over the window, as the screen shows them where the platform
    // lets the screen be read (a real or virtual X server), else the dialog alone.
    void shootProgram(HostWindow &host, const QString &logsFolder);
    const QStringList &problems() const { return problemList; }

private:
    QString currentPage() const;
    void click(const QString &buttonName);
    void toOverview();
    void toOptions();
    void toEditMenu();
    void selectFirst(const QString &comboName);
    void clickChargedCard();
    void shoot(const QString &fileName, const QString &pageName);
    void save(QPixmap shot, const QSize &size, const QString &fileName);
    void saveAsShown(QWidget &shown, const QString &fileName);

    CelloraGui &window;
    QStackedWidget *pages;
    QStringList charged;
    QDir folder;
    QStringList problemList;
};

#endif // SCREENSHOTTOUR_H
