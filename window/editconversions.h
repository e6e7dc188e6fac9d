#ifndef EDITCONVERSIONS_H
#define EDITCONVERSIONS_H

#include "cellora_global.h"

#include <QDate>
#include <QString>

#include <functional>

class QComboBox;

// Conversions between the editing pages' text fields and the records' values.
// Input that cannot be used turns into 0 or an invalid date; nothing is reported.
namespace EditConversions {
CELLORA_AUTOTEST_EXPORT uint toUnsigned(const QString &text);
// "d.d" to whole tenths and "d.dd" to whole hundredths, digit by digit, so that no
// binary fraction can turn 0.29 into 28.
CELLORA_AUTOTEST_EXPORT uint toTenths(const QString &text);
CELLORA_AUTOTEST_EXPORT uint toHundredths(const QString &text);
CELLORA_AUTOTEST_EXPORT QDate toDate(const QString &isoText);

CELLORA_AUTOTEST_EXPORT QString tenthsText(uint tenths);
CELLORA_AUTOTEST_EXPORT QString hundredthsText(uint hundredths);
CELLORA_AUTOTEST_EXPORT QString dateText(const QDate &date);

// The field's text, or the text followed by "_1", "_2", ... until no record has it.
CELLORA_AUTOTEST_EXPORT QString uniqueName(
    const QString &fieldText, const std::function<bool(const QString &)> &taken);

// Select the item with exactly this text; without one the selection stays.
void selectText(QComboBox *comboBox, const QString &text);
} // namespace EditConversions

#endif // EDITCONVERSIONS_H
