#ifndef FLIGHTEDITOR_H
#define FLIGHTEDITOR_H

#include "host/flightedits.h"
#include "store/storefolder.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <functional>

class FlightFilter;
class FlightTable;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// "Flights and Cycles": every flight with its cycle entry in one table, where the user
// corrects the figures, deletes a flight, moves a discharge to the pack that really flew,
// and marks a pack not charged after a wrong charge click. Each change is the whole new
// store, handed to `applyChange` with a name for it and the folder as read; the table then
// reads the file again. A change the store refuses is explained in a message.
class FlightEditor : public QDialog {
    Q_OBJECT

public:
    using ApplyChange = std::function<ChangeOutcome(
        const QString &label, const StoreFolder &basis, const StoreRecords &after)>;

    FlightEditor(const QString &storageFolder, ApplyChange applyChange, QWidget *parent = nullptr);

    void reload();
    // Reads the file again when something else wrote it, such as Undo.
    void reloadIfChanged();

private:
    QWidget *createFilters();
    QWidget *createButtons();
    void refillFilter(QComboBox *filter, const QString &allText, const QStringList &names);
    void filterChanged();
    void showTotals();
    void updateButtons();
    int selectedRow() const;
    bool change(const QString &label, const StoreSnapshot &changed);
    // Says why a correction was not made; an empty text clears it.
    void tell(const QString &problem);
    void tellRefusal(FlightEdits::Field field, const QVariant &value);
    void deleteSelected();
    void markNotCharged();

    QString folder;
    ApplyChange applyChange;
    StoreFolder shown;
    bool readOnly = false;
    FlightTable *table;
    FlightFilter *filter;
    QTableView *view;
    QComboBox *modelFilter;
    QComboBox *batteryFilter;
    QLabel *totals;
    QLabel *message;
    QPushButton *deleteButton;
    QPushButton *notChargedButton;
};

#endif // FLIGHTEDITOR_H
