#ifndef MODELWIDGET_H
#define MODELWIDGET_H

#include "records/logdata.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class ModelWidgetPrivate;

// The record of one model: its data, the names of its batteries and its flight log.
// A widget only so that it fits the window's object tree; it is never shown.
class ModelWidget : public QWidget {
    Q_OBJECT

public:
    explicit ModelWidget(QWidget *parent = nullptr);
    ~ModelWidget() override;

    const QString &modelName() const;
    void setModelName(const QString &name);
    const QString &modelType() const;
    void setModelType(const QString &type);
    uint modelWeight() const;
    void setModelWeight(const uint &weight);
    uint modelSize() const;
    void setModelSize(const uint &size);
    uint modelFlights() const;
    void setModelFlights(const uint &flights);
    const QDateTime &lastUpdate() const;
    void setLastUpdate(const QDateTime &when);
    const QDate &purchaseDate() const;
    void setPurchaseDate(const QDate &date);
    const QString &notes() const;
    void setNotes(const QString &notes);

    const QVector<QString> &modelBatteries() const;
    bool hasBattery(const QString &name) const;
    void addBattery(const QString &name);
    void removeBattery(const QString &name);

    const QVector<LogData> &flightLog() const;
    void addLogData(const LogData &entry);
    int lastLogData(LogData &out);
    bool nextLogData(LogData &out);
    bool previousLogData(LogData &out);

signals:
    void dataChanged();

private:
    std::unique_ptr<ModelWidgetPrivate> d;
};

#endif // MODELWIDGET_H
