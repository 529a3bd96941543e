#include "views/common/ProgressBar.h"
#include "support/AccessibilityRecorder.h"
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

TEST(ProgressBar, ReadersGetItsValueInWholePercentsAndHearOfEachNewOne) {
    ProgressBar bar(0.0);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&bar);
    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_TRUE(iface->role() == QAccessible::ProgressBar && value != nullptr);
    EXPECT_EQ(value->maximumValue().toInt() - value->minimumValue().toInt(), 100);
    const AccessibilityRecorder recorder;
    QList<QVariant> heard;
    for (const double progress : {0.454, 0.456, 0.458, 1.5, -1.0}) {
        bar.setProgress(progress);
        heard << value->currentValue();
    }
    EXPECT_EQ(heard, (QList<QVariant>{45, 46, 46, 100, 0}));
    EXPECT_EQ(recorder.count(QAccessible::ValueChanged), 4) << "steps within a percent are quiet";
}

} // namespace
