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

TEST(FocusSnapshot, RegainingFocusRestoresTheSessionAndLogsThePathAgain) {
    InstallationState state;
    state.setCurrentStep(InstallationStep::devtronChoice);
    state.setKubeconfigPath(QStringLiteral("/home/u/.kube/config"),
                            QStringLiteral("~/.kube/config"));
    state.setInstallDevtron(false);
    const Session before = sessionOf(state);
    AppDelegate delegate;
    delegate.applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(delegate.snapshot().savedState()) << "no session handed over yet";
    delegate.setInstallationState(&state);

    delegate.applicationStateChanged(Qt::ApplicationInactive);
    state.setKubeconfigPath(QString(), QString());
    state.setInstallDevtron(true);
    QCoreApplication::processEvents();
    const qsizetype pathLines = state.logs().count(QStringLiteral("设置Kubeconfig路径"));
    delegate.applicationStateChanged(Qt::ApplicationActive);
    QCoreApplication::processEvents();
    EXPECT_EQ(sessionOf(state), before);
    EXPECT_EQ(state.logs().count(QStringLiteral("设置Kubeconfig路径")), pathLines + 1);

    // A session gone before the delegate hears of a focus change is left alone.
    {
        InstallationState shortLived;
        delegate.setInstallationState(&shortLived);
    }
    EXPECT_EQ(delegate.installationState(), nullptr);
}

TEST(FocusSnapshot, NothingIsRestoredDuringARunOrOverWorkDoneMeanwhile) {
    FocusSnapshotModel snapshot;
    InstallationState state;
    EXPECT_FALSE(snapshot.restore(state)) << "no snapshot yet";
    const auto restoresFrom = [&](InstallationStep away, InstallationStep now, bool installing) {
        state.setCurrentStep(away);
        state.setKubeconfigPath(QStringLiteral("/tmp/away"), QStringLiteral("away"));
        snapshot.capture(state);
        state.setIsInstalling(installing);
        state.setCurrentStep(now);
        state.setKubeconfigPath(QStringLiteral("/tmp/other"), QStringLiteral("other"));
        const Session meanwhile = sessionOf(state);
        const bool restored = snapshot.restore(state);
        EXPECT_EQ(restored, sessionOf(state) != meanwhile);
        state.setIsInstalling(false);
        return restored;
    };
    using S = InstallationStep;
    EXPECT_FALSE(restoresFrom(S::installation, S::installation, true));
    // The run ended, failed or timed out while the user was away: coming back must not redo it.
    EXPECT_FALSE(restoresFrom(S::installation, S::completion, false));
    EXPECT_FALSE(restoresFrom(S::installation, S::devtronChoice, false));
    EXPECT_FALSE(restoresFrom(S::waitingForServices, S::devtronChoice, false));
    EXPECT_TRUE(restoresFrom(S::devtronChoice, S::devtronChoice, false));
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
