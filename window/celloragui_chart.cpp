#include "window/celloragui.h"

#include "records/batterywidget.h"
#include "ui_celloragui.h"
#include "window/celloragui_p.h"
#include "window/chartclasses.h"

#include <cmath>

namespace {
// The y value of every discharge for the chosen quantity, in the order of recording.
QLineSeries *dischargeSeries(const BatteryWidget *battery, int quantity)
{
    enum { Capacity, Amperes, CRate };
    auto *series = new QLineSeries;
    // A line needs two points: dots make a single discharge visible too.
    series->setPointsVisible(true);
    if (!battery)
        return series;
    const QVector<uint> &discharged = battery->cycleDischarged();
    const QVector<uint> &currents = battery->cycleCurrents();
    const double capacity = battery->batteryCapacity();
    const int count = battery->cycleDates().size();
    for (int i = 0; i < count; ++i) {
        double y = 0.0;
        if (quantity == Capacity)
            y = i < discharged.size() ? double(discharged.at(i)) : 0.0;
        else if (i < currents.size())
            y = quantity == Amperes ? currents.at(i) / 100.0 : currents.at(i) * 10.0 / capacity;
        // A battery without capacity has no C rate: leave those points out instead of
        // drawing infinities.
        if (!std::isfinite(y))
            continue;
        series->append(i + 1, y);
    }
    return series;
}

// Discharges are counted, so the horizontal axis ticks at whole numbers from the first one,
// at most some six ticks wide, instead of the default axis's 2.5 or 5.5.
void countDischarges(QValueAxis *axis)
{
    if (!axis)
        return;
    const int span = int(axis->max() - axis->min());
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(1);
    axis->setTickInterval(qMax(1, (span + 5) / 6));
}

// Negative for a purchase date in the future, 0 without one.
double batteryAgeInYears(const BatteryWidget *battery)
{
    if (!battery || !battery->purchaseDate().isValid())
        return 0.0;
    return battery->purchaseDate().daysTo(QDate::currentDate()) / 365.0;
}
} // namespace

int CelloraGui::chartQuantity() const
{
    if (ui->rb_showAmps->isChecked())
        return 1;
    if (ui->rb_showC->isChecked())
        return 2;
    return 0;
}

void CelloraGui::on_btngrp_showData_buttonClicked(QAbstractButton *button)
{
    Q_UNUSED(button) // the checked button decides
    on_cb_batteryData_currentIndexChanged(ui->cb_batteryData->currentIndex());
}

void CelloraGui::on_cb_batteryData_currentIndexChanged(int index)
{
    // The chooser can outlive the batteries it names (a refresh leaves it alone when the
    // store holds none): an index that names no battery draws an empty chart.
    const BatteryWidget *battery
        = index >= 0 && index < batteries.size() ? batteries.at(index) : nullptr;

    auto *chart = new QChart;
    chart->legend()->hide();
    chart->addSeries(dischargeSeries(battery, chartQuantity()));
    chart->createDefaultAxes();
    chart->setTitle(tr("Battery age: %1 years").arg(batteryAgeInYears(battery), 0, 'f', 2));

    QLinearGradient background(QPointF(0, 0), QPointF(0, 1));
    background.setCoordinateMode(QGradient::ObjectBoundingMode);
    background.setColorAt(0.0, QColor(180, 180, 180));
    background.setColorAt(1.0, QColor(76, 69, 71));
    chart->setBackgroundBrush(background);

    const QBrush axisLabels(QColor(220, 220, 220));
    const QList<QAbstractAxis *> horizontal = chart->axes(Qt::Horizontal);
    const QList<QAbstractAxis *> vertical = chart->axes(Qt::Vertical);
    if (!horizontal.isEmpty()) {
        horizontal.last()->setLabelsBrush(axisLabels);
        countDischarges(qobject_cast<QValueAxis *>(horizontal.last()));
    }
    if (!vertical.isEmpty()) {
        vertical.last()->setLabelsBrush(axisLabels);
        // Round the data's range outwards to readable steps (3000..4400, not 3050..4200).
        if (auto *axis = qobject_cast<QValueAxis *>(vertical.last()))
            axis->applyNiceNumbers();
    }

    auto *view = new QChartView(chart, this);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(tr("Chart"));
    nameInnerControls(view);
    placeChartView(view);
}

void CelloraGui::placeChartView(QWidget *view)
{
    if (chartView) {
        ui->layout_batteryData->removeWidget(chartView);
        delete chartView;
    } else {
        // The first chart takes the free height that the spacer kept.
        ui->layout_batteryData->removeItem(ui->verticalSpacer_batteryData);
        delete ui->verticalSpacer_batteryData;
        ui->verticalSpacer_batteryData = nullptr;
    }
    chartView = view;
    ui->layout_batteryData->addWidget(chartView, 3, 0, 1, 7);
}
