#include "views/ProgressBar.h"
#include "views/Palette.h"

#include <QImage>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

bool isFill(const QColor& pixel) {
    const QColor blue = Palette::blue();
    return std::abs(pixel.red() - blue.red()) < 10 && std::abs(pixel.green() - blue.green()) < 10 &&
           std::abs(pixel.blue() - blue.blue()) < 10;
}

QImage render(double progress) {
    ProgressBar bar(progress);
    bar.resize(200, 6);
    return bar.grab().toImage();
}

} // namespace

TEST(ProgressBar, FillIsClampedBetweenASliverAndTheFullWidth) {
    EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(-0.5), 0.02);
    EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(0.0), 0.02);
    EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(0.01), 0.02);
    EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(0.5), 0.5);
    EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(1.0), 1.0);
    EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(1.5), 1.0);
    EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(std::numeric_limits<double>::quiet_NaN()), 0.02);
    EXPECT_DOUBLE_EQ(ProgressBar::fillFraction(std::numeric_limits<double>::infinity()), 1.0);
}

TEST(ProgressBar, DrawsTheFillOverTheTrackAtTheGivenShareOfItsWidth) {
    const QImage empty = render(-1.0);
    EXPECT_TRUE(isFill(empty.pixelColor(2, 3))) << "an empty bar still shows a sliver";
    EXPECT_FALSE(isFill(empty.pixelColor(10, 3)));

    const QImage half = render(0.5);
    EXPECT_TRUE(isFill(half.pixelColor(90, 3)));
    EXPECT_FALSE(isFill(half.pixelColor(110, 3)));
    EXPECT_FALSE(isFill(half.pixelColor(197, 3)));

    const QImage over = render(1.5);
    EXPECT_TRUE(isFill(over.pixelColor(100, 3)));
    EXPECT_TRUE(isFill(over.pixelColor(197, 3)));
}

TEST(ProgressBar, FollowsProgressChanges) {
    ProgressBar bar(0.1);
    bar.resize(200, 6);
    EXPECT_FALSE(isFill(bar.grab().toImage().pixelColor(150, 3)));
    bar.setProgress(0.9);
    EXPECT_TRUE(isFill(bar.grab().toImage().pixelColor(150, 3)));
}
