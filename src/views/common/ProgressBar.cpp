#include "views/common/ProgressBar.h"

#include "views/style/Palette.h"

#include <QPainter>

#include <algorithm>

namespace {
constexpr double kMinimumFill = 0.02;
constexpr qreal kCornerRadius = 3.0;
} // namespace

ProgressBar::ProgressBar(double progress, QWidget* parent) : QWidget(parent), m_progress(progress) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProgressBar::setProgress(double progress) {
    m_progress = progress;
    update();
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
