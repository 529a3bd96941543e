#include "ClusterTestFixture.h"
#include "keychain/KeychainManager.h"
#include "session/InstallationState.h"
#include "views/completion/CompletionController.h"

#include <QTest>
#include <QUrl>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

// The completion step as the wizard leaves it after the wait, with a keychain of its own.
class UpstreamAccess : public UpstreamFlavour {
protected:
    void SetUp() override {
        UpstreamFlavour::SetUp();
        m_state.setKubeconfigPath(m_emulator.kubeconfigPath());
        m_state.setInstallDevtron(true);
    }
    void TearDown() override {
        for (const char* key : {"devtronUrl", "devtronUsername", "devtronPassword"}) {
            m_store.deleteItem(QString::fromLatin1(key));
        }
        UpstreamFlavour::TearDown();
    }
    void lookUp() {
        const DevtronAccess access = CredentialLookup::run(
            CredentialLookup::plan(m_emulator.kubeconfigPath(), std::chrono::seconds(30)),
            [](const QString&) {});
        CredentialLookup::store(m_state, access);
    }
    int portOf(const QString& address) { return QUrl(address).port(80); }

    InstallationState m_state;
    KeychainManager m_store{u"com.orvane.nimbrel.test."_s +
                            QUuid::createUuid().toString(QUuid::WithoutBraces)};
    int m_quits = 0;
    CompletionController m_completion{m_state, m_store.serviceName(), [this] { ++m_quits; }};
};

TEST_F(UpstreamAccess, EachServiceShapeGivesItsAddressAndSaysWhereItCameFrom) {
    const QString dashboard = QString::number(m_emulator.dashboardPort());
    const struct {
        const char* shape;
        AddressSource source;
        QString address;
        QString sourceLine;
    } cases[] = {
        {"lb-ip", AddressSource::loadBalancer, u"http://127.0.0.1:"_s + dashboard,
         u"地址来源：负载均衡器（LoadBalancer）"_s},
        {"lb-hostname", AddressSource::loadBalancer, u"http://localhost:"_s + dashboard,
         u"地址来源：负载均衡器（LoadBalancer）"_s},
        {"nodeport", AddressSource::nodePort, u"http://127.0.0.1:"_s + dashboard,
         u"地址来源：节点端口（NodePort）"_s},
        {"clusterip", AddressSource::tunnel, {}, {}},
        {"pending-lb", AddressSource::tunnel, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shape);
        ASSERT_TRUE(m_emulator.setServiceShape(QLatin1String(c.shape)));
        lookUp();
        EXPECT_EQ(m_state.devtronUrl(), c.address);
        EXPECT_EQ(m_completion.addressSourceText(), c.sourceLine);
        EXPECT_EQ(m_state.devtronUrlSource(), c.source);
        EXPECT_TRUE(m_completion.unreadLines().isEmpty());
    }
}

// A load balancer that gives an address nobody answers at, once Devtron is up: the tunnel takes
// over, comes back after a drop on the same address, and is never stored as Devtron's address,
// while the password that came late is.
TEST_F(UpstreamAccess, ASilentAddressGivesWayToATunnelThatComesBackAfterADrop) {
    ASSERT_TRUE(m_emulator.setServiceShape(u"lb-silent"_s));
    lookUp();
    EXPECT_EQ(m_state.devtronUrlSource(), AddressSource::loadBalancer);
    EXPECT_TRUE(m_completion.isPasswordPending());
    m_completion.startWatching();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return m_completion.tunnel().isForwarding() &&
                   m_completion.readiness().dashboard() == ReadinessWatcher::Dashboard::up;
        },
        60000))
        << m_completion.readiness().summary().toStdString();
    const QString address = m_state.devtronUrl();
    EXPECT_EQ(address, m_completion.tunnel().address());
    EXPECT_EQ(m_completion.addressSourceText(), u"地址来源：本地隧道（kubectl port-forward）"_s);
    EXPECT_TRUE(isDevtronPage(fetchPage(u"127.0.0.1"_s, portOf(address))));

    ASSERT_TRUE(m_emulator.setFault(ClusterEmulator::Fault::PortForwardDrop));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_completion.tunnel().isForwarding(); }, 15000));
    EXPECT_TRUE(m_completion.tunnel().failure().contains(u"lost connection to pod"_s))
        << m_completion.tunnel().failure().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_completion.tunnel().isForwarding(); }, 15000));
    EXPECT_EQ(m_state.devtronUrl(), address);
    EXPECT_TRUE(isDevtronPage(fetchPage(u"127.0.0.1"_s, portOf(address))));

    // The installer turns Applied on its own; the password came late and is read meanwhile.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            m_completion.rereadPendingPassword();
            return m_completion.readiness().isInstallerApplied() && m_completion.isPasswordRead();
        },
        30000));
    EXPECT_EQ(m_state.devtronPassword(), u"emulator-admin-密码"_s);
    m_completion.finishWithoutCopy();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_quits == 1; }, 10000));
    EXPECT_EQ(m_store.get(u"devtronUrl"_s), std::nullopt);
    EXPECT_EQ(m_store.get(u"devtronPassword"_s), u"emulator-admin-密码"_s);
}

TEST_F(UpstreamAccess, ARefusedTunnelGivesItsReasonAndTheCommandsForThisCluster) {
    ASSERT_TRUE(m_emulator.setFault(ClusterEmulator::Fault::PortForwardRefused));
    lookUp();
    m_completion.startWatching();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_completion.tunnel().failure().isEmpty(); }, 30000));
    const QStringList unread = m_completion.unreadLines();
    ASSERT_FALSE(unread.isEmpty());
    EXPECT_TRUE(unread.first().startsWith(u"无法建立本地隧道: "_s)) << unread.first().toStdString();
    const QStringList commands = m_completion.manualCommands();
    ASSERT_EQ(commands.size(), 2);
    EXPECT_TRUE(commands[0].endsWith(u"get service devtron-service -n devtroncd"_s));
    EXPECT_TRUE(commands[1].contains(u"port-forward -n devtroncd service/devtron-service"_s));
    EXPECT_FALSE(commands.join(u'\n').contains(u"serviceexporter"_s));
}

} // namespace
