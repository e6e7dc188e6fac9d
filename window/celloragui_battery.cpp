#include "window/celloragui.h"

#include "records/batterywidget.h"
#include "ui_celloragui.h"
#include "window/celloragui_p.h"
#include "window/editconversions.h"

BatteryWidget *CelloraGui::batteryNamed(const QString &name) const
{
    return lastNamed(batteries, name, &BatteryWidget::batteryName);
}

void CelloraGui::finishEdit()
{
    writeDataWithDataprocessor();
    updateBatteryGui();
    returnToOverview();
}

void CelloraGui::on_pb_choose_addbattery_clicked()
{
    ui->ledt_purchaseDate->setText(QDate::currentDate().toString(Qt::ISODate));
    ui->stackedWidget->setCurrentWidget(ui->addView);
    viewState = 5;
}

void CelloraGui::on_pb_addNewBattery_clicked()
{
    const QString name = EditConversions::uniqueName(
        ui->ledt_name->text(), [this](const QString &n) { return batteryNamed(n) != nullptr; });
    if (name.isEmpty())
        return;

    auto *battery = new BatteryWidget(this);
    battery->setBatteryName(name);
    battery->setBatteryCapacity(EditConversions::toUnsigned(ui->ledt_capacity->text()));
    battery->setBatteryChargeRate(EditConversions::toTenths(ui->ledt_chargeRate->text()));
    battery->setBatteryCycles(EditConversions::toUnsigned(ui->ledt_cyclesused->text()));
    battery->setBatteryRating(EditConversions::toUnsigned(ui->ledt_dischargeRate->text()));
    battery->setLastUpdated(QDateTime::currentDateTime());
    battery->setBatteryLastMaxCurrent(0);
    battery->setBatteryLastDischarged(0);
    battery->setBatteryCharged(false, false);
    battery->setPurchaseDate(EditConversions::toDate(ui->ledt_purchaseDate->text()));
    batteries.append(battery);
    finishEdit();
}

void CelloraGui::on_pb_choose_modify_battery_clicked()
{
    const BatteryWidget *battery = batteryNamed(ui->cb_bat_choose_model->currentText());
    if (!battery)
        return;
    ui->ledt_modifyBattery_name->setText(battery->batteryName());
    // A long name shows its start, and all of it as tool tip.
    ui->ledt_modifyBattery_name->home(false);
    ui->ledt_modifyBattery_name->setToolTip(battery->batteryName());
    ui->ledt_modifyBattery_capacity->setText(QString::number(battery->batteryCapacity()));
    ui->ledt_modifyBattery_dischargeRate->setText(QString::number(battery->batteryRating()));
    ui->ledt_modifyBattery_cyclesused->setText(QString::number(battery->batteryCycles()));
    ui->ledt_modifyBattery_chargeRate->setText(
        EditConversions::tenthsText(battery->batteryChargeRate()));
    ui->ledt_modifyBattery_purchaseDate->setText(
        EditConversions::dateText(battery->purchaseDate()));
    ui->stackedWidget->setCurrentWidget(ui->modBatteryView);
    viewState = 13;
}

void CelloraGui::on_pb_update_battery_clicked()
{
    BatteryWidget *battery = batteryNamed(ui->ledt_modifyBattery_name->text());
    if (!battery)
        return;
    battery->setBatteryCapacity(
        EditConversions::toUnsigned(ui->ledt_modifyBattery_capacity->text()));
    battery->setBatteryChargeRate(
        EditConversions::toTenths(ui->ledt_modifyBattery_chargeRate->text()));
    battery->setBatteryCycles(
        EditConversions::toUnsigned(ui->ledt_modifyBattery_cyclesused->text()));
    battery->setBatteryRating(
        EditConversions::toUnsigned(ui->ledt_modifyBattery_dischargeRate->text()));
    battery->setLastUpdated(QDateTime::currentDateTime());
    battery->setPurchaseDate(EditConversions::toDate(ui->ledt_modifyBattery_purchaseDate->text()));
    finishEdit();
}

void CelloraGui::on_pb_choose_delbattery_clicked()
{
    // Signals stay on: a changed selection disarms the page.
    EditConversions::selectText(ui->cb_batteryList_delete, ui->cb_bat_choose_model->currentText());
    ui->stackedWidget->setCurrentWidget(ui->deleteView);
    viewState = 8;
}

void CelloraGui::on_cb_batteryList_delete_currentIndexChanged(int index)
{
    Q_UNUSED(index)
    disarm(ui->pb_deleteConfirm, ui->lbl_really);
}

void CelloraGui::on_pb_deleteConfirm_clicked()
{
    if (ui->lbl_really->isHidden()) {
        arm(ui->pb_deleteConfirm, ui->lbl_really);
        return;
    }
    const QString name = ui->cb_batteryList_delete->currentText();
    // Years of cycles go with one click: the store before it stays as a rescue copy.
    // Without that copy the battery stays.
    const BatteryWidget *named = firstNamed(batteries, name, &BatteryWidget::batteryName);
    if (named && !named->cycleDates().isEmpty() && !dataProcessor.keepRescueCopy()) {
        disarm(ui->pb_deleteConfirm, ui->lbl_really);
        return;
    }
    if (BatteryWidget *battery = takeFirstNamed(batteries, name, &BatteryWidget::batteryName)) {
        ui->lo_overview->removeWidget(battery);
        --cardCount;
        if (activeBattery == battery)
            activeBattery = nullptr;
        // Nothing else holds the record once it is off the list: free it now.
        delete battery;
        finishEdit();
    }
    disarm(ui->pb_deleteConfirm, ui->lbl_really);
}

void CelloraGui::arm(QPushButton *confirm, QLabel *really)
{
    confirm->setText(tr("Yes"));
    really->show();
}

void CelloraGui::disarm(QPushButton *confirm, QLabel *really)
{
    confirm->setText(tr("Delete"));
    really->hide();
}
