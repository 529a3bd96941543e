#include "views/common/KeyboardAccess.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>

namespace {

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
    // setTabOrder leaves a pair alone when no Tab stop lies between them, even when the chain's
    // start, the screen, does: while the screen counts as a stop, the order starts after it.
    const Qt::FocusPolicy policy = screen->focusPolicy();
    screen->setFocusPolicy(Qt::TabFocus);
    QWidget* previous = screen;
    for (QWidget* widget : widgets) {
        if (widget != nullptr) {
            QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
    }
    screen->setFocusPolicy(policy);
}

void KeyboardAccess::returnPresses(QWidget* screen, QPushButton* primary) {
    screen->installEventFilter(new ReturnKey(screen, primary));
}
