#include "ClusterTestFixture.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// To any free local port; -v=6 logs the request that the upgrade succeeded with.
QString portForwardLine() {
    return kubectlLine(
        u"port-forward -n devtroncd service/devtron-service :80 --address 127.0.0.1 -v=6"_s);
}

} // namespace

struct Transport {
    const char* name;
    bool refuseWebSocket;
    // The request kubectl's upgrade succeeded with: WebSocket's GET or SPDY's POST.
    const char* upgradedWith;
};

class PortForward : public UpstreamFlavour, public ::testing::WithParamInterface<Transport> {
protected:
    ClusterEmulator::Options options() const override {
        ClusterEmulator::Options options = UpstreamFlavour::options();
        options.refuseWebSocketPortForward = GetParam().refuseWebSocket;
        return options;
    }
};

TEST_P(PortForward, ReachesTheDashboardUntilTheTunnelIsDroppedOrRefused) {
    const QStringList phases = statesUntil(
        u"get pods -n devtroncd -l app=devtron -o 'jsonpath={.items[0].status.phase}'"_s,
        u"Running"_s);
    ASSERT_EQ(phases.value(phases.size() - 1).toStdString(), "Running");
    setVariable("KUBECONFIG", m_emulator.kubeconfigPath());
    QProcess forward;
    forward.startCommand(portForwardLine());
    static const QRegularExpression forwarding(u"Forwarding from 127\\.0\\.0\\.1:(\\d+)"_s);
    QString output;
    const QDeadlineTimer deadline(20000);
    while (!forwarding.match(output).hasMatch() && forward.state() != QProcess::NotRunning &&
           !deadline.hasExpired()) {
        forward.waitForReadyRead(200);
        output += QString::fromUtf8(forward.readAllStandardOutput());
    }
    ASSERT_EQ(forward.state(), QProcess::Running) << forward.readAllStandardError().toStdString();

    const QByteArray page = fetchPage(u"127.0.0.1"_s, forwarding.match(output).captured(1).toInt());
    EXPECT_TRUE(isDevtronPage(page)) << page.toStdString();

    ASSERT_TRUE(m_emulator.setFault(ClusterEmulator::Fault::PortForwardDrop));
    ASSERT_TRUE(forward.waitForFinished(15000));
    const QString log = QString::fromUtf8(forward.readAllStandardError());
    EXPECT_NE(forward.exitCode(), 0);
    EXPECT_TRUE(log.contains(u"lost connection to pod"_s)) << log.toStdString();
    static const QRegularExpression upgrade(u"(GET|POST) \\S+/portforward 101"_s);
    EXPECT_EQ(upgrade.match(log).captured(1).toStdString(), GetParam().upgradedWith)
        << log.toStdString();

    ASSERT_TRUE(m_emulator.setFault(ClusterEmulator::Fault::PortForwardRefused));
    const CommandResult refused = ShellUtils::runCommandWithEnv(
        portForwardLine(), ClusterTools::environment(m_emulator.kubeconfigPath()),
        std::chrono::seconds(20));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.error.contains(u"is forbidden"_s)) << refused.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Transports, PortForward,
                         ::testing::Values(Transport{"websocket", false, "GET"},
                                           Transport{"spdy_after_refused_websocket", true, "POST"}),
                         [](const ::testing::TestParamInfo<Transport>& info) {
                             return std::string(info.param.name);
                         });
