#include "bench/benchtelemetry.h"

#include "exchange/telemetryimport.h"
#include "exchange/telemetrylog.h"
#include "sample/sampletelemetry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

Figure measureTelemetryImport(int runs)
{
    Figure figure;
    figure.name = QStringLiteral("telemetry-import");
    figure.store = QStringLiteral("demo");
    figure.unit = QStringLiteral("ms");
    figure.below = 250;

    const QDateTime anchor = QDateTime::currentDateTime();
    const SampleStore store = quickDemoStore(anchor);
    const SampleLogFile day = busyTelemetryDay(anchor.date().addDays(-1));
    QTemporaryDir folder;
    if (!writeTelemetryLogs({ day }, folder.path())) {
        figure.note = QStringLiteral("the log could not be written");
        figure.value = figure.below;
        return figure;
    }
    const QString path = QDir(folder.path()).filePath(day.fileName);
    int flights = 0;
    for (int run = 0; run <= runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QVector<TelemetryLog> logs { readTelemetryFile(path) };
        SampleStore after = store;
        applyTelemetryImport(after, proposeTelemetryImport(store, logs));
        const double ms = timer.nsecsElapsed() / 1e6;
        flights = logs.first().flights.size();
        if (run > 0) // the first run warms the file cache
            figure.samples << ms;
    }
    settleMedians(figure);
    figure.note
        = QStringLiteral("%1 MB, %2 flights").arg(day.content.size() / 1e6, 0, 'f', 1).arg(flights);
    return figure;
}

Figure measureLongTelemetryLog(int runs)
{
    Figure figure;
    figure.name = QStringLiteral("telemetry-import-100mb");
    figure.store = QStringLiteral("-");
    figure.unit = QStringLiteral("ms");
    figure.below = 5000;

    QTemporaryDir folder;
    const QString path
        = QDir(folder.path()).filePath(QStringLiteral("Kestrel 700 X-2024-01-01.csv"));
    if (!writeLongTelemetryLog(path, QDate(2024, 1, 1), 100 * 1000 * 1000)) {
        figure.note = QStringLiteral("the log could not be written");
        figure.value = figure.below;
        return figure;
    }
    int flights = 0;
    for (int run = 0; run <= runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const TelemetryLog log = readTelemetryFile(path);
        const double ms = timer.nsecsElapsed() / 1e6;
        flights = log.flights.size();
        if (run > 0)
            figure.samples << ms;
    }
    settleMedians(figure);
    figure.note = QStringLiteral("%1 MB, %2 flights")
                      .arg(QFileInfo(path).size() / 1e6, 0, 'f', 1)
                      .arg(flights);
    return figure;
}
