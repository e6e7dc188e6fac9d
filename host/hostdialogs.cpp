#include "host/hostdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QTimer>

namespace {

QString folderDialog(QWidget *parent, const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

QString saveFileDialog(
    QWidget *parent, const QString &title, const QString &suggested, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

int itemDialog(
    QWidget *parent, const QString &title, const QString &label, const QStringList &items)
{
    bool chosen = false;
    const QString item = QInputDialog::getItem(parent, title, label, items, 0, false, &chosen);
    return chosen ? items.indexOf(item) : -1;
}

void messageDialog(QWidget *parent, const QString &title, const QString &text, bool warning)
{
    if (warning)
        QMessageBox::warning(parent, title, text);
    else
        QMessageBox::information(parent, title, text);
}

bool questionDialog(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::question(parent, title, text) == QMessageBox::Yes;
}

QRect screenRoomOf(const QWidget *window)
{
    const QWidget *anchor = window->parentWidget() ? window->parentWidget()->window() : window;
    const QScreen *screen = anchor->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// A message box sets its own fixed size from its text, within the screen's width.
bool sizesItself(const QWidget *dialog)
{
    return qobject_cast<const QMessageBox *>(dialog) != nullptr;
}

// The size the user left a kind of dialog at, kept in the program's own settings.
QString sizeKey(const QWidget *dialog)
{
    return QStringLiteral("dialogs/%1/size").arg(QLatin1String(dialog->metaObject()->className()));
}

QSize keptSize(const QWidget *dialog)
{
    return QSettings(QStringLiteral("Cellora"), QStringLiteral("cellora"))
        .value(sizeKey(dialog))
        .toSize();
}

void keepSize(const QWidget *dialog)
{
    QSettings(QStringLiteral("Cellora"), QStringLiteral("cellora"))
        .setValue(sizeKey(dialog), dialog->size());
}

// A message box takes its size from its text once it shows, by the screen's width alone:
// one that is too tall for the room gets wider, and any is moved into the room.
void fitMessage(QWidget *box)
{
    const QSize most = HostDialogs::screenRoom(box).size() - HostDialogs::frameAllowance();
    if (box->height() > most.height() && box->layout() && box->layout()->hasHeightForWidth()) {
        const int width = qMax(box->width(), most.width());
        box->setFixedSize(width, box->layout()->totalHeightForWidth(width));
    }
    HostDialogs::fitIntoScreen(box);
}

class DialogFitter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Show && type != QEvent::Hide) || event->spontaneous()
            || !watched->isWidgetType())
            return false;
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (!dialog || !dialog->isWindow())
            return false;
        if (sizesItself(dialog)) {
            if (type == QEvent::Show)
                QTimer::singleShot(0, dialog, [dialog] { fitMessage(dialog); });
            return false;
        }
        if (type == QEvent::Show) {
            const QSize kept = keptSize(dialog);
            if (kept.isValid())
                dialog->resize(kept);
            HostDialogs::fitIntoScreen(dialog);
        } else {
            keepSize(dialog);
        }
        return false;
    }
};

} // namespace

std::function<QRect(const QWidget *)> HostDialogs::screenRoom = screenRoomOf;

QSize HostDialogs::frameAllowance()
{
    return { 16, 40 };
}

void HostDialogs::fitIntoScreen(QWidget *window)
{
    const QRect room = screenRoom(window);
    if (room.isEmpty())
        return;
    // A window whose layout needs more than the room keeps what it needs: it is cut at the
    // room's edge rather than squeezed over its own controls.
    window->resize(window->size()
                       .boundedTo(room.size() - frameAllowance())
                       .expandedTo(window->minimumSizeHint())
                       .expandedTo(window->minimumSize()));
    const QWidget *parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    QRect frame(QPoint(), window->size() + frameAllowance());
    frame.moveCenter(parent ? parent->frameGeometry().center() : window->frameGeometry().center());
    // Inside the room, its top left corner first when it does not fit.
    frame.moveLeft(qMax(room.left(), qMin(frame.left(), room.right() + 1 - frame.width())));
    frame.moveTop(qMax(room.top(), qMin(frame.top(), room.bottom() + 1 - frame.height())));
    window->move(frame.topLeft());
}

void HostDialogs::fitEveryDialog()
{
    static DialogFitter *fitter = nullptr;
    if (fitter)
        return;
    fitter = new DialogFitter(qApp);
    qApp->installEventFilter(fitter);
}

std::function<QString(QWidget *, const QString &, const QString &)> HostDialogs::chooseFolder
    = folderDialog;
std::function<QString(QWidget *, const QString &, const QString &, const QString &)>
    HostDialogs::chooseSaveFile = saveFileDialog;
std::function<int(QWidget *, const QString &, const QString &, const QStringList &)>
    HostDialogs::chooseItem = itemDialog;
std::function<void(QWidget *, const QString &, const QString &, bool)> HostDialogs::tell
    = messageDialog;
std::function<bool(QWidget *, const QString &, const QString &)> HostDialogs::ask = questionDialog;
