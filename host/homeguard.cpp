#include "host/homeguard.h"

#include "window/celloragui.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QStackedWidget>

namespace {
class Text {
    Q_DECLARE_TR_FUNCTIONS(HomeGuard)
};
} // namespace

bool HomeGuard::dischargeUnsaved(const CelloraGui &gui)
{
    const auto *pages = gui.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    const QWidget *shown = pages ? pages->currentWidget() : nullptr;
    return shown && shown->objectName() == QLatin1String("dischargeView");
}

std::function<bool(QWidget *, const QString &, HomeGuard::Leaving)> HomeGuard::leaveUnsaved =
    [](QWidget *parent, const QString &battery, Leaving leaving) {
        const QString question = leaving == Leaving::Quit
            ? Text::tr("The discharge of %1 is not saved yet. Quit without saving it?")
            : Text::tr("The discharge of %1 is not saved yet. Open the other folder without "
                       "saving it?");
        const QMessageBox::StandardButton answer
            = QMessageBox::question(parent, Text::tr("Discharge not saved"), question.arg(battery),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        return answer == QMessageBox::Yes;
    };
