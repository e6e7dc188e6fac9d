#ifndef HOMEGUARD_H
#define HOMEGUARD_H

#include <QString>

#include <functional>

class CelloraGui;
class QWidget;

// Ending the program, or opening another storage folder, drops a discharge page the user
// has begun and not saved: the program asks first.
namespace HomeGuard {

// Whether the module shows a discharge that is prepared but not yet saved.
bool dischargeUnsaved(const CelloraGui &gui);

// What the user is about to do that would drop the discharge page.
enum class Leaving { Quit, OpenFolder };

// Whether the user wants to leave, dropping the discharge of `battery`. A seam, so that
// tests can answer without a modal dialog.
extern std::function<bool(QWidget *parent, const QString &battery, Leaving leaving)>
    leaveUnsaved;

} // namespace HomeGuard

#endif // HOMEGUARD_H
