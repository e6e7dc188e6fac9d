#include "host/startupprobe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <ctime>
#include <unistd.h>

namespace {

// Milliseconds since the kernel created this process. Its start time has the resolution
// of a clock tick (10 ms), which it is rounded down to: the figure errs on the long side.
double msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The command name may hold spaces: count the fields after its closing parenthesis.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    bool ok = false;
    const double startTicks = fields.value(19).toDouble(&ok); // field 22, starttime
    timespec now {};
    if (!ok || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    const double nowMs = now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1e3 / sysconf(_SC_CLK_TCK);
}

class ExposeWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWindow *>(watched);
        if (event->type() == QEvent::Expose && window && window->isExposed()) {
            window->removeEventFilter(this);
            // Queued, so that the first frame is painted before the clock is read.
            const qreal ratio = window->devicePixelRatio();
            QTimer::singleShot(0, qApp, [ratio] {
                QTextStream(stdout)
                    << "startup-probe: " << QString::number(msSinceProcessStart(), 'f', 1) << " ms"
                    << ", device pixel ratio " << ratio << Qt::endl;
                QCoreApplication::quit();
            });
        }
        return false;
    }
};

} // namespace

void probeStartup(QWidget &window)
{
    window.winId(); // creates the native window, so that its events can be watched
    window.windowHandle()->installEventFilter(new ExposeWatch(&window));
}
