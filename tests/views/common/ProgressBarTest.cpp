#include "views/common/ProgressBar.h"
#include "views/style/Palette.h"

#include <QImage>

#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(ProgressBar, FillIsClampedBetweenASliverAndTheFullWidthAndDrawnSo) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, double> cases[] = {{-0.5, 0.02}, {0.01, 0.02}, {0.5, 0.5},
                                               {1.5, 1.0},   {nan, 0.02},  {infinity, 1.0}};
    for (const auto& [progress, fill] : cases) {
        EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(progress), fill) << progress;
    }
    // The blue fill of a half-full bar ends in the middle of the track.
    ProgressBar bar(0.0);
    bar.resize(200, 6);
    bar.setProgress(0.5);
    const QImage image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(90, 3).rgb(), Palette::blue().rgb());
    EXPECT_NE(image.pixelColor(110, 3).rgb(), Palette::blue().rgb());
}

} // namespace
