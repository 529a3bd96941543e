#include "ClusterTestFixture.h"

using namespace Qt::StringLiterals;

// helm's release records as the emulator seeds them, read and repaired by the real helm.
TEST_F(ClusterTestFixture, ReleaseRecordsAnswerHelmInEachState) {
    const struct {
        const char* state;
        int revisions;
        // helm's own uninstall is refused while the pending revision's record is locked.
        bool locked;
    } cases[] = {
        {"deployed", 1, false},        {"failed", 1, false},         {"pending-install", 1, false},
        {"pending-upgrade", 2, false}, {"pending-upgrade", 2, true}, {"pending-rollback", 2, false},
        {"uninstalling", 1, false},
    };
    const QString kubeconfig = m_emulator.kubeconfigPath();
    const QString helm = ShellUtils::quotePath(ClusterTools::helmPath());
    for (const auto& c : cases) {
        const QString state = QString::fromLatin1(c.state);
        SCOPED_TRACE(c.state + std::string(c.locked ? " locked" : ""));
        ASSERT_TRUE(m_emulator.setRelease(state)) << m_emulator.errorText().toStdString();
        ASSERT_TRUE(m_emulator.setFault(c.locked ? ClusterEmulator::Fault::ReleaseLocked
                                                 : ClusterEmulator::Fault::None));
        EXPECT_TRUE(
            run(ClusterTools::releaseStatusCommand(), kubeconfig)
                .output.contains(u"STATUS: %1\nREVISION: %2\n"_s.arg(state).arg(c.revisions)));
        const CommandResult history =
            run(helm + u" history devtron -n devtroncd -o json"_s, kubeconfig);
        EXPECT_TRUE(history.output.contains(
            u"\"status\":\"%1\",\"chart\":\"devtron-operator-"_s.arg(state)))
            << history.output.toStdString();
        const CommandResult reused = run(ClusterTools::installScriptCommand(), kubeconfig);
        EXPECT_NE(reused.exitCode, 0);
        EXPECT_TRUE(reused.error.contains(u"cannot re-use a name that is still in use"_s));

        const QString uninstall = helm + u" uninstall devtron -n devtroncd --wait --timeout 5m"_s;
        CommandResult uninstalled = run(uninstall, kubeconfig);
        if (c.locked) {
            EXPECT_NE(uninstalled.exitCode, 0);
            EXPECT_TRUE(uninstalled.error.contains(
                u"another operation (install/upgrade/rollback) is in progress"_s))
                << uninstalled.error.toStdString();
            EXPECT_EQ(
                run(kubectlLine(u"delete secret sh.helm.release.v1.devtron.v2 -n devtroncd"_s),
                    kubeconfig)
                    .exitCode,
                0);
            EXPECT_TRUE(run(ClusterTools::releaseStatusCommand(), kubeconfig)
                            .output.contains(u"STATUS: deployed\n"_s));
            uninstalled = run(uninstall, kubeconfig);
        }
        EXPECT_EQ(uninstalled.exitCode, 0) << uninstalled.error.toStdString();
        installStandIn();
        ASSERT_TRUE(m_emulator.setRelease(u"none"_s));
    }
}

class ClusterCleanup : public ClusterTestFixture {
protected:
    ClusterEmulator::Options options() const override {
        return {.flavour = u"upstream"_s,
                .fault = ClusterEmulator::Fault::NamespaceStuck,
                .release = u"failed"_s,
                .namespaceTerminationSeconds = 1};
    }
    CommandResult kubectl(const QString& arguments) {
        return run(kubectlLine(arguments), m_emulator.kubeconfigPath());
    }
};

TEST_F(ClusterCleanup, NamespacesTerminateAndTheInstallerTypeGoesWithItsDefinition) {
    EXPECT_EQ(kubectl(u"delete namespace devtron-cd devtron-ci --wait=false"_s).exitCode, 0);
    EXPECT_EQ(kubectl(u"get namespace devtron-cd -o jsonpath={.status.phase}"_s).output,
              u"Terminating"_s);
    EXPECT_EQ(kubectl(u"wait --for=delete namespace/devtron-cd --timeout=30s"_s).exitCode, 0);
    EXPECT_NE(kubectl(u"wait --for=delete namespace/devtron-ci --timeout=3s"_s).exitCode, 0);
    EXPECT_EQ(kubectl(u"get namespace devtron-ci -o 'jsonpath={.metadata.finalizers}/"
                      "{.status.conditions[?(@.type==\"NamespaceFinalizersRemaining\")].status}'"_s)
                  .output,
              u"[\"example.com/stuck\"]/True"_s);

    const QString group = u"api-resources --api-group=installer.devtron.ai -o name"_s;
    EXPECT_EQ(kubectl(group).output, u"installers.installer.devtron.ai\n"_s);
    EXPECT_EQ(kubectl(u"delete crd installers.installer.devtron.ai"_s).exitCode, 0);
    EXPECT_EQ(kubectl(group).output, QString());
}

// The emulator answers only its own token and names its own address in /api.
TEST_F(TwoClusters, EachContextReachesItsCluster) {
    EXPECT_EQ(run(kubectlLine(u"config current-context && "_s) +
                      kubectlLine(u"config get-contexts -o name"_s),
                  kubeconfigPath())
                  .output,
              u"work\nstaging\nstaging-exec\nwork\n"_s);
    const std::pair<const char*, const ClusterEmulator*> reaches[] = {
        {"work", &m_emulator}, {"staging", &m_staging}, {"staging-exec", &m_staging}};
    for (const auto& [context, cluster] : reaches) {
        const CommandResult api = run(
            kubectlLine(u"get --raw /api --context "_s + QLatin1String(context)), kubeconfigPath());
        EXPECT_TRUE(api.output.contains(u'"' + cluster->serverUrl().mid(8) + u'"'))
            << context << api.output.toStdString() << api.error.toStdString();
    }
}
