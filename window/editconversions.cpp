#include "window/editconversions.h"

#include <QComboBox>
#include <QRegularExpression>

#include <limits>

namespace {
// Whole units and the first `places` decimals of a "12.34" text, in units of
// 10^-places; empty or unreadable text gives 0.
uint toFixedPoint(const QString &text, int places)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d*)(?:\\.(\\d*))?\\s*$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    const QString whole = match.captured(1);
    const QString fraction = match.captured(2).left(places).leftJustified(places, QLatin1Char('0'));
    quint64 scale = 1;
    for (int i = 0; i < places; ++i)
        scale *= 10;
    bool ok = true;
    const quint64 units = whole.isEmpty() ? 0 : whole.toULongLong(&ok);
    const quint64 decimals = fraction.toULongLong();
    if (!ok || units > std::numeric_limits<uint>::max() / scale)
        return 0;
    const quint64 value = units * scale + decimals;
    return value > std::numeric_limits<uint>::max() ? 0 : uint(value);
}

QString fixedPointText(uint value, int places, uint scale)
{
    return QStringLiteral("%1.%2")
        .arg(value / scale)
        .arg(value % scale, places, 10, QLatin1Char('0'));
}
} // namespace

uint EditConversions::toUnsigned(const QString &text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    return ok ? value : 0;
}

uint EditConversions::toTenths(const QString &text)
{
    return toFixedPoint(text, 1);
}

uint EditConversions::toHundredths(const QString &text)
{
    return toFixedPoint(text, 2);
}

QDate EditConversions::toDate(const QString &isoText)
{
    return QDate::fromString(isoText, Qt::ISODate);
}

QString EditConversions::tenthsText(uint tenths)
{
    return fixedPointText(tenths, 1, 10);
}

QString EditConversions::hundredthsText(uint hundredths)
{
    return fixedPointText(hundredths, 2, 100);
}

QString EditConversions::dateText(const QDate &date)
{
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

QString EditConversions::uniqueName(
    const QString &fieldText, const std::function<bool(const QString &)> &taken)
{
    QString candidate = fieldText;
    // Each suffix is built from the field's text, never from the previous candidate.
    for (int counter = 1; taken(candidate); ++counter)
        candidate = fieldText + QLatin1Char('_') + QString::number(counter);
    return candidate;
}

void EditConversions::selectText(QComboBox *comboBox, const QString &text)
{
    const int index = comboBox->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        comboBox->setCurrentIndex(index);
}
