#include "app/FocusSnapshot.h"
#include "app/AppDelegate.h"
#include "session/InstallationState.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

const QString kSetPathLine = QStringLiteral("设置Kubeconfig路径");

void settle() {
    QCoreApplication::processEvents();
}

struct Session {
    InstallationStep step;
    QString path;
    QString displayPath;
    bool installDevtron;
};

Session sessionOf(const InstallationState& state) {
    return {state.currentStep(), state.kubeconfigPath(), state.kubeconfigDisplayPath(),
            state.installDevtron()};
}

void expectSession(const InstallationState& state, const Session& expected) {
    const Session actual = sessionOf(state);
    EXPECT_EQ(actual.step, expected.step);
    EXPECT_EQ(actual.path, expected.path);
    EXPECT_EQ(actual.displayPath, expected.displayPath);
    EXPECT_EQ(actual.installDevtron, expected.installDevtron);
}

// A session on the install options screen with a chosen file and Devtron declined.
void prepareChoiceStep(InstallationState& state) {
    state.setCurrentStep(InstallationStep::devtronChoice);
    state.setKubeconfigPath(QStringLiteral("/home/u/.kube/config"),
                            QStringLiteral("~/.kube/config"));
    state.setInstallDevtron(false);
    settle();
}

} // namespace

TEST(FocusSnapshot, CapturesTheSixSessionValues) {
    InstallationState state;
    prepareChoiceStep(state);
    state.setInstallationProgress(0.25);
    FocusSnapshot snapshot;
    snapshot.capture(state);

    ASSERT_TRUE(snapshot.savedState().has_value());
    const QVariantMap& saved = *snapshot.savedState();
    EXPECT_EQ(saved.size(), 6);
    EXPECT_EQ(saved.value(QStringLiteral("currentStep")), QVariant(1));
    EXPECT_EQ(saved.value(QStringLiteral("kubeconfigPath")),
              QVariant(QStringLiteral("/home/u/.kube/config")));
    EXPECT_EQ(saved.value(QStringLiteral("kubeconfigDisplayPath")),
              QVariant(QStringLiteral("~/.kube/config")));
    EXPECT_EQ(saved.value(QStringLiteral("installDevtron")), QVariant(false));
    EXPECT_EQ(saved.value(QStringLiteral("installationProgress")), QVariant(0.25));
    EXPECT_EQ(saved.value(QStringLiteral("isInstalling")), QVariant(false));
}

TEST(FocusSnapshot, RestoresAfterAFocusChangeAndLogsThePathAgain) {
    InstallationState state;
    prepareChoiceStep(state);
    const Session before = sessionOf(state);
    AppDelegate delegate;
    delegate.setInstallationState(&state);

    delegate.applicationStateChanged(Qt::ApplicationInactive);
    state.setKubeconfigPath(QString(), QString());
    state.setInstallDevtron(true);
    settle();
    const qsizetype linesBefore = state.logs().count(kSetPathLine);

    delegate.applicationStateChanged(Qt::ApplicationActive);
    settle();
    expectSession(state, before);
    EXPECT_EQ(state.logs().count(kSetPathLine), linesBefore + 1);

    // The snapshot stays: a second activation restores the same values again.
    state.setInstallDevtron(true);
    delegate.applicationStateChanged(Qt::ApplicationActive);
    expectSession(state, before);
}

TEST(FocusSnapshot, ChangesNothingWhileInstallingOrWithoutASessionOrSnapshot) {
    InstallationState state;
    prepareChoiceStep(state);
    FocusSnapshot snapshot;
    EXPECT_FALSE(snapshot.restore(state)) << "no snapshot yet";

    // Away and back during a run: the step is the same, yet nothing may be touched.
    state.setCurrentStep(InstallationStep::installation);
    state.setIsInstalling(true);
    snapshot.capture(state);
    state.setKubeconfigPath(QStringLiteral("/tmp/other"), QStringLiteral("other"));
    state.setInstallDevtron(true);
    settle();
    const Session during = sessionOf(state);
    const QString logs = state.logs();
    EXPECT_FALSE(snapshot.restore(state));
    settle();
    expectSession(state, during);
    EXPECT_EQ(state.logs(), logs);

    // Focus changes before the window hands over the session, or after it is gone, do nothing.
    AppDelegate delegate;
    delegate.applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(delegate.snapshot().savedState().has_value());
    {
        InstallationState shortLived;
        delegate.setInstallationState(&shortLived);
    }
    EXPECT_EQ(delegate.installationState(), nullptr);
    delegate.applicationStateChanged(Qt::ApplicationInactive);
    delegate.applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(delegate.snapshot().savedState().has_value());
}

TEST(FocusSnapshot, OutOfRangeOrMistypedValuesAreSkippedOneByOne) {
    InstallationState state;
    state.setCurrentStep(InstallationStep::devtronChoice);
    FocusSnapshot snapshot;
    snapshot.setSavedState(QVariantMap{
        {QStringLiteral("currentStep"), 7},
        {QStringLiteral("kubeconfigPath"), QStringLiteral("/p")},
        {QStringLiteral("kubeconfigDisplayPath"), QStringLiteral("p")},
        {QStringLiteral("installDevtron"), false},
    });
    EXPECT_TRUE(snapshot.restore(state));
    expectSession(
        state, {InstallationStep::devtronChoice, QStringLiteral("/p"), QStringLiteral("p"), false});

    snapshot.setSavedState(QVariantMap{
        {QStringLiteral("currentStep"), QStringLiteral("4")},
        {QStringLiteral("kubeconfigPath"), QStringLiteral("/q")},
        {QStringLiteral("installDevtron"), 1},
    });
    EXPECT_TRUE(snapshot.restore(state));
    expectSession(
        state, {InstallationStep::devtronChoice, QStringLiteral("/p"), QStringLiteral("p"), false});

    snapshot.setSavedState(QVariantMap{{QStringLiteral("currentStep"), -1}});
    EXPECT_TRUE(snapshot.restore(state));
    EXPECT_EQ(state.currentStep(), InstallationStep::devtronChoice);
}

TEST(FocusSnapshot, NeverTakesTheWizardBackOverProgressMadeInTheBackground) {
    InstallationState state;
    state.setCurrentStep(InstallationStep::installation);
    state.setKubeconfigPath(QStringLiteral("/k"), QStringLiteral("k"));
    state.setIsInstalling(true);
    FocusSnapshot snapshot;
    snapshot.capture(state);

    // The run ended while the user was away.
    state.setIsInstalling(false);
    state.setCurrentStep(InstallationStep::completion);
    EXPECT_FALSE(snapshot.restore(state));
    EXPECT_EQ(state.currentStep(), InstallationStep::completion);

    // A validation that finished in the background swapped in the decoded file and moved on.
    state.setCurrentStep(InstallationStep::kubeconfigSelection);
    state.setKubeconfigPath(QStringLiteral("/encoded"), QStringLiteral("encoded"));
    snapshot.capture(state);
    state.setKubeconfigPath(QStringLiteral("/run/nimbrel/kubeconfig"), QStringLiteral("encoded"));
    state.setCurrentStep(InstallationStep::devtronChoice);
    EXPECT_FALSE(snapshot.restore(state));
    EXPECT_EQ(state.currentStep(), InstallationStep::devtronChoice);
    EXPECT_EQ(state.kubeconfigPath(), QStringLiteral("/run/nimbrel/kubeconfig"));
}

TEST(FocusSnapshot, NeverReturnsToAStepWhoseArrivalStartsWork) {
    for (const InstallationStep away :
         {InstallationStep::installation, InstallationStep::waitingForServices}) {
        InstallationState state;
        state.setCurrentStep(away);
        FocusSnapshot snapshot;
        snapshot.capture(state);
        // The run failed or timed out while the window was in the background.
        state.setCurrentStep(InstallationStep::devtronChoice);
        EXPECT_FALSE(snapshot.restore(state));
        EXPECT_EQ(state.currentStep(), InstallationStep::devtronChoice);
    }
}
