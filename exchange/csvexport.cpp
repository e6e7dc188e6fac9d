#include "exchange/csvexport.h"

#include "store/storesnapshot.h"

#include <QStringList>

const QString CsvExport::flightsFileName = QStringLiteral("flights.csv");
const QString CsvExport::cyclesFileName = QStringLiteral("cycles.csv");

namespace {

// Blanks, line breaks and invisible marks, which some spreadsheets pass over before a sign.
bool isPassedOver(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control
        || c.category() == QChar::Other_Format;
}

// A text that a spreadsheet would run as a formula is written as text: a leading
// apostrophe. That is a text starting with "=", "+", "-" or "@", also after blanks and
// invisible marks, or in the full-width or small forms that input methods type ("＝",
// "﹢"), which are those signs once normalised; and a text starting with a tab or a
// carriage return, which some read past to one.
QString neutralised(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@");
    int first = 0;
    while (first < text.size() && isPassedOver(text.at(first)))
        ++first;
    const bool passedOver = first > 0 && (text.front() == '\t' || text.front() == '\r');
    const int length = first < text.size() && text.at(first).isHighSurrogate() ? 2 : 1;
    const QString sign = text.mid(first, length).normalized(QString::NormalizationForm_KC);
    if (passedOver || (!sign.isEmpty() && formulaStarts.contains(sign.front())))
        return QLatin1Char('\'') + text;
    return text;
}

QString quoted(const QString &field)
{
    static const QString special = QStringLiteral(",\"\r\n");
    for (const QChar c : field) {
        if (special.contains(c)) {
            QString inner = field;
            inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            return QLatin1Char('"') + inner + QLatin1Char('"');
        }
    }
    return field;
}

void appendRow(QByteArray &csv, const QStringList &fields)
{
    QStringList cells;
    cells.reserve(fields.size());
    for (const QString &field : fields)
        cells << quoted(field);
    // Rows end in CR LF; line breaks inside a quoted note stay as they are.
    csv += cells.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

// 1250 hundredths of an ampere read "12.50".
QString amperes(uint hundredths)
{
    return QStringLiteral("%1.%2")
        .arg(hundredths / 100)
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

// A battery without a capacity has no share: the cell stays empty rather than infinite.
QString capacityShare(uint discharged, uint capacity)
{
    return capacity == 0 ? QString() : QString::number(100.0 * discharged / capacity, 'f', 1);
}

// A figure held in hundredths or tenths of its unit, "22.15" or "12.5"; an unknown one (0)
// stays empty.
QString fraction(uint value, uint parts)
{
    if (value == 0)
        return QString();
    const int digits = parts == 100 ? 2 : 1;
    return QStringLiteral("%1.%2")
        .arg(value / parts)
        .arg(value % parts, digits, 10, QLatin1Char('0'));
}

QString isoDate(const QDateTime &moment)
{
    return moment.isValid() ? moment.date().toString(Qt::ISODate) : QString();
}

QString isoTime(const QTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : QString();
}

QStringList flightRow(const StoreSnapshot &store, const StoreSnapshot::Flight &flight)
{
    const LogData &entry = store.logEntry(flight);
    QStringList row { neutralised(store.models.at(flight.model).name), isoDate(entry.date),
        isoTime(entry.date.time()), isoTime(entry.duration), neutralised(entry.location),
        QString::number(entry.temperature), neutralised(entry.notes) };
    if (const StoreSnapshot::Cycle *cycle = store.cycleOf(flight)) {
        row << neutralised(store.batteryOf(flight)->name) << QString::number(cycle->discharged)
            << amperes(cycle->current);
    } else {
        row << QString() << QString() << QString();
    }
    return row;
}

} // namespace

QByteArray CsvExport::flights(const StoreSnapshot &store)
{
    QByteArray csv;
    appendRow(csv,
        { "model", "date", "time", "duration", "location", "temperature_c", "notes", "battery",
            "discharged_mah", "max_current_a" });
    for (const StoreSnapshot::Flight &flight : store.flights())
        appendRow(csv, flightRow(store, flight));
    return csv;
}

QByteArray CsvExport::cycles(const StoreSnapshot &store)
{
    QByteArray csv;
    appendRow(csv,
        { "battery", "date_time", "discharged_mah", "max_current_a", "capacity_share_percent",
            "lowest_voltage_v", "resistance_mohm" });
    for (const StoreSnapshot::Battery &battery : store.batteries) {
        const QString name = neutralised(battery.name);
        for (const StoreSnapshot::Cycle &cycle : battery.cycleData) {
            appendRow(csv,
                { name, cycle.date.isValid() ? cycle.date.toString(Qt::ISODate) : QString(),
                    QString::number(cycle.discharged), amperes(cycle.current),
                    capacityShare(cycle.discharged, battery.capacity),
                    fraction(cycle.minVoltage, 100), fraction(cycle.resistance, 10) });
        }
    }
    return csv;
}
