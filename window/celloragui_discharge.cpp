#include "window/celloragui.h"

#include "records/batterywidget.h"
#include "records/elidinglabel.h"
#include "records/modelwidget.h"
#include "ui_celloragui.h"

#include <QHBoxLayout>

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
    // Beside the page's title, in the title's own cell: the rows of the page and its
    // height stay as they are; a long name is cut to the room left.
    auto *heading = new QWidget(ui->dischargeView);
    heading->setObjectName(QStringLiteral("dischargeHeading"));
    auto *row = new QHBoxLayout(heading);
    row->setContentsMargins(0, 0, 0, 0);
    // No spacing: the page is as wide as the title's row allows; the name keeps its
    // distance from the title inside its own margin, and shrinks to nothing first.
    row->setSpacing(0);
    // The layout hands back the title's old item, which is the caller's to delete.
    delete ui->gridLayout_8->replaceWidget(ui->label_19, heading);
    row->addWidget(ui->label_19);
    auto *battery = new ElidingLabel(heading);
    battery->setObjectName(QStringLiteral("lbl_discharge_battery"));
    battery->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    battery->setContentsMargins(8, 0, 0, 0);
    battery->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(battery, 1);
}

void CelloraGui::showDischargedBattery(const BatteryWidget *battery)
{
    // Looked for on its page only: every Quick discharge passes here.
    auto *label
        = ui->dischargeView->findChild<ElidingLabel *>(QStringLiteral("lbl_discharge_battery"));
    const ModelWidget *model = selectedModel();
    label->setText(model ? tr("%1 in %2").arg(battery->batteryName(), model->modelName())
                         : battery->batteryName());
}
