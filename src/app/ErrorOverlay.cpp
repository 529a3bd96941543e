#include "app/ErrorOverlay.h"

#include "views/common/DetailedErrorView.h"
#include "views/style/Palette.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QPainter>

ErrorOverlay::ErrorOverlay(const QString& message, QWidget* parent)
    : QWidget(parent), m_card(new DetailedErrorView(message, this)) {
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_card, 0, 0, Qt::AlignCenter);
    connect(m_card, &DetailedErrorView::dismissed, this, &ErrorOverlay::dismissRequested);
}

void ErrorOverlay::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Palette::withOpacity(Palette::black(), 0.3));
}

void ErrorOverlay::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit dismissRequested();
}
