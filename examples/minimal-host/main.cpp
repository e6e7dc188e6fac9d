// A complete host for the Cellora module: it shows the module's window on a storage
// folder and ends when the window's home button asks to take the module away.
//
//   minimal-host [STORAGE_FOLDER] [--press-home]
//
// --press-home presses the home button as soon as the window is up, so that a test
// sees the whole round trip end by itself.

#include <celloragui.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Minimal Host"));
    QStringList arguments = QApplication::arguments().mid(1);
    const bool pressHome = arguments.removeAll(QStringLiteral("--press-home")) > 0;
    const QString storage = arguments.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        : QDir(arguments.first()).absolutePath();

    CelloraGui window;
    QObject::connect(&window, &CelloraGui::closeCelloraGui, &app, &QApplication::quit);
    window.changeStoragePath(storage);
    window.show();

    if (pressHome) {
        QTimer::singleShot(0, &window, [&window] {
            if (auto *home = window.findChild<QPushButton *>(QStringLiteral("pb_home")))
                home->click();
        });
    }
    return QApplication::exec();
}
