#include "app/StepScreenFactory.h"

#include "app/PendingStepPlaceholder.h"
#include "views/DevtronChoiceView.h"
#include "views/KubeconfigSelectionView.h"
#include "views/installation/InstallationView.h"

QWidget* createStepScreen(InstallationStep step, InstallationState& state, QWidget* parent) {
    switch (step) {
    case InstallationStep::kubeconfigSelection:
        return new KubeconfigSelectionView(state, parent);
    case InstallationStep::devtronChoice:
        return new DevtronChoiceView(state, parent);
    case InstallationStep::installation:
        return new InstallationView(state, parent);
    case InstallationStep::waitingForServices:
    case InstallationStep::completion:
        break;
    }
    return new PendingStepPlaceholder(step, parent);
}
