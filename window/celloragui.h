#ifndef CELLORAGUI_H
#define CELLORAGUI_H

#include "cellora_global.h"
#include "store/dataprocessor.h"

#include <QDateTime>
#include <QMainWindow>
#include <QString>
#include <QVector>

class BatteryWidget;
class ModelWidget;
class QAbstractButton;
class QKeyEvent;
class QLabel;
class QPushButton;
class QVariant;
struct ChangeOutcome;
struct LogData;
struct StoreRecords;

namespace Ui {
class CelloraGui;
}

// The module's main window. The host creates it, hands it a storage folder with
// changeStoragePath() and takes it away again when closeCelloraGui() arrives.
class CELLORA_EXPORT CelloraGui : public QMainWindow {
    Q_OBJECT

public:
    explicit CelloraGui(QWidget *parent = nullptr);
    ~CelloraGui() override;

    // Imports `fileName` exactly as the backup page's Import does after its dialog: the
    // store it replaces is kept as a rescue copy, the records are reloaded and the
    // outcome is shown on the backup page. For hosts that choose the file themselves;
    // deliberately no slot, so that the window's meta-object stays as it is.
    void importFile(const QString &fileName);

    // For the host's undo and editors, again no slots. The listener is told after every
    // attempt of this window to write the data file (saves after clicks and edits,
    // imports, replacements): whether it was written, and the bytes the file held before
    // and after. It must not call back into this window.
    using StoreListener = DataProcessor::WriteListener;
    void setStoreListener(StoreListener listener);
    // Writes `content` as the data file through the store's change operation (a rescue
    // copy of anything it did not write or read whole first) and reloads every page as a
    // refresh does. False, with nothing changed, when the file could not be written.
    bool replaceStoreContent(const QByteArray &content);
    // The same for records `after` made from `before`, the records of the file's bytes
    // `basis`: refused by the store, with the rule, when the file holds other bytes now or
    // a changed value breaks the record rules.
    ChangeOutcome changeStoreRecords(
        const QByteArray &basis, const StoreRecords &before, const StoreRecords &after);
    // Keeps `content`, a version an undo took back and a new change dropped, as a rescue
    // copy of this window's storage folder, apart from the others.
    bool keepUndoneVersion(const QByteArray &content);

    // Why the data file does not hold what the window shows, in plain words with what to
    // do about it; empty while it does. Set when a save or an import did not reach the
    // file, cleared by the next one that does.
    QString storeProblem() const;
    // Writes the change that failed again: the window's records, or, when they were read
    // again since, the bytes that were to be written (then the pages show them). For a
    // host's Retry after storeProblem() said what to fix.
    void saveAgain();
    // Whether a change whose write failed is still waiting for saveAgain(): every other
    // write keeps it as a rescue copy first.
    bool hasPendingChange() const;
    // When the data file could not be read to its end: what the window shows of it and
    // what becomes of the rest; empty once the file was read or written whole.
    QString storeReadProblem() const;

#if QT_VERSION_MAJOR >= 6
    // Qt 5 gave every class with a meta-object trUtf8(); hosts written for Qt 5 call it.
    // Every source text is UTF-8 already, so it is tr() under another name.
    static QString trUtf8(const char *sourceText, const char *disambiguation = nullptr, int n = -1)
    {
        return tr(sourceText, disambiguation, n);
    }
#endif

signals:
    void closeCelloraGui();

    // The meta-object lists these slots in declaration order; keep it.
public slots:
    void on_pb_backup_clicked();
    void on_pb_export_data_clicked();
    void on_pb_import_data_clicked();
    void on_pb_update_battery_clicked();
    void on_pb_update_model_clicked();
    void on_pb_home_clicked();
    void on_pb_options_clicked();
    void on_pb_mode_clicked();
    void on_pb_edit_data_clicked();
    void on_pb_choose_addbattery_clicked();
    void on_pb_choose_addmodel_clicked();
    void on_pb_choose_addlocation_clicked();
    void on_pb_addNewBattery_clicked();
    void on_pb_addNewModel_clicked();
    void on_pb_add_location_clicked();
    void on_pb_del_location_clicked();
    void on_pb_chart_clicked();
    void on_pb_choose_delbattery_clicked();
    void on_pb_choose_delmodel_clicked();
    void on_pb_choose_modify_battery_clicked();
    void on_pb_choose_modify_model_clicked();
    void on_pb_choose_dellocation_clicked();
    void on_pb_logbook_clicked();
    void on_btnGrp_mode_buttonClicked(QAbstractButton *button);
    void on_btngrp_showData_buttonClicked(QAbstractButton *button);
    void on_cb_batteryData_currentIndexChanged(int index);
    void on_pb_save_discharged_clicked();
    void on_pb_deleteConfirm_clicked();
    void on_pb_deleteConfirm_model_clicked();
    void on_cb_batteryList_delete_currentIndexChanged(int index);
    void on_cb_select_model_currentIndexChanged(int index);
    void on_pb_add_batt_to_model_clicked();
    void on_pb_rem_batt_from_model_clicked();
    void keyPressEvent(QKeyEvent *event) override;
    void changeStoragePath(const QString &path);
    void on_cb_logview_model_currentIndexChanged(int index);
    void on_cb_bat_choose_model_currentIndexChanged(int index);
    void on_cb_model_choose_bat_currentIndexChanged(int index);
    void on_pb_logview_next_clicked();
    void on_pb_logview_prev_clicked();

private slots:
    void writeDataWithDataprocessor();
    void showBatteryCharge();
    void updateBackupStatus(QString text = QString());
    void store_discharge(bool quickmode);

private:
    void updateBatteryGui();
    void showReplacedContent();
    void setUpKeyboard();
    void addDischargedBatteryLabel();

    // Overview
    QWidget *createOverviewContent();
    void releaseOverviewContent(QWidget *content);
    void refillModelChoosers(const QVariant &logModel);
    void placeBatteryCards(ModelWidget *model);
    void placeOverviewLabel(QLabel *label, int row);
    void placeCardsTail(bool modelSelected);
    ModelWidget *modelNamed(const QString &name) const;
    ModelWidget *selectedModel() const;

    // Discharge capture, logbook and chart
    QDateTime enteredDischargeMoment() const;
    void showDischargedBattery(const BatteryWidget *battery);
    ModelWidget *logbookModel() const;
    void stepLog(bool (ModelWidget::*step)(LogData &), QPushButton *onward, QPushButton *back);
    void showLogEntry(const LogData &entry, bool hasEntry);
    void showLogBattery(const QDateTime &flightMoment, bool hasEntry);
    int chartQuantity() const;
    void placeChartView(QWidget *view);

    // Editing
    BatteryWidget *batteryNamed(const QString &name) const;
    void arm(QPushButton *confirm, QLabel *really);
    void disarm(QPushButton *confirm, QLabel *really);
    void saveAssignment();
    void finishEdit();
    void returnToOverview();

    Ui::CelloraGui *ui;
    DataProcessor dataProcessor;
    int viewState;
    int cardCount;
    // Held as a widget: deleting it then runs the chart view's destructor whatever this
    // header knows of the chart classes, which Qt 5 and Qt 6 keep in different namespaces.
    QWidget *chartView;
    QVector<BatteryWidget *> batteries;
    QVector<ModelWidget *> models;
    BatteryWidget *activeBattery;
};

#endif // CELLORAGUI_H
