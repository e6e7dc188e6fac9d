#include "window/celloragui.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "ui_celloragui.h"
#include "window/celloragui_p.h"
#include "window/editconversions.h"

#include <QGridLayout>
#include <QScrollArea>

namespace {
void refill(QComboBox *comboBox, const QStringList &items)
{
    comboBox->clear();
    comboBox->addItems(items);
}
} // namespace

ModelWidget *CelloraGui::modelNamed(const QString &name) const
{
    return lastNamed(models, name, &ModelWidget::modelName);
}

ModelWidget *CelloraGui::selectedModel() const
{
    return modelNamed(ui->cb_select_model->currentText());
}

void CelloraGui::writeDataWithDataprocessor()
{
    QStringList locations;
    locations.reserve(ui->cb_log_location->count());
    for (int i = 0; i < ui->cb_log_location->count(); ++i)
        locations.append(ui->cb_log_location->itemText(i));
    dataProcessor.writeData(batteries, models, locations);
}

QWidget *CelloraGui::createOverviewContent()
{
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("scrollView"));
    content->setGeometry(0, 0, 271, 319);
    auto *grid = new QGridLayout(content);
    grid->setObjectName(QStringLiteral("lo_overview"));
    ui->scrollView = content;
    ui->lo_overview = grid;
    return content;
}

void CelloraGui::placeOverviewLabel(QLabel *label, int row)
{
    ui->lo_overview->addWidget(label, row, 0);
    label->show();
}

void CelloraGui::placeCardsTail(bool modelSelected)
{
    if (modelSelected && cardCount == 0) {
        placeOverviewLabel(ui->lbl_optionshint, 0);
        ui->lo_overview->addItem(ui->verticalSpacer_overview, 1, 0);
    } else {
        ui->lo_overview->addItem(ui->verticalSpacer_overview, cardCount, 0);
    }
}

void CelloraGui::releaseOverviewContent(QWidget *content)
{
    // Free the old content widget, but keep what is not its own: the cards belong
    // to the battery list, the two labels and the spacer to the form.
    if (!content)
        return;
    if (QLayout *grid = content->layout())
        grid->removeItem(ui->verticalSpacer_overview);
    for (QLabel *label : { ui->lbl_welcome, ui->lbl_optionshint }) {
        if (label->parentWidget() == content) {
            label->hide();
            label->setParent(ui->scrollLayout);
        }
    }
    for (BatteryWidget *battery : qAsConst(batteries)) {
        if (battery->parentWidget() == content)
            battery->setParent(nullptr);
    }
    delete content;
}

void CelloraGui::updateBatteryGui()
{
    cardCount = 0;

    QStringList locations;
    if (dataProcessor.readLocations(locations)) {
        // Signals stay on: the overview and discharge choosers follow each other.
        refill(ui->cb_log_location, locations);
        refill(ui->cb_overview_location, locations);
        refill(ui->cb_location_delete, locations);
    }

    qDeleteAll(models);
    models.clear();
    dataProcessor.readModels(models);

    const QVariant logModel = CelloraSettings::value(QStringLiteral("logmodel"));
    if (!models.isEmpty())
        refillModelChoosers(logModel);

    ModelWidget *const model = selectedModel();

    // A discharge being prepared names one of the records about to go; forget it
    // rather than keep a dangling pointer.
    activeBattery = nullptr;
    qDeleteAll(batteries);
    batteries.clear();
    dataProcessor.readBatteries(batteries);

    ui->pb_chart->setEnabled(!batteries.isEmpty());

    releaseOverviewContent(ui->scrollArea->takeWidget());
    QWidget *const content = createOverviewContent();

    if (batteries.isEmpty()) {
        placeOverviewLabel(ui->lbl_welcome, 0);
        placeOverviewLabel(ui->lbl_optionshint, 1);
        ui->lo_overview->addItem(ui->verticalSpacer_overview, 2, 0);
    } else {
        placeBatteryCards(model);
    }

    ui->scrollArea->setWidget(content);

    const QVariant mode = CelloraSettings::value(QStringLiteral("cellora"));
    if (mode.isValid() && mode.toString() == QLatin1String("Complex")) {
        ui->rb_modeAdvanced->setChecked(true);
        on_btnGrp_mode_buttonClicked(ui->rb_modeAdvanced);
    }
}

void CelloraGui::refillModelChoosers(const QVariant &logModel)
{
    const QList<QComboBox *> choosers { ui->cb_select_model, ui->cb_logview_model,
        ui->cb_model_choose_bat, ui->cb_modelList_delete };
    QStringList names;
    names.reserve(models.size());
    for (const ModelWidget *model : qAsConst(models))
        names.append(model->modelName());

    for (QComboBox *chooser : choosers) {
        const QSignalBlocker blocker(chooser);
        refill(chooser, names);
        if (logModel.isValid())
            EditConversions::selectText(chooser, logModel.toString());
    }
}

void CelloraGui::placeBatteryCards(ModelWidget *model)
{
    const QList<QComboBox *> choosers { ui->cb_batteryData, ui->cb_batteryList_delete,
        ui->cb_bat_choose_model };
    QStringList names;
    names.reserve(batteries.size());
    for (BatteryWidget *battery : qAsConst(batteries)) {
        if (model && model->hasBattery(battery->batteryName())) {
            connect(battery, &BatteryWidget::chargeBatteryClicked, this,
                &CelloraGui::showBatteryCharge);
            ui->lo_overview->addWidget(battery, cardCount++, 0);
        }
        connect(
            battery, &BatteryWidget::dataChanged, this, &CelloraGui::writeDataWithDataprocessor);
        names.append(battery->batteryName());
    }
    placeCardsTail(model != nullptr);

    for (QComboBox *chooser : choosers) {
        const QSignalBlocker blocker(chooser);
        refill(chooser, names);
    }
    on_cb_bat_choose_model_currentIndexChanged(ui->cb_bat_choose_model->currentIndex());
}

void CelloraGui::on_cb_select_model_currentIndexChanged(int index)
{
    Q_UNUSED(index) // the model is found by the chooser's text
    ModelWidget *const model = selectedModel();

    QWidget *const content = createOverviewContent();
    cardCount = 0;
    for (BatteryWidget *battery : qAsConst(batteries)) {
        if (model && !model->hasBattery(battery->batteryName()))
            continue;
        connect(battery, &BatteryWidget::dataChanged, this, &CelloraGui::writeDataWithDataprocessor,
            Qt::UniqueConnection);
        connect(battery, &BatteryWidget::chargeBatteryClicked, this, &CelloraGui::showBatteryCharge,
            Qt::UniqueConnection);
        ui->lo_overview->addWidget(battery, cardCount++, 0);
    }
    placeCardsTail(model != nullptr);

    ui->cb_model_choose_bat->setCurrentText(ui->cb_select_model->currentText());
    ui->cb_logview_model->setCurrentText(ui->cb_select_model->currentText());

    releaseOverviewContent(ui->scrollArea->takeWidget());
    ui->scrollArea->setWidget(content);
}

void CelloraGui::showBatteryCharge()
{
    auto *battery = qobject_cast<BatteryWidget *>(sender());
    if (!battery)
        return;
    viewState = 12;
    activeBattery = battery;
    showDischargedBattery(battery);

    const QDateTime now = QDateTime::currentDateTime();
    ui->dedt_dischargeDate->setDate(now.date());
    ui->tedt_dischargeTime->setTime(now.time());

    if (battery->viewMode() == 1) {
        // Propose 80 % of the capacity and the rated current; wide arithmetic so that odd
        // values from the file cannot wrap. The spin boxes clamp to their ranges.
        const quint64 capacity = battery->batteryCapacity();
        const quint64 proposed = qMin<quint64>(capacity * 80 / 100, INT_MAX);
        ui->sb_discharged_capacity->setValue(int(proposed));
        ui->dsb_discharged_current->setValue(double(battery->batteryRating() * capacity) / 1000.0);
        ui->stackedWidget->setCurrentWidget(ui->dischargeView);
    } else {
        ui->sb_discharged_capacity->setValue(0);
        ui->dsb_discharged_current->setValue(0.0);
        ui->sb_log_duration->setDateTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
        ui->sb_log_temp->setValue(0);
        store_discharge(true);
    }
}
