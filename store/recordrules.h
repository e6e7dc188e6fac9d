#ifndef RECORDRULES_H
#define RECORDRULES_H

#include <QDate>

// The values a record may hold, as the module's discharge page allows them: every path
// that writes figures into the store (the program's corrections, telemetry imports,
// merges) keeps to the same limits.
namespace RecordRules {

// The discharge page's date field.
const QDate earliestDate(2005, 1, 1);
const QDate latestDate(2031, 1, 11);
// Its capacity and current fields; the current is kept in hundredths of an ampere.
constexpr int maxDischargedMah = 20000;
constexpr int maxCurrentAmperes = 300;
constexpr int maxCurrentHundredths = maxCurrentAmperes * 100;
// Its temperature field, in whole degrees.
constexpr int minTemperature = -99;
constexpr int maxTemperature = 99;
// A pack's internal resistance as a charger measures it, in tenths of a milliohm; 0 is
// unknown.
constexpr int maxResistanceTenths = 9999;

} // namespace RecordRules

#endif // RECORDRULES_H
