#ifndef STORECONTENT_H
#define STORECONTENT_H

#include "sample/samplestore.h"

#include <QByteArray>
#include <QString>

class CelloraGui;

// The editor's way into the store: a plain copy of the data file read with the store's
// own readers, and new content made by the store's own writer and handed to the module,
// which saves it through its own save path (complete write, rescue copy).
namespace StoreContent {

// Null when the folder holds no data file.
bool read(const QString &storageFolder, SampleStore &store);
QByteArray written(const SampleStore &store);
// Replaces the module's store with `content`; `label` names the change for the user.
bool apply(CelloraGui &gui, const QString &label, const QByteArray &content);

} // namespace StoreContent

#endif // STORECONTENT_H
