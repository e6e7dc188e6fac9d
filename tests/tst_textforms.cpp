#include "store/textforms.h"
#include "storesupport.h"

#include <QtTest>

#include <ctime>

using TestSupport::iso;

namespace {

void setZone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
}

// Date-times from 1890 to 2120 in uneven steps, so that every weekday, month, leap day
// and daylight-saving change of the zone comes up.
QVector<QDateTime> spreadOfDateTimes()
{
    QVector<QDateTime> all { { QDate(2024, 2, 29), QTime(0, 0) },
        { QDate(2023, 12, 31), QTime(23, 59, 59, 999) }, { QDate(2000, 2, 29), QTime(9, 5, 7, 5) },
        { QDate(2024, 3, 2), QTime(14, 5, 9, 120) } };
    QDateTime when(QDate(1890, 1, 1), QTime(0, 0), Qt::LocalTime);
    for (int i = 0; i < 5000; ++i) {
        when = when.addSecs(i % 7 == 0 ? 86400 * 23 + 3600 : 86400 * 16 + 4321).addMSecs(37);
        all << when;
    }
    return all;
}

QStringList parsedByToolkit(const QStringList &texts)
{
    QStringList all;
    for (const QString &text : texts)
        all << iso(QDateTime::fromString(text, Qt::TextDate));
    return all;
}

QStringList parsedHere(const QStringList &texts)
{
    QStringList all;
    for (const QString &text : texts)
        all << iso(parseDateTime(text));
    return all;
}

} // namespace

class TestTextForms : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        // A zone with daylight saving, so that date-times in its gaps are covered too.
        setZone("Europe/Berlin");
        checkTimeZone();
    }

    // Where Qt 5 and Qt 6 read a text alike, as the toolkit reads it; where they differ, see
    // readsAsQt5Does().
    void readsAsTheToolkitDoes()
    {
        QStringList texts { "Sat Mar 2 14:05:09 2024", "Sat Mar  2 14:05:09 2024",
            "Sat Mar 2 2024 14:05:09", "Sat Mar 02 14:05:09 2024", "Mon Mar 2 14:05:09 2024",
            "Sat Mar 2 14:05 2024", "Sat Mar 2 24:00:00 2024", "Fri Feb 30 10:00:00 2024",
            "Sat Mar 2 14:05:09 2024 GMT+0100", "Sat Mar 2 14:05:09. 2024",
            "Sun Mar 31 02:30:00 2024", "Sun Oct 27 02:30:00 2024", "Thu Dec 31 12:00:00 999",
            "sat mar 2 14:05:09 2024", "garbage", "" };
        const QVector<QDateTime> spread = spreadOfDateTimes();
        for (int i = 0; i < spread.size(); ++i) {
            const QString text = spread.at(i).toString(Qt::TextDate);
            texts << text;
            if (i % 10 == 0) // a fraction of three digits, which both toolkits read alike
                texts << QString(text).insert(text.lastIndexOf(' '),
                    "." + QString::number(i % 1000).rightJustified(3, QLatin1Char('0')));
        }
        QCOMPARE(parsedHere(texts), parsedByToolkit(texts));
        // The second read reuses the date-times made by the first.
        QCOMPARE(parsedHere(texts), parsedByToolkit(texts));
    }

    // The file is read as Qt 5 reads it under Qt 6 too, where Qt 6's reading differs.
    void readsAsQt5Does()
    {
        const QList<QPair<QString, QString>> dateTimes {
            // the digits after the point are whole milliseconds (Qt 6: a decimal fraction)
            { "Sat Mar 2 14:05:09.5 2024", "2024-03-02 14:05:09.005" },
            { "Sat Mar 2 14:05:09.05 2024", "2024-03-02 14:05:09.005" },
            { "Sat Mar 2 14:05:09.50 2024", "2024-03-02 14:05:09.050" },
            { "Sat Mar 2 14:05:09.500 2024", "2024-03-02 14:05:09.500" },
            { "Sat Mar  2 14:05:09.05 2024", "2024-03-02 14:05:09.005" },
            { "Sat Mar 2 14:05:09.0005 2024", "2024-03-02 14:05:09.005" },
            { "Sat Mar 2 14:05:09.+5 2024", "2024-03-02 14:05:09.005" },
            { "Thu Dec 31 12:00:00.5 999", "0999-12-31 12:00:00.005" },
            { "Sat Mar 2 14:05:09.5 2024 GMT+0100", "2024-03-02 14:05:09.005 not local" },
            { "Sat Mar 2 14:05:09.1234 2024", "null" },
            { "Sat Mar 2 14:05:09.9999 2024", "null" },
            { "Sat Mar 2 14:05:09,5 2024", "null" },
            { "Sat Mar 2 14:05:09.1.2 2024", "null" },
            { "Sat Mar 2 14:05.5 2024", "null" },
            // the day before the month (Qt 6: no date-time)
            { "Sat 2. Mar 14:05:09 2024", "2024-03-02 14:05:09.000" },
            { "Sat 2. Mar 14:05:09.5 2024", "2024-03-02 14:05:09.005" },
            // a year of three digits, as the writer writes it
            { "Thu Dec 31 12:00:00 999", "0999-12-31 12:00:00.000" },
        };
        for (const auto &[text, expected] : dateTimes)
            QVERIFY2(iso(parseDateTime(text)) == expected, qPrintable(text));
        // A duration's fraction is a decimal one in both; a point alone is none (Qt 6: no time).
        QCOMPARE(parseTime(xmlStringRef(QStringLiteral("00:06:30."))), QTime(0, 6, 30));
        QCOMPARE(parseTime(xmlStringRef(QStringLiteral("12:34:56.5"))), QTime(12, 34, 56, 500));
        QCOMPARE(parseTime(xmlStringRef(QStringLiteral("12:34:56.x"))), QTime());
    }

    // Years before 1000 are written with their digits alone, as Qt 5 writes them
    // (Qt 6: "0999"), so that both builds write the same file.
    void writesYearsAsQt5Does()
    {
        const QTime noon(12, 0);
        QCOMPARE(dateTimeText(QDateTime(QDate(999, 12, 31), noon)), "Tue Dec 31 12:00:00 999");
        QCOMPARE(dateTimeText(QDateTime(QDate(999, 12, 31), noon, Qt::UTC)),
            "Tue Dec 31 12:00:00 999 GMT");
        QCOMPARE(dateTimeText(QDateTime(QDate(12345, 1, 1), noon)), "Mon Jan 1 12:00:00 12345");
        QCOMPARE(parseDateTime(dateTimeText(QDateTime(QDate(999, 12, 31), noon))),
            QDateTime(QDate(999, 12, 31), noon));
        forgetSavedDays();
    }

    // Where Qt 5 and Qt 6 write alike, as the toolkit writes.
    void writesAsTheToolkitDoes()
    {
        QVector<QDateTime> values = spreadOfDateTimes();
        values << QDateTime() << QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9), Qt::UTC)
               << QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9), Qt::OffsetFromUTC, 3600)
               << QDateTime(QDate(12345, 1, 1), QTime(1, 2, 3)) // a year of five digits
               << QDateTime(QDate(2024, 3, 31), QTime(2, 30)); // in the spring gap
        QStringList written;
        QStringList expected;
        // Twice: the second time from the days kept by the first.
        for (int pass = 0; pass < 2; ++pass) {
            for (const QDateTime &when : values) {
                written << dateTimeText(when) << timeText(when.time());
                expected << when.toString(Qt::TextDate) << when.time().toString(Qt::TextDate);
            }
        }
        forgetSavedDays();
        QCOMPARE(written, expected);
        QCOMPARE(timeText(QTime()), QString());
        QCOMPARE(timeText(QTime(0, 6, 30)), "00:06:30");
    }

    void readsTimesAsTheToolkitDoes()
    {
        QStringList texts { "00:06:30", "23:59:59", "24:00:00", "12:60:00", "12:00:60", "1:02:03",
            "12:34", "12:34:56.789", " 12:34:56", "12:34:56 ", "12-34-56", "ab:cd:ef", "",
            "123:4:56" };
        for (int second = 0; second < 86400; second += 97)
            texts << QTime(0, 0).addSecs(second).toString(Qt::TextDate);
        QStringList read;
        QStringList expected;
        for (const QString &text : texts) {
            read << parseTime(xmlStringRef(text)).toString("HH:mm:ss.zzz");
            expected << QTime::fromString(text, Qt::TextDate).toString("HH:mm:ss.zzz");
        }
        QCOMPARE(read, expected);
    }

    void readsNumbersAndNamesAsTheToolkitDoes()
    {
        const QStringList numbers { "0", "7", "007", "123456789", "999999999", "1234567890",
            "4294967295", "4294967296", "9999999999", "-1", "+5", " 5", "5 ", "5a", "", "1e3",
            "0x10", "١٢" };
        for (const QString &text : numbers)
            QVERIFY2(parseUInt(text) == text.toUInt(), qPrintable(text));

        const QStringList names { "Date", "Dat", "LastDate", "DateX", "aDatea", "DDate", "date", "",
            "Location", "AltName", "Name", "Nam" };
        const QLatin1String words[] = { QLatin1String("Date"), QLatin1String("Name"),
            QLatin1String("Location"), QLatin1String("") };
        for (const QString &name : names) {
            for (const QLatin1String &word : words) {
                const XmlStringRef ref = xmlStringRef(name);
                QVERIFY2(containsWord(ref, word) == ref.contains(word),
                    qPrintable(name + " / " + QString(word)));
            }
        }
    }

    // A date-time read before the time zone changed is not reused after it.
    void followsTheTimeZone()
    {
        // The last two fall into a gap of one zone each: in New York's and in Berlin's.
        const QStringList texts { "Sat Mar 2 14:05:09 2024", "Sun Jul 7 12:00:00 2024",
            "Sun Mar 10 02:30:00 2024", "Sun Mar 31 02:30:00 2024" };
        const QStringList inBerlin = parsedHere(texts);
        QCOMPARE(inBerlin, parsedByToolkit(texts));
        QVector<qint64> berlinInstants;
        for (const QString &text : texts)
            berlinInstants << parseDateTime(text).toMSecsSinceEpoch();

        setZone("America/New_York");
        checkTimeZone();
        QVector<qint64> newYorkInstants;
        QVector<qint64> expected;
        for (const QString &text : texts) {
            newYorkInstants << parseDateTime(text).toMSecsSinceEpoch();
            expected << QDateTime::fromString(text, Qt::TextDate).toMSecsSinceEpoch();
        }
        QCOMPARE(newYorkInstants, expected);
        QVERIFY(newYorkInstants.first() != berlinInstants.first());
        QCOMPARE(parsedHere(texts), parsedByToolkit(texts));
    }
};

QTEST_MAIN(TestTextForms)
#include "tst_textforms.moc"
