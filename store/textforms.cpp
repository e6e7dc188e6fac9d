#include "store/textforms.h"

#include <QByteArray>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace {

void appendTwoDigits(QString &text, int value)
{
    text += QLatin1Char(char('0' + value / 10));
    text += QLatin1Char(char('0' + value % 10));
}

void appendTimeOfDay(QString &text, const QTime &time)
{
    appendTwoDigits(text, time.hour());
    text += QLatin1Char(':');
    appendTwoDigits(text, time.minute());
    text += QLatin1Char(':');
    appendTwoDigits(text, time.second());
}

// The toolkit's text date-time costs a locale look-up and an asprintf for every value, a
// third of a save. So each day's text is made once per save and the time of day written
// here, into the toolkit's place and form (checked once against the toolkit).
//
// The day and month names are always the English ones, as the toolkit writes them on an
// English system: Qt 5 writes the system's names into Qt::TextDate but reads only English
// ones back, so under any other language every date-time of the file would be lost at the
// next refresh.
class TextDates {
public:
    QString dateTime(const QDateTime &when);
    QString time(const QTime &time) const;
    void forget() { days.clear(); }

private:
    struct Day {
        QString head; // "Sat Mar 2 ", the text before the time of day
        QString tail; // " 2024", after it
    };
    static Day splitDay(const QDate &date);
    static bool formsMatchToolkit();

    QHash<qint64, Day> days;
};

// The toolkit's zone after the year (" GMT", " GMT+0100"), which only it knows how to write.
QString zoneSuffix(const QDateTime &when)
{
    const QString text = when.toString(Qt::TextDate);
    const int time = text.indexOf(when.time().toString(Qt::TextDate));
    const int afterYear = time < 0 ? -1 : text.indexOf(QLatin1Char(' '), time + 9); // "HH:mm:ss "
    return afterYear < 0 ? QString() : text.mid(afterYear);
}

TextDates::Day TextDates::splitDay(const QDate &date)
{
    const QLocale english = QLocale::c();
    const QChar blank = QLatin1Char(' ');
    return { english.dayName(date.dayOfWeek(), QLocale::ShortFormat) + blank
            + english.monthName(date.month(), QLocale::ShortFormat) + blank
            + QString::number(date.day()) + blank,
        blank + QString::number(date.year()) };
}

bool TextDates::formsMatchToolkit()
{
    static const bool match = [] {
        const QTime time(14, 5, 9, 120);
        const QDateTime when(QDate(2024, 7, 6), time, Qt::LocalTime);
        return QTime(4, 5, 9).toString(Qt::TextDate) == QLatin1String("04:05:09")
            && time.toString(Qt::TextDate) == QLatin1String("14:05:09")
            && when.toString(Qt::TextDate).endsWith(QLatin1String(" 6 14:05:09 2024"));
    }();
    return match;
}

QString TextDates::time(const QTime &time) const
{
    if (!time.isValid() || !formsMatchToolkit())
        return time.toString(Qt::TextDate); // empty for a null time
    QString text;
    text.reserve(8);
    appendTimeOfDay(text, time);
    return text;
}

QString TextDates::dateTime(const QDateTime &when)
{
    // Invalid values (empty text) and an unknown form are left to the toolkit.
    if (!when.isValid() || !formsMatchToolkit())
        return when.toString(Qt::TextDate);
    const QDate date = when.date();
    auto day = days.constFind(date.toJulianDay());
    if (day == days.cend())
        day = days.insert(date.toJulianDay(), splitDay(date));
    QString text;
    text.reserve(day->head.size() + 8 + day->tail.size());
    text += day->head;
    appendTimeOfDay(text, when.time());
    text += day->tail; // the year as Qt 5 writes it, "999" where Qt 6 writes "0999"
    if (when.timeSpec() != Qt::LocalTime)
        text += zoneSuffix(when);
    return text;
}

TextDates &saveTexts()
{
    static TextDates texts;
    return texts;
}

// What makes the C library read its time zone rules anew: the TZ variable and, while it is
// unset, the identity and age of /etc/localtime. This is the library's own test, and no
// simpler one is safe: one probe date's UTC offset misses new rules for other dates, and
// the zone's name misses a file replaced under the same name.
const char *const zoneFile = "/etc/localtime";

QByteArray zoneSetting()
{
    QByteArray setting = qEnvironmentVariableIsSet("TZ") ? "TZ=" + qgetenv("TZ") : "no TZ";
#ifdef Q_OS_LINUX
    struct stat info { };
    if (stat(zoneFile, &info) == 0) {
        for (qint64 field : { qint64(info.st_dev), qint64(info.st_ino), qint64(info.st_size),
                 qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec) })
            setting += ' ' + QByteArray::number(field);
    }
#else
    // Elsewhere nothing is known about the zone's source: reuse nothing across reads.
    static quint64 reads = 0;
    setting += ' ' + QByteArray::number(++reads);
#endif
    return setting;
}

// Qt makes every local date-time through tzset() and mktime(), and with TZ unset the C
// library answers each tzset() with a stat() of /etc/localtime: a third of a refresh for the
// tens of thousands of date-times of a large store. So each distinct date-time is made once
// and reused for as long as the zone setting stays the same.
class LocalDateTimes {
public:
    QDateTime at(const QDate &date, const QTime &time)
    {
        const qint64 key = date.toJulianDay() * 86400000 + time.msecsSinceStartOfDay();
        auto known = made.constFind(key);
        if (known != made.cend())
            return *known;
        if (made.size() >= maxKept)
            made.clear();
        return *made.insert(key, QDateTime(date, time, Qt::LocalTime));
    }

    // Forgets every date-time made under another zone setting; once per read.
    void checkZone()
    {
        if (held > 0)
            return;
        QByteArray setting = zoneSetting();
        if (setting != zone) {
            made.clear();
            zone = std::move(setting);
        }
    }

    const QByteArray &setting() const { return zone; }
    int held = 0; // nested TimeZoneHeld

private:
    static constexpr int maxKept = 1 << 18; // some 10 MB at most
    QHash<qint64, QDateTime> made;
    QByteArray zone;
};

LocalDateTimes &localDateTimes()
{
    static LocalDateTimes dateTimes;
    return dateTimes;
}

int digitAt(const QChar *text, int size, int pos)
{
    const int digit = pos < size ? text[pos].unicode() - '0' : -1;
    return digit >= 0 && digit <= 9 ? digit : -1;
}

// Reads `min` to `max` ASCII digits at `pos`; -1 when there are fewer than `min`.
int readNumber(const QChar *text, int size, int &pos, int min, int max)
{
    int value = 0;
    int count = 0;
    for (int digit; count < max && (digit = digitAt(text, size, pos)) >= 0; ++count, ++pos)
        value = value * 10 + digit;
    return count >= min ? value : -1;
}

bool readChar(const QChar *text, int size, int &pos, char expected)
{
    if (pos >= size || text[pos] != QLatin1Char(expected))
        return false;
    ++pos;
    return true;
}

// Number (1 based) of the three-letter English name at `pos`, 0 when none matches.
int readName(const QChar *text, int size, int &pos, const char *names, int count)
{
    if (pos + 3 > size)
        return 0;
    for (int i = 0; i < count; ++i) {
        const char *name = names + 3 * i;
        if (text[pos] == QLatin1Char(name[0]) && text[pos + 1] == QLatin1Char(name[1])
            && text[pos + 2] == QLatin1Char(name[2])) {
            pos += 3;
            return i + 1;
        }
    }
    return 0;
}

// Parses exactly the English form that QDateTime::toString(Qt::TextDate) writes,
// "Sat Mar 2 14:05:09 2024" (optionally with ".zzz" after the seconds), to the same
// value as Qt 5's QDateTime::fromString gives. Invalid when the text has any other form.
QDateTime parseEnglishTextDate(XmlStringRef text)
{
    const QChar *s = text.constData();
    const int size = text.size();
    int pos = 0;
    const int weekday = readName(s, size, pos, "MonTueWedThuFriSatSun", 7);
    if (!weekday || !readChar(s, size, pos, ' '))
        return {};
    const int month = readName(s, size, pos, "JanFebMarAprMayJunJulAugSepOctNovDec", 12);
    if (!month || !readChar(s, size, pos, ' '))
        return {};
    const int day = readNumber(s, size, pos, 1, 2);
    if (!readChar(s, size, pos, ' '))
        return {};
    const int hour = readNumber(s, size, pos, 2, 2);
    const int minute = readChar(s, size, pos, ':') ? readNumber(s, size, pos, 2, 2) : -1;
    const int second = readChar(s, size, pos, ':') ? readNumber(s, size, pos, 2, 2) : -1;
    // fromString reads a fraction of the seconds as a whole number of milliseconds
    const int msec = readChar(s, size, pos, '.') ? readNumber(s, size, pos, 1, 3) : 0;
    if (!readChar(s, size, pos, ' '))
        return {};
    const int year = readNumber(s, size, pos, 4, 4);
    if (pos != size || year < 1000)
        return {};
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, msec);
    if (!date.isValid() || !time.isValid() || date.dayOfWeek() != weekday)
        return {};
    return localDateTimes().at(date, time);
}

} // namespace

QString dateTimeText(const QDateTime &when)
{
    return saveTexts().dateTime(when); // empty for a null date-time
}

QString timeText(const QTime &time)
{
    return saveTexts().time(time);
}

void forgetSavedDays()
{
    saveTexts().forget();
}

// The toolkit reads every other form, with Qt 5's reading where Qt 6 reads otherwise, so
// that both builds read a file alike: the digits after the seconds' point are a whole
// number of milliseconds (".5" is 5 ms, not 500; more than 999 is no time, a comma no
// point), and the day may stand before the month as "2. Mar".
QDateTime parseOtherTextDate(QString text)
{
    static const QRegularExpression dayFirst(QStringLiteral("^(\\S+\\s+)(\\d+)\\.(\\s+)(\\S+)"));
    static const QRegularExpression fraction(QStringLiteral("\\d:\\d\\d:\\d\\d([.,])(\\S*)"));
    text.replace(dayFirst, QStringLiteral("\\1\\4\\3\\2"));
    const QRegularExpressionMatch match = fraction.match(text);
    if (!match.hasMatch())
        return QDateTime::fromString(text, Qt::TextDate);
    bool isNumber = false;
    const int msec = match.captured(2).toInt(&isNumber);
    if (match.captured(1) != QLatin1String(".") || !isNumber || msec < 0 || msec > 999)
        return {};
    text.remove(match.capturedStart(1), match.capturedLength(1) + match.capturedLength(2));
    QDateTime when = QDateTime::fromString(text, Qt::TextDate);
    const QTime time = when.time();
    if (when.isValid())
        when.setTime(QTime(time.hour(), time.minute(), time.second(), msec));
    return when;
}

// A refresh parses tens of thousands of date-times, and QDateTime::fromString is slow:
// take the fast path for the form we write and leave every other form to the toolkit.
QDateTime parseDateTime(XmlStringRef text)
{
    if (text.isEmpty())
        return {};
    const QDateTime fast = parseEnglishTextDate(text);
    return fast.isValid() ? fast : parseOtherTextDate(text.toString());
}

QDateTime parseDateTime(const QString &text)
{
    return parseDateTime(xmlStringRef(text));
}

// Every flight has a duration: its usual form is read here, like the date-times.
QTime parseTime(XmlStringRef text)
{
    const QChar *s = text.constData();
    const int size = text.size();
    int pos = 0;
    const int hour = readNumber(s, size, pos, 2, 2);
    const int minute = readChar(s, size, pos, ':') ? readNumber(s, size, pos, 2, 2) : -1;
    const int second = readChar(s, size, pos, ':') ? readNumber(s, size, pos, 2, 2) : -1;
    if (pos == size && QTime::isValid(hour, minute, second))
        return QTime(hour, minute, second);
    // Qt 5 reads a point without digits after the seconds as no fraction, Qt 6 as no time.
    if (pos == size - 1 && pos == 8 && text.at(pos) == QLatin1Char('.')
        && QTime::isValid(hour, minute, second))
        return QTime(hour, minute, second);
    return QTime::fromString(text.toString(), Qt::TextDate);
}

void checkTimeZone()
{
    localDateTimes().checkZone();
}

// The C library reads the zone from /etc/localtime when TZ is unset, and checks that file
// at every tzset() that the toolkit's mktime() calls; TZ naming that same file gives the
// same rules and lets tzset() see that nothing changed from the variable alone. qputenv()
// takes the toolkit's environment lock, the one its own tzset() calls take; only the first
// of nested holds sets the variable, and a TZ the user set is never touched.
TimeZoneHeld::TimeZoneHeld()
{
    LocalDateTimes &dateTimes = localDateTimes();
    dateTimes.checkZone();
    ++dateTimes.held;
#ifdef Q_OS_LINUX
    struct stat info { };
    named = dateTimes.held == 1 && !qEnvironmentVariableIsSet("TZ") && stat(zoneFile, &info) == 0
        && S_ISREG(info.st_mode);
    if (named)
        qputenv("TZ", QByteArray(":") + zoneFile);
#endif
}

TimeZoneHeld::~TimeZoneHeld()
{
    if (named)
        qunsetenv("TZ");
    --localDateTimes().held;
}

QByteArray heldZoneSetting()
{
    const LocalDateTimes &dateTimes = localDateTimes();
    return dateTimes.held > 0 ? dateTimes.setting() : zoneSetting();
}

QByteArray writeSetting()
{
    const LocalDateTimes &dateTimes = localDateTimes();
    const QByteArray zone = dateTimes.held > 0 ? dateTimes.setting() : zoneSetting();
    return zone + ' ' + QLocale().name().toLatin1();
}

// The toolkit's conversion goes through the C locale's number parser; plain digits, what
// the file holds, are read here.
uint parseUInt(XmlStringRef text)
{
    if (text.isEmpty() || text.size() > 9)
        return text.toUInt();
    uint value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return text.toUInt();
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

uint parseUInt(const QString &text)
{
    return parseUInt(xmlStringRef(text));
}

// The toolkit's contains() costs some 7 % of a refresh in its set-up alone on the short
// names of a large file.
template <typename Word> static bool containsChars(XmlStringRef name, const Word &word)
{
    const QChar *text = name.constData();
    for (int start = 0; start + int(word.size()) <= name.size(); ++start) {
        int matched = 0;
        while (matched < int(word.size()) && text[start + matched] == word.at(matched))
            ++matched;
        if (matched == int(word.size()))
            return true;
    }
    return false;
}

bool containsWord(XmlStringRef name, QLatin1String word)
{
    return containsChars(name, word);
}

bool containsWord(XmlStringRef name, const QString &word)
{
    return containsChars(name, word);
}

// XML 1.0 cannot hold C0 controls other than tab, line feed and carriage return, U+FFFE,
// U+FFFF or unpaired surrogates, and the writer refuses the whole document for one of them.
static bool isXmlCharacter(const QChar *text, int size, int at, int *width)
{
    const ushort unit = text[at].unicode();
    *width = 1;
    if (QChar::isHighSurrogate(unit)) {
        *width = 2;
        return at + 1 < size && QChar::isLowSurrogate(text[at + 1].unicode());
    }
    if (QChar::isLowSurrogate(unit))
        return false;
    if (unit < 0x20)
        return unit == '\t' || unit == '\n' || unit == '\r';
    return unit != 0xFFFE && unit != 0xFFFF;
}

QString xmlText(const QString &text)
{
    const QChar *units = text.constData();
    const int size = text.size();
    int at = 0;
    int width = 1;
    while (at < size && isXmlCharacter(units, size, at, &width))
        at += width;
    if (at == size)
        return text; // the usual case: shared, not copied
    QString kept = text.left(at);
    for (; at < size; at += width) {
        if (isXmlCharacter(units, size, at, &width))
            kept.append(units + at, width);
        else
            width = 1; // drop this unit only; the next one is judged by itself
    }
    return kept;
}
