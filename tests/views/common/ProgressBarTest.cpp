#include "views/common/ProgressBar.h"
#include "views/style/Palette.h"

#include <QImage>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

bool isFill(const QImage& image, int x) {
    const QColor pixel = image.pixelColor(x, 3);
    const QColor blue = Palette::blue();
    return std::abs(pixel.red() - blue.red()) < 10 && std::abs(pixel.green() - blue.green()) < 10 &&
           std::abs(pixel.blue() - blue.blue()) < 10;
}

TEST(ProgressBar, FillIsClampedBetweenASliverAndTheFullWidth) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, double> cases[] = {{-0.5, 0.02}, {0.0, 0.02},    {0.01, 0.02},
                                               {0.5, 0.5},   {1.0, 1.0},     {1.5, 1.0},
                                               {nan, 0.02},  {infinity, 1.0}};
    for (const auto& [progress, fill] : cases) {
        EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(progress), fill) << progress;
    }
}

TEST(ProgressBar, DrawsTheFillOverTheTrackAndFollowsChanges) {
    ProgressBar bar(-1.0);
    bar.resize(200, 6);
    QImage image = bar.grab().toImage();
    EXPECT_TRUE(isFill(image, 2)) << "an empty bar still shows a sliver";
    EXPECT_FALSE(isFill(image, 10));
    bar.setProgress(0.5);
    image = bar.grab().toImage();
    EXPECT_TRUE(isFill(image, 90));
    EXPECT_FALSE(isFill(image, 110));
    bar.setProgress(1.5);
    EXPECT_TRUE(isFill(bar.grab().toImage(), 197));
}

} // namespace
