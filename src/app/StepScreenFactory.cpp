#include "app/StepScreenFactory.h"

#include "app/PendingStepPlaceholder.h"
#include "views/DevtronChoiceView.h"
#include "views/KubeconfigSelectionView.h"
#include "views/waiting/WaitingForServicesView.h"

QWidget* createStepScreen(InstallationStep step, InstallationState& state, QWidget* parent) {
    switch (step) {
    case InstallationStep::kubeconfigSelection:
        return new KubeconfigSelectionView(state, parent);
    case InstallationStep::devtronChoice:
        return new DevtronChoiceView(state, parent);
    case InstallationStep::waitingForServices:
        return new WaitingForServicesView(state, parent);
    case InstallationStep::installation:
    case InstallationStep::completion:
        break;
    }
    return new PendingStepPlaceholder(step, parent);
}
