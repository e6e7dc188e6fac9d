#include "host/telemetrydialog.h"

#include "host/flighttable.h"
#include "host/programtelemetry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>

std::function<bool(TelemetryDialog &dialog)> runTelemetryDialog
    = [](TelemetryDialog &dialog) { return dialog.exec() == QDialog::Accepted; };
std::function<void()> telemetryReadingPace;

namespace {

enum LogColumn { LogFile, LogModel, LogCurrent, LogCapacity, LogVoltage, LogStatus };
enum FlightColumn {
    FlightTick,
    FlightStart,
    FlightDuration,
    FlightUsed,
    FlightCurrent,
    FlightVoltage,
    FlightResistance,
    FlightGlitches,
    FlightModel,
    FlightBattery,
    FlightResult
};

// A flight keeps the user's tick and battery while the tables are rebuilt.
QString flightKey(const TelemetryProposal &proposal)
{
    return proposal.fileName + QLatin1Char('|') + proposal.flight.start.toString(Qt::ISODateWithMs);
}

QString dateTimeText(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The user's choices of this preview over those kept from earlier imports.
QHash<QString, QString> chosenModels(const QHash<QString, QString> &chosenHere)
{
    QHash<QString, QString> models = TelemetryImport::rememberedModels();
    for (auto it = chosenHere.cbegin(); it != chosenHere.cend(); ++it)
        models.insert(it.key(), it.value());
    return models;
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    // Through the role: Qt 6 deprecates the int overload that Qt 5 alone has.
    item->setData(Qt::TextAlignmentRole, int(alignment | Qt::AlignVCenter));
    return item;
}

// Reads logs on a worker thread, so that the window stays responsive whatever their size;
// the dialog asks how far it got, and may stop it.
class LogReading {
public:
    LogReading(const QStringList &files, const QVector<TelemetryColumns> &columns)
        : files(files)
        , columns(columns)
        , logs(files.size())
    {
        for (const QString &file : files)
            total += QFileInfo(file).size();
    }

    ~LogReading()
    {
        stop();
        if (thread)
            thread->wait();
    }

    LogReading(const LogReading &) = delete;
    LogReading &operator=(const LogReading &) = delete;

    // Calls `done` on the receiver's thread once every log is read or the reading stopped.
    template <typename Function> void start(QObject *receiver, Function done)
    {
        thread.reset(QThread::create([this] { run(); }));
        QObject::connect(thread.get(), &QThread::finished, receiver, done);
        thread->start();
    }

    void stop() { stopped = true; }
    int permille() const { return total > 0 ? int(done * 1000 / total) : 0; }
    const QVector<TelemetryLog> &read() const { return logs; }

private:
    void run()
    {
        qint64 before = 0;
        for (int i = 0; i < files.size(); ++i) {
            const auto progress = [this, before](qint64 bytes) {
                done = before + bytes;
                if (telemetryReadingPace)
                    telemetryReadingPace();
                return !stopped;
            };
            if (!stopped)
                logs[i] = readTelemetryFile(files[i], columns[i], progress);
            if (stopped) {
                logs[i].fileName = files[i];
                logs[i].cancelled = true;
            }
            before += QFileInfo(files[i]).size();
            done = before;
        }
    }

    const QStringList files;
    const QVector<TelemetryColumns> columns;
    QVector<TelemetryLog> logs;
    qint64 total = 0;
    std::atomic<qint64> done { 0 };
    std::atomic<bool> stopped { false };
    std::unique_ptr<QThread> thread;
};

} // namespace

class TelemetryDialogPrivate {
public:
    StoreRecords store;
    QStringList files;
    QHash<QString, QString> chosenModels; // by log model
    QHash<QString, TelemetryColumns> chosenColumns; // by file
    QVector<TelemetryLog> logs;
    QVector<TelemetryProposal> proposals;
    QHash<QString, bool> ticks; // by flightKey
    QHash<QString, QString> batteries; // by flightKey
    QTableWidget *logTable = nullptr;
    QTableWidget *flightTable = nullptr;
    QLabel *summary = nullptr;
    QPushButton *apply = nullptr;
    QWidget *readingRow = nullptr;
    QLabel *readingText = nullptr;
    QProgressBar *progress = nullptr;
    std::unique_ptr<LogReading> reading;
    QTimer progressTimer;
    int generation = 0; // of the reading under way
    int cancelled = 0; // logs left out because their reading was stopped
};

TelemetryDialog::TelemetryDialog(const StoreRecords &store, QWidget *parent)
    : QDialog(parent)
    , d(std::make_unique<TelemetryDialogPrivate>())
{
    d->store = store;
    setWindowTitle(tr("Import Telemetry Logs"));
    auto *layout = new QVBoxLayout(this);

    auto *intro = new QLabel(tr("Choose the radio's telemetry logs: CSV files, or the LOGS "
                                "folder of its SD card. Nothing changes until you apply."));
    intro->setWordWrap(true);
    auto *chooseRow = new QHBoxLayout;
    auto *files = new QPushButton(tr("Add &Files…"));
    files->setObjectName(QStringLiteral("pb_telemetry_files"));
    auto *folder = new QPushButton(tr("Add F&older…"));
    folder->setObjectName(QStringLiteral("pb_telemetry_folder"));
    chooseRow->addWidget(intro, 1);
    chooseRow->addWidget(files);
    chooseRow->addWidget(folder);
    layout->addLayout(chooseRow);
    connect(files, &QPushButton::clicked, this, &TelemetryDialog::chooseFiles);
    connect(folder, &QPushButton::clicked, this, &TelemetryDialog::chooseFolder);

    d->logTable = new QTableWidget(0, 6);
    d->logTable->setObjectName(QStringLiteral("tbl_telemetry_logs"));
    d->logTable->setHorizontalHeaderLabels(
        { tr("Log"), tr("Model"), tr("Current"), tr("Capacity"), tr("Voltage"), tr("Flights") });
    d->flightTable = new QTableWidget(0, 11);
    d->flightTable->setObjectName(QStringLiteral("tbl_telemetry_flights"));
    d->flightTable->setHorizontalHeaderLabels({ QString(), tr("Start"), tr("Duration"), tr("Used"),
        tr("Max. current"), tr("Min. voltage"), tr("Resistance"), tr("Glitch readings"),
        tr("Model"), tr("Battery"), tr("Result") });
    for (QTableWidget *table : { d->logTable, d->flightTable }) {
        table->verticalHeader()->hide();
        table->setSelectionMode(QAbstractItemView::NoSelection);
        table->horizontalHeader()->setStretchLastSection(true);
    }
    layout->addWidget(d->logTable, 1);
    layout->addWidget(d->flightTable, 3);

    d->readingRow = new QWidget;
    auto *readingLayout = new QHBoxLayout(d->readingRow);
    readingLayout->setContentsMargins(0, 0, 0, 0);
    d->readingText = new QLabel;
    d->progress = new QProgressBar;
    d->progress->setObjectName(QStringLiteral("progress_telemetry"));
    d->progress->setRange(0, 1000);
    auto *stop = new QPushButton(tr("Cancel &Reading"));
    stop->setObjectName(QStringLiteral("pb_telemetry_stop"));
    readingLayout->addWidget(d->readingText);
    readingLayout->addWidget(d->progress, 1);
    readingLayout->addWidget(stop);
    d->readingRow->hide();
    layout->addWidget(d->readingRow);
    connect(stop, &QPushButton::clicked, this, [this] {
        if (d->reading)
            d->reading->stop();
    });
    d->progressTimer.setInterval(100);
    connect(&d->progressTimer, &QTimer::timeout, this, &TelemetryDialog::showProgress);

    d->summary = new QLabel;
    d->summary->setObjectName(QStringLiteral("lbl_telemetry_summary"));
    d->summary->setWordWrap(true);
    layout->addWidget(d->summary);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Apply | QDialogButtonBox::Cancel);
    d->apply = buttons->button(QDialogButtonBox::Apply);
    connect(d->apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(1280, 640);
    rebuild();
}

TelemetryDialog::~TelemetryDialog() = default;

void TelemetryDialog::addPaths(const QStringList &paths)
{
    for (const QString &file : telemetryFilesIn(paths)) {
        const QString absolute = QFileInfo(file).absoluteFilePath();
        if (!d->files.contains(absolute))
            d->files << absolute;
    }
    rebuild();
}

const QVector<TelemetryProposal> &TelemetryDialog::proposals() const
{
    return d->proposals;
}

StoreRecords TelemetryDialog::result(TelemetryImport::Written *written) const
{
    StoreRecords store = d->store;
    const TelemetryImport::Written counts = TelemetryImport::apply(store, d->proposals);
    if (written)
        *written = counts;
    return store;
}

void TelemetryDialog::rememberChoices() const
{
    for (auto it = d->chosenModels.cbegin(); it != d->chosenModels.cend(); ++it)
        TelemetryImport::rememberModel(it.key(), it.value());
    for (const TelemetryLog &log : d->logs) {
        const QString model = matchTelemetryModel(d->store, log.modelName, d->chosenModels);
        if (d->chosenColumns.contains(log.fileName) && !model.isEmpty())
            TelemetryImport::rememberColumns(model, log.columns);
    }
}

void TelemetryDialog::chooseFiles()
{
    addPaths(QFileDialog::getOpenFileNames(
        this, tr("Telemetry Logs"), QDir::homePath(), tr("Telemetry logs (*.csv *.CSV)")));
}

void TelemetryDialog::chooseFolder()
{
    const QString folder
        = QFileDialog::getExistingDirectory(this, tr("LOGS Folder"), QDir::homePath());
    if (!folder.isEmpty())
        addPaths({ folder });
}

// Reads the logs again, with the models and columns chosen so far.
void TelemetryDialog::rebuild()
{
    d->reading.reset();
    if (d->files.isEmpty()) {
        takeLogs({});
        return;
    }
    const QHash<QString, QString> models = chosenModels(d->chosenModels);
    QVector<TelemetryColumns> columns;
    for (const QString &file : d->files) {
        const QString model = matchTelemetryModel(d->store, telemetryModelName(file), models);
        columns << (d->chosenColumns.contains(file) ? d->chosenColumns.value(file)
                                                    : TelemetryImport::rememberedColumns(model));
    }
    d->reading = std::make_unique<LogReading>(d->files, columns);
    d->readingText->setText(tr("Reading %n log(s)…", nullptr, d->files.size()));
    d->progress->setValue(0);
    d->readingRow->show();
    d->apply->setEnabled(false);
    for (QTableWidget *table : { d->logTable, d->flightTable })
        table->setEnabled(false);
    // The finish of a reading that a newer one replaced may still be on its way.
    const int generation = ++d->generation;
    d->reading->start(this, [this, generation] {
        if (generation == d->generation)
            takeLogs(d->reading->read());
    });
    d->progressTimer.start();
}

void TelemetryDialog::showProgress()
{
    if (d->reading)
        d->progress->setValue(d->reading->permille());
}

// The logs whose reading was stopped are left out of the preview.
void TelemetryDialog::takeLogs(QVector<TelemetryLog> read)
{
    d->reading.reset();
    d->progressTimer.stop();
    d->readingRow->hide();
    d->logs.clear();
    for (const TelemetryLog &log : read) {
        if (log.cancelled) {
            d->files.removeOne(log.fileName);
            ++d->cancelled;
        } else {
            d->logs << log;
        }
    }
    propose();
    emit logsRead();
}

// What the logs read do to the logbook, keeping the user's ticks and batteries.
void TelemetryDialog::propose()
{
    d->proposals = proposeTelemetryImport(d->store, d->logs, chosenModels(d->chosenModels));
    for (TelemetryProposal &proposal : d->proposals) {
        const QString key = flightKey(proposal);
        if (d->batteries.contains(key) && proposal.kind == TelemetryProposal::AddFlight)
            proposal.battery = d->batteries.value(key);
        if (d->ticks.contains(key))
            proposal.ticked = d->ticks.value(key) && proposal.canApply();
    }
    for (QTableWidget *table : { d->logTable, d->flightTable })
        table->setEnabled(true);
    fillLogTable();
    fillFlightTable();
    showSummary();
}

void TelemetryDialog::fillLogTable()
{
    QTableWidget *table = d->logTable;
    table->setRowCount(0);
    table->setRowCount(d->logs.size());
    for (int row = 0; row < d->logs.size(); ++row) {
        const TelemetryLog &log = d->logs[row];
        table->setItem(row, LogFile, cell(QFileInfo(log.fileName).fileName()));
        if (!log.isValid()) {
            table->setItem(row, LogStatus, cell(log.error));
            continue;
        }
        placeModelChooser(row, row);
        placeColumnChooser(row, row, LogCurrent, &TelemetryColumns::current);
        placeColumnChooser(row, row, LogCapacity, &TelemetryColumns::capacity);
        placeColumnChooser(row, row, LogVoltage, &TelemetryColumns::voltage);
        table->setItem(row, LogStatus,
            cell(log.columns.current.isEmpty() && log.columns.capacity.isEmpty()
                    ? tr("%n flight(s); choose the current and capacity columns", nullptr,
                        log.flights.size())
                    : tr("%n flight(s)", nullptr, log.flights.size())));
    }
    table->resizeColumnsToContents();
}

void TelemetryDialog::placeModelChooser(int row, int log)
{
    const QString logModel = d->logs[log].modelName;
    const QString matched = matchTelemetryModel(d->store, logModel);
    auto *chooser = new QComboBox;
    chooser->addItem(tr("(not in the logbook: %1)").arg(logModel));
    for (const ModelRecord &model : d->store.models)
        chooser->addItem(model.name, model.name);
    const QString current = matched.isEmpty()
        ? d->chosenModels.value(logModel, TelemetryImport::rememberedModels().value(logModel))
        : matched;
    chooser->setCurrentIndex(std::max(0, chooser->findData(current)));
    // A name that matches on its own needs no choice.
    chooser->setEnabled(matched.isEmpty());
    connect(chooser, qOverload<int>(&QComboBox::activated), this, [this, logModel, chooser] {
        d->chosenModels.insert(logModel, chooser->currentData().toString());
        rebuild();
    });
    d->logTable->setCellWidget(row, LogModel, chooser);
}

void TelemetryDialog::placeColumnChooser(
    int row, int log, int column, QString TelemetryColumns::*which)
{
    const TelemetryLog &entry = d->logs[log];
    auto *chooser = new QComboBox;
    chooser->addItem(tr("(none)"));
    for (const QString &name : entry.columnNames) {
        if (name != QLatin1String("Date") && name != QLatin1String("Time"))
            chooser->addItem(name, name);
    }
    chooser->setCurrentIndex(std::max(0, chooser->findData(entry.columns.*which)));
    const QString file = entry.fileName;
    const TelemetryColumns used = entry.columns;
    connect(
        chooser, qOverload<int>(&QComboBox::activated), this, [this, file, used, which, chooser] {
            TelemetryColumns columns = d->chosenColumns.value(file, used);
            columns.*which = chooser->currentData().toString();
            d->chosenColumns.insert(file, columns);
            rebuild();
        });
    d->logTable->setCellWidget(row, column, chooser);
}

void TelemetryDialog::fillFlightTable()
{
    QTableWidget *table = d->flightTable;
    table->setRowCount(0);
    table->setRowCount(d->proposals.size());
    for (int row = 0; row < d->proposals.size(); ++row) {
        const TelemetryProposal &proposal = d->proposals[row];
        auto *tickBox = new QCheckBox;
        tickBox->setChecked(proposal.ticked);
        tickBox->setEnabled(proposal.kind == TelemetryProposal::FillEntry
            || proposal.kind == TelemetryProposal::HasFigures
            || proposal.kind == TelemetryProposal::AddFlight);
        connect(tickBox, &QCheckBox::toggled, this, [this, row](bool on) { tick(row, on); });
        table->setCellWidget(row, FlightTick, tickBox);
        fillFigures(row, proposal.flight);
        table->setItem(row, FlightModel, cell(proposal.model));
        if (proposal.kind == TelemetryProposal::AddFlight)
            placeBatteryChooser(row, row);
        else
            table->setItem(row, FlightBattery, cell(proposal.battery));
        const QString result = resultText(proposal);
        QTableWidgetItem *resultCell = cell(result);
        resultCell->setToolTip(proposal.powerOn
                ? result + QLatin1Char('\n') + TelemetryImport::leftOutReason(proposal)
                : result);
        table->setItem(row, FlightResult, resultCell);
    }
    table->resizeColumnsToContents();
}

void TelemetryDialog::fillFigures(int row, const TelemetryFlight &flight)
{
    QTableWidget *table = d->flightTable;
    const TelemetryFigures figures = figuresOf(flight);
    // In the form of Flights and Cycles: the language's decimal sign, no group separators.
    const QLocale locale = FlightTable::numberLocale();
    const auto number = [&](int column, uint value, const char *text, double scale, int decimals) {
        table->setItem(row, column,
            cell(value > 0 ? tr(text).arg(locale.toString(value / scale, 'f', decimals))
                           : QString(),
                Qt::AlignRight));
    };
    table->setItem(row, FlightStart, cell(dateTimeText(flight.start)));
    table->setItem(
        row, FlightDuration, cell(figures.duration.toString(QStringLiteral("HH:mm:ss"))));
    // 0 mAh is a figure (a counter that did not move); the others are unknown at 0.
    table->setItem(row, FlightUsed,
        cell(flight.hasCapacity ? tr("%1 mAh").arg(locale.toString(figures.dischargedMah))
                                : QString(),
            Qt::AlignRight));
    number(FlightCurrent, figures.maxCurrent, QT_TR_NOOP("%1 A"), 100, 2);
    number(FlightVoltage, figures.minVoltage, QT_TR_NOOP("%1 V"), 100, 2);
    number(FlightResistance, figures.resistance, QT_TR_NOOP("%1 mΩ"), 10, 1);
    // Readings no pack logs, left out of the figures beside it.
    table->setItem(row, FlightGlitches,
        cell(flight.glitches > 0 ? tr("%1 ignored").arg(flight.glitches) : QString(),
            Qt::AlignRight));
}

QString TelemetryDialog::resultText(const TelemetryProposal &proposal) const
{
    // The figures beside it say how short it was; the tool tip gives the whole reason.
    if (proposal.powerOn)
        return tr("Not ticked: a power-on, not a flight");
    const ModelRecord *model = nullptr;
    for (const ModelRecord &candidate : d->store.models) {
        if (candidate.name == proposal.model)
            model = &candidate;
    }
    // The entry lies within minutes of the flight: its time says enough.
    const QDateTime entryDate
        = model && proposal.entry >= 0 ? model->flightLog[proposal.entry].date : QDateTime();
    const QString entryTime = entryDate.date() == proposal.flight.start.date()
        ? entryDate.time().toString(QStringLiteral("HH:mm:ss"))
        : dateTimeText(entryDate);
    switch (proposal.kind) {
    case TelemetryProposal::FillEntry:
        return tr("Fills the Quick entry of %1").arg(entryTime);
    case TelemetryProposal::HasFigures:
        return tr("The entry of %1 has figures: tick to overwrite").arg(entryTime);
    case TelemetryProposal::AddFlight:
        return proposal.battery.isEmpty() ? tr("Adds a flight once a battery is chosen")
                                          : tr("Adds a flight and discharge");
    case TelemetryProposal::NoModel:
        return tr("No model in the logbook: choose one above");
    case TelemetryProposal::NoReadings:
        return tr("No current or capacity logged");
    }
    return QString();
}

void TelemetryDialog::placeBatteryChooser(int row, int proposal)
{
    const TelemetryProposal &entry = d->proposals[proposal];
    auto *chooser = new QComboBox;
    chooser->addItem(tr("(choose a battery)"));
    for (const QString &name : entry.batteryChoices)
        chooser->addItem(name, name);
    chooser->setCurrentIndex(std::max(0, chooser->findData(entry.battery)));
    const QString key = flightKey(entry);
    connect(chooser, qOverload<int>(&QComboBox::activated), this, [this, key, chooser] {
        d->batteries.insert(key, chooser->currentData().toString());
        d->ticks.insert(key, !chooser->currentData().toString().isEmpty());
        propose();
    });
    d->flightTable->setCellWidget(row, FlightBattery, chooser);
}

void TelemetryDialog::tick(int proposal, bool ticked)
{
    TelemetryProposal &entry = d->proposals[proposal];
    entry.ticked = ticked && entry.canApply();
    d->ticks.insert(flightKey(entry), ticked);
    showSummary();
}

void TelemetryDialog::showSummary()
{
    // Counted as Apply would write them, on a copy of the logbook.
    TelemetryImport::Written written;
    result(&written);
    QString text = d->logs.isEmpty() ? tr("No logs chosen yet.")
                                     : TelemetryImport::summary(d->proposals, written);
    if (d->cancelled > 0)
        text.prepend(tr("Reading cancelled: %n log(s) left out. ", nullptr, d->cancelled));
    d->summary->setText(text);
    d->apply->setEnabled(std::any_of(d->proposals.begin(), d->proposals.end(),
        [](const TelemetryProposal &proposal) { return proposal.ticked && proposal.canApply(); }));
}
