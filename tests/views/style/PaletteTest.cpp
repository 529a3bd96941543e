#include "views/style/Palette.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

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
