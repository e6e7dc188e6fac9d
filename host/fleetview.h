#ifndef FLEETVIEW_H
#define FLEETVIEW_H

#include "exchange/packhealth.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVector>

class QLabel;
class QTableView;

// Every pack of the logbook with its state and verdict, one row each.
class FleetTable : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Battery, Verdict, Models, Charged, DaysCharged, Cycles, Resistance, Reasons };
    static constexpr int columnTotal = 8;
    static constexpr int SortRole = Qt::UserRole; // raw values: days, counts, mΩ, severity

    struct Row {
        PackHealth health;
        QStringList models; // the models the pack is assigned to
    };

    using QAbstractTableModel::QAbstractTableModel;
    void setRows(QVector<Row> rows);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant shownValue(const Row &row, Column column) const;
    QVariant sortValue(const Row &row, Column column) const;

    QVector<Row> packs;
};

// "Packs": every pack of every model in one sortable table, charged or not, how long it has
// been kept charged, its cycles, its last resistance and its verdict, so that an evening at
// the bench starts here. Read from the data file when opened; it changes nothing.
class FleetView : public QDialog {
    Q_OBJECT

public:
    explicit FleetView(const QString &storageFolder, QWidget *parent = nullptr,
        const QDateTime &now = QDateTime::currentDateTime());

    // How much of the data file the rows show: a store read only in part shows what came
    // before the fault.
    enum class Reading { Unreadable, UpToAFault, Whole };
    static Reading readRows(
        const QString &storageFolder, const QDateTime &now, QVector<FleetTable::Row> &rows);

private:
    FleetTable *table;
    QTableView *view;
    QLabel *summary;
};

#endif // FLEETVIEW_H
