#include "window/keyboardnavigation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTextEdit>

#include <algorithm>

namespace {
// Controls whose centres lie closer than this share a line of the page.
const int sameLineTolerance = 12;

bool isTab(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
}

bool isReturn(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// The radio buttons that `widget` shares its exclusive group with, itself included; empty
// for any other control.
QList<QAbstractButton *> radioGroupOf(const QWidget *widget)
{
    const auto *radio = qobject_cast<const QRadioButton *>(widget);
    if (!radio || !radio->group() || !radio->group()->exclusive())
        return {};
    QList<QAbstractButton *> usable;
    for (QAbstractButton *member : radio->group()->buttons()) {
        if (member->isVisibleTo(member->window()) && member->isEnabled())
            usable << member;
    }
    return usable.size() > 1 ? usable : QList<QAbstractButton *>();
}

// Tab stops at one button of a radio group: the checked one, or else the first. From the
// checked one, the arrows select as they move (the buttons' own keys).
bool isGroupStop(const QWidget *widget, const QList<QWidget *> &ordered)
{
    const QList<QAbstractButton *> group = radioGroupOf(widget);
    if (group.isEmpty())
        return true;
    const auto checked = std::find_if(group.begin(), group.end(),
        [](const QAbstractButton *member) { return member->isChecked(); });
    if (checked != group.end())
        return *checked == widget;
    const auto first = std::find_if(ordered.begin(), ordered.end(), [&group](QWidget *input) {
        return group.contains(qobject_cast<QAbstractButton *>(input));
    });
    return first != ordered.end() && *first == widget;
}

// An input a person works with, rather than a part of one (the editor inside a spin box,
// a scroll bar) or a frame around others (a scroll area, a chart's view).
bool isInput(const QWidget *widget)
{
    if (widget->focusPolicy() == Qt::NoFocus || widget->focusProxy())
        return false;
    const QWidget *parent = widget->parentWidget();
    if (qobject_cast<const QAbstractSpinBox *>(parent) || qobject_cast<const QComboBox *>(parent))
        return false;
    if (qobject_cast<const QAbstractScrollArea *>(widget))
        return qobject_cast<const QPlainTextEdit *>(widget)
            || qobject_cast<const QTextEdit *>(widget)
            || qobject_cast<const QAbstractItemView *>(widget);
    return true;
}

// Top to bottom, and left to right within a line.
QList<QWidget *> inReadingOrder(QList<QWidget *> widgets, const QWidget *page)
{
    const auto centreY
        = [page](const QWidget *w) { return w->mapTo(page, QPoint(0, w->height() / 2)).y(); };
    const auto left = [page](const QWidget *w) { return w->mapTo(page, QPoint(0, 0)).x(); };
    std::stable_sort(widgets.begin(), widgets.end(),
        [&](const QWidget *a, const QWidget *b) { return centreY(a) < centreY(b); });
    QList<QWidget *> ordered;
    for (int start = 0; start < widgets.size();) {
        int end = start + 1;
        while (end < widgets.size()
            && centreY(widgets.at(end)) - centreY(widgets.at(start)) <= sameLineTolerance)
            ++end;
        QList<QWidget *> line = widgets.mid(start, end - start);
        std::stable_sort(line.begin(), line.end(),
            [&](const QWidget *a, const QWidget *b) { return left(a) < left(b); });
        ordered << line;
        start = end;
    }
    return ordered;
}

// A control moved to by key is scrolled into sight by every scroll area around it,
// the host's included.
void bringIntoSight(QWidget *widget)
{
    for (QWidget *outer = widget->parentWidget(); outer; outer = outer->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(outer)) {
            if (area->widget() && area->widget()->isAncestorOf(widget))
                area->ensureWidgetVisible(widget, 10, 10);
        }
    }
}
} // namespace

KeyboardNavigation::KeyboardNavigation(QWidget *window)
    : QObject(window)
    , window(window)
{
    // The cards are created anew at every reload: one filter on the application reaches
    // them all without following their lives.
    qApp->installEventFilter(this);
}

void KeyboardNavigation::setConfirmingButton(QWidget *page, QPushButton *button)
{
    confirmingButtons.insert(page, button);
}

void KeyboardNavigation::setTrailingButtons(const QList<QWidget *> &buttons)
{
    trailingButtons.clear();
    for (QWidget *button : buttons)
        trailingButtons << button;
}

bool KeyboardNavigation::ownsWidget(const QObject *object) const
{
    const auto *widget = qobject_cast<const QWidget *>(object);
    return widget && (widget == window || window->isAncestorOf(widget));
}

QWidget *KeyboardNavigation::shownPage() const
{
    const auto *pages = window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    return pages ? pages->currentWidget() : nullptr;
}

void KeyboardNavigation::followPages(QStackedWidget *pages)
{
    this->pages = pages;
    connect(pages, &QStackedWidget::currentChanged, this, &KeyboardNavigation::focusFirstField);
}

void KeyboardNavigation::setFirstField(QWidget *page, QWidget *field)
{
    firstFields.insert(page, field);
}

// The stacked pages hand the focus to the page's field used last, or to the next control
// in the window's focus chain, which may be a tank: one more Return would record a flight.
void KeyboardNavigation::focusFirstField()
{
    QWidget *page = shownPage();
    if (!page)
        return;
    QWidget *field = firstFields.value(page);
    if (!field || !field->isVisibleTo(window) || !field->isEnabled()) {
        const QList<QWidget *> inputs = pageInputs();
        field = inputs.isEmpty() ? nullptr : inputs.first();
    }
    if (field) {
        field->setFocus(Qt::OtherFocusReason);
        bringIntoSight(field);
    }
}

QList<QWidget *> KeyboardNavigation::pageInputs() const
{
    QWidget *page = shownPage();
    if (!page)
        return {};
    QList<QWidget *> inputs;
    for (QWidget *widget : page->findChildren<QWidget *>()) {
        if (isInput(widget) && widget->isVisibleTo(window) && widget->isEnabled())
            inputs << widget;
    }
    const QList<QWidget *> ordered = inReadingOrder(inputs, page);
    QList<QWidget *> stops;
    for (QWidget *input : ordered) {
        if (isGroupStop(input, ordered))
            stops << input;
    }
    return stops;
}

QList<QWidget *> KeyboardNavigation::tabChain() const
{
    QList<QWidget *> chain = pageInputs();
    for (const QPointer<QWidget> &button : trailingButtons) {
        if (button && button->isVisibleTo(window) && button->isEnabled())
            chain << button;
    }
    return chain;
}

bool KeyboardNavigation::moveFocus(QWidget *from, bool forward)
{
    const QList<QWidget *> chain = tabChain();
    if (chain.isEmpty())
        return false;
    int at = -1;
    for (QWidget *w = from; w && at < 0 && w != window; w = w->parentWidget())
        at = chain.indexOf(w);
    // From outside the chain, Tab starts at its first control and Shift+Tab at its last.
    const int count = chain.size();
    const int next = at < 0 ? (forward ? 0 : count - 1) : (at + (forward ? 1 : count - 1)) % count;
    QWidget *target = chain.at(next);
    target->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    bringIntoSight(target);
    return true;
}

bool KeyboardNavigation::confirm(QWidget *from, const QKeyEvent *key)
{
    // An open list takes Return to choose its item.
    if (QApplication::activePopupWidget())
        return false;
    if (auto *button = qobject_cast<QAbstractButton *>(from)) {
        button->click();
        return true;
    }
    // Return starts a new line of notes; Ctrl+Return confirms the page from there.
    const bool inText = qobject_cast<QPlainTextEdit *>(from) || qobject_cast<QTextEdit *>(from);
    if (inText && !(key->modifiers() & Qt::ControlModifier))
        return false;
    QPushButton *button = confirmingButtons.value(shownPage());
    if (!button || !button->isVisibleTo(window) || !button->isEnabled())
        return false;
    button->click();
    return true;
}

void KeyboardNavigation::selectSectionUnderCursor(QObject *watched)
{
    auto *editor = qobject_cast<QLineEdit *>(watched);
    auto *field = editor ? qobject_cast<QDateTimeEdit *>(editor->parentWidget()) : nullptr;
    if (!field || field->sectionCount() == 0)
        return;
    // The field tells where a section lies only by selecting it: try each in turn and keep
    // the one that holds the click; a click beside every section takes the first.
    const int cursor = editor->cursorPosition();
    int chosen = 0;
    for (int i = 0; i < field->sectionCount(); ++i) {
        field->setSelectedSection(field->sectionAt(i));
        const int start = editor->selectionStart();
        if (start >= 0 && cursor >= start && cursor <= start + editor->selectedText().size()) {
            chosen = i;
            break;
        }
    }
    field->setCurrentSectionIndex(chosen);
    field->setSelectedSection(field->sectionAt(chosen));
}

bool KeyboardNavigation::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && ownsWidget(watched)) {
        selectSectionUnderCursor(watched);
        return false;
    }
    if (event->type() != QEvent::KeyPress || !ownsWidget(watched))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    auto *widget = static_cast<QWidget *>(watched);
    if (isTab(key) && (key->modifiers() & Qt::ControlModifier)) {
        auto *notes = qobject_cast<QPlainTextEdit *>(widget);
        if (!notes || notes->isReadOnly())
            return false;
        notes->insertPlainText(QStringLiteral("\t"));
        return true;
    }
    if (isTab(key)) {
        const bool backwards
            = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        return moveFocus(widget, !backwards);
    }
    if (isReturn(key) && !(key->modifiers() & (Qt::AltModifier | Qt::ShiftModifier)))
        return confirm(widget, key);
    return false;
}
