#ifndef BATTERYWIDGET_H
#define BATTERYWIDGET_H

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class BatteryWidgetPrivate;

// A current held in hundredths of an ampere as text: whole amperes, the separator and the
// hundredths, so 4000 reads "40.0", 1250 "12.50" and 1205 "12.05" with a point.
QString amperesText(uint hundredthsOfAmpere, QChar separator);

// One flight battery: its record and, at the same time, its card in the overview.
// Capacities are in mAh, currents in hundredths of an ampere, the charge rate in
// tenths of C (15 means 1.5C, 0 means none given).
class BatteryWidget : public QWidget {
    Q_OBJECT

public:
    explicit BatteryWidget(QWidget *parent = nullptr);
    ~BatteryWidget() override;

    const QString &batteryName() const;
    void setBatteryName(const QString &name);
    uint batteryCapacity() const;
    void setBatteryCapacity(uint mAh);
    uint batteryRating() const;
    void setBatteryRating(uint c);
    uint batteryChargeRate() const;
    void setBatteryChargeRate(uint tenthsOfC);
    uint batteryCycles() const;
    void setBatteryCycles(uint count);
    void setBatteryLastDischarged(uint mAh);
    void setBatteryLastMaxCurrent(uint hundredthsOfAmpere);
    const QDate &purchaseDate() const;
    void setPurchaseDate(const QDate &date);
    const QDateTime &lastUpdated() const;
    void setLastUpdated(QDateTime when);
    bool batteryCharged() const;
    void setBatteryCharged(bool charged, bool notify);
    // Between the two calls the setters keep their values, and the card's labels are
    // formatted once, at showCardLabels(): a reader sets a record's fields and adds its
    // data points one by one, and only the last value of each shows.
    void holdCardLabels();
    void showCardLabels();

    int viewMode() const;
    void setViewMode(int mode);

    void addCycleData(const QDateTime &when, uint discharged, uint current, bool notify);
    void addCycleData(const QDateTime &when, bool notify);
    const QVector<QDateTime> &cycleDates() const;
    const QVector<uint> &cycleDischarged() const;
    const QVector<uint> &cycleCurrents() const;
    bool findCycleData(const QDateTime &when, uint &discharged, uint &current) const;
    // Two more figures of each data point, parallel to the three lists: the lowest voltage
    // under load in hundredths of a volt and the internal resistance in tenths of a
    // milliohm, 0 where unknown. addCycleData adds a point with both unknown.
    void setCycleFigures(int index, uint minVoltage, uint resistance);
    const QVector<uint> &cycleMinVoltages() const;
    const QVector<uint> &cycleResistances() const;

signals:
    void dataChanged();
    void chargeBatteryClicked();

private slots:
    void on_pushButton_clicked();

private:
    std::unique_ptr<BatteryWidgetPrivate> d;
};

#endif // BATTERYWIDGET_H
