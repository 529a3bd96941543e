#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// Every symbol name the screens of the wizard ask for.
const QStringList screenIconNames{"arrow.up.forward.square",
                                  "chart.xyaxis.line",
                                  "checkmark",
                                  "checkmark.circle.fill",
                                  "chevron.right",
                                  "clock",
                                  "cube.box.fill",
                                  "doc.badge.plus",
                                  "doc.fill",
                                  "doc.on.doc",
                                  "doc.text.magnifyingglass",
                                  "exclamationmark.triangle",
                                  "exclamationmark.triangle.fill",
                                  "eye",
                                  "eye.slash",
                                  "folder.badge.plus",
                                  "gearshape.2",
                                  "xmark",
                                  "xmark.circle.fill"};

struct Coverage {
    int painted = 0;
    int solid = 0;
    int offColour = 0;
    int maxAlpha = 0;
};

// Counts painted pixels and those whose colour strays from the tint.
Coverage inspect(const QPixmap& pixmap, const QColor& tint) {
    Coverage coverage;
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 0) {
                continue;
            }
            ++coverage.painted;
            coverage.maxAlpha = std::max(coverage.maxAlpha, pixel.alpha());
            if (pixel.alpha() > 200) {
                ++coverage.solid;
            }
            // Faint edge pixels lose colour precision to premultiplication; judge the rest.
            if (pixel.alpha() > 64 && (std::abs(pixel.red() - tint.red()) > 8 ||
                                       std::abs(pixel.green() - tint.green()) > 8 ||
                                       std::abs(pixel.blue() - tint.blue()) > 8)) {
                ++coverage.offColour;
            }
        }
    }
    return coverage;
}

} // namespace

TEST(IconRegistry, EveryScreenIconRendersAtTheRequestedSizeInTheRequestedColour) {
    for (const QString& name : screenIconNames) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(IconRegistry::contains(name));
        for (const int size : {9, 22, 40}) {
            const QPixmap pixmap = IconRegistry::pixmap(name, size, Palette::red());
            ASSERT_FALSE(pixmap.isNull()) << size;
            EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(size, size));
        }
        const Coverage red =
            inspect(IconRegistry::pixmap(name, 40, Palette::red()), Palette::red());
        EXPECT_GT(red.solid, 20) << "the shape is missing or faint";
        EXPECT_EQ(red.offColour, 0);
        const Coverage green =
            inspect(IconRegistry::pixmap(name, 40, Palette::green()), Palette::green());
        EXPECT_EQ(green.offColour, 0) << "a cached pixmap of another colour was returned";
        EXPECT_FALSE(IconRegistry::icon(name, Palette::blue()).isNull());
    }
}

TEST(IconRegistry, TintOpacityCarriesIntoTheIcon) {
    const QColor halfBlue = Palette::withOpacity(Palette::blue(), 0.5);
    const Coverage coverage = inspect(
        IconRegistry::pixmap(QStringLiteral("doc.badge.plus"), 40, halfBlue), Palette::blue());
    EXPECT_GT(coverage.painted, 0);
    EXPECT_LE(coverage.maxAlpha, 129);
    EXPECT_GE(coverage.maxAlpha, 120);
}

TEST(IconRegistry, UnknownNamesAndUnusableSizesGiveNothingInsteadOfFailing) {
    EXPECT_FALSE(IconRegistry::contains(QStringLiteral("no.such.symbol")));
    EXPECT_TRUE(IconRegistry::icon(QStringLiteral("no.such.symbol"), Palette::red()).isNull());
    for (const auto& [name, size] :
         {std::pair{"no.such.symbol", 16}, {"checkmark", 0}, {"checkmark", -5}}) {
        EXPECT_TRUE(IconRegistry::pixmap(QString::fromLatin1(name), size, Palette::red()).isNull());
    }
}
