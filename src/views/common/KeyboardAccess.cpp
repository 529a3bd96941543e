#include "views/common/KeyboardAccess.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>

namespace {

constexpr const char* kTitleProperty = "nimbrelScreenTitle";

// Sees the key presses that no widget on the screen took, which is where an unused Return ends.
class ReturnKey : public QObject {
public:
    ReturnKey(QWidget* screen, QPushButton* primary)
        : QObject(screen), m_screen(screen), m_primary(primary) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_screen || event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool isReturn = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!isReturn || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        QWidget* focus = QApplication::focusWidget();
        if (qobject_cast<QPlainTextEdit*>(focus) != nullptr ||
            qobject_cast<QTextEdit*>(focus) != nullptr) {
            return false;
        }
        auto* focused = qobject_cast<QPushButton*>(focus);
        QPushButton* button =
            focused != nullptr && m_screen->isAncestorOf(focused) ? focused : m_primary.data();
        if (button == nullptr || !button->isVisible() || !button->isEnabled()) {
            return false;
        }
        // Holding the key down presses once.
        if (!key->isAutoRepeat()) {
            button->click();
        }
        return true;
    }

private:
    QWidget* m_screen;
    QPointer<QPushButton> m_primary;
};

} // namespace

void KeyboardAccess::chainTabs(QWidget* screen, const QList<QWidget*>& widgets) {
    // setTabOrder leaves a pair alone when either is no Tab stop, even when the chain's start,
    // the screen, is one of them, or a widget that becomes a stop only later (a scroll area while
    // it overflows): each is a stop while the chain is laid.
    QList<QPair<QWidget*, Qt::FocusPolicy>> policies;
    for (QWidget* widget : QList<QWidget*>{screen} + widgets) {
        if (widget != nullptr && (widget->focusPolicy() & Qt::TabFocus) == 0) {
            policies.append({widget, widget->focusPolicy()});
            widget->setFocusPolicy(Qt::TabFocus);
        }
    }
    QWidget* previous = screen;
    for (QWidget* widget : widgets) {
        if (widget != nullptr) {
            QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
    }
    for (const auto& [widget, policy] : policies) {
        widget->setFocusPolicy(policy);
    }
}

void KeyboardAccess::returnPresses(QWidget* screen, QPushButton* primary) {
    screen->installEventFilter(new ReturnKey(screen, primary));
}

void KeyboardAccess::markTitle(QLabel* title) {
    title->setProperty(kTitleProperty, true);
}

void KeyboardAccess::focusStart(QWidget* screen) {
    for (QWidget* widget = screen->nextInFocusChain(); widget != screen;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && screen->isAncestorOf(widget) &&
            widget->isVisibleTo(screen) && widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    // A title is no Tab stop, but it can hold the focus for the reader to start from.
    for (auto* label : screen->findChildren<QLabel*>()) {
        if (label->property(kTitleProperty).toBool()) {
            label->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}
