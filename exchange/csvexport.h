#ifndef CSVEXPORT_H
#define CSVEXPORT_H

#include <QByteArray>
#include <QString>

class StoreSnapshot;

// The logbook as spreadsheet files: comma-separated, quoted where needed (RFC 4180),
// UTF-8 with a header row, ISO dates and a decimal point, whatever the locale. A text cell
// that a spreadsheet would take for a formula gets a leading apostrophe.
namespace CsvExport {

extern const QString flightsFileName; // "flights.csv"
extern const QString cyclesFileName; // "cycles.csv"

// One row per flight-log entry, with the battery the store pairs it with.
QByteArray flights(const StoreSnapshot &store);
// One row per cycle entry of every battery.
QByteArray cycles(const StoreSnapshot &store);

} // namespace CsvExport

#endif // CSVEXPORT_H
