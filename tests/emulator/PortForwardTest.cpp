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

TEST_F(UpstreamFlavour, ServesDevtronsObjectsAsItsInstallerLeavesThem) {
    const CommandResult exporter = run(ClusterTools::addressCommand(), m_emulator.kubeconfigPath());
    EXPECT_EQ(exporter.exitCode, 1);
    EXPECT_EQ(exporter.error.trimmed().toStdString(),
              R"(error: the server doesn't have a resource type "serviceexporter")");

    // The first state may pass before the first look; the last two never.
    const struct {
        QString arguments;
        QStringList states;
    } watched[] = {
        {u"get installers.installer.devtron.ai installer-devtron -n devtroncd "
         "-o jsonpath={.status.sync.status}"_s,
         {QString(), u"Downloaded"_s, u"Applied"_s}},
        {u"get secret -n devtroncd devtron-secret -o jsonpath={.data.ADMIN_PASSWORD}"_s,
         {QString(), QString::fromLatin1(u"emulator-admin-密码"_s.toUtf8().toBase64())}},
    };
    for (const auto& value : watched) {
        const QStringList seen = statesUntil(value.arguments, value.states.last());
        EXPECT_GE(seen.size(), 2) << value.arguments.toStdString();
        EXPECT_EQ(value.states.mid(value.states.size() - seen.size()), seen)
            << value.arguments.toStdString() << ": " << seen.join(u" → "_s).toStdString();
    }

    // Where each service shape says Devtron is, and whether it answers there.
    const struct {
        const char* shape;
        const char* type;
        bool answers;
    } shapes[] = {
        {"lb-ip", "LoadBalancer", true},      {"lb-hostname", "LoadBalancer", true},
        {"lb-silent", "LoadBalancer", false}, {"nodeport", "NodePort", true},
        {"clusterip", "ClusterIP", false},
    };
    for (const auto& shape : shapes) {
        SCOPED_TRACE(shape.shape);
        ASSERT_TRUE(m_emulator.setServiceShape(QLatin1String(shape.shape)));
        const CommandResult served =
            run(kubectlLine(u"get service -n devtroncd devtron-service -o 'jsonpath={.spec.type},"
                            "{.status.loadBalancer.ingress[0].ip}"
                            "{.status.loadBalancer.ingress[0].hostname},"
                            "{.spec.ports[0].port},{.spec.ports[0].nodePort}'"_s),
                m_emulator.kubeconfigPath());
        const QStringList fields = served.output.split(u',');
        ASSERT_EQ(fields.size(), 4) << served.error.toStdString();
        EXPECT_EQ(fields[0].toStdString(), shape.type);
        // A load balancer's own address, else the Ready worker's at the node port.
        const bool balanced = !fields[1].isEmpty();
        const int port = (balanced ? fields[2] : fields[3]).toInt();
        EXPECT_EQ(port != 0 &&
                      isDevtronPage(fetchPage(balanced ? fields[1] : u"127.0.0.1"_s, port)),
                  shape.answers)
            << served.output.toStdString();
    }
}

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
