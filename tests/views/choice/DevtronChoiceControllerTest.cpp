#include "support/ScopedEnvironmentVariable.h"
#include "support/ScreenTest.h"
#include "support/StandInTools.h"

#include "session/InstallationState.h"
#include "views/choice/DevtronChoiceController.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace screen_test;

namespace {

using TestResult = DevtronChoiceController::TestResult;

const QString serverMessage =
    QStringLiteral("无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. 网络连接是否正常\n3. "
                   "Kubeconfig中的服务器地址是否正确");
const QString authorizationMessage =
    QStringLiteral("授权失败。请检查:\n1. Kubeconfig中的证书是否有效\n2. 用户凭证是否正确\n3. "
                   "您是否有访问集群的权限");
const QString certificateMessage =
    QStringLiteral("证书错误。请检查:\n1. Kubeconfig中的证书是否有效\n2. 集群证书是否已过期\n3. "
                   "集群服务器地址与证书是否匹配");
const QString unavailableAlert =
    QStringLiteral("无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. 网络连接是否正常\n3. "
                   "Kubeconfig是否正确");
const QString warning = QStringLiteral("警告: 安装Devtron需要先成功连接到Kubernetes集群");

QString detailsAlert(const QString& details) {
    return QStringLiteral("连接Kubernetes集群失败。\n\n错误详情:\n") + details +
           QStringLiteral("\n\n请检查您的kubeconfig文件和集群状态，确保集群可正常访问。");
}

QString helperMessage(const QString& reason) {
    return QStringLiteral("凭证插件执行失败:\n") + reason +
           QStringLiteral("\n\n请先用云服务商的工具重新登录（例如 aws sso login、gcloud auth "
                          "login、az login），然后重试。");
}

QString recorded(const char* name) {
    return kubectlFault(QString::fromLatin1(name)).error;
}

TEST(ConnectionErrorClassification, KubectlsWordingsGetTheirMessages) {
    const std::vector<std::pair<QString, QString>> cases{
        // Only a 401 with discovery already cached says "Unauthorized"; on first contact kubectl
        // asks the user to log in.
        {recorded("unauthorized-cached"), authorizationMessage},
        {recorded("unauthorized"), authorizationMessage},
        // TLS failures also say "Unable to connect to the server".
        {recorded("no-ca"), certificateMessage},
        {recorded("slow"), serverMessage},
        {recorded("unavailable"), recorded("unavailable")},
        // A refused connection never says "Unable to connect to the server".
        {recorded("closed-port"), serverMessage},
        {QStringLiteral("Unauthorized: x509: certificate has expired"), authorizationMessage},
        {QStringLiteral("Unable to connect to the server: authorization header rejected"),
         authorizationMessage},
        // A kubeconfig's credential helper that cannot run: its own words, else kubectl's.
        {QStringLiteral("token expired\nE1207 x\ntoken expired\nUnable to connect to the server: "
                        "getting credentials: exec: executable aws failed with exit code 1"),
         helperMessage(QStringLiteral("token expired"))},
        {QStringLiteral("Unable to connect to the server: getting credentials: exec: executable "
                        "aws not found"),
         helperMessage(QStringLiteral("Unable to connect to the server: getting credentials: exec: "
                                      "executable aws not found"))},
        // Case-sensitive; "was refused" alone is not kubectl's refused connection.
        {QStringLiteral("unauthorized"), QStringLiteral("unauthorized")},
        {QStringLiteral("token was refused"), QStringLiteral("token was refused")},
        {QString(), QStringLiteral("无法连接到Kubernetes集群")},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(DevtronChoiceController::classifyConnectionError(text), expected)
            << text.toStdString();
    }
}

TEST(ConnectionAlertText, MapsRawTextsAndWrapsEverythingElse) {
    const std::vector<std::pair<QString, QString>> cases{
        {recorded("unavailable"), unavailableAlert},
        {recorded("unauthorized-cached"), authorizationMessage},
        {QStringLiteral("bad x509 chain"), certificateMessage},
        // A message the test already classified reaches the alert as details, line breaks kept.
        {serverMessage, detailsAlert(serverMessage)},
        {recorded("closed-port"), detailsAlert(recorded("closed-port"))},
        // Blank lines collapse in one pass from the left.
        {QStringLiteral("a\n\nb\n\n\nc"), detailsAlert(QStringLiteral("a\nb\n\nc"))},
    };
    for (const auto& [message, expected] : cases) {
        EXPECT_EQ(DevtronChoiceController::formatErrorMessageForAlert(message), expected)
            << message.toStdString();
    }
}

class ChoiceControllerTest : public ::testing::Test {
protected:
    ChoiceControllerTest() {
        m_state.setCurrentStep(InstallationStep::devtronChoice);
        m_state.setKubeconfigPath(QStringLiteral("/tmp/nimbrel kube/admin.conf"),
                                  QStringLiteral("/home/lin/.kube/my cluster.yaml"));
    }
    // The pre-flight questions get a healthy cluster's answers unless `replies` say otherwise.
    void kubectlAnswers(const QList<Reply>& replies) {
        m_tools.setTool(QStringLiteral("kubectl"), replies + StandInTools::healthyCluster());
    }
    bool idle() {
        return eventually([&] { return !m_controller->isTesting(); });
    }

    StandInTools m_tools;
    InstallationState m_state;
    std::unique_ptr<DevtronChoiceController> m_controller =
        std::make_unique<DevtronChoiceController>(m_state);
};

TEST_F(ChoiceControllerTest, SuccessRunsBothProbesInTheClusterEnvironmentAndLogsTheListing) {
    // A credential helper's folder on the user's PATH stays reachable, after the fixed folders.
    const ScopedEnvironmentVariable userPath("PATH", "/usr/bin:/opt/cloud sdk/bin:/bin");
    kubectlAnswers(
        {Reply(QStringLiteral("get namespaces"),
               QStringLiteral("NAME          STATUS   AGE\ndefault       Active   3d\n"))});
    std::vector<bool> outcomes;
    QSignalSpy testing(m_controller.get(), &DevtronChoiceController::isTestingChanged);
    m_controller->testClusterConnection([&](bool connected) { outcomes.push_back(connected); });
    EXPECT_TRUE(m_controller->isTesting());
    EXPECT_FALSE(m_controller->testResult().has_value());
    ASSERT_TRUE(idle());
    EXPECT_EQ(testing.count(), 2);
    EXPECT_EQ(outcomes, std::vector<bool>{true});
    EXPECT_EQ(m_controller->testResult(), TestResult::success());

    // Both probes run with the cluster environment: the kubeconfig, the tools first on PATH.
    const QString environment =
        QStringLiteral("|env KUBECONFIG=/tmp/nimbrel kube/admin.conf|env PATH=") +
        m_tools.directory() + QStringLiteral(":/usr/bin:/bin:/usr/sbin:/sbin:/opt/cloud sdk/bin");
    const QString calls = m_tools.calls().join('|');
    EXPECT_TRUE(calls.startsWith(QStringLiteral("kubectl version --client") + environment));
    EXPECT_TRUE(calls.contains(QStringLiteral("kubectl get namespaces --request-timeout=10s") +
                               environment));
    EXPECT_EQ(calls.count(QStringLiteral("env TLS=true")), 2) << calls.toStdString();

    ASSERT_TRUE(settleLog(m_state));
    for (const QString& line : {QStringLiteral("使用kubeconfig: my cluster.yaml"),
                                QStringLiteral("namespace信息:\nNAME          STATUS   AGE\n")}) {
        EXPECT_TRUE(m_state.logs().contains(QStringLiteral("] ") + line)) << line.toStdString();
    }
}

TEST_F(ChoiceControllerTest, EachFailureKeepsItsTextAndLogsItWarningOnlyWhenDevtronIsChosen) {
    const KubectlFault noCa = kubectlFault(QStringLiteral("no-ca"));
    const struct {
        Reply reply;
        bool installDevtron;
        QString result;
        QString log;
    } cases[] = {
        {Reply(QStringLiteral("get"), {}, noCa.error, noCa.exitStatus), true, certificateMessage,
         QStringLiteral("集群连接测试失败: ") + certificateMessage},
        {Reply(QStringLiteral("get"), {}, {}, 1), false, QStringLiteral("无法连接到Kubernetes集群"),
         QStringLiteral("集群连接测试失败: 无法连接到Kubernetes集群")},
        {Reply(QStringLiteral("version"), {}, QStringLiteral("exec format error"), 2), false,
         QStringLiteral("kubectl22工具测试失败: exec format error"),
         QStringLiteral("kubectl33工具测试失败: exec format error")},
    };
    for (const auto& c : cases) {
        kubectlAnswers({c.reply});
        m_state.setInstallDevtron(c.installDevtron);
        const qsizetype warnings = m_state.logs().count(warning);
        bool connected = true;
        m_controller->testClusterConnection([&](bool ok) { connected = ok; });
        ASSERT_TRUE(idle());
        EXPECT_FALSE(connected);
        EXPECT_EQ(m_controller->testResult(), TestResult::failure(c.result));
        ASSERT_TRUE(settleLog(m_state));
        EXPECT_TRUE(logged(m_state, c.log)) << c.log.toStdString();
        EXPECT_EQ(m_state.logs().count(warning), warnings + (c.installDevtron ? 1 : 0));
    }
    EXPECT_EQ(m_tools.commandCalls().last(), QStringLiteral("kubectl version --client"))
        << "a failed tool probe asks the cluster nothing";
}

TEST_F(ChoiceControllerTest, NextTestsUntilSuccessThenHandsOverAndNothingStartsTwice) {
    const KubectlFault noCa = kubectlFault(QStringLiteral("no-ca"));
    kubectlAnswers({Reply(QStringLiteral("get"), {}, noCa.error, noCa.exitStatus)});
    m_tools.hold();
    int laterOutcomes = 0;
    QSignalSpy alert(m_controller.get(), &DevtronChoiceController::showTestFailAlertChanged);
    m_controller->nextAction();
    m_controller->nextAction();
    m_controller->testClusterConnection([&](bool) { ++laterOutcomes; });
    m_tools.release();
    ASSERT_TRUE(eventually([&] { return m_controller->showTestFailAlert(); }));
    EXPECT_EQ(alert.count(), 1);
    EXPECT_EQ(laterOutcomes, 0);
    EXPECT_EQ(m_controller->alertMessage(), detailsAlert(certificateMessage));

    m_controller->setShowTestFailAlert(false);
    kubectlAnswers({});
    m_controller->nextAction();
    ASSERT_TRUE(
        eventually([&] { return m_state.currentStep() == InstallationStep::installation; }));
    EXPECT_FALSE(m_controller->showTestFailAlert());
    ASSERT_TRUE(settleLog(m_state));
    // One request and one test per completed press.
    for (const char* line : {"需要测试集群连接才能安装Devtron", "开始测试集群连接..."}) {
        EXPECT_EQ(m_state.logs().count(QString::fromUtf8(line)), 2) << line;
    }
    EXPECT_TRUE(logged(m_state, QStringLiteral("环境配置将在安装步骤中完成 ✓")));
}

TEST_F(ChoiceControllerTest, GoingBackOrClosingDuringTheTestDropsItsHandOver) {
    m_tools.hold();
    m_controller->nextAction();
    m_controller->goBackToKubeconfigSelection();
    m_tools.release();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(settleLog(m_state));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_FALSE(m_state.logs().contains(QStringLiteral("开始配置环境...")));

    // Closed mid-test: the outcome is still logged, and nothing moves.
    m_state.setCurrentStep(InstallationStep::devtronChoice);
    m_controller = std::make_unique<DevtronChoiceController>(m_state);
    m_tools.hold();
    m_controller->nextAction();
    m_controller.reset();
    m_tools.release();
    ASSERT_TRUE(eventually(
        [&] { return m_state.logs().count(QStringLiteral("集群连接测试成功 ✓")) == 2; }));
    ASSERT_TRUE(settleLog(m_state));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::devtronChoice);
}

} // namespace
