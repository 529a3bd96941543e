#include "app/FocusSnapshotModel.h"
#include "app/AppDelegate.h"
#include "session/InstallationState.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

using Session = std::tuple<InstallationStep, QString, QString, bool>;

Session sessionOf(const InstallationState& state) {
    return {state.currentStep(), state.kubeconfigPath(), state.kubeconfigDisplayPath(),
            state.installDevtron()};
}

// On the install options screen with a chosen file and Devtron declined.
void prepareChoiceStep(InstallationState& state) {
    state.setCurrentStep(InstallationStep::devtronChoice);
    state.setKubeconfigPath(QStringLiteral("/home/u/.kube/config"),
                            QStringLiteral("~/.kube/config"));
    state.setInstallDevtron(false);
}

TEST(FocusSnapshot, AFocusChangeCapturesSixValuesAndRestoresFourLoggingThePathAgain) {
    InstallationState state;
    prepareChoiceStep(state);
    state.setInstallationProgress(0.25);
    const Session before = sessionOf(state);
    AppDelegate delegate;
    delegate.applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(delegate.snapshot().savedState()) << "no session handed over yet";
    delegate.setInstallationState(&state);

    delegate.applicationStateChanged(Qt::ApplicationInactive);
    const QVariantMap saved = delegate.snapshot().savedState().value_or(QVariantMap());
    EXPECT_EQ(saved, (QVariantMap{{"currentStep", 1},
                                  {"kubeconfigPath", "/home/u/.kube/config"},
                                  {"kubeconfigDisplayPath", "~/.kube/config"},
                                  {"installDevtron", false},
                                  {"installationProgress", 0.25},
                                  {"isInstalling", false}}));
    state.setKubeconfigPath(QString(), QString());
    state.setInstallDevtron(true);
    QCoreApplication::processEvents();
    const qsizetype pathLines = state.logs().count(QStringLiteral("设置Kubeconfig路径"));

    delegate.applicationStateChanged(Qt::ApplicationActive);
    QCoreApplication::processEvents();
    EXPECT_EQ(sessionOf(state), before);
    EXPECT_EQ(state.logs().count(QStringLiteral("设置Kubeconfig路径")), pathLines + 1);
    // The snapshot stays: a second activation restores the same values again.
    state.setInstallDevtron(true);
    delegate.applicationStateChanged(Qt::ApplicationActive);
    EXPECT_EQ(sessionOf(state), before);
}

TEST(FocusSnapshot, NothingIsRestoredDuringARunOrOverProgressMadeMeanwhile) {
    InstallationState state;
    FocusSnapshotModel snapshot;
    EXPECT_FALSE(snapshot.restore(state)) << "no snapshot yet";

    state.setCurrentStep(InstallationStep::installation);
    state.setIsInstalling(true);
    snapshot.capture(state);
    state.setKubeconfigPath(QStringLiteral("/tmp/other"), QStringLiteral("other"));
    const Session during = sessionOf(state);
    EXPECT_FALSE(snapshot.restore(state));
    EXPECT_EQ(sessionOf(state), during);

    // The run ended while the user was away; going back would start it again.
    state.setIsInstalling(false);
    state.setCurrentStep(InstallationStep::completion);
    EXPECT_FALSE(snapshot.restore(state));
    EXPECT_EQ(state.currentStep(), InstallationStep::completion);

    // A session gone before the delegate hears of a focus change is left alone.
    AppDelegate delegate;
    {
        InstallationState shortLived;
        delegate.setInstallationState(&shortLived);
    }
    EXPECT_EQ(delegate.installationState(), nullptr);
    delegate.applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(delegate.snapshot().savedState());
}

TEST(FocusSnapshot, OutOfRangeOrMistypedValuesAreSkippedOneByOne) {
    InstallationState state;
    state.setCurrentStep(InstallationStep::devtronChoice);
    FocusSnapshotModel snapshot;
    snapshot.setSavedState(QVariantMap{{"currentStep", 7},
                                       {"kubeconfigPath", "/p"},
                                       {"kubeconfigDisplayPath", "p"},
                                       {"installDevtron", false}});
    EXPECT_TRUE(snapshot.restore(state));
    const Session restored{InstallationStep::devtronChoice, "/p", "p", false};
    EXPECT_EQ(sessionOf(state), restored);

    snapshot.setSavedState(QVariantMap{
        {"currentStep", QStringLiteral("4")}, {"kubeconfigPath", "/q"}, {"installDevtron", 1}});
    EXPECT_TRUE(snapshot.restore(state));
    EXPECT_EQ(sessionOf(state), restored);
}

} // namespace

TEST(FocusSnapshot, NeverReturnsToAStepWhoseArrivalStartsWork) {
    for (const InstallationStep away :
         {InstallationStep::installation, InstallationStep::waitingForServices}) {
        InstallationState state;
        state.setCurrentStep(away);
        FocusSnapshotModel snapshot;
        snapshot.capture(state);
        // The run failed or timed out while the window was in the background.
        state.setCurrentStep(InstallationStep::devtronChoice);
        EXPECT_FALSE(snapshot.restore(state));
        EXPECT_EQ(state.currentStep(), InstallationStep::devtronChoice);
    }
}
