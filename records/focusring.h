#ifndef FOCUSRING_H
#define FOCUSRING_H

#include <QWidget>

// A ring drawn over a control while it has the keyboard focus, for controls whose own
// style sheet draws no frame at all. It leaves the control's look and settings as they
// are and lets every click through.
class FocusRing : public QWidget {
    Q_OBJECT

public:
    explicit FocusRing(QWidget *control);

    bool eventFilter(QObject *watched, QEvent *event) override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

#endif // FOCUSRING_H
