#include "window/celloragui.h"

#include "records/modelwidget.h"
#include "ui_celloragui.h"
#include "window/celloragui_p.h"
#include "window/editconversions.h"

void CelloraGui::on_pb_choose_addmodel_clicked()
{
    ui->ledt_addheli_purchase->setText(QDate::currentDate().toString(Qt::ISODate));
    ui->stackedWidget->setCurrentWidget(ui->addModelView);
    viewState = 6;
}

void CelloraGui::on_pb_addNewModel_clicked()
{
    const QString name = EditConversions::uniqueName(ui->ledt_addheli_name->text(),
        [this](const QString &n) { return modelNamed(n) != nullptr; });
    if (name.isEmpty())
        return;

    auto *model = new ModelWidget(this);
    model->setModelName(name);
    model->setModelType(ui->ledt_addheli_type->text());
    model->setModelWeight(EditConversions::toHundredths(ui->ledt_addheli_weight->text()));
    model->setModelSize(EditConversions::toUnsigned(ui->ledt_addheli_size->text()));
    model->setModelFlights(EditConversions::toUnsigned(ui->ledt_addheli_flightsused->text()));
    model->setLastUpdate(QDateTime::currentDateTime());
    model->setPurchaseDate(EditConversions::toDate(ui->ledt_addheli_purchase->text()));
    model->setNotes(ui->ledt_addheli_notes->toPlainText());
    models.append(model);
    finishEdit();
}

void CelloraGui::on_pb_choose_modify_model_clicked()
{
    const ModelWidget *model = modelNamed(ui->cb_model_choose_bat->currentText());
    if (!model)
        return;
    ui->ledt_modifyheli_name->setText(model->modelName());
    // A long name shows its start, and all of it as tool tip.
    ui->ledt_modifyheli_name->home(false);
    ui->ledt_modifyheli_name->setToolTip(model->modelName());
    ui->ledt_modifyheli_type->setText(model->modelType());
    ui->ledt_modifyheli_weight->setText(EditConversions::hundredthsText(model->modelWeight()));
    ui->ledt_modifyheli_size->setText(QString::number(model->modelSize()));
    ui->ledt_modifyheli_flightsused->setText(QString::number(model->modelFlights()));
    ui->ledt_modifyheli_purchase->setText(EditConversions::dateText(model->purchaseDate()));
    ui->ledt_modifyheli_notes->setPlainText(model->notes());
    ui->stackedWidget->setCurrentWidget(ui->modModelView);
    viewState = 14;
}

void CelloraGui::on_pb_update_model_clicked()
{
    ModelWidget *model = modelNamed(ui->ledt_modifyheli_name->text());
    if (!model)
        return;
    model->setModelType(ui->ledt_modifyheli_type->text());
    model->setModelWeight(EditConversions::toHundredths(ui->ledt_modifyheli_weight->text()));
    model->setModelSize(EditConversions::toUnsigned(ui->ledt_modifyheli_size->text()));
    model->setModelFlights(EditConversions::toUnsigned(ui->ledt_modifyheli_flightsused->text()));
    model->setPurchaseDate(EditConversions::toDate(ui->ledt_modifyheli_purchase->text()));
    model->setNotes(ui->ledt_modifyheli_notes->toPlainText());
    finishEdit();
}

void CelloraGui::on_pb_choose_delmodel_clicked()
{
    EditConversions::selectText(ui->cb_modelList_delete, ui->cb_model_choose_bat->currentText());
    ui->stackedWidget->setCurrentWidget(ui->deleteModelView);
    viewState = 9;
}

void CelloraGui::on_pb_deleteConfirm_model_clicked()
{
    // Unlike the battery page, a new selection does not disarm this one.
    if (ui->lbl_reallydelete_model->isHidden()) {
        arm(ui->pb_deleteConfirm_model, ui->lbl_reallydelete_model);
        return;
    }
    const QString name = ui->cb_modelList_delete->currentText();
    // Years of flights go with one click: the store before it stays as a rescue copy.
    // Without that copy the model stays.
    const ModelWidget *named = firstNamed(models, name, &ModelWidget::modelName);
    if (named && !named->flightLog().isEmpty() && !dataProcessor.keepRescueCopy()) {
        disarm(ui->pb_deleteConfirm_model, ui->lbl_reallydelete_model);
        return;
    }
    if (ModelWidget *model = takeFirstNamed(models, name, &ModelWidget::modelName)) {
        // Nothing else holds the record once it is off the list: free it now.
        delete model;
        finishEdit();
    }
    disarm(ui->pb_deleteConfirm_model, ui->lbl_reallydelete_model);
}

void CelloraGui::on_cb_model_choose_bat_currentIndexChanged(int index)
{
    Q_UNUSED(index)
    on_cb_bat_choose_model_currentIndexChanged(ui->cb_bat_choose_model->currentIndex());
}

void CelloraGui::on_cb_bat_choose_model_currentIndexChanged(int index)
{
    Q_UNUSED(index) // both choosers are read by their texts
    ui->pb_rem_batt_from_model->setEnabled(false);
    ui->pb_add_batt_to_model->setEnabled(true);
    const ModelWidget *model = modelNamed(ui->cb_model_choose_bat->currentText());
    if (model && model->hasBattery(ui->cb_bat_choose_model->currentText())) {
        ui->pb_rem_batt_from_model->setEnabled(true);
        ui->pb_add_batt_to_model->setEnabled(false);
    }
}

void CelloraGui::on_pb_add_batt_to_model_clicked()
{
    ModelWidget *model = modelNamed(ui->cb_model_choose_bat->currentText());
    const QString battery = ui->cb_bat_choose_model->currentText();
    // A model without any battery to choose gets nothing: an empty name would be
    // saved as a battery that does not exist.
    if (!model || battery.isEmpty())
        return;
    model->addBattery(battery);
    saveAssignment();
}

void CelloraGui::on_pb_rem_batt_from_model_clicked()
{
    ModelWidget *model = modelNamed(ui->cb_model_choose_bat->currentText());
    if (!model)
        return;
    model->removeBattery(ui->cb_bat_choose_model->currentText());
    saveAssignment();
}

void CelloraGui::saveAssignment()
{
    // The edit page stays on screen.
    writeDataWithDataprocessor();
    updateBatteryGui();
    on_cb_bat_choose_model_currentIndexChanged(ui->cb_bat_choose_model->currentIndex());
}
