#ifndef ELIDINGLABEL_H
#define ELIDINGLABEL_H

#include "cellora_global.h"

#include <QLabel>
#include <QString>

// A one-line label for names that may be longer than the room a fixed layout gives them.
// When its text does not fit, it shows the text cut in the middle with "…", keeping its
// start and its end (names often differ only in a closing number), and offers the whole
// text as tool tip; screen readers always get the whole text. While hidden it shows
// the whole text. It asks a layout for the whole text's width but can be narrowed down to
// the ellipsis alone.
class ElidingLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    // Hides QLabel::setText(): the label keeps the whole text and shows what fits.
    // text() returns what is shown.
    void setText(const QString &text);
    const QString &fullText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int textRoom() const;
    void showFitting();

    QString wholeText;
};

#endif // ELIDINGLABEL_H
