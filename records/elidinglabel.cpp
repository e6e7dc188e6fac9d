#include "records/elidinglabel.h"

#include <QEvent>
#include <QFontMetrics>

namespace {
const QChar ellipsis(0x2026);
}

ElidingLabel::ElidingLabel(QWidget *parent)
    : QLabel(parent)
{
}

void ElidingLabel::setText(const QString &text)
{
    wholeText = text;
    setAccessibleName(text);
    showFitting();
    updateGeometry();
}

const QString &ElidingLabel::fullText() const
{
    return wholeText;
}

QSize ElidingLabel::sizeHint() const
{
    const int frame = width() - textRoom();
    return QSize(fontMetrics().horizontalAdvance(wholeText) + frame, QLabel::sizeHint().height());
}

QSize ElidingLabel::minimumSizeHint() const
{
    const int frame = width() - textRoom();
    return QSize(
        fontMetrics().horizontalAdvance(ellipsis) + frame, QLabel::minimumSizeHint().height());
}

void ElidingLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showFitting();
}

void ElidingLabel::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    showFitting();
}

void ElidingLabel::hideEvent(QHideEvent *event)
{
    QLabel::hideEvent(event);
    showFitting();
}

void ElidingLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        showFitting();
}

int ElidingLabel::textRoom() const
{
    return contentsRect().width() - 2 * margin();
}

void ElidingLabel::showFitting()
{
    // A hidden label has no width to fit yet: it holds the whole text until it is shown.
    if (!isVisible()) {
        QLabel::setText(wholeText);
        setToolTip(QString());
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const int room = qMax(0, textRoom());
    // A text whose rounded width fits is shown whole, as the size hint promises; Qt 6's
    // elidedText() measures in fractions of a pixel and would cut it at exactly that width.
    QString shown = metrics.horizontalAdvance(wholeText) <= room
        ? wholeText
        : metrics.elidedText(wholeText, Qt::ElideMiddle, room);
    // elidedText() measures in fractions of a pixel; make sure the rounded width fits too.
    for (int tighter = room - 1; tighter >= 0 && metrics.horizontalAdvance(shown) > room; --tighter)
        shown = metrics.elidedText(wholeText, Qt::ElideMiddle, tighter);
    QLabel::setText(shown);
    setToolTip(shown == wholeText ? QString() : wholeText);
}
