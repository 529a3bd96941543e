#include "FakeKubectl.h"

#include "session/InstallationState.h"
#include "views/ClusterConnectionTest.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using TestResult = ClusterConnectionTest::TestResult;

const QString serverMessage =
    QStringLiteral("无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. 网络连接是否正常\n3. "
                   "Kubeconfig中的服务器地址是否正确");
const QString authorizationMessage =
    QStringLiteral("授权失败。请检查:\n1. Kubeconfig中的证书是否有效\n2. 用户凭证是否正确\n3. "
                   "您是否有访问集群的权限");
const QString certificateMessage =
    QStringLiteral("证书错误。请检查:\n1. Kubeconfig中的证书是否有效\n2. 集群证书是否已过期\n3. "
                   "集群服务器地址与证书是否匹配");

QString detailsAlert(const QString& details) {
    return QStringLiteral("连接Kubernetes集群失败。\n\n错误详情:\n") + details +
           QStringLiteral("\n\n请检查您的kubeconfig文件和集群状态，确保集群可正常访问。");
}

QString recorded(const char* name) {
    return kubectlFault(QString::fromLatin1(name)).error;
}

TEST(ConnectionErrorClassification, RecordedKubectlFaultsGetTheirMessages) {
    struct Case {
        const char* fault;
        QString expected;
    };
    const std::vector<Case> cases{
        // Only a 401 with discovery already cached says "Unauthorized"; on first contact kubectl
        // asks the user to log in.
        {"unauthorized-cached", authorizationMessage},
        {"unauthorized", authorizationMessage},
        // TLS failures also say "Unable to connect to the server".
        {"no-ca", certificateMessage},
        {"plain-http", serverMessage},
        {"slow", serverMessage},
        {"slow-cached", serverMessage},
        {"unavailable", recorded("unavailable")},
        {"unavailable-cached", recorded("unavailable-cached")},
        // A refused connection never says "Unable to connect to the server".
        {"closed-port", serverMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        const QString text = recorded(c.fault);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_EQ(ClusterConnectionTest::classifyConnectionError(text), c.expected);
    }
}

TEST(ConnectionErrorClassification, RuleOrderCaseAndEmptyText) {
    EXPECT_EQ(ClusterConnectionTest::classifyConnectionError(
                  QStringLiteral("Unauthorized: x509: certificate has expired")),
              authorizationMessage);
    EXPECT_EQ(ClusterConnectionTest::classifyConnectionError(
                  QStringLiteral("Unable to connect to the server: authorization header rejected")),
              authorizationMessage);
    EXPECT_EQ(ClusterConnectionTest::classifyConnectionError(QStringLiteral("x509")),
              certificateMessage);
    // Substring search is case-sensitive.
    EXPECT_EQ(ClusterConnectionTest::classifyConnectionError(QStringLiteral("unauthorized")),
              QStringLiteral("unauthorized"));
    EXPECT_EQ(ClusterConnectionTest::classifyConnectionError({}),
              QStringLiteral("无法连接到Kubernetes集群"));
    // "was refused" alone, without kubectl's connection wording, is not a refused connection.
    EXPECT_EQ(ClusterConnectionTest::classifyConnectionError(QStringLiteral("token was refused")),
              QStringLiteral("token was refused"));
}

TEST(AlertText, MapsRawTextsAndWrapsEverythingElse) {
    for (const char* fault : {"unavailable", "unavailable-cached"}) {
        EXPECT_EQ(ClusterConnectionTest::formatErrorMessageForAlert(recorded(fault)),
                  QStringLiteral("无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. "
                                 "网络连接是否正常\n3. Kubeconfig是否正确"))
            << fault;
    }
    EXPECT_EQ(ClusterConnectionTest::formatErrorMessageForAlert(recorded("unauthorized-cached")),
              authorizationMessage);
    EXPECT_EQ(ClusterConnectionTest::formatErrorMessageForAlert(QStringLiteral("bad x509 chain")),
              certificateMessage);
    // A message the test already classified reaches the alert as details, line breaks kept.
    EXPECT_EQ(ClusterConnectionTest::formatErrorMessageForAlert(serverMessage),
              detailsAlert(serverMessage));
    EXPECT_EQ(ClusterConnectionTest::formatErrorMessageForAlert(
                  ClusterConnectionTest::classifyConnectionError(recorded("no-ca"))),
              detailsAlert(certificateMessage));
    EXPECT_EQ(ClusterConnectionTest::formatErrorMessageForAlert(recorded("closed-port")),
              detailsAlert(recorded("closed-port")));
}

TEST(AlertText, BlankLinesCollapseInOnePass) {
    EXPECT_EQ(ClusterConnectionTest::formatErrorMessageForAlert(QStringLiteral("a\n\nb\n\n\nc")),
              detailsAlert(QStringLiteral("a\nb\n\nc")));
    EXPECT_EQ(ClusterConnectionTest::formatErrorMessageForAlert(QStringLiteral("x\n\n\n\ny")),
              detailsAlert(QStringLiteral("x\n\ny")));
}

class ConnectionTestFlow : public ::testing::Test {
protected:
    ConnectionTestFlow() {
        state.setCurrentStep(InstallationStep::devtronChoice);
        state.setKubeconfigPath(QStringLiteral("/tmp/nimbrel kube/admin.conf"),
                                QStringLiteral("/home/lin/.kube/my cluster.yaml"));
    }

    bool waitForLog(const QString& text) {
        return QTest::qWaitFor([&] { return state.logs().contains(text); }, 15000);
    }
    bool waitUntilIdle() {
        return QTest::qWaitFor([&] { return !test->isTesting(); }, 15000);
    }
    // Every earlier line has landed once a line logged now is in.
    void settleLog() {
        static int marker = 0;
        const QString line = QStringLiteral("-- settle %1 --").arg(++marker);
        state.appendLog(line);
        ASSERT_TRUE(waitForLog(line));
    }

    FakeKubectl kubectl;
    InstallationState state;
    std::unique_ptr<ClusterConnectionTest> test = std::make_unique<ClusterConnectionTest>(state);
};

TEST_F(ConnectionTestFlow, SuccessUsesTheOverlayAndLogsTheListing) {
    std::vector<bool> outcomes;
    test->testClusterConnection([&](bool connected) { outcomes.push_back(connected); });
    EXPECT_TRUE(test->isTesting());
    EXPECT_FALSE(test->testResult().has_value());

    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(outcomes, std::vector<bool>{true});
    EXPECT_EQ(test->testResult(), TestResult::success());

    const QStringList expectedEnvironment{QStringLiteral("/tmp/nimbrel kube/admin.conf"),
                                          kubectl.directory() +
                                              QStringLiteral(":/usr/bin:/bin:/usr/sbin:/sbin"),
                                          QStringLiteral("true"),
                                          QStringLiteral("get namespaces --request-timeout=10s"),
                                          {}};
    EXPECT_EQ(kubectl.seen(), expectedEnvironment);

    settleLog();
    const QString logs = state.logs();
    EXPECT_TRUE(logs.contains(QStringLiteral("] 开始测试集群连接...\n")));
    EXPECT_TRUE(logs.contains(QStringLiteral("] 使用kubeconfig: my cluster.yaml\n")));
    EXPECT_TRUE(logs.contains(QStringLiteral("] 正在执行集群连接测试: \"") + kubectl.directory() +
                              QStringLiteral("/kubectl\" get namespaces --request-timeout=10s\n")));
    EXPECT_TRUE(logs.contains(QStringLiteral("] 集群连接测试成功 ✓\n")));
    EXPECT_TRUE(logs.contains(QStringLiteral(
        "] namespace信息:\nNAME          STATUS   AGE\ndefault       Active   3d\n")));
    EXPECT_LT(logs.indexOf(QStringLiteral("集群连接测试成功 ✓")),
              logs.indexOf(QStringLiteral("namespace信息:")));
}

TEST_F(ConnectionTestFlow, ToolProbeFailureKeepsOneTextAndLogsTheOther) {
    kubectl.setVersion(2, QStringLiteral("exec format error"));
    bool connected = true;
    test->testClusterConnection([&](bool ok) { connected = ok; });
    ASSERT_TRUE(waitUntilIdle());

    EXPECT_FALSE(connected);
    EXPECT_EQ(test->testResult(),
              TestResult::failure(QStringLiteral("kubectl22工具测试失败: exec format error")));
    settleLog();
    EXPECT_TRUE(
        state.logs().contains(QStringLiteral("] kubectl33工具测试失败: exec format error\n")));
    EXPECT_FALSE(state.logs().contains(QStringLiteral("正在执行集群连接测试")));
    EXPECT_EQ(kubectl.seen(), QStringList{QString()});

    kubectl.removeTool();
    test->testClusterConnection();
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_TRUE(test->testResult().has_value());
    const QString message = test->testResult()->message();
    EXPECT_TRUE(message.startsWith(QStringLiteral("kubectl22工具测试失败: ")));
    EXPECT_TRUE(message.contains(QStringLiteral("kubectl"))) << message.toStdString();
}

TEST_F(ConnectionTestFlow, ConnectionFailureWarnsOnlyWhenDevtronIsChosen) {
    const KubectlFault noCa = kubectlFault(QStringLiteral("no-ca"));
    kubectl.setNamespaces(noCa.exitStatus, {}, noCa.error);
    test->testClusterConnection();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(test->testResult(), TestResult::failure(certificateMessage));
    settleLog();
    EXPECT_TRUE(state.logs().contains(QStringLiteral("] 集群连接测试失败: ") + certificateMessage));
    EXPECT_EQ(state.logs().count(QStringLiteral("警告: 安装Devtron需要先成功连接到Kubernetes集群")),
              1);

    state.setInstallDevtron(false);
    kubectl.setNamespaces(1, {}, {});
    test->testClusterConnection();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(test->testResult(), TestResult::failure(QStringLiteral("无法连接到Kubernetes集群")));
    settleLog();
    EXPECT_TRUE(
        state.logs().contains(QStringLiteral("] 集群连接测试失败: 无法连接到Kubernetes集群\n")));
    EXPECT_EQ(state.logs().count(QStringLiteral("警告: 安装Devtron需要先成功连接到Kubernetes集群")),
              1);
}

TEST_F(ConnectionTestFlow, NothingStartsWhileATestRuns) {
    kubectl.hold();
    int secondOutcomes = 0;
    test->nextAction();
    test->nextAction();
    test->testClusterConnection([&](bool) { ++secondOutcomes; });
    kubectl.release();
    ASSERT_TRUE(waitUntilIdle());
    settleLog();
    EXPECT_EQ(secondOutcomes, 0);
    EXPECT_EQ(state.logs().count(QStringLiteral("需要测试集群连接才能安装Devtron")), 1);
    EXPECT_EQ(state.logs().count(QStringLiteral("开始测试集群连接...")), 1);
}

TEST_F(ConnectionTestFlow, NextGateTestsUntilSuccessThenHandsOver) {
    const KubectlFault noCa = kubectlFault(QStringLiteral("no-ca"));
    kubectl.setNamespaces(noCa.exitStatus, {}, noCa.error);
    test->nextAction();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(test->showTestFailAlert());
    EXPECT_EQ(test->alertMessage(), detailsAlert(certificateMessage));

    test->setShowTestFailAlert(false);
    kubectl.setNamespaces(0, QStringLiteral("NAME\nkube-system\n"));
    test->nextAction();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return state.currentStep() == InstallationStep::installation; }, 15000));
    EXPECT_FALSE(test->showTestFailAlert());
    settleLog();
    const QString logs = state.logs();
    EXPECT_EQ(logs.count(QStringLiteral("需要测试集群连接才能安装Devtron")), 2);
    for (const char* line : {"开始配置环境...", "配置项目: Kubeconfig, kubectl, helm",
                             "用户选择安装Devtron ✓", "环境配置将在安装步骤中完成 ✓"}) {
        EXPECT_TRUE(logs.contains(QStringLiteral("] ") + QString::fromUtf8(line) + '\n')) << line;
    }
    EXPECT_LT(logs.indexOf(QStringLiteral("开始配置环境...")),
              logs.indexOf(QStringLiteral("用户选择安装Devtron ✓")));
}

TEST_F(ConnectionTestFlow, GoingBackDuringTheTestDropsItsHandOver) {
    kubectl.hold();
    test->nextAction();
    test->goBackToKubeconfigSelection();
    kubectl.release();
    ASSERT_TRUE(waitUntilIdle());
    settleLog();
    EXPECT_EQ(state.currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_FALSE(state.logs().contains(QStringLiteral("开始配置环境...")));
}

} // namespace
