#ifndef STORECHANGE_H
#define STORECHANGE_H

#include <QByteArray>
#include <QString>

// Names what changed between two versions of the data file, as the Edit menu shows it:
// "Charge of Voltra #1", "Delete Battery Voltra #1", "Import". A change that touches
// several records at once, as an import or a restore does, is named "Import".
namespace StoreChange {
QString describe(const QByteArray &before, const QByteArray &after);
} // namespace StoreChange

#endif // STORECHANGE_H
