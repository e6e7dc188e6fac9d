#include "window/celloragui.h"

#include "ui_celloragui.h"
#include "window/editconversions.h"

void CelloraGui::on_pb_add_location_clicked()
{
    // The location list lives in the discharge page's chooser; it is what gets saved.
    QComboBox *const list = ui->cb_log_location;
    const QString name
        = EditConversions::uniqueName(ui->ledt_location_new->text(), [list](const QString &n) {
              return list->findText(n, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
          });
    if (name.isEmpty())
        return;
    ui->cb_log_location->addItem(name);
    ui->cb_overview_location->addItem(name);
    writeDataWithDataprocessor();
    updateBatteryGui();
    returnToOverview();
}

void CelloraGui::on_pb_del_location_clicked()
{
    if (ui->lbl_reallydelete_location->isHidden()) {
        arm(ui->pb_del_location, ui->lbl_reallydelete_location);
        return;
    }
    const QString name = ui->cb_location_delete->currentText();
    for (QComboBox *list : { ui->cb_log_location, ui->cb_overview_location }) {
        const int index = list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            list->removeItem(index);
    }
    writeDataWithDataprocessor();
    updateBatteryGui();
    returnToOverview();
    disarm(ui->pb_del_location, ui->lbl_reallydelete_location);
}
