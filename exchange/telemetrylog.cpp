#include "exchange/telemetrylog.h"

#include "exchange/telemetryflights.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

// Rows are short; a longer "line" is not a log row and is skipped whole.
constexpr int maxLineLength = 16384;
// How often, in lines, the reader tells how far it got.
constexpr int linesPerProgress = 4096;

struct Text {
    Q_DECLARE_TR_FUNCTIONS(TelemetryLog)
};

struct Cell {
    const char *begin = nullptr;
    const char *end = nullptr;

    bool isEmpty() const { return begin == end; }
};

// Splits at commas, without copying, up to the cell `last`: the rest of the row is not
// looked at. `cells` keeps its capacity from row to row.
void splitRow(const QByteArray &line, std::vector<Cell> &cells, int last)
{
    cells.clear();
    const char *begin = line.constData();
    const char *const end = begin + line.size();
    for (;;) {
        const auto *comma = static_cast<const char *>(std::memchr(begin, ',', size_t(end - begin)));
        cells.push_back({ begin, comma ? comma : end });
        if (!comma || int(cells.size()) > last)
            break;
        begin = comma + 1;
    }
}

bool readDigits(const char *&at, const char *end, int count, int &value)
{
    value = 0;
    for (int i = 0; i < count; ++i, ++at) {
        if (at == end || *at < '0' || *at > '9')
            return false;
        value = value * 10 + (*at - '0');
    }
    return true;
}

bool expect(const char *&at, const char *end, char what)
{
    if (at == end || *at != what)
        return false;
    ++at;
    return true;
}

// "YYYY-MM-DD"
bool parseDate(const Cell &cell, QDate &date)
{
    const char *at = cell.begin;
    int year, month, day;
    if (!readDigits(at, cell.end, 4, year) || !expect(at, cell.end, '-')
        || !readDigits(at, cell.end, 2, month) || !expect(at, cell.end, '-')
        || !readDigits(at, cell.end, 2, day) || at != cell.end)
        return false;
    date = QDate(year, month, day);
    return date.isValid();
}

// "HH:MM:SS" with up to three decimals of the second, as milliseconds of the day.
bool parseTime(const Cell &cell, qint64 &ms)
{
    const char *at = cell.begin;
    int hours, minutes, seconds;
    if (!readDigits(at, cell.end, 2, hours) || !expect(at, cell.end, ':')
        || !readDigits(at, cell.end, 2, minutes) || !expect(at, cell.end, ':')
        || !readDigits(at, cell.end, 2, seconds) || hours > 23 || minutes > 59 || seconds > 59)
        return false;
    int fraction = 0;
    if (at != cell.end) {
        if (*at++ != '.')
            return false;
        int scale = 100;
        for (; at != cell.end && scale > 0; ++at, scale /= 10) {
            if (*at < '0' || *at > '9')
                return false;
            fraction += (*at - '0') * scale;
        }
        if (at != cell.end)
            return false;
    }
    ms = ((hours * 60 + minutes) * 60 + seconds) * 1000LL + fraction;
    return true;
}

// A plain decimal such as "-12.34"; the radio writes no exponents and no grouping.
// Anything else counts as a lost reading. Locale-free on purpose: the program runs
// with the user's locale, whose decimal comma would misread the radio's numbers.
bool parseNumber(const Cell &cell, double &value)
{
    const char *at = cell.begin;
    while (at != cell.end && *at == ' ')
        ++at;
    const bool negative = at != cell.end && *at == '-';
    if (negative || (at != cell.end && *at == '+'))
        ++at;
    double whole = 0;
    double scale = 1;
    bool digits = false;
    bool point = false;
    for (; at != cell.end; ++at) {
        if (*at >= '0' && *at <= '9') {
            digits = true;
            if (point)
                scale /= 10;
            whole = whole * 10 + (*at - '0');
        } else if (*at == '.' && !point) {
            point = true;
        } else if (*at == ' ') {
            break;
        } else {
            return false;
        }
    }
    if (!digits)
        return false;
    value = (negative ? -whole : whole) * scale;
    return true;
}

struct ColumnName {
    QString name; // before the unit
    QString unit; // inside the parentheses, or empty
};

ColumnName splitColumnName(const QString &header)
{
    const int open = header.indexOf(QLatin1Char('('));
    if (open < 0 || !header.endsWith(QLatin1Char(')')))
        return { header.trimmed(), QString() };
    return { header.left(open).trimmed(), header.mid(open + 1, header.size() - open - 2) };
}

// The usual sensor names of a quantity, best first; after them any other column in the
// unit will do, except those named in `never`. `last` is taken only when nothing else
// is there (a receiver's own voltage says less about the pack than a flight pack sensor).
struct Quantity {
    QStringList names;
    QString unit;
    QStringList never;
    QString last;
};

int findColumn(const QVector<ColumnName> &header, const Quantity &quantity)
{
    const auto isNamed = [](const ColumnName &column, const QString &name) {
        return column.name.compare(name, Qt::CaseInsensitive) == 0;
    };
    for (const QString &name : quantity.names) {
        for (int i = 0; i < header.size(); ++i) {
            if (isNamed(header[i], name) && header[i].unit == quantity.unit)
                return i;
        }
    }
    int last = -1;
    for (int i = 0; i < header.size(); ++i) {
        if (header[i].unit != quantity.unit)
            continue;
        if (isNamed(header[i], quantity.last))
            last = i;
        else if (std::none_of(quantity.never.begin(), quantity.never.end(),
                     [&](const QString &name) { return isNamed(header[i], name); }))
            return i;
    }
    return last;
}

const Quantity &currentQuantity()
{
    static const Quantity quantity { { "Curr", "Current", "EscA", "ECur", "IBat", "Amps" }, "A", {},
        {} };
    return quantity;
}

const Quantity &capacityQuantity()
{
    static const Quantity quantity { { "Capa", "EscC", "Cnsp", "Used", "Fuel" }, "mAh", {}, {} };
    return quantity;
}

const Quantity &voltageQuantity()
{
    static const Quantity quantity { { "VFAS", "EscV", "VBat", "Batt", "BtV", "A2", "A1" }, "V",
        { "TxBat", "Cels", "Cell", "A3", "A4" }, "RxBt" };
    return quantity;
}

// A chosen column that the header has wins; otherwise the usual names decide.
int columnFor(const QStringList &names, const QVector<ColumnName> &header, const QString &chosen,
    const Quantity &quantity)
{
    const int index = chosen.isEmpty() ? -1 : names.indexOf(chosen);
    return index >= 0 ? index : findColumn(header, quantity);
}

// Reads lines of bounded length: a line longer than the limit is dropped whole.
class LineReader {
public:
    explicit LineReader(QIODevice &device)
        : device(device)
        , buffer(maxLineLength + 1, '\0')
    {
    }

    // False at the end. `terminated` tells whether the line ended with a line feed; the
    // radio's last line may have been cut off when the card was pulled.
    bool next(QByteArray &line, bool &terminated, bool &overlong)
    {
        overlong = false;
        qint64 length = device.readLine(buffer.data(), buffer.size());
        if (length <= 0)
            return false;
        terminated = buffer[int(length) - 1] == '\n';
        if (!terminated && length == buffer.size() - 1 && !device.atEnd()) {
            overlong = true;
            skipRestOfLine();
        }
        int end = int(length) - (terminated ? 1 : 0);
        if (end > 0 && buffer[end - 1] == '\r')
            --end;
        line = QByteArray(buffer.constData(), end);
        return true;
    }

private:
    void skipRestOfLine()
    {
        char c = 0;
        while (device.getChar(&c) && c != '\n') { }
    }

    QIODevice &device;
    QByteArray buffer;
};

struct Layout {
    int date = -1, time = -1, current = -1, capacity = -1, voltage = -1;

    int widest() const { return std::max({ date, time, current, capacity, voltage }); }
};

bool readHeader(
    LineReader &lines, TelemetryLog &log, const TelemetryColumns &chosen, Layout &layout)
{
    QByteArray line;
    bool terminated = false, overlong = false;
    if (!lines.next(line, terminated, overlong)) {
        log.error = Text::tr("the file is empty");
        return false;
    }
    if (line.startsWith("\xEF\xBB\xBF"))
        line.remove(0, 3);
    if (overlong || line.contains('\0')) {
        log.error = Text::tr("not a telemetry log: the first line is no list of column names");
        return false;
    }
    QVector<ColumnName> header;
    for (const QByteArray &cell : line.split(',')) {
        log.columnNames << QString::fromUtf8(cell).trimmed();
        header << splitColumnName(log.columnNames.last());
    }
    layout.date = log.columnNames.indexOf(QStringLiteral("Date"));
    layout.time = log.columnNames.indexOf(QStringLiteral("Time"));
    if (layout.date < 0 || layout.time < 0) {
        log.error = Text::tr("not a telemetry log: the first line names no Date and Time columns");
        return false;
    }
    const QStringList &names = log.columnNames;
    layout.current = columnFor(names, header, chosen.current, currentQuantity());
    layout.capacity = columnFor(names, header, chosen.capacity, capacityQuantity());
    layout.voltage = columnFor(names, header, chosen.voltage, voltageQuantity());
    const auto nameOf = [&](int index) { return index < 0 ? QString() : names[index]; };
    log.columns = { nameOf(layout.current), nameOf(layout.capacity), nameOf(layout.voltage) };
    return true;
}

bool readValue(const std::vector<Cell> &cells, int index, double &value)
{
    return index >= 0 && index < int(cells.size()) && parseNumber(cells[size_t(index)], value);
}

} // namespace

QString telemetryModelName(const QString &fileName)
{
    static const QRegularExpression dated(
        QStringLiteral("^(.*)-\\d{4}-\\d{2}-\\d{2}(-\\d{6})?\\.csv$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString base = QFileInfo(fileName).fileName();
    const QRegularExpressionMatch match = dated.match(base);
    return match.hasMatch() ? match.captured(1) : QFileInfo(base).completeBaseName();
}

TelemetryLog readTelemetryLog(QIODevice &device, const QString &fileName,
    const TelemetryColumns &chosen, const TelemetryProgress &progress)
{
    TelemetryLog log;
    log.fileName = fileName;
    log.modelName = telemetryModelName(fileName);
    LineReader lines(device);
    Layout layout;
    if (!readHeader(lines, log, chosen, layout))
        return log;

    FlightSplitter splitter(log.flights);
    ReadingFilter filter(splitter);
    std::vector<Cell> cells;
    QByteArray line;
    bool terminated = false, overlong = false;
    for (int count = 1; lines.next(line, terminated, overlong); ++count) {
        if (progress && count % linesPerProgress == 0 && !progress(device.pos())) {
            log.flights.clear();
            log.cancelled = true;
            log.error = Text::tr("the reading was cancelled");
            return log;
        }
        // A cut-off last line may hold half a number: only whole rows count there.
        splitRow(line, cells, terminated ? layout.widest() : std::numeric_limits<int>::max());
        TelemetryRow row;
        const bool cutOff = !terminated && int(cells.size()) < log.columnNames.size();
        if (overlong || cutOff || layout.widest() >= int(cells.size())
            || !parseDate(cells[size_t(layout.date)], row.date)
            || !parseTime(cells[size_t(layout.time)], row.msOfDay)) {
            if (!line.isEmpty())
                ++log.skippedRows;
            continue;
        }
        using C = TelemetryRow;
        row.has[C::Current] = readValue(cells, layout.current, row.value[C::Current]);
        row.has[C::Capacity] = readValue(cells, layout.capacity, row.value[C::Capacity]);
        row.has[C::Voltage] = readValue(cells, layout.voltage, row.value[C::Voltage]);
        filter.add(row);
    }
    filter.flush();
    splitter.close();
    return log;
}

TelemetryLog readTelemetryFile(
    const QString &path, const TelemetryColumns &chosen, const TelemetryProgress &progress)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        TelemetryLog log;
        log.fileName = path;
        log.modelName = telemetryModelName(path);
        log.error = Text::tr("cannot be read");
        return log;
    }
    return readTelemetryLog(file, path, chosen, progress);
}

namespace {

bool continues(const TelemetryFlight &earlier, const TelemetryFlight &later)
{
    const qint64 pause = earlier.end.msecsTo(later.start);
    const double counted = later.firstCounter - earlier.lastCounter;
    return earlier.hasCapacity && later.hasCapacity && pause >= 0 && pause <= flightGapMs
        && counted >= 0 && counted <= mostCounted(pause);
}

void join(TelemetryFlight &earlier, const TelemetryFlight &later)
{
    earlier.seconds += int((earlier.end.msecsTo(later.start) + 500) / 1000) + later.seconds;
    earlier.rows += later.rows;
    earlier.usedMah += later.firstCounter - earlier.lastCounter + later.usedMah;
    earlier.lastCounter = later.lastCounter;
    earlier.end = later.end;
    earlier.glitches += later.glitches;
    if (later.hasCurrent && (!earlier.hasCurrent || later.maxCurrent > earlier.maxCurrent)) {
        earlier.maxCurrent = later.maxCurrent;
        earlier.hasCurrent = true;
    }
    if (later.hasVoltage && (!earlier.hasVoltage || later.minVoltage < earlier.minVoltage)) {
        earlier.minVoltage = later.minVoltage;
        earlier.hasVoltage = true;
    }
    // Each part's middle, weighted by its steps: the steps themselves are not kept.
    const int steps = earlier.resistanceSteps + later.resistanceSteps;
    if (steps > 0) {
        earlier.resistanceMilliohms = (earlier.resistanceMilliohms * earlier.resistanceSteps
                                          + later.resistanceMilliohms * later.resistanceSteps)
            / steps;
        earlier.resistanceSteps = steps;
        earlier.hasResistance = steps >= leastResistanceSteps && earlier.resistanceMilliohms > 0;
    }
}

} // namespace

void joinContinuedFlights(QVector<TelemetryLog> &logs)
{
    QVector<int> order;
    for (int i = 0; i < logs.size(); ++i) {
        if (logs[i].isValid() && !logs[i].flights.isEmpty())
            order << i;
    }
    std::sort(order.begin(), order.end(), [&logs](int a, int b) {
        return std::make_pair(logs[a].modelName, logs[a].flights.first().start)
            < std::make_pair(logs[b].modelName, logs[b].flights.first().start);
    });
    for (int i = 1; i < order.size(); ++i) {
        TelemetryLog &earlier = logs[order[i - 1]];
        TelemetryLog &later = logs[order[i]];
        if (earlier.modelName != later.modelName || earlier.flights.isEmpty()
            || !continues(earlier.flights.last(), later.flights.first()))
            continue;
        join(earlier.flights.last(), later.flights.first());
        later.flights.removeFirst();
        // A flight may go on through several files: the next one joins the same.
        if (later.flights.isEmpty())
            order[i] = order[i - 1];
    }
}

QStringList telemetryFilesIn(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir()) {
            files << path;
            continue;
        }
        QStringList found;
        QDirIterator it(path, { QStringLiteral("*.csv"), QStringLiteral("*.CSV") }, QDir::Files,
            QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        found.sort();
        files << found;
    }
    return files;
}
