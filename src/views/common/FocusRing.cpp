#include "views/common/FocusRing.h"

#include "views/style/Palette.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace {

constexpr int outset = FocusRing::outset;
constexpr int penWidth = 2;
constexpr double radius = 7.0;

// The ring sits on the nearest ancestor with room for it, so that a tight row does not clip it;
// it stays inside a scroll area's body, where the view port clips what is scrolled away.
QWidget* hostFor(const QWidget* target) {
    QWidget* host = target->parentWidget();
    QRect wanted = target->geometry().adjusted(-outset, -outset, outset, outset);
    while (!host->rect().contains(wanted) && !host->isWindow()) {
        QWidget* up = host->parentWidget();
        if (qobject_cast<QAbstractScrollArea*>(up) != nullptr ||
            qobject_cast<QAbstractScrollArea*>(up->parentWidget()) != nullptr) {
            break;
        }
        wanted.translate(host->pos());
        host = up;
    }
    return host;
}

// Watches key and mouse presses for the input in use and moves the one ring along with the focus.
class FocusTracker : public QObject {
public:
    explicit FocusTracker(QObject* parent) : QObject(parent) {
        connect(qApp, &QApplication::focusChanged, this, &FocusTracker::update);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
            m_keyboard = type == QEvent::KeyPress;
            update();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void update() {
        QWidget* focus = QApplication::focusWidget();
        // A widget that is no Tab stop (a title, a screen holding the focus for a busy button)
        // holds the focus only for a screen reader to start from.
        if (!m_keyboard || focus == nullptr || focus->isWindow() ||
            (focus->focusPolicy() & Qt::TabFocus) == 0) {
            delete m_ring;
            return;
        }
        if (m_ring && m_ring->target() == focus) {
            return;
        }
        delete m_ring;
        m_ring = new FocusRing(focus);
    }

    bool m_keyboard = false;
    QPointer<FocusRing> m_ring;
};

} // namespace

void FocusRing::followKeyboardFocus() {
    static QPointer<FocusTracker> tracker;
    if (!tracker) {
        tracker = new FocusTracker(qApp);
        qApp->installEventFilter(tracker);
    }
}

FocusRing::FocusRing(QWidget* target) : QWidget(hostFor(target)), m_target(target) {
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // The target and the widgets between it and the host move it.
    for (QWidget* widget = target; widget != parentWidget(); widget = widget->parentWidget()) {
        widget->installEventFilter(this);
    }
    place();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        place();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::place() {
    if (!m_target) {
        hide();
        return;
    }
    const QPoint topLeft = m_target->mapTo(parentWidget(), QPoint(0, 0));
    // Where the host has no room, as for a list filling its window, the ring falls on the edge.
    setGeometry(QRect(topLeft, m_target->size())
                    .adjusted(-outset, -outset, outset, outset)
                    .intersected(parentWidget()->rect()));
    setVisible(m_target->isVisible());
    raise();
}

void FocusRing::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::focusRing(), penWidth));
    painter.setBrush(Qt::NoBrush);
    const double half = penWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), radius, radius);
}
