#ifndef KEYBOARDNAVIGATION_H
#define KEYBOARDNAVIGATION_H

#include <QHash>
#include <QObject>
#include <QPointer>

class QKeyEvent;
class QPushButton;
class QStackedWidget;
class QWidget;

// Lets the whole window be worked with the keyboard, without changing any control's own
// focus settings: Tab and Shift+Tab walk every input of the shown page in reading order
// (fields that take focus only on a click included) and then the menu and home buttons;
// Tab leaves a notes field, Ctrl+Tab writes a tab into it; Return and Enter press a
// focused button, or else the button that confirms the shown page; a date or time field
// entered by click or key has a section selected, so that typing replaces it. A page that
// opens puts the keyboard on its first field; a group of radio buttons is one stop of Tab,
// its checked button, from which the arrows select as they move.
class KeyboardNavigation : public QObject {
    Q_OBJECT

public:
    // Watches the key and mouse events of every widget below `window`, the window's
    // cards included, whenever they are created.
    explicit KeyboardNavigation(QWidget *window);

    // `button` confirms what is typed on `page`.
    void setConfirmingButton(QWidget *page, QPushButton *button);
    // Tab goes on to these after the inputs of the shown page, in this order.
    void setTrailingButtons(const QList<QWidget *> &buttons);
    // Each page of `pages` that opens gets the keyboard on its first field in reading
    // order, or on the one given here.
    void followPages(QStackedWidget *pages);
    void setFirstField(QWidget *page, QWidget *field);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool ownsWidget(const QObject *object) const;
    QWidget *shownPage() const;
    QList<QWidget *> pageInputs() const;
    QList<QWidget *> tabChain() const;
    bool moveFocus(QWidget *from, bool forward);
    void focusFirstField();
    bool confirm(QWidget *from, const QKeyEvent *key);
    void selectSectionUnderCursor(QObject *watched);

    QWidget *window;
    QPointer<QStackedWidget> pages;
    QHash<QWidget *, QPointer<QPushButton>> confirmingButtons;
    QHash<QWidget *, QPointer<QWidget>> firstFields;
    QList<QPointer<QWidget>> trailingButtons;
};

#endif // KEYBOARDNAVIGATION_H
