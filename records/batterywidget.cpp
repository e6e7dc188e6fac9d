#include "records/batterywidget.h"

#include "records/focusring.h"
#include "ui_batterywidget.h"

#include <QIcon>
#include <QSize>

#include <utility>

namespace {

const QSize tankIconSize(100, 35);

// Every refresh creates a card per battery: decode the two tank images once per process.
// Never destroyed, so no pixmap outlives the application object.
const QIcon &tankIcon(bool full)
{
    static const QIcon *const emptyTank
        = new QIcon(QStringLiteral(":/png/Resources/tank_empty.png"));
    static const QIcon *const fullTank = new QIcon(QStringLiteral(":/png/Resources/tank_full.png"));
    return full ? *fullTank : *emptyTank;
}

QString rateText(uint rating, uint chargeRate)
{
    if (chargeRate == 0)
        return QStringLiteral("%1C").arg(rating);
    return QStringLiteral("%1C/%2.%3C").arg(rating).arg(chargeRate / 10).arg(chargeRate % 10);
}

} // namespace

QString amperesText(uint hundredthsOfAmpere, QChar separator)
{
    const uint hundredths = hundredthsOfAmpere % 100;
    // Hundredths 1 to 9 get a leading zero, so 1205 reads 12.05 rather than the misleading 12.5.
    const int width = (hundredths > 0 && hundredths < 10) ? 2 : 1;
    return QString::number(hundredthsOfAmpere / 100) + separator
        + QStringLiteral("%1").arg(hundredths, width, 10, QLatin1Char('0'));
}

class BatteryWidgetPrivate {
public:
    Ui::BatteryWidget ui;

    QString batteryName;
    uint batteryCapacity = 0;
    uint batteryRating = 0;
    uint batteryCycles = 0;
    uint batteryLastDischarged = 0;
    uint batteryLastMaxCurrent = 0;
    uint batteryChargeRate = 0;
    QDate purchaseDate;
    QDateTime lastUpdated;
    QVector<QDateTime> cycleDates;
    QVector<uint> cycleDischarged;
    QVector<uint> cycleCurrents;
    QVector<uint> cycleMinVoltages;
    QVector<uint> cycleResistances;
    int viewMode = 0;
    bool batteryCharged = false;

    // The card's labels, each formatted from its own fields.
    enum Label {
        NameLabel = 1 << 0,
        CapacityLabel = 1 << 1,
        RateLabel = 1 << 2,
        CyclesLabel = 1 << 3,
        DischargedLabel = 1 << 4,
        MaxCurrentLabel = 1 << 5,
        DateTimeLabel = 1 << 6,
    };
    void labelChanged(Label label);
    void showLabels(int labels);
    void describeTank();

    bool labelsHeld = false;
    int staleLabels = 0; // changed while held; a label never set keeps its form's text
};

// The tank button is an icon only: its tip and its name for screen readers say what a
// click does now.
void BatteryWidgetPrivate::describeTank()
{
    const QString tip = batteryCharged ? BatteryWidget::tr("Record a discharge")
                                       : BatteryWidget::tr("Mark as charged");
    QString name = tip;
    if (!batteryName.isEmpty()) {
        name = batteryCharged ? BatteryWidget::tr("%1: record a discharge").arg(batteryName)
                              : BatteryWidget::tr("%1: mark as charged").arg(batteryName);
    }
    ui.pushButton->setToolTip(tip);
    ui.pushButton->setAccessibleName(name);
}

void BatteryWidgetPrivate::labelChanged(Label label)
{
    if (labelsHeld)
        staleLabels |= label;
    else
        showLabels(label);
}

void BatteryWidgetPrivate::showLabels(int labels)
{
    if (labels & NameLabel)
        ui.lbl_name->setText(batteryName);
    if (labels & CapacityLabel)
        ui.lbl_capacity->setText(QStringLiteral("%1mAh").arg(batteryCapacity));
    if (labels & RateLabel)
        ui.lbl_rate->setText(rateText(batteryRating, batteryChargeRate));
    if (labels & CyclesLabel)
        ui.lbl_cycles->setText(QString::number(batteryCycles));
    if (labels & DischargedLabel)
        ui.lbl_discharged->setText(QStringLiteral("%1mAh").arg(batteryLastDischarged));
    if (labels & MaxCurrentLabel)
        ui.lbl_maxCurrent->setText(
            amperesText(batteryLastMaxCurrent, QLatin1Char('.')) + QLatin1Char('A'));
    if (labels & DateTimeLabel)
        ui.lbl_dateTime->setText(lastUpdated.toString(Qt::TextDate));
}

BatteryWidget::BatteryWidget(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<BatteryWidgetPrivate>())
{
    d->ui.setupUi(this);
    d->ui.pushButton->setIcon(tankIcon(false));
    new FocusRing(d->ui.pushButton);
    d->describeTank();
    setViewMode(0);
}

BatteryWidget::~BatteryWidget() = default;

const QString &BatteryWidget::batteryName() const
{
    return d->batteryName;
}

void BatteryWidget::setBatteryName(const QString &name)
{
    d->batteryName = name;
    // The label shows as much of the name as fits; the card tells the whole of it.
    d->labelChanged(BatteryWidgetPrivate::NameLabel);
    setToolTip(name);
    setAccessibleName(name);
    d->describeTank();
}

uint BatteryWidget::batteryCapacity() const
{
    return d->batteryCapacity;
}

void BatteryWidget::setBatteryCapacity(uint mAh)
{
    d->batteryCapacity = mAh;
    d->labelChanged(BatteryWidgetPrivate::CapacityLabel);
}

uint BatteryWidget::batteryRating() const
{
    return d->batteryRating;
}

void BatteryWidget::setBatteryRating(uint c)
{
    d->batteryRating = c;
    d->labelChanged(BatteryWidgetPrivate::RateLabel);
}

uint BatteryWidget::batteryChargeRate() const
{
    return d->batteryChargeRate;
}

void BatteryWidget::setBatteryChargeRate(uint tenthsOfC)
{
    // 0 means "none given": it never clears a rate already set.
    if (tenthsOfC == 0)
        return;
    d->batteryChargeRate = tenthsOfC;
    d->labelChanged(BatteryWidgetPrivate::RateLabel);
}

uint BatteryWidget::batteryCycles() const
{
    return d->batteryCycles;
}

void BatteryWidget::setBatteryCycles(uint count)
{
    d->batteryCycles = count;
    d->labelChanged(BatteryWidgetPrivate::CyclesLabel);
}

void BatteryWidget::setBatteryLastDischarged(uint mAh)
{
    d->batteryLastDischarged = mAh;
    d->labelChanged(BatteryWidgetPrivate::DischargedLabel);
}

void BatteryWidget::setBatteryLastMaxCurrent(uint hundredthsOfAmpere)
{
    d->batteryLastMaxCurrent = hundredthsOfAmpere;
    d->labelChanged(BatteryWidgetPrivate::MaxCurrentLabel);
}

const QDate &BatteryWidget::purchaseDate() const
{
    return d->purchaseDate;
}

void BatteryWidget::setPurchaseDate(const QDate &date)
{
    d->purchaseDate = date;
}

const QDateTime &BatteryWidget::lastUpdated() const
{
    return d->lastUpdated;
}

void BatteryWidget::setLastUpdated(QDateTime when)
{
    d->lastUpdated = std::move(when);
    d->labelChanged(BatteryWidgetPrivate::DateTimeLabel);
}

bool BatteryWidget::batteryCharged() const
{
    return d->batteryCharged;
}

void BatteryWidget::setBatteryCharged(bool charged, bool notify)
{
    d->batteryCharged = charged;
    // Any change of the charged state counts as a use, even when the value stays the same.
    setLastUpdated(QDateTime::currentDateTime());
    d->ui.pushButton->setIcon(tankIcon(charged));
    d->ui.pushButton->setIconSize(tankIconSize);
    d->ui.pushButton->setAutoRaise(true);
    d->describeTank();
    if (charged && notify)
        emit dataChanged();
}

void BatteryWidget::holdCardLabels()
{
    d->labelsHeld = true;
}

void BatteryWidget::showCardLabels()
{
    d->labelsHeld = false;
    d->showLabels(std::exchange(d->staleLabels, 0));
}

int BatteryWidget::viewMode() const
{
    return d->viewMode;
}

void BatteryWidget::setViewMode(int mode)
{
    d->viewMode = mode;
    // Only Quick (0) and Full (1) decide what the card shows.
    if (mode != 0 && mode != 1)
        return;
    const bool full = mode == 1;
    d->ui.lbl_discharged_label->setVisible(full);
    d->ui.lbl_discharged->setVisible(full);
    d->ui.lbl_maxCurrent_label->setVisible(full);
    d->ui.lbl_maxCurrent->setVisible(full);
}

void BatteryWidget::addCycleData(const QDateTime &when, uint discharged, uint current, bool notify)
{
    d->cycleDates.append(when);
    d->cycleDischarged.append(discharged);
    d->cycleCurrents.append(current);
    d->cycleMinVoltages.append(0);
    d->cycleResistances.append(0);
    setBatteryLastDischarged(discharged);
    setBatteryLastMaxCurrent(current);
    if (notify)
        emit dataChanged();
}

void BatteryWidget::addCycleData(const QDateTime &when, bool notify)
{
    addCycleData(when, 0, 0, notify);
}

const QVector<QDateTime> &BatteryWidget::cycleDates() const
{
    return d->cycleDates;
}

const QVector<uint> &BatteryWidget::cycleDischarged() const
{
    return d->cycleDischarged;
}

const QVector<uint> &BatteryWidget::cycleCurrents() const
{
    return d->cycleCurrents;
}

void BatteryWidget::setCycleFigures(int index, uint minVoltage, uint resistance)
{
    if (index < 0 || index >= d->cycleMinVoltages.size())
        return;
    d->cycleMinVoltages[index] = minVoltage;
    d->cycleResistances[index] = resistance;
}

const QVector<uint> &BatteryWidget::cycleMinVoltages() const
{
    return d->cycleMinVoltages;
}

const QVector<uint> &BatteryWidget::cycleResistances() const
{
    return d->cycleResistances;
}

bool BatteryWidget::findCycleData(const QDateTime &when, uint &discharged, uint &current) const
{
    const int index = d->cycleDates.indexOf(when);
    if (index < 0)
        return false;
    discharged = d->cycleDischarged.at(index);
    current = d->cycleCurrents.at(index);
    return true;
}

void BatteryWidget::on_pushButton_clicked()
{
    if (d->batteryCharged) {
        emit chargeBatteryClicked();
        return;
    }
    setBatteryCharged(true, true);
}
