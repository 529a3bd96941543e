#include "app/StepScreenFactory.h"

#include "keychain/KeychainManager.h"
#include "views/choice/DevtronChoiceView.h"
#include "views/completion/CompletionController.h"
#include "views/completion/CompletionView.h"
#include "views/installation/InstallationView.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"
#include "views/logviewer/LogViewerView.h"
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

} // namespace

QWidget* createStepScreen(InstallationStep step, InstallationState& state, QWidget* parent) {
    switch (step) {
    case InstallationStep::kubeconfigSelection:
        return new KubeconfigSelectionView(state, parent);
    case InstallationStep::devtronChoice:
        return new DevtronChoiceView(state, parent);
    case InstallationStep::installation:
        return new InstallationView(state, parent);
    case InstallationStep::waitingForServices:
        return new WaitingForServicesView(state, parent);
    case InstallationStep::completion:
        return createCompletionScreen(state, parent);
    }
    return new KubeconfigSelectionView(state, parent);
}
