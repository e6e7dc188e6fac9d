#include "window/celloragui.h"

#include "records/batterywidget.h"
#include "records/focusring.h"
#include "records/modelwidget.h"
#include "ui_celloragui.h"
#include "window/celloragui_p.h"
#include "window/keyboardnavigation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>

#include <memory>

namespace {
const auto settingsGroup = QStringLiteral("SETTINGS");

// Keeps the current index of two choosers equal: a change of either moves the other to the
// same index. Qt 6 signals the index again from within clear(), and a plain two-way link
// then echoes the same index back and forth until the stack ends; so the echo of a change
// the link is passing on stops here. An index the other chooser cannot take (it then
// shows none) still travels back, as it does under Qt 5.
void linkBothWays(QComboBox *first, QComboBox *second)
{
    struct Passing {
        bool active = false;
        int index = -1;
    };
    const auto passing = std::make_shared<Passing>();
    const auto follow = [passing](QComboBox *follower) {
        return [passing, follower](int index) {
            if (passing->active && passing->index == index)
                return;
            const Passing outer = *passing;
            *passing = { true, index };
            follower->setCurrentIndex(index);
            *passing = outer;
        };
    };
    QObject::connect(
        first, qOverload<int>(&QComboBox::currentIndexChanged), second, follow(second));
    QObject::connect(second, qOverload<int>(&QComboBox::currentIndexChanged), first, follow(first));
}

// Created while the module loads, before any window exists, and never destroyed:
// it outlives every window of the process.
QSettings *const settings = new QSettings(QStringLiteral("Dornhaven"), QStringLiteral("Dedivoze"));
} // namespace

void nameInnerControls(QWidget *root)
{
    for (QComboBox *box : root->findChildren<QComboBox *>()) {
        if (box->view()->accessibleName().isEmpty())
            box->view()->setAccessibleName(box->accessibleName());
    }
    // Editors and drawing areas hand their focus on to the control around them.
    for (QWidget *inner : root->findChildren<QWidget *>()) {
        QWidget *const outer = inner->focusProxy();
        if (!outer || !inner->accessibleName().isEmpty())
            continue;
        if (QAccessibleInterface *described = QAccessible::queryAccessibleInterface(outer))
            inner->setAccessibleName(described->text(QAccessible::Name));
    }
}

namespace {
// Room kept after a caption that has a neighbour to its right.
const int captionGap = 8;

bool hasWidgetFrom(const QGridLayout *grid, int row, int column)
{
    for (int i = 0; i < grid->count(); ++i) {
        int itemRow, itemColumn, rowSpan, columnSpan;
        grid->getItemPosition(i, &itemRow, &itemColumn, &rowSpan, &columnSpan);
        if (grid->itemAt(i)->widget() && itemRow <= row && row < itemRow + rowSpan
            && itemColumn >= column)
            return true;
    }
    return false;
}
} // namespace

void spaceNeighbouringCaptions(QWidget *root)
{
    for (const QGridLayout *grid : root->findChildren<QGridLayout *>()) {
        for (int i = 0; i < grid->count(); ++i) {
            auto *label = qobject_cast<QLabel *>(grid->itemAt(i)->widget());
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            if (label && hasWidgetFrom(grid, row, column + columnSpan)) {
                QMargins margins = label->contentsMargins();
                margins.setRight(qMax(margins.right(), captionGap));
                label->setContentsMargins(margins);
            }
        }
    }
}

QVariant CelloraSettings::value(const QString &key)
{
    settings->beginGroup(settingsGroup);
    const QVariant result = settings->value(key);
    settings->endGroup();
    return result;
}

void CelloraSettings::setValue(const QString &key, const QString &value)
{
    settings->beginGroup(settingsGroup);
    settings->setValue(key, value);
    settings->endGroup();
    // The host may end the process without returning to the event loop.
    settings->sync();
}

CelloraGui::CelloraGui(QWidget *parent)
    : QMainWindow(parent)
    , ui(nullptr)
    , dataProcessor(this)
    , viewState(0)
    , cardCount(0)
    , chartView(nullptr)
    , activeBattery(nullptr)
{
    ui = new Ui::CelloraGui;
    ui->setupUi(this);
    linkBothWays(ui->cb_overview_location, ui->cb_log_location);
    setWindowTitle(tr("Vantrix %1.%2.%3").arg(15).arg(8).arg(4));
    ui->lbl_really->hide();
    ui->lbl_reallydelete_model->hide();
    ui->lbl_reallydelete_location->hide();
    updateBackupStatus(QString());
    addDischargedBatteryLabel();
    nameInnerControls(this);
    spaceNeighbouringCaptions(this);
    setUpKeyboard();
}

void CelloraGui::setUpKeyboard()
{
    auto *keyboard = new KeyboardNavigation(this);
    keyboard->setObjectName(QStringLiteral("keyboardNavigation"));
    const std::pair<QWidget *, QPushButton *> confirming[] = {
        { ui->addView, ui->pb_addNewBattery },
        { ui->addModelView, ui->pb_addNewModel },
        { ui->addLocationView, ui->pb_add_location },
        { ui->deleteView, ui->pb_deleteConfirm },
        { ui->deleteModelView, ui->pb_deleteConfirm_model },
        { ui->deleteLocationView, ui->pb_del_location },
        { ui->dischargeView, ui->pb_save_discharged },
        { ui->modModelView, ui->pb_update_model },
        { ui->modBatteryView, ui->pb_update_battery },
    };
    for (const auto &pair : confirming)
        keyboard->setConfirmingButton(pair.first, pair.second);
    keyboard->setTrailingButtons({ ui->pb_options, ui->pb_home });
    // The logbook's notes are read only and frameless: the style shows no focus there.
    new FocusRing(ui->ptext_logview_notes);
    // Back on the overview the keyboard waits on the model, never on a tank.
    keyboard->setFirstField(ui->scrollLayout, ui->cb_select_model);
    keyboard->followPages(ui->stackedWidget);
}

CelloraGui::~CelloraGui()
{
    delete ui;
    qDeleteAll(batteries);
    batteries.clear();
    qDeleteAll(models);
    models.clear();
    delete chartView;
}

void CelloraGui::changeStoragePath(const QString &path)
{
    dataProcessor.setStoragePath(path);
    updateBatteryGui();
}

void CelloraGui::keyPressEvent(QKeyEvent *event)
{
    // Keys that no child used stay here: the host never sees them.
    Q_UNUSED(event)
}

void CelloraGui::on_pb_home_clicked()
{
    emit closeCelloraGui();
}

void CelloraGui::on_pb_options_clicked()
{
    switch (viewState) {
    case 0:
    case 2:
    case 3:
    case 5:
    case 6:
    case 8:
    case 9:
    case 11:
    case 13:
    case 14:
        ui->stackedWidget->setCurrentWidget(ui->optionsView);
        viewState = 1;
        break;
    default:
        ui->stackedWidget->setCurrentWidget(ui->scrollLayout);
        viewState = 0;
        break;
    }
}

void CelloraGui::returnToOverview()
{
    viewState = 1;
    on_pb_options_clicked();
}

void CelloraGui::on_pb_mode_clicked()
{
    ui->stackedWidget->setCurrentWidget(ui->modeView);
    viewState = 2;
}

void CelloraGui::on_pb_chart_clicked()
{
    ui->stackedWidget->setCurrentWidget(ui->dataView);
    on_cb_batteryData_currentIndexChanged(ui->cb_batteryData->currentIndex());
    viewState = 3;
}

void CelloraGui::on_pb_edit_data_clicked()
{
    ui->stackedWidget->setCurrentWidget(ui->editDataView);
    viewState = 4;
}

void CelloraGui::on_pb_choose_addlocation_clicked()
{
    ui->stackedWidget->setCurrentWidget(ui->addLocationView);
    viewState = 7;
}

void CelloraGui::on_pb_choose_dellocation_clicked()
{
    ui->stackedWidget->setCurrentWidget(ui->deleteLocationView);
    viewState = 10;
}

void CelloraGui::on_pb_logbook_clicked()
{
    on_cb_logview_model_currentIndexChanged(0);
    ui->stackedWidget->setCurrentWidget(ui->logView);
    viewState = 11;
}

void CelloraGui::on_pb_backup_clicked()
{
    ui->stackedWidget->setCurrentWidget(ui->backupView);
    viewState = 15;
}

void CelloraGui::on_btnGrp_mode_buttonClicked(QAbstractButton *button)
{
    const auto complex = QStringLiteral("Complex");
    const bool fullMode = button && button->property("ViewMode").toString() == complex;
    CelloraSettings::setValue(
        QStringLiteral("cellora"), fullMode ? complex : QStringLiteral("Simple"));
    for (BatteryWidget *battery : qAsConst(batteries))
        battery->setViewMode(fullMode ? 1 : 0);
}
