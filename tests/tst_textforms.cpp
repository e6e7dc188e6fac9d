// The store's own reading and writing of date-times, times, numbers and names: as the
// toolkit does where Qt 5 and Qt 6 agree, as Qt 5 does where they differ.

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
    checkTimeZone();
}

// Date-times from 1890 to 2120 in uneven steps, so that every weekday, month, leap day and
// daylight-saving change of the zone comes up.
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

// As text and as an instant, twice: the second read reuses the date-times of the first.
void compareReadingWithToolkit(const QStringList &texts)
{
    QStringList here, toolkit;
    for (int pass = 0; pass < 2; ++pass) {
        for (const QString &text : texts) {
            const QDateTime mine = parseDateTime(text);
            const QDateTime theirs = QDateTime::fromString(text, Qt::TextDate);
            here << iso(mine) + " at " + QString::number(mine.toMSecsSinceEpoch());
            toolkit << iso(theirs) + " at " + QString::number(theirs.toMSecsSinceEpoch());
        }
    }
    QCOMPARE(here, toolkit);
}

} // namespace

class TestTextForms : public QObject {
    Q_OBJECT

private slots:
    void init() { setZone("Europe/Berlin"); } // daylight saving: date-times in its gaps too

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
        compareReadingWithToolkit(texts);

        QStringList times { "00:06:30", "23:59:59", "24:00:00", "12:60:00", "12:00:60", "1:02:03",
            "12:34", "12:34:56.789", " 12:34:56", "12:34:56 ", "12-34-56", "ab:cd:ef", "",
            "123:4:56" };
        for (int second = 0; second < 86400; second += 97)
            times << QTime(0, 0).addSecs(second).toString(Qt::TextDate);
        QStringList read, expected;
        for (const QString &text : times) {
            read << parseTime(xmlStringRef(text)).toString("HH:mm:ss.zzz");
            expected << QTime::fromString(text, Qt::TextDate).toString("HH:mm:ss.zzz");
        }
        QCOMPARE(read, expected);

        for (const QString text :
            { "0", "7", "007", "123456789", "999999999", "1234567890", "4294967295", "4294967296",
                "9999999999", "-1", "+5", " 5", "5 ", "5a", "", "1e3", "0x10", "١٢" })
            QVERIFY2(parseUInt(text) == text.toUInt(), qPrintable(text));
        for (const QString name : { "Date", "Dat", "LastDate", "DateX", "aDatea", "DDate", "date",
                 "", "Location", "AltName", "Name", "Nam" }) {
            const XmlStringRef ref = xmlStringRef(name);
            for (const char *word : { "Date", "Name", "Location", "" })
                QVERIFY2(
                    containsWord(ref, QLatin1String(word)) == ref.contains(QLatin1String(word)),
                    qPrintable(name + " / " + word));
        }
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

    // As the toolkit writes where Qt 5 and Qt 6 write alike, twice (the second time from the
    // days kept by the first); years before 1000 with their digits alone, as Qt 5 writes them
    // (Qt 6: "0999"), so that both builds write the same file.
    void writesAsTheToolkitDoes()
    {
        QVector<QDateTime> values = spreadOfDateTimes();
        values << QDateTime() << QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9), Qt::UTC)
               << QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9), Qt::OffsetFromUTC, 3600)
               << QDateTime(QDate(12345, 1, 1), QTime(1, 2, 3)) // a year of five digits
               << QDateTime(QDate(2024, 3, 31), QTime(2, 30)); // in the spring gap
        QStringList written, expected;
        for (int pass = 0; pass < 2; ++pass) {
            for (const QDateTime &when : values) {
                written << dateTimeText(when) << timeText(when.time());
                expected << when.toString(Qt::TextDate) << when.time().toString(Qt::TextDate);
            }
        }
        QCOMPARE(written, expected);
        QCOMPARE(timeText(QTime()), QString());
        QCOMPARE(timeText(QTime(0, 6, 30)), "00:06:30");
        const QDateTime year999(QDate(999, 12, 31), QTime(12, 0));
        QCOMPARE(dateTimeText(year999), "Tue Dec 31 12:00:00 999");
        QCOMPARE(dateTimeText(QDateTime(QDate(999, 12, 31), QTime(12, 0), Qt::UTC)),
            "Tue Dec 31 12:00:00 999 GMT");
        QCOMPARE(parseDateTime(dateTimeText(year999)), year999);
        forgetSavedDays();
    }

    // A date-time read before the time zone changed is not reused after it; the last two
    // fall into a gap of one zone each: New York's and Berlin's.
    void followsTheTimeZone()
    {
        const QStringList texts { "Sat Mar 2 14:05:09 2024", "Sun Jul 7 12:00:00 2024",
            "Sun Mar 10 02:30:00 2024", "Sun Mar 31 02:30:00 2024" };
        compareReadingWithToolkit(texts);
        const qint64 inBerlin = parseDateTime(texts.first()).toMSecsSinceEpoch();
        setZone("America/New_York");
        compareReadingWithToolkit(texts);
        QVERIFY(parseDateTime(texts.first()).toMSecsSinceEpoch() != inBerlin);
    }
};

QTEST_MAIN(TestTextForms)
#include "tst_textforms.moc"
