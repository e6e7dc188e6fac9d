// The host's exports: CSV files read back by a strict RFC 4180 reader and compared with
// the store they came from, and the pack report's figures for a store with known numbers,
// in the document and in the PDF's text.

#include "exchange/csvexport.h"
#include "exchange/outputfiles.h"
#include "exchange/packreport.h"
#include "sample/samplestore.h"
#include "store/storesnapshot.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

using StoreMaker = SampleStore (*)(const QDateTime &);
Q_DECLARE_METATYPE(StoreMaker)

namespace {

using Rows = QVector<QStringList>;

// RFC 4180 and nothing more lenient: fields quoted or plain, quotes doubled inside quoted
// fields only, every row ending in CR LF, valid UTF-8. Empty on any fault.
class StrictCsv {
public:
    static bool parse(const QByteArray &bytes, Rows &rows)
    {
        const QString text = QString::fromUtf8(bytes);
        if (text.toUtf8() != bytes || !text.endsWith(QLatin1String("\r\n")))
            return false;
        StrictCsv reader(text);
        while (reader.at < text.size()) {
            QStringList row;
            if (!reader.readRow(row))
                return false;
            rows << row;
        }
        return true;
    }

private:
    explicit StrictCsv(const QString &text)
        : text(text)
    {
    }

    bool readRow(QStringList &row)
    {
        for (;;) {
            QString field;
            if (!(peek() == '"' ? readQuoted(field) : readPlain(field)))
                return false;
            row << field;
            if (peek() == ',') {
                ++at;
                continue;
            }
            if (text.mid(at, 2) != QLatin1String("\r\n"))
                return false;
            at += 2;
            return true;
        }
    }

    bool readQuoted(QString &field)
    {
        for (++at; at < text.size(); ++at) {
            if (text[at] != '"') {
                field += text[at];
            } else if (peek(1) == '"') {
                field += '"';
                ++at;
            } else {
                ++at;
                return true;
            }
        }
        return false;
    }

    bool readPlain(QString &field)
    {
        for (; at < text.size() && peek() != ',' && peek() != '\r'; ++at) {
            if (peek() == '"' || peek() == '\n')
                return false;
            field += text[at];
        }
        return true;
    }

    QChar peek(int ahead = 0) const
    {
        return at + ahead < text.size() ? text[at + ahead] : QChar();
    }

    const QString &text;
    int at = 0;
};

QString amperes(uint hundredths)
{
    return QString::asprintf("%u.%02u", hundredths / 100, hundredths % 100);
}

// A text cell a spreadsheet would run as a formula is marked as text.
QString asText(const QString &cell)
{
    const bool formula = QRegularExpression("^[=+\\-@\t\r]").match(cell).hasMatch();
    return formula ? "'" + cell : cell;
}

// What the files must hold, worked out from the plain store rather than from the records.
Rows expectedFlights(const SampleStore &store)
{
    Rows rows { { "model", "date", "time", "duration", "location", "temperature_c", "notes",
        "battery", "discharged_mah", "max_current_a" } };
    for (const SampleModel &model : store.models) {
        for (const SampleFlight &flight : model.flightLog) {
            QStringList battery { QString(), QString(), QString() };
            for (const SampleBattery &candidate : store.batteries) {
                for (const SampleCycle &cycle : candidate.cycleData) {
                    if (cycle.date == flight.date) {
                        battery = QStringList { asText(candidate.name),
                            QString::number(cycle.discharged), amperes(cycle.current) };
                        break;
                    }
                }
            }
            rows << (QStringList { asText(model.name), flight.date.date().toString("yyyy-MM-dd"),
                         flight.date.time().toString("HH:mm:ss"),
                         flight.duration.toString("HH:mm:ss"), asText(flight.location),
                         QString::number(flight.temperature), asText(flight.notes) }
                + battery);
        }
    }
    return rows;
}

Rows expectedCycles(const SampleStore &store)
{
    Rows rows { { "battery", "date_time", "discharged_mah", "max_current_a",
        "capacity_share_percent" } };
    for (const SampleBattery &battery : store.batteries) {
        for (const SampleCycle &cycle : battery.cycleData) {
            rows << QStringList { asText(battery.name), cycle.date.toString("yyyy-MM-ddTHH:mm:ss"),
                QString::number(cycle.discharged), amperes(cycle.current),
                battery.capacity
                    ? QString::number(100.0 * cycle.discharged / battery.capacity, 'f', 1)
                    : QString() };
        }
    }
    return rows;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Rows exported(const QString &folder, const QString &fileName)
{
    Rows rows;
    if (!StrictCsv::parse(fileBytes(QDir(folder).filePath(fileName)), rows))
        return { { QStringLiteral("not RFC 4180: ") + fileName } };
    return rows;
}

void compareRows(const Rows &actual, const Rows &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i)
        QCOMPARE(actual[i], expected[i]);
}

const QDateTime anchor { QDate(2024, 6, 15), QTime(12, 0) };

SampleBattery battery(const QString &name, uint capacity, const QVector<uint> &discharges,
    uint peakCurrent, const QDateTime &lastUse, bool charged)
{
    SampleBattery pack;
    pack.name = name;
    pack.capacity = capacity;
    pack.rating = 25;
    pack.purchase = anchor.date().addDays(-400);
    pack.charged = charged;
    pack.lastUse = lastUse;
    for (int i = 0; i < discharges.size(); ++i) {
        const uint current = i == discharges.size() / 2 ? peakCurrent : 1000;
        pack.cycleData << SampleCycle { lastUse.addDays(i - discharges.size()), discharges[i],
            current };
    }
    pack.cycles = uint(discharges.size());
    return pack;
}

// Worn: 1000 mAh, ten discharges of 500 mAh, then ten of 900 mAh, 30 A at most, charged
// five days ago. Busy: more equivalent cycles, no warning. Blank: no capacity at all.
SampleStore knownFleet(const QDateTime &now)
{
    SampleStore store;
    const QVector<uint> worn = QVector<uint>(10, 500) + QVector<uint>(10, 900);
    store.batteries << battery("Busy", 2000, QVector<uint>(40, 1500), 4000, now.addDays(-1), true)
                    << battery("Worn", 1000, worn, 3000, now.addSecs(-5 * 86400 - 3600), true)
                    << battery("Blank", 0, { 700 }, 100, now.addSecs(-3 * 86400 + 60), true)
                    << battery("Kept", 3000, { 2400 }, 1000, now.addDays(-30), false);
    return store;
}

// Writes `store` into `storage` as its data file and reads it back into `snapshot`.
bool readBack(const SampleStore &store, const QTemporaryDir &storage, StoreSnapshot &snapshot)
{
    return writeStoreFile(store, storage.filePath("cellora.xml"))
        && snapshot.readFile(storage.filePath("cellora.xml"));
}

bool exportAll(const StoreSnapshot &snapshot, const QString &folder, QString *error)
{
    const QDir target(folder);
    const QVector<OutputFiles::Output> outputs {
        { target.filePath("flights.csv"), CsvExport::flights(snapshot) },
        { target.filePath("cycles.csv"), CsvExport::cycles(snapshot) },
    };
    return target.mkpath(".") && OutputFiles::writeAll(outputs, folder, error);
}

} // namespace

class TestExports : public QObject {
    Q_OBJECT

private slots:
    void sampleStoresExportEveryRow_data()
    {
        QTest::addColumn<StoreMaker>("maker");
        QTest::newRow("demo") << &demoStore;
        QTest::newRow("typical") << &typicalStore;
    }

    void sampleStoresExportEveryRow()
    {
        QFETCH(StoreMaker, maker);
        const SampleStore store = maker(anchor);
        QTemporaryDir storage, output;
        StoreSnapshot logbook;
        QVERIFY(readBack(store, storage, logbook));
        QString error;
        QVERIFY2(exportAll(logbook, output.filePath("csv"), &error), qPrintable(error));
        compareRows(exported(output.filePath("csv"), "flights.csv"), expectedFlights(store));
        compareRows(exported(output.filePath("csv"), "cycles.csv"), expectedCycles(store));
    }

    void notesSurviveQuotingAndFlightsWithoutBattery()
    {
        SampleStore store;
        store.batteries << battery("Pack \"A\", 6S", 5000, { 3000 }, 1205, anchor, false)
                        << battery("Zweiter Akku", 4000, { 2000 }, 9, anchor, false);
        SampleModel model;
        model.name = "Heli, 700";
        const QDateTime flown = store.batteries[0].cycleData[0].date;
        // Both packs hold the moment of the first flight: the later one is named, as in
        // the logbook.
        store.batteries[1].cycleData[0].date = flown;
        const QStringList notes { "Böig, \"sehr\" kalt\r\nzweite Zeile\nTab\there", "=SUM(A1:A2)",
            "", "\u20AC \U0001F681 ü" };
        for (int i = 0; i < notes.size(); ++i) {
            model.flightLog << SampleFlight { i == 0 ? flown : anchor.addDays(i), QTime(0, 5, i),
                "Wiese \"Nord\", hinten", -4 + i, notes[i] };
        }
        store.models << model;
        QTemporaryDir storage, output;
        StoreSnapshot logbook;
        QVERIFY(readBack(store, storage, logbook));
        QVERIFY(exportAll(logbook, output.path(), nullptr));

        const Rows flights = exported(output.path(), "flights.csv");
        compareRows(flights, expectedFlights(store));
        QCOMPARE(flights[1].mid(6), (QStringList { notes[0], "Zweiter Akku", "2000", "0.09" }));
        QCOMPARE(flights[2].mid(6), (QStringList { "'" + notes[1], "", "", "" }));
        QCOMPARE(flights[4][6], notes[3]);
        QCOMPARE(exported(output.path(), "cycles.csv")[1][3], QStringLiteral("12.05"));
    }

    void unwritableTargetsFailWithReason()
    {
        QTemporaryDir scratch;
        QFile plain(scratch.filePath("plain-file"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        StoreSnapshot logbook;
        QVERIFY(!logbook.readFile(scratch.filePath("none/cellora.xml")));
        QString error;
        QVERIFY(!OutputFiles::writeAll(
            { { scratch.filePath("plain-file/csv"), CsvExport::cycles(logbook) } }, scratch.path(),
            &error));
        QVERIFY2(error.contains("plain-file"), qPrintable(error));
        error.clear();
        QVERIFY(!OutputFiles::writeAll({ { scratch.filePath("no/report.pdf"),
                                           PackReport::pdf(logbook, scratch.path(), anchor) } },
            scratch.path(), &error));
        QVERIFY2(error.contains("report.pdf"), qPrintable(error));
        QVERIFY(!QFileInfo::exists(scratch.filePath("no")));
    }

    void packFiguresAndWarnings()
    {
        const QDateTime now = QDateTime::currentDateTime();
        QTemporaryDir storage;
        StoreSnapshot logbook;
        QVERIFY(readBack(knownFleet(now), storage, logbook));
        const QVector<PackHealth> fleet = PackReport::assess(logbook, now);

        QStringList order;
        for (const PackHealth &pack : fleet)
            order << pack.name;
        // Warnings first, then by equivalent cycles.
        QCOMPARE(order, (QStringList { "Worn", "Busy", "Kept", "Blank" }));
        const PackHealth &worn = fleet[0];
        QCOMPARE(worn.equivalentCycles, 14.0);
        QCOMPARE(worn.firstShare, 50.0);
        QCOMPARE(worn.recentShare, 90.0);
        QCOMPARE(worn.peakC, 30.0);
        QCOMPARE(worn.daysSinceUse, 5);
        QCOMPARE(worn.ageDays, int(anchor.date().addDays(-400).daysTo(now.date())));
        QCOMPARE(worn.warnings, (QStringList { "charged for 5 days", "over 80 % used" }));
        const PackHealth &busy = fleet[1];
        QCOMPARE(busy.equivalentCycles, 30.0);
        QCOMPARE(busy.recentShare, 75.0);
        QVERIFY(busy.warnings.isEmpty()); // charged, but only a day ago
        QVERIFY(fleet[2].warnings.isEmpty()); // 80 % exactly is not over 80 %, and empty
        QCOMPARE(fleet[2].recentShare, 80.0);
        const PackHealth &blank = fleet[3];
        QVERIFY(blank.warnings.isEmpty()); // charged a minute short of three days
        QCOMPARE(blank.firstShare, -1.0);
        QCOMPARE(blank.peakC, -1.0);

        QTextDocument document;
        PackReport::compose(document, fleet, storage.path(), now);
        const QString text = document.toPlainText();
        QVERIFY2(text.contains("charged for 5 days") && text.contains("over 80 % used")
                && text.contains("90.0 %") && text.contains("30.0 C"),
            qPrintable(text));
    }

    void pdfTextHoldsTheFigures()
    {
        const QDateTime now = QDateTime::currentDateTime();
        QTemporaryDir storage;
        StoreSnapshot logbook;
        QVERIFY(readBack(knownFleet(now), storage, logbook));
        const QString pdf = storage.filePath("report.pdf");
        QVERIFY(OutputFiles::writeAll(
            { { pdf, PackReport::pdf(logbook, storage.path(), now) } }, storage.path(), nullptr));

        QProcess pdftotext;
        pdftotext.start("pdftotext", { "-layout", pdf, "-" });
        QVERIFY2(pdftotext.waitForFinished(60000) && pdftotext.exitCode() == 0,
            "pdftotext (poppler-utils) must be installed");
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        // The summary, then one page per pack in the summary's order.
        QCOMPARE(pages.size(), 5);
        QVERIFY2(pages[0].indexOf("Worn") < pages[0].indexOf("Busy"), qPrintable(pages[0]));
        QVERIFY(pages[0].contains("charged for 5 days"));
        const QString &worn = pages[1];
        for (const char *figure : { "1000 mAh", "Equivalent full cycles", "14.0", "50.0 %",
                 "90.0 %", "30.0 C", "charged for 5 days", "over 80 % used" })
            QVERIFY2(worn.contains(figure), qPrintable(figure + ("\n" + worn)));
        QVERIFY(pages[2].contains("Busy") && pages[2].contains("30.0"));
    }
};

QTEST_MAIN(TestExports)
#include "tst_exports.moc"
