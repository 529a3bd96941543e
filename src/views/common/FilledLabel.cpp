#include "views/common/FilledLabel.h"

#include "views/common/RoundedPanel.h"

#include <QPainter>

FilledLabel::FilledLabel(QWidget* parent) : QLabel(parent) {}

void FilledLabel::setFill(const QColor& fill, int radius) {
    m_fill = fill;
    m_radius = radius;
    update();
}

void FilledLabel::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        RoundedPanel::paintFill(painter, rect(), m_radius, m_fill);
    }
    QLabel::paintEvent(event);
}
