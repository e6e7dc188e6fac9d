#include "window/elidingcombobox.h"

#include <QHelpEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

ElidingComboBox::ElidingComboBox(QWidget *parent)
    : QComboBox(parent)
{
}

bool ElidingComboBox::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        QStyleOptionComboBox option;
        initStyleOption(&option);
        if (fittingText(option) != option.currentText) {
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), currentText(), this);
            return true;
        }
    }
    return QComboBox::event(event);
}

void ElidingComboBox::paintEvent(QPaintEvent *)
{
    // As QComboBox paints itself, with the label's text shortened to fit.
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = fittingText(option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

QString ElidingComboBox::fittingText(const QStyleOptionComboBox &option) const
{
    QRect field
        = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (!option.currentIcon.isNull())
        field.setLeft(field.left() + option.iconSize.width() + 4);
    // The styles draw the label one pixel in from either side of the field.
    return fontMetrics().elidedText(option.currentText, Qt::ElideMiddle, field.width() - 2);
}
