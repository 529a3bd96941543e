#include "app/StepScreenFactory.h"

#include "app/PendingStepPlaceholder.h"
#include "keychain/KeychainManager.h"
#include "views/DevtronChoiceView.h"
#include "views/KubeconfigSelectionView.h"
#include "views/completion/CompletionController.h"
#include "views/completion/CompletionView.h"

#include <QApplication>

QWidget* createStepScreen(InstallationStep step, InstallationState& state, QWidget* parent) {
    switch (step) {
    case InstallationStep::kubeconfigSelection:
        return new KubeconfigSelectionView(state, parent);
    case InstallationStep::devtronChoice:
        return new DevtronChoiceView(state, parent);
    case InstallationStep::installation:
    case InstallationStep::waitingForServices:
        break;
    case InstallationStep::completion:
        return new CompletionView(new CompletionController(state,
                                                           KeychainManager::defaultServiceName,
                                                           [] { QApplication::quit(); }),
                                  parent);
    }
    return new PendingStepPlaceholder(step, parent);
}
