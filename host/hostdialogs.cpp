#include "host/hostdialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

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

} // namespace

std::function<QString(QWidget *, const QString &, const QString &)> HostDialogs::chooseFolder
    = folderDialog;
std::function<QString(QWidget *, const QString &, const QString &, const QString &)>
    HostDialogs::chooseSaveFile = saveFileDialog;
std::function<int(QWidget *, const QString &, const QString &, const QStringList &)>
    HostDialogs::chooseItem = itemDialog;
std::function<void(QWidget *, const QString &, const QString &, bool)> HostDialogs::tell
    = messageDialog;
std::function<bool(QWidget *, const QString &, const QString &)> HostDialogs::ask = questionDialog;
