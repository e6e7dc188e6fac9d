#ifndef FLIGHTTABLE_H
#define FLIGHTTABLE_H

#include "host/flightedits.h"

#include <QAbstractTableModel>
#include <QLocale>
#include <QSortFilterProxyModel>

#include <functional>

// Every flight-log entry of the store with its paired cycle entry, one row each. An edit
// of a cell is not made here: the table proposes the whole new store, and shows it only
// once the store has taken it.
class FlightTable : public QAbstractTableModel {
    Q_OBJECT

public:
    // Raw values for sorting and filtering: date-times, seconds, mAh, amperes.
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int BatteryRole = Qt::UserRole + 1;
    static constexpr int ModelRole = Qt::UserRole + 2;

    // Takes the whole changed store, named for the user; false when it was not taken.
    using Propose = std::function<bool(const QString &label, const StoreSnapshot &changed)>;

    explicit FlightTable(Propose propose, QObject *parent = nullptr);

    void setStore(const StoreSnapshot &store);
    const StoreSnapshot &store() const { return shown; }
    FlightEdits::FlightRef flightAt(int row) const { return shown.flights().value(row); }
    QString changeLabel(int row, FlightEdits::Field field, const QVariant &value) const;
    // `label` with what the change does to the packs' charged state, as "(Pack A charged
    // again)", so that the undo step says so.
    QString withPackStates(const QString &label, const StoreSnapshot &changed) const;
    // The number form of the program's own views: the language's, without group separators.
    static QLocale numberLocale();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // A correction that the records' rules do not allow; nothing was proposed.
    void refused(FlightEdits::Field field, const QVariant &value);

private:
    QVariant editValue(const FlightEdits::FlightRef &ref, FlightEdits::Field field) const;
    QVariant shownValue(const FlightEdits::FlightRef &ref, FlightEdits::Field field) const;
    QVariant sortValue(int row, FlightEdits::Field field) const;

    Propose propose;
    StoreSnapshot shown;
    QVector<qint64> dateKeys; // each row's moment, as it sorts
};

// Rows of one model and one battery; an empty name lets every row through.
class FlightFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setModelName(const QString &name);
    void setBatteryName(const QString &name);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString modelName, batteryName;
};

#endif // FLIGHTTABLE_H
