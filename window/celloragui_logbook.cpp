#include "window/celloragui.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/recordrules.h"
#include "ui_celloragui.h"

ModelWidget *CelloraGui::logbookModel() const
{
    return modelNamed(ui->cb_logview_model->currentText());
}

void CelloraGui::on_cb_logview_model_currentIndexChanged(int index)
{
    Q_UNUSED(index) // the model is found by the chooser's text
    ModelWidget *const model = logbookModel();
    ui->pb_logview_next->setEnabled(false);
    ui->pb_logview_prev->setEnabled(false);
    if (!model)
        return;

    LogData entry;
    const int count = model->lastLogData(entry);
    showLogEntry(entry, count > 0);
    ui->pb_logview_prev->setEnabled(count > 1);
}

void CelloraGui::on_pb_logview_next_clicked()
{
    stepLog(&ModelWidget::nextLogData, ui->pb_logview_next, ui->pb_logview_prev);
}

void CelloraGui::on_pb_logview_prev_clicked()
{
    stepLog(&ModelWidget::previousLogData, ui->pb_logview_prev, ui->pb_logview_next);
}

void CelloraGui::stepLog(
    bool (ModelWidget::*step)(LogData &), QPushButton *onward, QPushButton *back)
{
    ModelWidget *const model = logbookModel();
    if (!model)
        return;
    // A refresh may have swapped the model behind the page's back: an empty log
    // shows nothing and leaves both steps off.
    if (model->flightLog().isEmpty()) {
        on_cb_logview_model_currentIndexChanged(0);
        return;
    }
    LogData entry;
    const bool more = (model->*step)(entry);
    showLogEntry(entry, true);
    if (!more)
        onward->setEnabled(false);
    back->setEnabled(true);
}

void CelloraGui::showLogEntry(const LogData &entry, bool hasEntry)
{
    const bool dated = entry.date.isValid();
    ui->lbl_logview_time->setText(
        dated ? entry.date.time().toString(QStringLiteral("HH:mm:ss")) : QString());
    ui->lbl_logview_date->setText(dated ? entry.date.date().toString(Qt::TextDate) : QString());
    ui->lbl_logview_temp->setText(
        hasEntry ? QStringLiteral("%1\u00B0").arg(entry.temperature) : QString());
    ui->lbl_logview_location->setText(entry.location);
    ui->lbl_logview_duration->setText(
        entry.duration.isNull() ? QString() : entry.duration.toString(QStringLiteral("HH:mm:ss")));
    ui->ptext_logview_notes->setPlainText(entry.notes);
    showLogBattery(entry.date, hasEntry);
}

void CelloraGui::showLogBattery(const QDateTime &flightMoment, bool hasEntry)
{
    QString capacity, current, name;
    // Without an entry there is no moment to look for: an undated cycle must not match.
    const CycleRef flown = hasEntry ? CyclePairing(batteries).find(flightMoment) : CycleRef();
    if (flown.isValid()) {
        const BatteryWidget *battery = batteries.at(flown.battery);
        capacity = QString::number(battery->cycleDischarged().value(flown.cycle));
        // 13500 reads "135,0"
        current = amperesText(battery->cycleCurrents().value(flown.cycle), QLatin1Char(','));
        name = battery->batteryName();
    }
    ui->lbl_logview_capacity->setText(capacity);
    ui->lbl_logview_current->setText(current);
    ui->lbl_logview_battname->setText(name);
}
