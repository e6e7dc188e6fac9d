#ifndef CELLORAGUI_P_H
#define CELLORAGUI_P_H

#include <QSettings>
#include <QString>
#include <QVariant>

// The process-wide settings store, shared by every window of the module.
namespace CelloraSettings {
QVariant value(const QString &key);
void setValue(const QString &key, const QString &value);
} // namespace CelloraSettings

#endif // CELLORAGUI_P_H
