#include "views/Palette.h"

#include <QGuiApplication>
#include <QPalette>

#include <limits>

#include <gtest/gtest.h>

TEST(Palette, OpacityScalesTheColoursOwnAlphaAndStaysInRange) {
    EXPECT_EQ(Palette::withOpacity(Palette::blue(), 0.5).alpha(), 128);
    EXPECT_EQ(Palette::withOpacity(Palette::blue(), 0.5).rgb(), Palette::blue().rgb());
    // Text colours are translucent already: 70 % of them is fainter still.
    EXPECT_LT(Palette::withOpacity(Palette::primaryText(), 0.7).alpha(),
              Palette::primaryText().alpha());
    EXPECT_EQ(Palette::withOpacity(Palette::red(), 1.7).alpha(), 255);
    EXPECT_EQ(Palette::withOpacity(Palette::red(), -0.3).alpha(), 0);
    EXPECT_EQ(
        Palette::withOpacity(Palette::red(), std::numeric_limits<double>::quiet_NaN()).alpha(), 0);
}

TEST(Palette, FontsPutSimplifiedChineseFirstAtTheAskedPixelSize) {
    const QFont font = Palette::font(13, QFont::Medium);
    ASSERT_FALSE(font.families().isEmpty());
    EXPECT_TRUE(font.families().first().endsWith(QStringLiteral("SC")) ||
                font.families().first().contains(QStringLiteral("WenQuanYi")));
    EXPECT_EQ(font.pixelSize(), 13);
    EXPECT_EQ(font.weight(), QFont::Medium);
    EXPECT_EQ(Palette::font(0).pixelSize(), 1) << "a zero size must not reach QFont";
    EXPECT_TRUE(
        Palette::monospaceFont(10).families().contains(QStringLiteral("Noto Sans Mono CJK SC")));
}

TEST(Palette, ApplicationPaletteIsLightWithDarkTextInEveryGroup) {
    const QPalette saved = QGuiApplication::palette();
    Palette::applyApplicationPalette();
    const QPalette applied = QGuiApplication::palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        SCOPED_TRACE(static_cast<int>(group));
        EXPECT_GT(applied.color(group, QPalette::Window).lightness(), 200);
        EXPECT_GT(applied.color(group, QPalette::Base).lightness(), 200);
        EXPECT_LT(applied.color(group, QPalette::WindowText).lightness(), 60);
        EXPECT_LT(applied.color(group, QPalette::Text).lightness(), 60);
        EXPECT_LT(applied.color(group, QPalette::ButtonText).lightness(), 60);
    }
    QGuiApplication::setPalette(saved);
}
