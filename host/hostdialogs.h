#ifndef HOSTDIALOGS_H
#define HOSTDIALOGS_H

#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The host window's dialogs, reached through one seam so that tests can answer them
// without a modal dialog. An empty name or an index of -1 means the user cancelled.
namespace HostDialogs {

// An existing folder, starting at `start`.
extern std::function<QString(QWidget *parent, const QString &title, const QString &start)>
    chooseFolder;
// A file name to write, suggested as `suggested`; `filter` as QFileDialog takes it.
extern std::function<QString(
    QWidget *parent, const QString &title, const QString &suggested, const QString &filter)>
    chooseSaveFile;
// One entry of `items`, by index.
extern std::function<int(
    QWidget *parent, const QString &title, const QString &label, const QStringList &items)>
    chooseItem;
// A message the user reads and confirms; `warning` marks a failure.
extern std::function<void(QWidget *parent, const QString &title, const QString &text, bool warning)>
    tell;
// A question the user answers with yes (true) or no.
extern std::function<bool(QWidget *parent, const QString &title, const QString &text)> ask;

// The part of the screen that a window of the program may take: the free area of the
// screen it opens on (without panels). A seam, so that tests can try other screens.
extern std::function<QRect(const QWidget *window)> screenRoom;
// Room the window manager's frame around a window takes, unknown before it is shown.
QSize frameAllowance();
// Sizes `window` to fit the room with its frame, no smaller than its layout allows, and
// places it over its parent (or where it is) wholly inside the room.
void fitIntoScreen(QWidget *window);
// From now on, every dialog of the program opens fitted into the room and at the size the
// user last left that kind of dialog at; message boxes size themselves.
void fitEveryDialog();

} // namespace HostDialogs

#endif // HOSTDIALOGS_H
