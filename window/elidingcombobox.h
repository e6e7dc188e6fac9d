#ifndef ELIDINGCOMBOBOX_H
#define ELIDINGCOMBOBOX_H

#include <QComboBox>

// A combo box for names that may be longer than the box: the chosen item is shown cut in
// the middle with "…", keeping the start and the end that tell similar names apart,
// instead of clipped in the middle of a letter, and its tool tip then gives the whole name. The
// list that opens shows the items as the view does.
class ElidingComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ElidingComboBox(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The current text as it fits into the box's text field.
    QString fittingText(const QStyleOptionComboBox &option) const;
};

#endif // ELIDINGCOMBOBOX_H
