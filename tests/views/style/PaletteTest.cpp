#include "views/style/Palette.h"

#include <QGuiApplication>
#include <QPalette>

#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(Palette, OpacityScalesTheColoursOwnAlphaAndStaysInRange) {
    const std::pair<double, int> cases[] = {
        {0.5, 128}, {1.7, 255}, {-0.3, 0}, {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [opacity, alpha] : cases) {
        EXPECT_EQ(Palette::withOpacity(Palette::red(), opacity).alpha(), alpha) << opacity;
        EXPECT_EQ(Palette::withOpacity(Palette::red(), opacity).rgb(), Palette::red().rgb());
    }
    // Text colours are translucent already: 70 % of them is fainter still.
    EXPECT_LT(Palette::withOpacity(Palette::primaryText(), 0.7).alpha(),
              Palette::primaryText().alpha());
    EXPECT_EQ(Palette::css(Palette::withOpacity(Palette::blue(), 0.5)),
              QStringLiteral("#80007aff"));
    EXPECT_EQ(Palette::font(0).pixelSize(), 1) << "a zero size must not reach QFont";
}

TEST(Palette, TheApplicationPaletteIsLightWhateverTheDesktopTheme) {
    const QPalette saved = QGuiApplication::palette();
    Palette::applyApplicationPalette();
    const QPalette applied = QGuiApplication::palette();
    QGuiApplication::setPalette(saved);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        EXPECT_GT(applied.color(group, QPalette::Base).lightness(), 200) << group;
        EXPECT_LT(applied.color(group, QPalette::Text).lightness(), 60) << group;
    }
}

} // namespace
