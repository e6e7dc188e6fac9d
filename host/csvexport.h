#ifndef CSVEXPORT_H
#define CSVEXPORT_H

#include <QByteArray>
#include <QString>

class Logbook;

// The logbook as spreadsheet files: comma-separated, quoted where needed (RFC 4180),
// UTF-8 with a header row, ISO dates and a decimal point, whatever the locale.
namespace CsvExport {

extern const QString flightsFileName; // "flights.csv"
extern const QString cyclesFileName; // "cycles.csv"

// One row per flight-log entry, with the battery flown when a cycle entry shares its moment.
QByteArray flights(const Logbook &logbook);
// One row per cycle entry of every battery.
QByteArray cycles(const Logbook &logbook);

// Writes `content` whole or not at all; on failure `error` says why.
bool writeFile(const QString &fileName, const QByteArray &content, QString *error);
// Both files into `folder`, which is created when missing.
bool exportAll(const Logbook &logbook, const QString &folder, QString *error);

} // namespace CsvExport

#endif // CSVEXPORT_H
