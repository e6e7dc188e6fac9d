#ifndef EDITCONVERSIONS_H
#define EDITCONVERSIONS_H

#include <QDate>
#include <QString>

#include <functional>

class QComboBox;

// Conversions between the editing pages' text fields and the records' values.
// Input that cannot be used turns into 0 or an invalid date; nothing is reported.
namespace EditConversions {
uint toUnsigned(const QString &text);
// "d.d" to whole tenths and "d.dd" to whole hundredths, digit by digit, so that no
// binary fraction can turn 0.29 into 28.
uint toTenths(const QString &text);
uint toHundredths(const QString &text);
QDate toDate(const QString &isoText);

QString tenthsText(uint tenths);
QString hundredthsText(uint hundredths);
QString dateText(const QDate &date);

// The field's text, or the text followed by "_1", "_2", ... until no record has it.
QString uniqueName(const QString &fieldText, const std::function<bool(const QString &)> &taken);

// Select the item with exactly this text; without one the selection stays.
void selectText(QComboBox *comboBox, const QString &text);
} // namespace EditConversions

#endif // EDITCONVERSIONS_H
