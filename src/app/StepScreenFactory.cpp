#include "app/StepScreenFactory.h"

#include "app/PendingStepPlaceholder.h"
#include "views/choice/DevtronChoiceView.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"

QWidget* createStepScreen(InstallationStep step, InstallationState& state, QWidget* parent) {
    switch (step) {
    case InstallationStep::kubeconfigSelection:
        return new KubeconfigSelectionView(state, parent);
    case InstallationStep::devtronChoice:
        return new DevtronChoiceView(state, parent);
    case InstallationStep::installation:
    case InstallationStep::waitingForServices:
    case InstallationStep::completion:
        break;
    }
    return new PendingStepPlaceholder(step, parent);
}
