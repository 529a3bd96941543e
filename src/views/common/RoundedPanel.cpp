#include "views/common/RoundedPanel.h"

#include <QPainter>
#include <QPainterPath>

RoundedPanel::RoundedPanel(const QColor& fill, int radius, QWidget* parent)
    : QFrame(parent), m_fill(fill), m_radius(radius) {}

void RoundedPanel::paintFill(QPainter& painter, const QRectF& rect, qreal radius,
                             const QColor& fill) {
    if (fill.alpha() == 0) {
        return;
    }
    // Traced clockwise from the top edge, the way Qt's style sheets trace a rounded background, so
    // that the corners come out the same to the pixel.
    const qreal diameter = qMin(2 * radius, qMin(rect.width(), rect.height()));
    const qreal left = rect.left();
    const qreal top = rect.top();
    const qreal right = rect.right();
    const qreal bottom = rect.bottom();
    QPainterPath path;
    path.moveTo(left + diameter / 2, top);
    path.lineTo(right - diameter / 2, top);
    path.arcTo(right - diameter, top, diameter, diameter, 90, -90);
    path.lineTo(right, bottom - diameter / 2);
    path.arcTo(right - diameter, bottom - diameter, diameter, diameter, 0, -90);
    path.lineTo(left + diameter / 2, bottom);
    path.arcTo(left, bottom - diameter, diameter, diameter, 270, -90);
    path.lineTo(left, top + diameter / 2);
    path.arcTo(left, top, diameter, diameter, 180, -90);
    path.closeSubpath();

    const bool antialiased = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, fill);
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
}

void RoundedPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintFill(painter, rect(), m_radius, m_fill);
}
