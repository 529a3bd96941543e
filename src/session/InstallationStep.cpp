#include "session/InstallationStep.h"

std::optional<InstallationStep> installationStepFromRaw(int raw) {
    if (raw < static_cast<int>(InstallationStep::kubeconfigSelection) ||
        raw > static_cast<int>(InstallationStep::completion)) {
        return std::nullopt;
    }
    return static_cast<InstallationStep>(raw);
}
