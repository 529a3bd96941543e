#include "views/choice/DevtronChoiceController.h"

#include "session/InstallationState.h"
#include "shell/ClusterTools.h"
#include "shell/GuiThread.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>

namespace {

const QString serverUnreachableMessage =
    QStringLiteral("无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. 网络连接是否正常\n3. "
                   "Kubeconfig中的服务器地址是否正确");
const QString serverUnavailableAlert =
    QStringLiteral("无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. 网络连接是否正常\n3. "
                   "Kubeconfig是否正确");
const QString authorizationMessage =
    QStringLiteral("授权失败。请检查:\n1. Kubeconfig中的证书是否有效\n2. 用户凭证是否正确\n3. "
                   "您是否有访问集群的权限");
const QString certificateMessage =
    QStringLiteral("证书错误。请检查:\n1. Kubeconfig中的证书是否有效\n2. 集群证书是否已过期\n3. "
                   "集群服务器地址与证书是否匹配");

bool mentionsAuthorization(const QString& text) {
    return text.contains(QLatin1String("Unauthorized")) ||
           text.contains(QLatin1String("authorization"));
}

// kubectl 1.32 answers a rejected token on first contact with "You must be logged in to the
// server (the server has asked for the client to provide credentials)": no "Unauthorized" in it.
bool mentionsMissingCredentials(const QString& text) {
    // "getting credentials": the kubeconfig's credential helper is missing or failed, which
    // kubectl reports behind "Unable to connect to the server" although the server was never
    // asked.
    return text.contains(QLatin1String("You must be logged in to the server")) ||
           text.contains(QLatin1String("getting credentials"));
}

// A refused connection is worded "The connection to the server HOST was refused", never
// "Unable to connect to the server", yet it is the plainest case of an unreachable server.
bool mentionsUnreachableServer(const QString& text) {
    return text.contains(QLatin1String("Unable to connect to the server")) ||
           (text.contains(QLatin1String("The connection to the server")) &&
            text.contains(QLatin1String("was refused")));
}

bool mentionsCertificate(const QString& text) {
    return text.contains(QLatin1String("certificate")) || text.contains(QLatin1String("x509"));
}

} // namespace

DevtronChoiceController::DevtronChoiceController(InstallationState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    connect(&m_state, &InstallationState::installDevtronChanged, this,
            &DevtronChoiceController::installDevtronChanged);
}

bool DevtronChoiceController::installDevtron() const {
    return m_state.installDevtron();
}

void DevtronChoiceController::setInstallDevtron(bool install) {
    m_state.setInstallDevtron(install);
}

void DevtronChoiceController::setShowTestFailAlert(bool shown) {
    m_showTestFailAlert = shown;
    emit showTestFailAlertChanged();
}

void DevtronChoiceController::forgetTestResult() {
    setTestResult(std::nullopt);
}

void DevtronChoiceController::testClusterConnection(Completion completion) {
    if (m_isTesting) {
        return;
    }
    setIsTesting(true);
    setTestResult(std::nullopt);

    const QString versionCommand = ClusterTools::kubectlVersionCommand();
    const QString namespacesCommand = ClusterTools::namespacesCommand();
    const EnvironmentOverlay environment = ClusterTools::environment(m_state.kubeconfigPath());

    m_state.appendLog(QStringLiteral("开始测试集群连接..."));
    m_state.appendLog(QStringLiteral("使用kubeconfig: ") +
                      QFileInfo(QDir::cleanPath(m_state.kubeconfigDisplayPath())).fileName());

    // Neither the controller nor the session may be touched from the pool: both can be gone by
    // the time the probes end (going back, quitting). Only their guards travel with the job.
    QPointer<DevtronChoiceController> self(this);
    QPointer<InstallationState> state(&m_state);
    QThreadPool::globalInstance()->start([self, state, versionCommand, namespacesCommand,
                                          environment, completion = std::move(completion),
                                          log = m_state.backgroundLogger()] {
        const ProbeOutcome outcome = runProbes(versionCommand, namespacesCommand, environment, log);
        postToGuiThread([self, state, outcome, completion] {
            if (self) {
                self->finishTest(outcome, completion);
            } else if (state) {
                logOutcome(*state, outcome);
            }
        });
    });
}

DevtronChoiceController::ProbeOutcome
DevtronChoiceController::runProbes(const QString& versionCommand, const QString& namespacesCommand,
                                   const EnvironmentOverlay& environment, const LineLogger& log) {
    const CommandResult version = ShellUtils::runCommandWithEnv(versionCommand, environment);
    if (version.exitCode != 0) {
        return {ProbeOutcome::Kind::toolFailure, version.error};
    }

    log(QStringLiteral("正在执行集群连接测试: ") + namespacesCommand);
    const CommandResult namespaces = ShellUtils::runCommandWithEnv(namespacesCommand, environment);
    if (namespaces.exitCode == 0) {
        return {ProbeOutcome::Kind::success, namespaces.output};
    }
    return {ProbeOutcome::Kind::connectionFailure, classifyConnectionError(namespaces.error)};
}

void DevtronChoiceController::finishTest(const ProbeOutcome& outcome,
                                         const Completion& completion) {
    setIsTesting(false);
    switch (outcome.kind) {
    case ProbeOutcome::Kind::toolFailure:
        setTestResult(
            TestResult::failure(QStringLiteral("kubectl22工具测试失败: ") + outcome.text));
        break;
    case ProbeOutcome::Kind::success:
        setTestResult(TestResult::success());
        break;
    case ProbeOutcome::Kind::connectionFailure:
        setTestResult(TestResult::failure(outcome.text));
        break;
    }
    logOutcome(m_state, outcome);
    if (completion) {
        completion(outcome.kind == ProbeOutcome::Kind::success);
    }
}

void DevtronChoiceController::logOutcome(InstallationState& state, const ProbeOutcome& outcome) {
    switch (outcome.kind) {
    case ProbeOutcome::Kind::toolFailure:
        state.appendLog(QStringLiteral("kubectl33工具测试失败: ") + outcome.text);
        break;
    case ProbeOutcome::Kind::success:
        state.appendLog(QStringLiteral("集群连接测试成功 ✓"));
        state.appendLog(QStringLiteral("namespace信息:\n") + outcome.text);
        break;
    case ProbeOutcome::Kind::connectionFailure:
        state.appendLog(QStringLiteral("集群连接测试失败: ") + outcome.text);
        if (state.installDevtron()) {
            state.appendLog(QStringLiteral("警告: 安装Devtron需要先成功连接到Kubernetes集群"));
        }
        break;
    }
}

void DevtronChoiceController::nextAction() {
    if (m_testResult == TestResult::success()) {
        setupEnvironment();
        return;
    }
    if (m_isTesting) {
        return;
    }
    m_state.appendLog(QStringLiteral("需要测试集群连接才能安装Devtron"));
    testClusterConnection([this](bool connected) {
        // The user may have gone back while the test ran; its outcome no longer leads anywhere.
        if (!isOnChoiceStep()) {
            return;
        }
        if (connected) {
            setupEnvironment();
            return;
        }
        if (m_testResult && !m_testResult->isSuccess()) {
            setAlertMessage(formatErrorMessageForAlert(m_testResult->message()));
            setShowTestFailAlert(true);
        }
    });
}

void DevtronChoiceController::setupEnvironment() {
    // Dropped with the session; the controller itself may go before it runs.
    InstallationState* state = &m_state;
    postToGuiThread(state, [state] {
        // Only a hand-over from this step advances; the user may have gone back meanwhile.
        if (state->currentStep() != InstallationStep::devtronChoice) {
            return;
        }
        const bool installDevtron = state->installDevtron();
        state->appendLog(QStringLiteral("开始配置环境..."));
        state->appendLog(QStringLiteral("配置项目: Kubeconfig, kubectl, helm"));
        state->appendLog(installDevtron ? QStringLiteral("用户选择安装Devtron ✓")
                                        : QStringLiteral("用户选择不安装Devtron ✓"));
        state->moveToNextStep();
        state->appendLog(QStringLiteral("环境配置将在安装步骤中完成 ✓"));
    });
}

void DevtronChoiceController::goBackToKubeconfigSelection() {
    m_state.setCurrentStep(InstallationStep::kubeconfigSelection);
}

QString DevtronChoiceController::classifyConnectionError(const QString& errorText) {
    QString text = errorText.isEmpty() ? QStringLiteral("无法连接到Kubernetes集群") : errorText;
    // kubectl prefixes TLS failures with "Unable to connect to the server", so the certificate
    // check has to come first or a bad certificate would read as an unreachable server.
    if (mentionsAuthorization(text) || mentionsMissingCredentials(text)) {
        return authorizationMessage;
    }
    if (mentionsCertificate(text)) {
        return certificateMessage;
    }
    if (mentionsUnreachableServer(text)) {
        return serverUnreachableMessage;
    }
    return text;
}

QString DevtronChoiceController::formatErrorMessageForAlert(const QString& message) {
    QString text = message;
    text.replace(QLatin1String("\n\n"), QLatin1String("\n"));
    if (text.contains(QLatin1String("the server is currently unable to handle the request"))) {
        return serverUnavailableAlert;
    }
    if (mentionsAuthorization(text)) {
        return authorizationMessage;
    }
    if (mentionsCertificate(text)) {
        return certificateMessage;
    }
    return QStringLiteral("连接Kubernetes集群失败。\n\n错误详情:\n") + text +
           QStringLiteral("\n\n请检查您的kubeconfig文件和集群状态，确保集群可正常访问。");
}

bool DevtronChoiceController::isOnChoiceStep() const {
    return m_state.currentStep() == InstallationStep::devtronChoice;
}

void DevtronChoiceController::setIsTesting(bool testing) {
    m_isTesting = testing;
    emit isTestingChanged();
}

void DevtronChoiceController::setTestResult(const std::optional<TestResult>& result) {
    m_testResult = result;
    emit testResultChanged();
}

void DevtronChoiceController::setAlertMessage(const QString& message) {
    m_alertMessage = message;
    emit alertMessageChanged();
}
