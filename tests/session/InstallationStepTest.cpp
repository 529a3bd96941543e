#include "session/InstallationStep.h"

#include <gtest/gtest.h>

TEST(InstallationStep, RawValuesZeroToFourAreStepsAndNothingElse) {
    for (int raw = 0; raw <= 4; ++raw) {
        const auto step = installationStepFromRaw(raw);
        ASSERT_TRUE(step.has_value()) << raw;
        EXPECT_EQ(static_cast<int>(*step), raw);
    }
    EXPECT_FALSE(installationStepFromRaw(-1).has_value());
    EXPECT_FALSE(installationStepFromRaw(5).has_value());
}
