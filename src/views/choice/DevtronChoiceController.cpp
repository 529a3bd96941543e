#include "views/choice/DevtronChoiceController.h"

#include "cluster/KubeJson.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/GuiThread.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace {

// A command's output into the session log, marked line by line as output and error.
void logOutput(const std::function<void(const QString&)>& log, const CommandResult& result) {
    for (const auto& [text, mark] : {std::pair{result.output, QStringLiteral(">> ")},
                                     std::pair{result.error, QStringLiteral("!! ")}}) {
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            log(mark + line);
        }
    }
}

} // namespace

DevtronChoiceController::DevtronChoiceController(InstallationState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    connect(&m_state, &InstallationState::installDevtronChanged, this,
            &DevtronChoiceController::installDevtronChanged);
    connect(&m_state, &InstallationState::devtronVariantChanged, this,
            &DevtronChoiceController::devtronVariantChanged);
    connect(&m_state, &InstallationState::manifestSourceChanged, this,
            &DevtronChoiceController::manifestSourceChanged);
}

bool DevtronChoiceController::installDevtron() const {
    return m_state.installDevtron();
}

void DevtronChoiceController::setInstallDevtron(bool install) {
    m_state.setInstallDevtron(install);
}

DevtronVariant DevtronChoiceController::devtronVariant() const {
    return m_state.devtronVariant();
}

void DevtronChoiceController::setDevtronVariant(DevtronVariant variant) {
    m_state.setDevtronVariant(variant);
    m_state.appendLog(tr("选择Devtron版本: %1").arg(DevtronChoices::variantName(variant)));
}

ManifestSource DevtronChoiceController::manifestSource() const {
    return m_state.manifestSource();
}

void DevtronChoiceController::setManifestSource(ManifestSource source) {
    m_state.setManifestSource(source);
    m_state.appendLog(tr("选择安装来源: %1").arg(DevtronChoices::sourceName(source)));
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
    if (isBusy()) {
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
    BackgroundJobs::start([self, environment, limit = m_preflightTimeLimit,
                           variant = m_state.devtronVariant(), log = m_state.backgroundLogger()] {
        const PreflightCheck::Results results =
            PreflightCheck::run(environment, limit, log, variant);
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
    // The checklist opens with the cluster the answers came from.
    if (!m_state.clusterTarget().isEmpty()) {
        m_preflightResults.prepend(PreflightCheck::targetRow(m_state.clusterTarget()));
    }
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

void DevtronChoiceController::repairBrokenRelease() {
    const std::optional<ReleaseRecord> record = PreflightCheck::brokenRelease(m_preflightResults);
    if (!record || isBusy()) {
        return;
    }
    m_repairedRelease = record;
    m_state.appendLog(tr("用户请求清理处于%1的Devtron发布").arg(record->describe()));
    //: %1 names the cluster; the command line follows.
    setRepairPrompt(RepairPrompt::uninstall,
                    tr("将在%1中执行以下命令，删除Devtron发布及其创建的资源：").arg(clusterName()),
                    ClusterTools::shownCommand(ClusterTools::uninstallCommand()));
}

void DevtronChoiceController::answerRepairPrompt(bool yes) {
    const RepairPrompt answered = m_repairPrompt;
    setRepairPrompt(RepairPrompt::none, {});
    if (!m_repairedRelease || answered == RepairPrompt::none || answered == RepairPrompt::failed) {
        return;
    }
    if (!yes) {
        m_state.appendLog(answered == RepairPrompt::uninstall ? tr("用户取消了清理Devtron发布")
                                                              : tr("用户取消了删除发布记录"));
        return;
    }
    const ReleaseRecord record = *m_repairedRelease;
    const EnvironmentOverlay environment = ClusterTools::environment(m_state.kubeconfigPath());
    const LineLogger log = m_state.backgroundLogger();
    const std::chrono::milliseconds limit = m_preflightTimeLimit;
    if (answered == RepairPrompt::uninstall) {
        startRepairJob([record, environment, limit, log] {
            return runUninstall(record, environment, limit, log);
        });
    } else {
        startRepairJob([record, environment, limit, log] {
            return runRecordRemoval(record, environment, limit, log);
        });
    }
}

void DevtronChoiceController::startRepairJob(std::function<RepairOutcome()> job) {
    setIsRepairing(true);
    // The commands run to their end even when the screen goes: a half-sent uninstall is worse.
    const QPointer<DevtronChoiceController> self(this);
    const QPointer<InstallationState> state(&m_state);
    BackgroundJobs::start([self, state, record = *m_repairedRelease, job = std::move(job)] {
        const RepairOutcome outcome = job();
        postToGuiThread([self, state, record, outcome] {
            if (self) {
                self->finishRepair(outcome);
            } else if (state) {
                logRepair(*state, record, outcome);
            }
        });
    });
}

DevtronChoiceController::RepairOutcome DevtronChoiceController::runUninstall(
    const ReleaseRecord& record, const EnvironmentOverlay& environment,
    std::chrono::milliseconds lookupLimit, const LineLogger& log) {
    const QString command = ClusterTools::uninstallCommand();
    log(tr("执行命令: %1").arg(command));
    const CommandResult uninstalled =
        ShellUtils::runCommandWithEnv(command, environment, uninstallTimeLimit);
    logOutput(log, uninstalled);
    if (uninstalled.exitCode == 0) {
        return {RepairOutcome::Kind::cleared, {}};
    }
    RepairOutcome failed{RepairOutcome::Kind::failed,
                         ClusterErrors::classify(uninstalled.error.trimmed())};
    // Only a lock that helm holds for an unfinished operation is lifted by removing its record.
    if (!record.isPending()) {
        return failed;
    }
    const QString lookup = ClusterTools::releaseRecordCommand(record.status, record.revision);
    log(tr("执行命令: %1").arg(lookup));
    const CommandResult found = ShellUtils::runCommandWithEnv(lookup, environment, lookupLimit);
    const QJsonArray items = KubeJson::items(found.output);
    const bool exists = found.exitCode == 0 &&
                        std::any_of(items.begin(), items.end(), [&record](const QJsonValue& item) {
                            return KubeJson::nameOf(item) == record.secretName();
                        });
    if (!exists) {
        logOutput(log, {{}, found.error, found.exitCode});
        return failed;
    }
    return {RepairOutcome::Kind::recordRemovable, failed.error};
}

DevtronChoiceController::RepairOutcome
DevtronChoiceController::runRecordRemoval(const ReleaseRecord& record,
                                          const EnvironmentOverlay& environment,
                                          std::chrono::milliseconds limit, const LineLogger& log) {
    const QString command = ClusterTools::deleteReleaseRecordCommand(record.revision);
    log(tr("执行命令: %1").arg(command));
    const CommandResult deleted = ShellUtils::runCommandWithEnv(command, environment, limit);
    logOutput(log, deleted);
    if (deleted.exitCode == 0) {
        return {RepairOutcome::Kind::recordRemoved, {}};
    }
    return {RepairOutcome::Kind::failed, ClusterErrors::classify(deleted.error.trimmed())};
}

void DevtronChoiceController::logRepair(InstallationState& state, const ReleaseRecord& record,
                                        const RepairOutcome& outcome) {
    switch (outcome.kind) {
    case RepairOutcome::Kind::cleared:
        state.appendLog(tr("已清理处于%1的Devtron发布 ✓").arg(record.describe()));
        break;
    case RepairOutcome::Kind::recordRemovable:
        state.appendLog(tr("helm无法卸载处于%1的发布，可以删除它的发布记录%2")
                            .arg(record.describe(), record.secretName()));
        break;
    case RepairOutcome::Kind::recordRemoved:
        state.appendLog(tr("已删除发布记录%1 ✓").arg(record.secretName()));
        break;
    case RepairOutcome::Kind::failed:
        state.appendLog(tr("清理Devtron发布失败：%1").arg(outcome.error));
        break;
    }
}

void DevtronChoiceController::finishRepair(const RepairOutcome& outcome) {
    setIsRepairing(false);
    logRepair(m_state, *m_repairedRelease, outcome);
    if (outcome.kind == RepairOutcome::Kind::recordRemovable) {
        //: %1 is helm's state word, %2 the revision, %3 names the cluster; the command follows.
        setRepairPrompt(RepairPrompt::removeRecord,
                        tr("helm拒绝卸载处于%1状态的发布。可以删除第%2版的发布记录，然后重新检查。"
                           "\n\n将在%3中执行：")
                            .arg(m_repairedRelease->status)
                            .arg(m_repairedRelease->revision)
                            .arg(clusterName()),
                        ClusterTools::shownCommand(
                            ClusterTools::deleteReleaseRecordCommand(m_repairedRelease->revision)));
        return;
    }
    if (outcome.kind == RepairOutcome::Kind::failed) {
        // Reported, and left to the user: "下一步" checks again, the item's button retries.
        setRepairPrompt(RepairPrompt::failed, outcome.error);
        return;
    }
    // What is left is checked again; a clean check goes on to the installation.
    if (isOnChoiceStep() && m_testResult == TestResult::success()) {
        runPreflight();
    }
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
        if (installDevtron) {
            state->appendLog(
                DevtronChoices::summary(state->devtronVariant(), state->manifestSource()));
        }
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

bool DevtronChoiceController::isBusy() const {
    return m_isTesting || m_isCheckingPreflight || m_isRepairing ||
           m_repairPrompt != RepairPrompt::none;
}

QString DevtronChoiceController::clusterName() const {
    QString target = m_state.clusterTarget();
    if (!target.isEmpty()) {
        return target;
    }
    //: Names the cluster when no context was chosen; %1 is the kubeconfig's file name.
    return tr("kubeconfig“%1”的当前集群")
        .arg(QFileInfo(QDir::cleanPath(m_state.kubeconfigDisplayPath())).fileName());
}

void DevtronChoiceController::setIsRepairing(bool repairing) {
    m_isRepairing = repairing;
    emit isRepairingChanged();
}

void DevtronChoiceController::setRepairPrompt(RepairPrompt prompt, const QString& message,
                                              const QString& command) {
    m_repairMessage = message;
    m_repairCommand = command;
    m_repairPrompt = prompt;
    emit repairPromptChanged();
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
