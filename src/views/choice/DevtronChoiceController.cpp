#include "views/choice/DevtronChoiceController.h"

#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/GuiThread.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

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
    m_preflightResults.clear();
    emit preflightResultsChanged();
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

    m_state.appendLog(tr("开始测试集群连接..."));
    m_state.appendLog(
        tr("使用kubeconfig: %1")
            .arg(QFileInfo(QDir::cleanPath(m_state.kubeconfigDisplayPath())).fileName()));

    // Neither the controller nor the session may be touched from the pool: both can be gone by
    // the time the probes end (going back, quitting). Only their guards travel with the job.
    QPointer<DevtronChoiceController> self(this);
    QPointer<InstallationState> state(&m_state);
    BackgroundJobs::start([self, state, versionCommand, namespacesCommand, environment,
                           completion = std::move(completion), log = m_state.backgroundLogger()] {
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

    log(tr("正在执行集群连接测试: %1").arg(namespacesCommand));
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
        setTestResult(TestResult::failure(tr("kubectl22工具测试失败: %1").arg(outcome.text)));
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
        state.appendLog(tr("kubectl33工具测试失败: %1").arg(outcome.text));
        break;
    case ProbeOutcome::Kind::success:
        state.appendLog(tr("集群连接测试成功 ✓"));
        state.appendLog(tr("namespace信息:\n%1").arg(outcome.text));
        break;
    case ProbeOutcome::Kind::connectionFailure:
        state.appendLog(tr("集群连接测试失败: %1").arg(outcome.text));
        if (state.installDevtron()) {
            state.appendLog(tr("警告: 安装Devtron需要先成功连接到Kubernetes集群"));
        }
        break;
    }
}

void DevtronChoiceController::nextAction() {
    if (m_isTesting || m_isCheckingPreflight) {
        return;
    }
    if (m_testResult == TestResult::success()) {
        proceedAfterTest();
        return;
    }
    m_state.appendLog(tr("需要测试集群连接才能安装Devtron"));
    testClusterConnection([this](bool connected) {
        // The user may have gone back while the test ran; its outcome no longer leads anywhere.
        if (!isOnChoiceStep()) {
            return;
        }
        if (connected) {
            proceedAfterTest();
            return;
        }
        if (m_testResult && !m_testResult->isSuccess()) {
            setAlertMessage(formatErrorMessageForAlert(m_testResult->message()));
            setShowTestFailAlert(true);
        }
    });
}

void DevtronChoiceController::proceedAfterTest() {
    if (m_state.installDevtron()) {
        runPreflight();
    } else {
        setupEnvironment();
    }
}

void DevtronChoiceController::runPreflight() {
    m_isCheckingPreflight = true;
    m_preflightResults.clear();
    emit isCheckingPreflightChanged();
    emit preflightResultsChanged();
    const EnvironmentOverlay environment = ClusterTools::environment(m_state.kubeconfigPath());
    const QPointer<DevtronChoiceController> self(this);
    BackgroundJobs::start(
        [self, environment, limit = m_preflightTimeLimit, log = m_state.backgroundLogger()] {
            const PreflightCheck::Results results = PreflightCheck::run(environment, limit, log);
            postToGuiThread([self, results] {
                if (self) {
                    self->finishPreflight(results);
                }
            });
        });
}

void DevtronChoiceController::finishPreflight(const PreflightCheck::Results& results) {
    m_isCheckingPreflight = false;
    m_preflightResults = results;
    emit isCheckingPreflightChanged();
    emit preflightResultsChanged();
    // The user may have gone back, or switched to configuring only, while the check ran.
    if (!isOnChoiceStep() || !m_state.installDevtron()) {
        return;
    }
    if (PreflightCheck::foundExistingRelease(results)) {
        m_showExistingReleaseAlert = true;
        emit showExistingReleaseAlertChanged();
    } else if (PreflightCheck::hasFailure(results)) {
        m_state.appendLog(tr("安装前检查未通过，无法开始安装"));
    } else if (PreflightCheck::hasWarning(results)) {
        m_showPreflightConfirm = true;
        emit showPreflightConfirmChanged();
    } else {
        setupEnvironment();
    }
}

void DevtronChoiceController::confirmPreflightWarnings(bool goOn) {
    m_showPreflightConfirm = false;
    emit showPreflightConfirmChanged();
    if (!goOn) {
        m_state.appendLog(tr("用户查看安装前检查的警告后暂不安装"));
        return;
    }
    m_state.appendLog(tr("用户确认安装前检查的警告，继续安装"));
    setupEnvironment();
}

void DevtronChoiceController::answerExistingRelease(bool readAccess) {
    m_showExistingReleaseAlert = false;
    emit showExistingReleaseAlertChanged();
    if (!readAccess || !isOnChoiceStep()) {
        return;
    }
    m_state.readExistingInstallation();
}

void DevtronChoiceController::requestRemoval() {
    m_showExistingReleaseAlert = false;
    emit showExistingReleaseAlertChanged();
    if (isOnChoiceStep()) {
        m_state.appendLog(tr("用户选择卸载Devtron"));
        emit removalRequested();
    }
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
        state->appendLog(tr("开始配置环境..."));
        state->appendLog(tr("配置项目: Kubeconfig, kubectl, helm"));
        state->appendLog(installDevtron ? tr("用户选择安装Devtron ✓")
                                        : tr("用户选择不安装Devtron ✓"));
        state->moveToNextStep();
        state->appendLog(tr("环境配置将在安装步骤中完成 ✓"));
    });
}

void DevtronChoiceController::goBackToKubeconfigSelection() {
    m_state.setCurrentStep(InstallationStep::kubeconfigSelection);
}

QString DevtronChoiceController::classifyConnectionError(const QString& errorText) {
    return ClusterErrors::classify(errorText);
}

QString DevtronChoiceController::formatErrorMessageForAlert(const QString& message) {
    return ClusterErrors::formatForAlert(message);
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
