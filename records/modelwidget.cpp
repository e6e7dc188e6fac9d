#include "records/modelwidget.h"

class ModelWidgetPrivate {
public:
    QString modelName;
    QString modelType;
    uint modelWeight = 0;
    uint modelSize = 0;
    uint modelFlights = 0;
    QDateTime lastUpdate;
    QDate purchaseDate;
    QString notes;
    int logCursor = 0;
    QVector<LogData> flightLog;
    QVector<QString> modelBatteries;
};

ModelWidget::ModelWidget(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<ModelWidgetPrivate>())
{
}

ModelWidget::~ModelWidget() = default;

const QString &ModelWidget::modelName() const
{
    return d->modelName;
}

void ModelWidget::setModelName(const QString &name)
{
    d->modelName = name;
}

const QString &ModelWidget::modelType() const
{
    return d->modelType;
}

void ModelWidget::setModelType(const QString &type)
{
    d->modelType = type;
}

uint ModelWidget::modelWeight() const
{
    return d->modelWeight;
}

void ModelWidget::setModelWeight(const uint &weight)
{
    d->modelWeight = weight;
}

uint ModelWidget::modelSize() const
{
    return d->modelSize;
}

void ModelWidget::setModelSize(const uint &size)
{
    d->modelSize = size;
}

uint ModelWidget::modelFlights() const
{
    return d->modelFlights;
}

void ModelWidget::setModelFlights(const uint &flights)
{
    d->modelFlights = flights;
}

const QDateTime &ModelWidget::lastUpdate() const
{
    return d->lastUpdate;
}

void ModelWidget::setLastUpdate(const QDateTime &when)
{
    d->lastUpdate = when;
}

const QDate &ModelWidget::purchaseDate() const
{
    return d->purchaseDate;
}

void ModelWidget::setPurchaseDate(const QDate &date)
{
    d->purchaseDate = date;
}

const QString &ModelWidget::notes() const
{
    return d->notes;
}

void ModelWidget::setNotes(const QString &notes)
{
    d->notes = notes;
}

const QVector<QString> &ModelWidget::modelBatteries() const
{
    return d->modelBatteries;
}

bool ModelWidget::hasBattery(const QString &name) const
{
    return d->modelBatteries.contains(name);
}

void ModelWidget::addBattery(const QString &name)
{
    if (!hasBattery(name))
        d->modelBatteries.append(name);
}

void ModelWidget::removeBattery(const QString &name)
{
    if (hasBattery(name))
        d->modelBatteries.removeAll(name);
}

const QVector<LogData> &ModelWidget::flightLog() const
{
    return d->flightLog;
}

void ModelWidget::addLogData(const LogData &entry)
{
    d->flightLog.append(entry);
    ++d->logCursor;
}

int ModelWidget::lastLogData(LogData &out)
{
    const int count = d->flightLog.size();
    if (count == 0)
        return 0;
    d->logCursor = count - 1;
    out = d->flightLog.at(d->logCursor);
    return count;
}

bool ModelWidget::nextLogData(LogData &out)
{
    const int count = d->flightLog.size();
    // The viewer steps without checking the count: an empty log has nothing to show.
    if (count == 0)
        return false;
    ++d->logCursor;
    if (d->logCursor >= count - 1) {
        d->logCursor = count - 1;
        out = d->flightLog.at(d->logCursor);
        return false;
    }
    out = d->flightLog.at(d->logCursor);
    return true;
}

bool ModelWidget::previousLogData(LogData &out)
{
    const int count = d->flightLog.size();
    // The viewer steps without checking the count: an empty log has nothing to show.
    if (count == 0)
        return false;
    --d->logCursor;
    if (d->logCursor < 1) {
        d->logCursor = 0;
        out = d->flightLog.at(0);
        return false;
    }
    out = d->flightLog.at(d->logCursor);
    return true;
}
