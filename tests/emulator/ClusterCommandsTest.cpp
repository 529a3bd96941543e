#include "ClusterTestFixture.h"

namespace {

// The text after "URL:" on the first line that has it, trimmed; empty when there is none.
QString urlLine(const QString& describeOutput) {
    for (const QString& line : describeOutput.split(u'\n')) {
        const qsizetype at = line.indexOf(QStringLiteral("URL:"));
        if (at >= 0) {
            return line.mid(at + 4).trimmed();
        }
    }
    return {};
}

} // namespace

using ClusterCommands = ClusterTestFixture;

TEST_F(ClusterCommands, ClientVersionAndConnectionProbeSucceedOnAHealthyCluster) {
    const QString kubeconfig = m_emulator.kubeconfigPath();
    const CommandResult version = run(quoted(toolsDirectory() + QStringLiteral("/kubectl")) +
                                          QStringLiteral(" version --client"),
                                      kubeconfig);
    EXPECT_EQ(version.exitCode, 0) << version.error.toStdString();

    const CommandResult probe = run(probeLine(toolsDirectory()), kubeconfig);
    EXPECT_EQ(probe.exitCode, 0) << probe.error.toStdString();
    EXPECT_TRUE(probe.output.contains(QStringLiteral("kube-system"))) << probe.output.toStdString();
}

TEST_F(ClusterCommands, InstallScriptInstallsTheStandInThatTheReadBackCommandsThenFind) {
    setVariable("DEVTRON_CHART", standInChart());
    const QString kubeconfig = m_emulator.kubeconfigPath();
    const QString tools = toolsDirectory();

    // Before the installation there is no release, no address and no secret.
    EXPECT_NE(run(statusLine(tools), kubeconfig).exitCode, 0);
    EXPECT_NE(run(passwordLine(tools), kubeconfig).exitCode, 0);

    const CommandResult install = run(installLine(tools), kubeconfig);
    ASSERT_EQ(install.exitCode, 0) << install.error.toStdString();

    const CommandResult status = run(statusLine(tools), kubeconfig);
    EXPECT_EQ(status.exitCode, 0) << status.error.toStdString();
    EXPECT_TRUE(status.output.contains(QStringLiteral("STATUS: deployed")))
        << status.output.toStdString();

    const CommandResult describe = run(describeLine(tools), kubeconfig);
    EXPECT_EQ(describe.exitCode, 0) << describe.error.toStdString();
    EXPECT_EQ(urlLine(describe.output), standInAddress()) << describe.output.toStdString();

    const CommandResult password = run(passwordLine(tools), kubeconfig);
    EXPECT_EQ(password.exitCode, 0) << password.error.toStdString();
    EXPECT_EQ(ShellUtils::decodeBase64(password.output.trimmed()),
              std::optional<QString>(standInPassword()))
        << password.output.toStdString();

    // Installing over the release fails, and the script says why on standard error.
    const CommandResult again = run(installLine(tools), kubeconfig);
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.error.contains(QStringLiteral("install.sh:"))) << again.error.toStdString();
}

TEST_F(ClusterCommands, FailingChartEndsTheScriptWithItsReasonAndLeavesNoRelease) {
    setVariable("DEVTRON_CHART", brokenChart());
    const QString kubeconfig = m_emulator.kubeconfigPath();

    const CommandResult install = run(installLine(toolsDirectory()), kubeconfig);
    EXPECT_NE(install.exitCode, 0);
    EXPECT_TRUE(install.error.contains(QStringLiteral("refuses to install")))
        << install.error.toStdString();
    EXPECT_NE(run(statusLine(toolsDirectory()), kubeconfig).exitCode, 0);
}

TEST_F(ClusterCommands, ToolsFolderAndKubeconfigPathsWithBlanksAndChineseCharactersWork) {
    setVariable("DEVTRON_CHART", standInChart());
    const auto [tools, kubeconfig] = unusualPaths();
    ASSERT_FALSE(tools.isEmpty());

    const CommandResult probe = run(probeLine(tools), kubeconfig, tools);
    EXPECT_EQ(probe.exitCode, 0) << probe.error.toStdString();

    const CommandResult install = run(installLine(tools), kubeconfig, tools);
    ASSERT_EQ(install.exitCode, 0) << install.error.toStdString();
    const CommandResult status = run(statusLine(tools), kubeconfig, tools);
    EXPECT_TRUE(status.output.contains(QStringLiteral("STATUS: deployed")))
        << status.error.toStdString();
    EXPECT_EQ(urlLine(run(describeLine(tools), kubeconfig, tools).output), standInAddress());
}

TEST_F(ClusterCommands, StandInChartRefusesEveryClusterButTheEmulator) {
    // Rendered without a cluster, the emulator's own API group is missing, as on a real cluster.
    const CommandResult rendered =
        run(quoted(toolsDirectory() + QStringLiteral("/helm")) +
                QStringLiteral(" template devtron ") + quoted(standInChart()),
            m_emulator.kubeconfigPath());
    EXPECT_NE(rendered.exitCode, 0);
    EXPECT_TRUE(
        rendered.error.contains(QStringLiteral("installs only into Nimbrel's cluster emulator")))
        << rendered.error.toStdString();
}
