#include "support/ScopedEnvironmentVariable.h"
#include "support/ScreenTest.h"
#include "support/StandInTools.h"

#include "session/InstallationState.h"
#include "views/choice/DevtronChoiceController.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

using namespace screen_test;

namespace {

using TestResult = DevtronChoiceController::TestResult;

const QString serverMessage =
    u"无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. 网络连接是否正常\n3. "
    "Kubeconfig中的服务器地址是否正确"_s;
const QString authorizationMessage =
    u"授权失败。请检查:\n1. Kubeconfig中的证书是否有效\n2. 用户凭证是否正确\n3. "
    "您是否有访问集群的权限"_s;
const QString certificateMessage =
    u"证书错误。请检查:\n1. Kubeconfig中的证书是否有效\n2. 集群证书是否已过期\n3. "
    "集群服务器地址与证书是否匹配"_s;
const QString unavailableAlert =
    u"无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. 网络连接是否正常\n3. "
    "Kubeconfig是否正确"_s;
const QString warning = u"警告: 安装Devtron需要先成功连接到Kubernetes集群"_s;

QString detailsAlert(const QString& details) {
    return u"连接Kubernetes集群失败。\n\n错误详情:\n"_s + details +
           u"\n\n请检查您的kubeconfig文件和集群状态，确保集群可正常访问。"_s;
}

QString helperMessage(const QString& reason) {
    return u"凭证插件执行失败:\n"_s + reason +
           u"\n\n请先用云服务商的工具重新登录（例如 aws sso login、gcloud auth "
           "login、az login），然后重试。"_s;
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
        {u"Unauthorized: x509: certificate has expired"_s, authorizationMessage},
        {u"Unable to connect to the server: authorization header rejected"_s, authorizationMessage},
        // A kubeconfig's credential helper that cannot run: its own words, else kubectl's.
        {u"token expired\nE1207 x\ntoken expired\nUnable to connect to the server: "
         "getting credentials: exec: executable aws failed with exit code 1"_s,
         helperMessage(u"token expired"_s)},
        {u"Unable to connect to the server: getting credentials: exec: executable "
         "aws not found"_s,
         u"凭证插件aws未安装或不在PATH中。请安装它，或将它所在的文件夹加入PATH，然后重试。"_s},
        // Case-sensitive; "was refused" alone is not kubectl's refused connection.
        {u"unauthorized"_s, u"unauthorized"_s},
        {u"token was refused"_s, u"token was refused"_s},
        {QString(), u"无法连接到Kubernetes集群"_s},
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
        {u"bad x509 chain"_s, certificateMessage},
        // A message the test already classified reaches the alert as details, line breaks kept.
        {serverMessage, detailsAlert(serverMessage)},
        {recorded("closed-port"), detailsAlert(recorded("closed-port"))},
        // Blank lines collapse in one pass from the left.
        {u"a\n\nb\n\n\nc"_s, detailsAlert(u"a\nb\n\nc"_s)},
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
        m_state.setKubeconfigPath(u"/tmp/nimbrel kube/admin.conf"_s,
                                  u"/home/lin/.kube/my cluster.yaml"_s);
    }
    // The pre-flight questions get a healthy cluster's answers unless `replies` say otherwise.
    void kubectlAnswers(const QList<Reply>& replies) {
        m_tools.setTool(u"kubectl"_s, replies + StandInTools::healthyCluster());
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
        {Reply(u"get namespaces"_s, u"NAME          STATUS   AGE\ndefault       Active   3d\n"_s)});
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
    const QString environment = u"|env KUBECONFIG=/tmp/nimbrel kube/admin.conf|env PATH="_s +
                                m_tools.directory() +
                                u":/usr/bin:/bin:/usr/sbin:/sbin:/opt/cloud sdk/bin"_s;
    const QString calls = m_tools.calls().join('|');
    EXPECT_TRUE(calls.startsWith(u"kubectl version --client"_s + environment));
    EXPECT_TRUE(calls.contains(u"kubectl get namespaces --request-timeout=10s"_s + environment));
    EXPECT_EQ(calls.count(u"env TLS=true"_s), 2) << calls.toStdString();

    ASSERT_TRUE(settleLog(m_state));
    for (const QString& line : {u"使用kubeconfig: my cluster.yaml"_s,
                                u"namespace信息:\nNAME          STATUS   AGE\n"_s}) {
        EXPECT_TRUE(m_state.logs().contains(u"] "_s + line)) << line.toStdString();
    }
}

TEST_F(ChoiceControllerTest, EachFailureKeepsItsTextAndLogsItWarningOnlyWhenDevtronIsChosen) {
    const KubectlFault noCa = kubectlFault(u"no-ca"_s);
    const struct {
        Reply reply;
        bool installDevtron;
        QString result;
        QString log;
    } cases[] = {
        {Reply(u"get"_s, {}, noCa.error, noCa.exitStatus), true, certificateMessage,
         u"集群连接测试失败: "_s + certificateMessage},
        {Reply(u"get"_s, {}, {}, 1), false, u"无法连接到Kubernetes集群"_s,
         u"集群连接测试失败: 无法连接到Kubernetes集群"_s},
        {Reply(u"version"_s, {}, u"exec format error"_s, 2), false,
         u"kubectl22工具测试失败: exec format error"_s,
         u"kubectl33工具测试失败: exec format error"_s},
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
    EXPECT_EQ(m_tools.commandCalls().last(), u"kubectl version --client"_s)
        << "a failed tool probe asks the cluster nothing";
}

TEST_F(ChoiceControllerTest, NextTestsUntilSuccessThenHandsOverAndNothingStartsTwice) {
    const KubectlFault noCa = kubectlFault(u"no-ca"_s);
    kubectlAnswers({Reply(u"get"_s, {}, noCa.error, noCa.exitStatus)});
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
    EXPECT_TRUE(logged(m_state, u"环境配置将在安装步骤中完成 ✓"_s));
}

TEST_F(ChoiceControllerTest, GoingBackOrClosingDuringTheTestDropsItsHandOver) {
    m_tools.hold();
    m_controller->nextAction();
    m_controller->goBackToKubeconfigSelection();
    m_tools.release();
    ASSERT_TRUE(idle());
    ASSERT_TRUE(settleLog(m_state));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_FALSE(m_state.logs().contains(u"开始配置环境..."_s));

    // Closed mid-test: the outcome is still logged, and nothing moves.
    m_state.setCurrentStep(InstallationStep::devtronChoice);
    m_controller = std::make_unique<DevtronChoiceController>(m_state);
    m_tools.hold();
    m_controller->nextAction();
    m_controller.reset();
    m_tools.release();
    ASSERT_TRUE(eventually([&] { return m_state.logs().count(u"集群连接测试成功 ✓"_s) == 2; }));
    ASSERT_TRUE(settleLog(m_state));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::devtronChoice);
}

} // namespace
