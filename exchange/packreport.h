#ifndef PACKREPORT_H
#define PACKREPORT_H

#include "exchange/packhealth.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

class StoreSnapshot;
class QTextDocument;

namespace PackReport {

// Every battery of the logbook in the report's order: "retire" first, then "watch", then
// "good"; within each, the ones with warnings first, then by equivalent cycles.
QVector<PackHealth> assess(const StoreSnapshot &store, const QDateTime &now);

// The report: a fleet summary, then one page per pack with its verdict, its figures and
// its charts over dates.
void compose(QTextDocument &document, const QVector<PackHealth> &fleet,
    const QString &storageFolder, const QDateTime &now);

// The report of `store` as an A4 PDF document.
QByteArray pdf(const StoreSnapshot &store, const QString &storageFolder, const QDateTime &now);

} // namespace PackReport

#endif // PACKREPORT_H
