#include "window/celloragui.h"
#include "windowsupport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimeEdit>
#include <QtTest>

using namespace TestSupport;

// The same clicks make the same data file under Qt 5 and Qt 6: a scripted session's file
// must equal the one kept in tests/data in either build.

namespace {

// A store as an older program version may have left it: a date-time with a fraction of a
// second, another with a year of three digits, names beyond ASCII.
bool writeStartingStore(const QString &folder)
{
    if (!writeStore(folder,
            { { "Feld Nord", "Wiese \u00e4\u00f6\u00fc" },
                { pack("Pack A", 5000, 35, 12, true), pack("Pack B", 2200, 25, 3) },
                { model("Heli \U0001F681", { "Pack A", "Pack B" }) } }))
        return false;
    QString store = readStore(folder);
    store.replace("<LastUse>Sat Mar 2 14:05:09 2024</LastUse>",
        "<LastUse>Sat Mar 2 14:05:09.5 2024</LastUse>");
    store.replace("<LastUpdate>Sun Dec 31 23:59:59 2023</LastUpdate>",
        "<LastUpdate>Tue Dec 31 12:00:00 999</LastUpdate>");
    return writeBytes(dataFileIn(folder), store.toUtf8());
}

// Date-times of this day come from the clock: the file names them "now".
QByteArray withoutClock(QByteArray file)
{
    const QDate today = QDate::currentDate();
    const QLocale english = QLocale::c();
    const QString pattern = QStringLiteral("%1 %2 %3 \\d\\d:\\d\\d:\\d\\d %4")
                                .arg(english.dayName(today.dayOfWeek(), QLocale::ShortFormat),
                                    english.monthName(today.month(), QLocale::ShortFormat))
                                .arg(today.day())
                                .arg(today.year());
    return QString::fromUtf8(file).replace(QRegularExpression(pattern), "now").toUtf8();
}

QByteArray sessionFile()
{
    setSetting("cellora", "Complex");
    StoreWindow f;
    if (!writeStartingStore(f.dir.path()))
        return {};
    f.win.changeStoragePath(f.dir.path());
    f.win.show();
    if (!QTest::qWaitForWindowExposed(&f.win))
        return {};
    addLocation(f.win, "Hang \U0001F3D4");

    clickTank(overviewCard(f.win, "Pack B")); // charged now
    namedChild<QComboBox>(f.win, "cb_overview_location")->setCurrentIndex(1);
    clickTank(overviewCard(f.win, "Pack A")); // a Full discharge
    namedChild<QDateEdit>(f.win, "dedt_dischargeDate")->setDate(QDate(2024, 5, 4));
    namedChild<QTimeEdit>(f.win, "tedt_dischargeTime")->setTime(QTime(9, 30));
    namedChild<QSpinBox>(f.win, "sb_log_temp")->setValue(-5);
    namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")
        ->setPlainText("B\u00f6en \u2713\nzweite Zeile");
    clickThrough(f.win, "pb_save_discharged");
    resetSettings();
    return withoutClock(bytesOf(QDir(f.dir.path()).filePath(dataFileName())));
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT

private slots:
    void sameFileUnderEitherToolkit()
    {
        const QByteArray file = sessionFile();
        QVERIFY(!file.isEmpty());
        QCOMPARE(file, bytesOf(QStringLiteral(CELLORA_TEST_DATA "/session.xml")));
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
