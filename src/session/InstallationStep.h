#pragma once

#include <optional>

enum class InstallationStep : int {
    kubeconfigSelection = 0,
    devtronChoice = 1,
    installation = 2,
    waitingForServices = 3,
    completion = 4,
};

// A step for 0 to 4, none for any other integer.
std::optional<InstallationStep> installationStepFromRaw(int raw);
