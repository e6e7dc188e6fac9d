#include "window/celloragui.h"

#include "records/batterywidget.h"
#include "records/elidinglabel.h"
#include "records/modelwidget.h"
#include "ui_celloragui.h"

#include <QVBoxLayout>

QDateTime CelloraGui::enteredDischargeMoment() const
{
    return QDateTime(ui->dedt_dischargeDate->date(), ui->tedt_dischargeTime->time(), Qt::LocalTime);
}

void CelloraGui::store_discharge(bool quickmode)
{
    // The flight goes into the log before the battery announces its change, so that
    // the one save it triggers holds both.
    if (ModelWidget *model = selectedModel()) {
        LogData entry;
        entry.date = enteredDischargeMoment();
        entry.location = ui->cb_log_location->currentText();
        entry.duration = ui->sb_log_duration->time();
        entry.temperature = ui->sb_log_temp->value();
        entry.notes = ui->ptext_log_notes->toPlainText();
        model->addLogData(entry);
    }

    if (!activeBattery || !activeBattery->batteryCharged())
        return;

    // The same moment as the flight's: the logbook finds the battery through it.
    const QDateTime cycleMoment = enteredDischargeMoment();
    activeBattery->setBatteryCharged(false, false);
    activeBattery->setBatteryCycles(activeBattery->batteryCycles() + 1);
    if (quickmode) {
        activeBattery->addCycleData(cycleMoment, true);
    } else {
        const auto current = uint(ui->dsb_discharged_current->value() * 100.0);
        activeBattery->addCycleData(
            cycleMoment, uint(ui->sb_discharged_capacity->value()), current, true);
    }
    activeBattery = nullptr;
    on_pb_options_clicked();
}

void CelloraGui::on_pb_save_discharged_clicked()
{
    store_discharge(false);
}

void CelloraGui::addDischargedBatteryLabel()
{
    // Below the page's title, in the title's own cell: the rows of the page stay as they are.
    auto *heading = new QWidget(ui->dischargeView);
    heading->setObjectName(QStringLiteral("dischargeHeading"));
    auto *column = new QVBoxLayout(heading);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    const Qt::Alignment titleAlignment
        = ui->gridLayout_8->itemAt(ui->gridLayout_8->indexOf(ui->label_19))->alignment();
    ui->gridLayout_8->replaceWidget(ui->label_19, heading);
    column->addWidget(ui->label_19, 0, titleAlignment);
    auto *battery = new ElidingLabel(heading);
    battery->setObjectName(QStringLiteral("lbl_discharge_battery"));
    battery->setAlignment(ui->label_19->alignment());
    column->addWidget(battery);
}

void CelloraGui::showDischargedBattery(const BatteryWidget *battery)
{
    auto *label = findChild<ElidingLabel *>(QStringLiteral("lbl_discharge_battery"));
    const ModelWidget *model = selectedModel();
    label->setText(model ? tr("%1 in %2").arg(battery->batteryName(), model->modelName())
                         : battery->batteryName());
}
