#ifndef FILEDIALOGS_H
#define FILEDIALOGS_H

#include <QString>

#include <functional>

class QWidget;

// The two backup dialogs, reached through one seam so that tests can answer them
// without a modal dialog. An empty result means the user cancelled.
namespace FileDialogs {
using Chooser = std::function<QString(QWidget *parent)>;

// A folder for a new backup; the dialog has no parent window.
extern Chooser chooseExportFolder;
// Any single file name, existing or not, to import from.
extern Chooser chooseImportFile;
} // namespace FileDialogs

#endif // FILEDIALOGS_H
