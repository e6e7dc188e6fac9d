#include "records/focusring.h"

#include <QEvent>
#include <QPainter>

namespace {
const int ringWidth = 2;
}

FocusRing::FocusRing(QWidget *control)
    : QWidget(control)
{
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(control->rect());
    setVisible(control->hasFocus());
    control->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != parent())
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        setVisible(parentWidget()->hasFocus());
        raise();
        break;
    case QEvent::Resize:
        setGeometry(parentWidget()->rect());
        break;
    default:
        break;
    }
    return false;
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), ringWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(ringWidth / 2, ringWidth / 2, -ringWidth / 2, -ringWidth / 2));
}
