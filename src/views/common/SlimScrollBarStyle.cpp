#include "views/common/SlimScrollBarStyle.h"

#include "views/common/RoundedPanel.h"
#include "views/style/Palette.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionSlider>

namespace {
constexpr int kWidth = 8;
constexpr int kHandleMinimum = 24;
constexpr qreal kHandleRadius = 4.0;
} // namespace

SlimScrollBarStyle::SlimScrollBarStyle() : m_handle(Palette::withOpacity(Palette::grey(), 0.45)) {}

SlimScrollBarStyle* SlimScrollBarStyle::instance() {
    static QPointer<SlimScrollBarStyle> style;
    if (!style) {
        style = new SlimScrollBarStyle;
        style->setParent(qApp);
    }
    return style;
}

int SlimScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                    const QWidget* widget) const {
    switch (metric) {
    case PM_ScrollBarExtent:
        return kWidth;
    case PM_ScrollBarSliderMin:
        return kHandleMinimum;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QRect SlimScrollBarStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                         SubControl subControl, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || bar == nullptr) {
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const QRect groove = bar->rect;
    const int length = horizontal ? groove.width() : groove.height();
    int handleLength = length;
    if (bar->maximum != bar->minimum) {
        const qint64 range = qint64(bar->maximum) - bar->minimum;
        handleLength = int(qint64(bar->pageStep) * length / (range + bar->pageStep));
        if (handleLength < kHandleMinimum || range > INT_MAX / 2) {
            handleLength = kHandleMinimum;
        }
        handleLength = qMin(handleLength, length);
    }
    const int handleStart = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                                    length - handleLength, bar->upsideDown);
    QRect handle = groove;
    QRect before = groove;
    QRect after = groove;
    if (horizontal) {
        handle.setLeft(groove.left() + handleStart);
        handle.setWidth(handleLength);
        before.setRight(handle.left() - 1);
        after.setLeft(handle.right() + 1);
    } else {
        handle.setTop(groove.top() + handleStart);
        handle.setHeight(handleLength);
        before.setBottom(handle.top() - 1);
        after.setTop(handle.bottom() + 1);
    }
    switch (subControl) {
    case SC_ScrollBarSlider:
        return handle;
    case SC_ScrollBarSubPage:
        return before;
    case SC_ScrollBarAddPage:
        return after;
    case SC_ScrollBarGroove:
        return groove;
    default:
        // No arrow buttons and no first/last buttons.
        return {};
    }
}

void SlimScrollBarStyle::drawComplexControl(ComplexControl control,
                                            const QStyleOptionComplex* option, QPainter* painter,
                                            const QWidget* widget) const {
    if (control != CC_ScrollBar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    RoundedPanel::paintFill(*painter, subControlRect(control, option, SC_ScrollBarSlider, widget),
                            kHandleRadius, m_handle);
}
