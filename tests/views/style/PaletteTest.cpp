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

namespace {

// `above` laid over the opaque `below`.
QColor blend(const QColor& below, const QColor& above) {
    const float a = above.alphaF();
    return QColor::fromRgbF(above.redF() * a + below.redF() * (1 - a),
                            above.greenF() * a + below.greenF() * (1 - a),
                            above.blueF() * a + below.blueF() * (1 - a));
}

TEST(Palette, TextAndSymbolsReachWcagAaOnEverySurfaceWhenTheDesktopAsksForContrast) {
    const struct Use {
        const char* what;
        QColor (*colour)();
        double ratio;
    } uses[] = {
        {"blue links and button fills", Palette::blue, Palette::textContrast},
        {"green states (已安装)", Palette::green, Palette::textContrast},
        {"orange warnings", Palette::orange, Palette::textContrast},
        {"red error title", Palette::red, Palette::textContrast},
        {"secondary text and upcoming steps", Palette::secondaryText, Palette::textContrast},
        {"primary text", Palette::primaryText, Palette::textContrast},
        {"grey symbols", Palette::grey, Palette::symbolContrast},
    };
    for (const bool high : {false, true}) {
        Palette::setHighContrast(high);
        for (const Use& use : uses) {
            double worst = 21.0;
            for (const QColor& surface : Palette::surfaces()) {
                worst = std::min(worst, Palette::contrast(use.colour(), surface));
            }
            Palette::setHighContrast(false);
            const QColor described = use.colour();
            Palette::setHighContrast(high);
            if (!high) {
                continue;
            }
            EXPECT_GE(worst, use.ratio) << use.what;
            // Darkened only as far as the ratio needs; a colour that passes as described stays.
            if (use.colour() != described) {
                EXPECT_LT(worst, use.ratio + 0.1) << use.what;
            }
            EXPECT_EQ(Palette::current(described), use.colour()) << use.what;
            EXPECT_EQ(Palette::currentSheet("QLabel { color: " + Palette::css(described) + "; }"),
                      "QLabel { color: " + Palette::css(use.colour()) + "; }")
                << use.what;
        }
        // The step numbers, white on their badge over the window.
        const double numbers = Palette::contrast(
            Palette::white(), blend(Palette::surfaces().constFirst(), Palette::badgeFill()));
        EXPECT_EQ(numbers >= Palette::textContrast, high) << numbers;
    }
    Palette::setHighContrast(false);
    EXPECT_EQ(Palette::green(), QColor(40, 205, 65));
    EXPECT_EQ(Palette::secondaryText(), QColor(0, 0, 0, 128));
}

} // namespace
