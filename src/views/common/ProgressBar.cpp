#include "views/common/ProgressBar.h"

#include "views/common/AccessibleWidgets.h"
#include "views/style/Palette.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>

namespace {
constexpr double kMinimumFill = 0.02;
constexpr qreal kCornerRadius = 3.0;
} // namespace

ProgressBar::ProgressBar(double progress, QWidget* parent) : QWidget(parent), m_progress(progress) {
    AccessibleWidgets::install();
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProgressBar::setProgress(double progress) {
    const int before = percent();
    m_progress = progress;
    update();
    // The sweep moves the bar twenty times a second; a reader hears of whole percents only.
    if (percent() != before) {
        QAccessibleValueChangeEvent event(this, percent());
        QAccessible::updateAccessibility(&event);
    }
}

int ProgressBar::percent() const {
    if (!(m_progress > 0.0)) {
        return 0;
    }
    return qRound(std::min(m_progress, 1.0) * 100.0);
}

double ProgressBar::fillFraction(double progress) {
    if (!(progress > kMinimumFill)) {
        return kMinimumFill;
    }
    return std::min(progress, 1.0);
}

QSize ProgressBar::sizeHint() const {
    return {100, 5};
}

void ProgressBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const QRectF track = rect();
    const qreal radius = std::min(kCornerRadius, track.height() / 2.0);
    painter.setBrush(Palette::withOpacity(Palette::grey(), 0.2));
    painter.drawRoundedRect(track, radius, radius);

    QRectF fill = track;
    fill.setWidth(track.width() * fillFraction(m_progress));
    painter.setBrush(Palette::blue());
    painter.drawRoundedRect(fill, radius, radius);
}
