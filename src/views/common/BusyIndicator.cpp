#include "views/common/BusyIndicator.h"

#include <QPainter>
#include <QPen>

namespace {
constexpr int frameIntervalMs = 40;
constexpr int stepDegrees = 30;
constexpr int arcDegrees = 270;
} // namespace

BusyIndicator::BusyIndicator(const QColor& colour, int diameter, QWidget* parent)
    : QWidget(parent), m_colour(colour), m_diameter(diameter) {
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(frameIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + stepDegrees) % 360;
        update();
    });
}

QSize BusyIndicator::sizeHint() const {
    return {m_diameter, m_diameter};
}

void BusyIndicator::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal penWidth = qMax(1.5, m_diameter / 7.0);
    painter.setPen(QPen(m_colour, penWidth, Qt::SolidLine, Qt::RoundCap));
    const QRectF area = QRectF(rect()).adjusted(penWidth, penWidth, -penWidth, -penWidth);
    // QPainter angles are in sixteenths of a degree, counter-clockwise.
    painter.drawArc(area, -m_angle * 16, arcDegrees * 16);
}

void BusyIndicator::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_timer.start();
}

void BusyIndicator::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_timer.stop();
}
