#pragma once

#include <QColor>
#include <QProxyStyle>

// The screens' scroll bar: 8 px wide on a clear ground, a rounded handle at least 24 px long, no
// arrow buttons. A style rather than a style sheet, for the reason `RoundedPanel` gives.
class SlimScrollBarStyle : public QProxyStyle {
    Q_OBJECT

public:
    // One for the application, which owns it; set it on each scroll bar that should look slim.
    static SlimScrollBarStyle* instance();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    SlimScrollBarStyle();

    QColor m_handle;
};
