// The telemetry import as the program offers it: for scripts, and through the preview from
// the File menu, on the demo's Quick sessions and the radio logs made for them.

#include "host/hostdialogs.h"
#include "host/hostwindow.h"
#include "host/telemetrydialog.h"
#include "host/telemetryimport.h"
#include "host/undohistory.h"
#include "records/modelwidget.h"
#include "sample/sampletelemetry.h"
#include "store/rescuecopies.h"
#include "windowsupport.h"

#include <QAction>
#include <QTableWidget>
#include <QtTest>

using namespace TestSupport;

namespace {

const QDateTime anchor { QDate(2026, 5, 20), QTime(12, 0) };

// Flights without figures, and discharges without figures, in the store's file.
QPair<int, int> quickCounts(const QString &folder)
{
    SampleStore store;
    TelemetryImport::readStore(folder, store);
    int flights = 0, cycles = 0;
    for (const SampleModel &model : store.models)
        flights += int(std::count_if(model.flightLog.begin(), model.flightLog.end(),
            [](const SampleFlight &flight) { return flight.duration == QTime(0, 0); }));
    for (const SampleBattery &battery : store.batteries)
        cycles += int(std::count_if(battery.cycleData.begin(), battery.cycleData.end(),
            [](const SampleCycle &cycle) { return cycle.discharged == 0 && cycle.current == 0; }));
    return { flights, cycles };
}

} // namespace

class TestTelemetryHost : public QObject {
    Q_OBJECT

private:
    QTemporaryDir scratch;

    QString demoFolder(const QString &name)
    {
        const QString folder = scratch.filePath(name);
        QDir().mkpath(folder);
        writeStoreFile(quickDemoStore(anchor), QDir(folder).filePath(dataFileName()));
        writeTelemetryLogs(demoTelemetryLogs(anchor), QDir(folder).filePath("LOGS"));
        return folder;
    }

private slots:
    // The choices a user made are remembered in the program's settings: start without.
    void init() { QSettings(QStringLiteral("Cellora"), QStringLiteral("cellora")).clear(); }

    void scriptImport()
    {
        const QString folder = demoFolder("script");
        const QString logs = QDir(folder).filePath("LOGS");
        QCOMPARE(quickCounts(folder), qMakePair(6, 6));

        TelemetryImport::Outcome outcome = TelemetryImport::importForScript(folder, { logs });
        QCOMPARE(outcome.code, ExitOk);
        QVERIFY2(outcome.message.contains("6 Quick entries filled"), qPrintable(outcome.message));
        QCOMPARE(quickCounts(folder), qMakePair(0, 0));
        // The figures the logs were made from come back: durations to the second.
        const SampleStore made = demoStore(anchor);
        SampleStore filled;
        QVERIFY(TelemetryImport::readStore(folder, filled));
        QCOMPARE(filled.models[0].flightLog.size(), made.models[0].flightLog.size());
        for (int m = 0; m < made.models.size(); ++m)
            for (int i = 0; i < made.models[m].flightLog.size(); ++i)
                QCOMPARE(
                    filled.models[m].flightLog[i].duration, made.models[m].flightLog[i].duration);
        for (int b = 0; b < made.batteries.size(); ++b) {
            for (int i = 0; i < made.batteries[b].cycleData.size(); ++i) {
                const SampleCycle &was = made.batteries[b].cycleData[i];
                const SampleCycle &now = filled.batteries[b].cycleData[i];
                QVERIFY(qAbs(int(now.discharged) - int(was.discharged)) <= int(was.discharged) / 8);
                QVERIFY(now.current >= was.current);
            }
        }

        // Twice changes nothing; bad input says so and changes nothing either.
        const QByteArray once = bytesOf(QDir(folder).filePath(dataFileName()));
        QCOMPARE(TelemetryImport::importForScript(folder, { logs }).code, ExitOk);
        writeBytes(scratch.filePath("people.csv"), "Name,Phone\nAnna,123\n");
        outcome = TelemetryImport::importForScript(
            folder, { scratch.filePath("missing.csv"), scratch.filePath("people.csv") });
        QCOMPARE(outcome.code, ExitFailure);
        QCOMPARE(outcome.problems.size(), 2);
        QVERIFY(outcome.problems[1].contains("not a telemetry log"));
        QCOMPARE(bytesOf(QDir(folder).filePath(dataFileName())), once);
        QCOMPARE(TelemetryImport::importForScript(scratch.filePath("none"), { logs }).code,
            ExitBadStorage);
        // A data file cut off in the middle is not imported into: its tail would be lost.
        QVERIFY(writeBytes(QDir(folder).filePath(dataFileName()), once.left(once.size() / 2)));
        QCOMPARE(TelemetryImport::importForScript(folder, { logs }).code, ExitBadStorage);
        QCOMPARE(bytesOf(QDir(folder).filePath(dataFileName())), once.left(once.size() / 2));
        StorageLock heldByAnother;
        QCOMPARE(heldByAnother.lock(folder), StorageLock::Outcome::Locked);
        QCOMPARE(TelemetryImport::importForScript(folder, { logs }).code, ExitStorageInUse);
    }

    void previewApplyAndBack()
    {
        const QString folder = demoFolder("window");
        const QByteArray original = bytesOf(QDir(folder).filePath(dataFileName()));
        HostWindow window;
        QCOMPARE(window.openFolder(folder, nullptr, false), StorageLock::Outcome::Locked);
        HostDialogs::tell = [](QWidget *, const QString &, const QString &, bool) {};
        QStringList results;
        runTelemetryDialog = [&](TelemetryDialog &dialog) {
            dialog.addPaths({ QDir(folder).filePath("LOGS") });
            const auto *table = namedChild<QTableWidget>(dialog, "tbl_telemetry_flights");
            for (int row = 0; row < table->rowCount(); ++row)
                results << table->item(row, table->columnCount() - 1)->text();
            return true;
        };
        namedChild<QAction>(window, "actionImportTelemetry")->trigger();
        // Six Quick flights filled, and the two flown but never entered added to the
        // battery that flew nearest in time.
        QCOMPARE(results.filter("Fills the Quick entry").size(), 6);
        QCOMPARE(results.filter("Adds a flight and discharge").size(), 2);
        QCOMPARE(quickCounts(folder), qMakePair(0, 0));
        SampleStore now;
        QVERIFY(TelemetryImport::readStore(folder, now));
        const SampleStore was = quickDemoStore(anchor);
        for (int m = 0; m < now.models.size(); ++m) {
            QCOMPARE(now.models[m].flightLog.size(), was.models[m].flightLog.size() + 1);
            for (const SampleFlight &flight : now.models[m].flightLog)
                QVERIFY(!flight.location.isEmpty()); // added ones too: the day's field
        }
        // One step back to the store as it was, byte for byte.
        QCOMPARE(window.undoHistory().undoLabel(), QStringLiteral("Import Telemetry"));
        QVERIFY(window.undoHistory().undo());
        QCOMPARE(bytesOf(QDir(folder).filePath(dataFileName())), original);
        QCOMPARE(quickCounts(folder), qMakePair(6, 6));
    }

    void rememberedModelAndColumns()
    {
        const SampleStore store = quickDemoStore(anchor);
        const QString log = scratch.filePath("Heli-2026-05-19.csv");
        writeBytes(log, "Date,Time,I,Q\n2026-05-19,10:00:00,1,0\n2026-05-19,10:00:10,55,400\n");
        {
            TelemetryDialog dialog(store);
            dialog.addPaths({ log });
            QVERIFY(dialog.proposals()[0].model.isEmpty());
            auto *table = namedChild<QTableWidget>(dialog, "tbl_telemetry_logs");
            const auto choose = [&](int column, const QString &text) {
                auto *box = qobject_cast<QComboBox *>(table->cellWidget(0, column));
                box->setCurrentIndex(box->findText(text));
                emit box->activated(box->currentIndex());
            };
            choose(1, store.models[1].name);
            choose(2, "I");
            choose(3, "Q");
            dialog.rememberChoices();
        }
        TelemetryDialog again(store);
        again.addPaths({ log });
        QCOMPARE(again.proposals()[0].model, store.models[1].name);
        QCOMPARE(figuresOf(again.proposals()[0].flight).dischargedMah, 400u);
        QCOMPARE(figuresOf(again.proposals()[0].flight).maxCurrent, 5500u);
    }
};

QTEST_MAIN(TestTelemetryHost)
#include "tst_telemetryhost.moc"
