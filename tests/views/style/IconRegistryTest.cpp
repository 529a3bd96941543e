#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QImage>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

// Solid pixels, and pixels whose colour strays from the tint; the highest alpha seen.
struct Coverage {
    int solid = 0;
    int offColour = 0;
    int maxAlpha = 0;
};

Coverage inspect(const QString& name, const QColor& tint, const QColor& expected) {
    Coverage coverage;
    const QImage image =
        IconRegistry::pixmap(name, 40, tint).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            coverage.maxAlpha = std::max(coverage.maxAlpha, pixel.alpha());
            coverage.solid += pixel.alpha() > 200 ? 1 : 0;
            // Faint edge pixels lose colour precision to premultiplication; judge the rest.
            const int distance = std::max({std::abs(pixel.red() - expected.red()),
                                           std::abs(pixel.green() - expected.green()),
                                           std::abs(pixel.blue() - expected.blue())});
            coverage.offColour += pixel.alpha() > 64 && distance > 8 ? 1 : 0;
        }
    }
    return coverage;
}

TEST(IconRegistry, EveryScreenIconRendersAtTheRequestedSizeInTheRequestedColour) {
    // Every symbol the screens ask for.
    const QStringList names =
        QStringLiteral("arrow.up.forward.square chart.xyaxis.line checkmark checkmark.circle.fill "
                       "chevron.right clock cube.box.fill doc.badge.plus doc.fill doc.on.doc "
                       "doc.text.magnifyingglass exclamationmark.triangle "
                       "exclamationmark.triangle.fill eye eye.slash folder.badge.plus gearshape.2 "
                       "xmark xmark.circle.fill")
            .split(' ');
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(IconRegistry::pixmap(name, 9, Palette::red()).deviceIndependentSize(),
                  QSizeF(9, 9));
        const Coverage red = inspect(name, Palette::red(), Palette::red());
        EXPECT_GT(red.solid, 20) << "the shape is missing or faint";
        EXPECT_EQ(red.offColour, 0);
        EXPECT_EQ(inspect(name, Palette::green(), Palette::green()).offColour, 0)
            << "a cached pixmap of another colour was returned";
    }
    const Coverage half = inspect(QStringLiteral("doc.badge.plus"),
                                  Palette::withOpacity(Palette::blue(), 0.5), Palette::blue());
    EXPECT_TRUE(half.maxAlpha >= 120 && half.maxAlpha <= 129) << half.maxAlpha;
}

TEST(IconRegistry, UnknownNamesAndUnusableSizesGiveNothingInsteadOfFailing) {
    EXPECT_TRUE(IconRegistry::icon(QStringLiteral("no.such.symbol"), Palette::red()).isNull());
    for (const auto& [name, size] :
         {std::pair{"no.such.symbol", 16}, {"checkmark", 0}, {"checkmark", -5}}) {
        EXPECT_TRUE(IconRegistry::pixmap(QString::fromLatin1(name), size, Palette::red()).isNull());
    }
}

} // namespace
