#ifndef TELEMETRYDIALOG_H
#define TELEMETRYDIALOG_H

#include "exchange/telemetryimport.h"
#include "host/programtelemetry.h"
#include "store/storerecords.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

class TelemetryDialogPrivate;

// The preview of a telemetry import: the logs chosen, with their model and the columns
// read; the flights found, with what each fills or adds and a tick. Nothing is written
// here: the caller applies result() once the user has accepted.
class TelemetryDialog : public QDialog {
    Q_OBJECT

public:
    explicit TelemetryDialog(const StoreRecords &store, QWidget *parent = nullptr);
    ~TelemetryDialog() override;

    // Log files, or folders searched for them. They are read on a worker thread, with a
    // progress bar and a button that stops the reading; logsRead() tells when the preview
    // shows them.
    void addPaths(const QStringList &paths);
    const QVector<TelemetryProposal> &proposals() const;
    // The logbook with every ticked proposal applied, and what that changed.
    StoreRecords result(TelemetryImport::Written *written = nullptr) const;
    // Keeps the models and columns the user chose, for the next import of these logs.
    void rememberChoices() const;

signals:
    void logsRead();

private:
    void chooseFiles();
    void chooseFolder();
    void rebuild();
    void showProgress();
    void takeLogs(QVector<TelemetryLog> read);
    void fillLogTable();
    void propose();
    void fillFlightTable();
    void fillFigures(int row, const TelemetryFlight &flight);
    QString resultText(const TelemetryProposal &proposal) const;
    void placeModelChooser(int row, int log);
    void placeColumnChooser(int row, int log, int column, QString TelemetryColumns::*which);
    void placeBatteryChooser(int row, int proposal);
    void tick(int proposal, bool ticked);
    void showSummary();

    std::unique_ptr<TelemetryDialogPrivate> d;
};

// How the program runs the preview; tests answer it without a modal dialog. True when
// the user applied.
extern std::function<bool(TelemetryDialog &dialog)> runTelemetryDialog;
// Called on the reading thread whenever the reader tells how far it got; tests slow the
// reading down with it, so that it can be watched and cancelled half-way.
extern std::function<void()> telemetryReadingPace;

#endif // TELEMETRYDIALOG_H
