#ifndef TEXTDATETIME_H
#define TEXTDATETIME_H

#include <QDateTime>
#include <QString>
#include <QStringRef>
#include <QTime>

// The data file holds date-times in the toolkit's text form, "Sat Mar 2 14:05:09 2024",
// and times of day as "00:06:30". These read and write that form with exactly the results
// of QDateTime::fromString and toString(Qt::TextDate), only faster.

// Writing. The text of each day is kept for the rest of a save; forgetSavedDays() ends it.
QString dateTimeText(const QDateTime &when); // empty for a null value
QString timeText(const QTime &time); // empty for a null time
void forgetSavedDays();

// Reading. Local date-times already made are reused while the time zone stays the same;
// checkTimeZone() looks at it once before each read.
QDateTime parseDateTime(const QStringRef &text); // null when invalid
QDateTime parseDateTime(const QString &text);
QTime parseTime(const QStringRef &text); // null when invalid
void checkTimeZone();

#endif // TEXTDATETIME_H
