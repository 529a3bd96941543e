#include "app/FocusSnapshotModel.h"

#include "session/InstallationState.h"

namespace {

bool holds(const QVariant& value, QMetaType::Type type) {
    return value.typeId() == type;
}

} // namespace

void FocusSnapshotModel::capture(const InstallationState& state) {
    m_savedState = QVariantMap{
        {QStringLiteral("currentStep"), static_cast<int>(state.currentStep())},
        {QStringLiteral("kubeconfigPath"), state.kubeconfigPath()},
        {QStringLiteral("kubeconfigDisplayPath"), state.kubeconfigDisplayPath()},
        {QStringLiteral("installDevtron"), state.installDevtron()},
        {QStringLiteral("installationProgress"), state.installationProgress()},
        {QStringLiteral("isInstalling"), state.isInstalling()},
    };
}

bool FocusSnapshotModel::restore(InstallationState& state) const {
    if (!m_savedState.has_value() || state.isInstalling()) {
        return false;
    }
    const QVariantMap& saved = *m_savedState;

    std::optional<InstallationStep> step;
    const QVariant rawStep = saved.value(QStringLiteral("currentStep"));
    if (holds(rawStep, QMetaType::Int)) {
        step = installationStepFromRaw(rawStep.toInt());
    }
    // Work that finished in the background (a validation, an installation run) has moved the
    // session on; going back to the older step would undo it or start the installation again.
    if (step.has_value() && static_cast<int>(*step) < static_cast<int>(state.currentStep())) {
        return false;
    }
    // Arriving on these steps starts their work: a run that failed or timed out while the user was
    // away must not be started again by coming back.
    if (step.has_value() && *step != state.currentStep() &&
        (*step == InstallationStep::installation ||
         *step == InstallationStep::waitingForServices)) {
        return false;
    }

    if (step.has_value()) {
        state.setCurrentStep(*step);
    }
    const QVariant path = saved.value(QStringLiteral("kubeconfigPath"));
    const QVariant displayPath = saved.value(QStringLiteral("kubeconfigDisplayPath"));
    if (holds(path, QMetaType::QString) && holds(displayPath, QMetaType::QString)) {
        state.setKubeconfigPath(path.toString(), displayPath.toString());
    }
    const QVariant installDevtron = saved.value(QStringLiteral("installDevtron"));
    if (holds(installDevtron, QMetaType::Bool)) {
        state.setInstallDevtron(installDevtron.toBool());
    }
    return true;
}
