#ifndef TELEMETRYIMPORT_H
#define TELEMETRYIMPORT_H

#include "exchange/telemetrylog.h"
#include "store/recordrules.h"
#include "store/storerecords.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

// What the flights of telemetry logs do to a logbook: fill the figures of flights that
// were recorded without them (0 mAh, 0 A, 00:00:00), or add flights that were never
// recorded. Worked out first, shown, and applied only as far as it is ticked.

// A flight's figures in the logbook's units, within the discharge page's limits; 0 where
// the log holds none (or none that a pack can have).
struct TelemetryFigures {
    QTime duration;
    uint dischargedMah = 0;
    uint maxCurrent = 0; // hundredths of an ampere
    uint minVoltage = 0; // lowest under load, hundredths of a volt, 0 = unknown
    uint resistance = 0; // the pack's internal resistance, tenths of a milliohm, 0 = unknown
};

TelemetryFigures figuresOf(const TelemetryFlight &flight);

struct TelemetryProposal {
    enum Kind {
        FillEntry, // a flight-log entry without figures gets them
        HasFigures, // the entry holds figures already: changed only when ticked
        AddFlight, // no entry near it: a new flight and discharge
        NoModel, // the log's model is not in the logbook
        NoReadings, // neither current nor capacity was logged
    };

    QString fileName;
    QString logModel; // as the log's file name gives it
    TelemetryFlight flight;
    Kind kind = NoModel;
    QString model; // the logbook's model
    int entry = -1; // index into the model's flight log (FillEntry, HasFigures)
    QString battery; // the battery flown, or chosen for a new flight; may be empty
    QStringList batteryChoices; // the model's batteries, for a new flight
    // Shorter than 30 s and under 2 % of the pack's capacity (under 20 mAh when it is not
    // known): the pack was plugged in on the ground, no flight. Never ticked by itself.
    bool powerOn = false;
    uint packCapacity = 0; // mAh, the capacity that test took; 0 when unknown
    bool ticked = false;

    bool canApply() const
    {
        return kind == FillEntry || kind == HasFigures || (kind == AddFlight && !battery.isEmpty());
    }
};

// The logbook's model that a log's model name means: the same name, else the same
// ignoring case, spaces, hyphens and underscores, else what the user chose before
// (`chosen`, by log model).
QString matchTelemetryModel(
    const StoreRecords &store, const QString &logModel, const QHash<QString, QString> &chosen = {});

// One proposal per flight of every readable log, in log order, flights that a radio
// continued in its next file joined. Fills and additions with a preselected battery come
// ticked; entries that already hold figures never do, nor power-ons, which fill no entry.
QVector<TelemetryProposal> proposeTelemetryImport(const StoreRecords &store,
    const QVector<TelemetryLog> &logs, const QHash<QString, QString> &chosenModels = {});

// Applies every ticked proposal that can be applied and keeps the record rules; returns how
// many changed the store. `refused`, when given, receives the rule each other ticked one
// broke (figures beyond the limits, a moment already taken).
int applyTelemetryImport(StoreRecords &store, const QVector<TelemetryProposal> &proposals,
    QVector<RecordRules::RuleBreak> *refused = nullptr);

#endif // TELEMETRYIMPORT_H
