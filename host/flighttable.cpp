#include "host/flighttable.h"

#include <QLocale>

#include <limits>

using FlightEdits::Field;
using FlightEdits::FlightRef;

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString durationFormat = QStringLiteral("HH:mm:ss");

double amperes(uint hundredths)
{
    return hundredths / 100.0;
}

} // namespace

FlightTable::FlightTable(Propose propose, QObject *parent)
    : QAbstractTableModel(parent)
    , propose(std::move(propose))
{
}

void FlightTable::setStore(const StoreSnapshot &store)
{
    beginResetModel();
    shown = store;
    // The view sorts by date first: a moment made once for each row, not for each of the
    // sort's comparisons.
    dateKeys.clear();
    dateKeys.reserve(shown.flights().size());
    for (const FlightRef &ref : shown.flights()) {
        const QDateTime &date = shown.logEntry(ref).date;
        const CyclePairing::Moment moment = CyclePairing::momentOf(date);
        dateKeys << (date.isValid() ? moment.first * 86400000 + moment.second
                                    : std::numeric_limits<qint64>::min());
    }
    endResetModel();
}

int FlightTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shown.flights().size();
}

int FlightTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FlightEdits::fieldCount;
}

QVariant FlightTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (static_cast<Field>(section)) {
    case Field::Model:
        return tr("Model");
    case Field::Date:
        return tr("Date and time");
    case Field::Battery:
        return tr("Battery");
    case Field::Duration:
        return tr("Duration");
    case Field::Discharged:
        return tr("mAh");
    case Field::Current:
        return tr("Max. A");
    case Field::Resistance:
        return tr("mΩ");
    case Field::Temperature:
        return tr("°C");
    case Field::Location:
        return tr("Location");
    case Field::Notes:
        return tr("Notes");
    }
    return QVariant();
}

QVariant FlightTable::editValue(const FlightRef &ref, Field field) const
{
    const LogData &flight = shown.logEntry(ref);
    const StoreSnapshot::Cycle *cycle = shown.cycleOf(ref);
    switch (field) {
    case Field::Model:
        return shown.models[ref.model].name;
    case Field::Date:
        return flight.date;
    case Field::Battery:
        return ref.cycle.isValid() ? shown.batteries[ref.cycle.battery].name : QString();
    case Field::Duration:
        return flight.duration;
    case Field::Discharged:
        return cycle ? QVariant(cycle->discharged) : QVariant();
    case Field::Current:
        return cycle ? QVariant(amperes(cycle->current)) : QVariant();
    case Field::Resistance:
        return cycle ? QVariant(cycle->resistance / 10.0) : QVariant();
    case Field::Temperature:
        return flight.temperature;
    case Field::Location:
        return flight.location;
    case Field::Notes:
        return flight.notes;
    }
    return QVariant();
}

QVariant FlightTable::shownValue(const FlightRef &ref, Field field) const
{
    const QVariant value = editValue(ref, field);
    switch (field) {
    case Field::Date:
        return value.toDateTime().toString(dateFormat);
    case Field::Duration:
        return value.toTime().toString(durationFormat);
    case Field::Current:
        return value.isNull() ? QVariant() : numberLocale().toString(value.toDouble(), 'f', 2);
    case Field::Resistance: // unknown (0) stays empty
        return value.toDouble() > 0 ? numberLocale().toString(value.toDouble(), 'f', 1)
                                    : QVariant();
    case Field::Notes:
        // One line per row: the cell's editor shows the whole text.
        return value.toString().simplified();
    default:
        return value;
    }
}

// Numbers where they can be: sorting the ten-year store compares a quarter of a million
// pairs, and date-times would be converted to the epoch for each comparison.
QVariant FlightTable::sortValue(int row, Field field) const
{
    if (field == Field::Date)
        return dateKeys.value(row);
    const FlightRef &ref = shown.flights()[row];
    if (field == Field::Duration)
        return QTime(0, 0).secsTo(shown.logEntry(ref).duration);
    return editValue(ref, field);
}

QVariant FlightTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= shown.flights().size())
        return QVariant();
    const FlightRef &ref = shown.flights()[index.row()];
    const auto field = static_cast<Field>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return shownValue(ref, field);
    case Qt::EditRole:
        return editValue(ref, field);
    case SortRole:
        return sortValue(index.row(), field);
    case BatteryRole:
        return editValue(ref, Field::Battery);
    case ModelRole:
        return editValue(ref, Field::Model);
    case Qt::TextAlignmentRole:
        return field >= Field::Duration && field <= Field::Temperature
            ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
            : QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags FlightTable::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid() || index.row() >= shown.flights().size())
        return flags;
    const auto field = static_cast<Field>(index.column());
    const bool paired = shown.flights()[index.row()].cycle.isValid();
    const bool cycleField = field == Field::Battery || field == Field::Discharged
        || field == Field::Current || field == Field::Resistance;
    if (field != Field::Model && (paired || !cycleField))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QLocale FlightTable::numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

QString FlightTable::withPackStates(const QString &label, const StoreSnapshot &changed) const
{
    QStringList states;
    for (int i = 0; i < shown.batteries.size() && i < changed.batteries.size(); ++i) {
        const StoreSnapshot::Battery &before = shown.batteries[i];
        const StoreSnapshot::Battery &after = changed.batteries[i];
        if (before.name != after.name || before.charged == after.charged)
            continue;
        states << (after.charged ? tr("%1 charged again").arg(after.name)
                                 : tr("%1 empty").arg(after.name));
    }
    return states.isEmpty() ? label : tr("%1 (%2)").arg(label, states.join(tr(", ")));
}

QString FlightTable::changeLabel(int row, Field field, const QVariant &value) const
{
    const FlightRef ref = shown.flights().value(row);
    if (ref.model < 0)
        return QString();
    if (field == Field::Battery)
        return tr("Move Discharge of %1 to %2").arg(shown.models[ref.model].name, value.toString());
    return tr("Correct Flight of %1").arg(shown.models[ref.model].name);
}

bool FlightTable::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const auto field = static_cast<Field>(index.column());
    if (value == editValue(shown.flights()[index.row()], field))
        return true;
    StoreSnapshot changed = shown;
    if (!FlightEdits::setField(changed, shown.flights()[index.row()], field, value)) {
        emit refused(field, value);
        return false;
    }
    return propose(withPackStates(changeLabel(index.row(), field, value), changed), changed);
}

void FlightFilter::setModelName(const QString &name)
{
    modelName = name;
    invalidateFilter();
}

void FlightFilter::setBatteryName(const QString &name)
{
    batteryName = name;
    invalidateFilter();
}

bool FlightFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    return (modelName.isEmpty() || index.data(FlightTable::ModelRole).toString() == modelName)
        && (batteryName.isEmpty()
            || index.data(FlightTable::BatteryRole).toString() == batteryName);
}
