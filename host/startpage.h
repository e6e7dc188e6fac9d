#ifndef STARTPAGE_H
#define STARTPAGE_H

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class StartPagePrivate;

// The program's own start, where the module's home button leads: the logbook opens again
// from here, or another storage folder, a recent one or the demo; telemetry logs are
// imported. Ending the program is File > Quit or closing the window.
class StartPage : public QWidget {
    Q_OBJECT

public:
    explicit StartPage(QWidget *parent = nullptr);
    ~StartPage() override;

    // The folder the logbook shows and the recent ones to offer, newest first.
    void showFolders(const QString &current, const QStringList &recent);
    // Where the keyboard starts: the button that opens the logbook again.
    void focusFirstButton();

signals:
    void openLogbook();
    void openFolder(const QString &folder);
    void chooseFolder();
    void tryDemo();
    void importTelemetry();

private:
    std::unique_ptr<StartPagePrivate> d;
};

#endif // STARTPAGE_H
