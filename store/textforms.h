#ifndef TEXTFORMS_H
#define TEXTFORMS_H

#include "cellora_qt.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTime>

// The text forms of the data file's values and names, read and written with exactly the
// results of the toolkit's own conversions, only faster: a refresh of a large store makes
// tens of thousands of these, and the toolkit's general paths cost a good part of it.

// Date-times in the toolkit's text form, "Sat Mar 2 14:05:09 2024", and times of day,
// "00:06:30", as QDateTime/QTime::toString(Qt::TextDate) writes them. The text of each
// day is kept for the rest of a save; forgetSavedDays() ends it.
QString dateTimeText(const QDateTime &when); // empty for a null value
QString timeText(const QTime &time); // empty for a null time
void forgetSavedDays();

// The same forms read as Qt 5's QDateTime/QTime::fromString(text, Qt::TextDate) reads
// them, under Qt 6 too, so that both builds read a file alike. Local
// date-times already made are reused while the time zone stays the same; each read looks
// at it once (TimeZoneHeld), and checkTimeZone() does for parsing outside a read.
QDateTime parseDateTime(XmlStringRef text); // null when invalid
QDateTime parseDateTime(const QString &text);
QTime parseTime(XmlStringRef text); // null when invalid
void checkTimeZone();
// The time zone the date-times of a read under way assume (what checkTimeZone() found).
QByteArray heldZoneSetting();

// For its life the time zone stays the one checkTimeZone() found, as the kept date-times
// already assume for one read: with TZ unset, the C library would otherwise look at
// /etc/localtime again for every local date-time the toolkit makes.
class TimeZoneHeld {
public:
    TimeZoneHeld();
    ~TimeZoneHeld();
    TimeZoneHeld(const TimeZoneHeld &) = delete;
    TimeZoneHeld &operator=(const TimeZoneHeld &) = delete;

private:
    bool named = false;
};

// What decides how a save writes values besides the values themselves: the time zone
// and the language. Kept written text is valid only while this stays the same.
QByteArray writeSetting();

// As text.toUInt(): 0 when the text is no unsigned decimal.
uint parseUInt(XmlStringRef text);
uint parseUInt(const QString &text);

// As name.contains(word): the readers know the file's elements and attributes by the
// words their names contain.
bool containsWord(XmlStringRef name, QLatin1String word);
bool containsWord(XmlStringRef name, const QString &word);

// Text as the file can hold it: characters that XML 1.0 cannot represent are left out, so
// that one pasted control character can never stop a save or any later one.
QString xmlText(const QString &text);

#endif // TEXTFORMS_H
