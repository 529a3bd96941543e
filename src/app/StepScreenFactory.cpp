#include "app/StepScreenFactory.h"

#include "keychain/KeychainManager.h"
#include "session/InstallationState.h"
#include "views/choice/DevtronChoiceView.h"
#include "views/completion/CompletionController.h"
#include "views/completion/CompletionView.h"
#include "views/installation/InstallationView.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"
#include "views/logviewer/LogViewerView.h"
#include "views/removal/RemovalView.h"
#include "views/waiting/WaitingForServicesView.h"

#include <QApplication>
#include <QPointer>

namespace {

QWidget* createCompletionScreen(InstallationState& state, QWidget* parent) {
    auto* controller = new CompletionController(state, KeychainManager::defaultServiceName,
                                                [] { QApplication::quit(); });
    auto* view = new CompletionView(controller, parent);
    QObject::connect(view, &CompletionView::logViewerRequested, view, [view, controller, &state] {
        auto* viewer = new LogViewerView(state, view->window());
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<CompletionController> guard(controller);
        QObject::connect(viewer, &QDialog::finished, controller, [guard] {
            if (guard) {
                guard->setShowingLogViewer(false);
            }
        });
        viewer->open();
    });
    return view;
}

// The choice screen, which opens the removal sheet over itself when asked. Once the sheet
// closes, the install options are shown afresh: the checklist that found Devtron is dropped, and
// the next "下一步" asks the cluster again.
QWidget* createChoiceScreen(InstallationState& state, QWidget* parent) {
    auto* view = new DevtronChoiceView(state, parent);
    DevtronChoiceController* choice = &view->controller();
    QObject::connect(choice, &DevtronChoiceController::removalRequested, view, [view, &state] {
        auto* removal = new RemovalView(state, KeychainManager::defaultServiceName, view->window());
        removal->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(removal, &QDialog::finished, view, [view, &state] {
            state.setCurrentStep(InstallationStep::devtronChoice);
            view->controller().forgetTestResult();
        });
        removal->open();
        removal->controller().loadPreview();
    });
    return view;
}

} // namespace

QWidget* createStepScreen(InstallationStep step, InstallationState& state, QWidget* parent) {
    switch (step) {
    case InstallationStep::kubeconfigSelection:
        return new KubeconfigSelectionView(state, parent);
    case InstallationStep::devtronChoice:
        return createChoiceScreen(state, parent);
    case InstallationStep::installation:
        return new InstallationView(state, parent);
    case InstallationStep::waitingForServices:
        return new WaitingForServicesView(state, parent);
    case InstallationStep::completion:
        return createCompletionScreen(state, parent);
    }
    return new KubeconfigSelectionView(state, parent);
}
