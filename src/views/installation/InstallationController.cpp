#include "views/installation/InstallationController.h"

#include "installer/DevtronInstaller.h"
#include "session/InstallationState.h"
#include "session/LogFilter.h"
#include "shell/BackgroundJobs.h"
#include "shell/GuiThread.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QString setupFailedMessage() {
    return QCoreApplication::translate(
        "InstallationController",
        "环境配置失败：无法设置Kubernetes环境。请检查kubeconfig文件权限和有效性，"
        "以及kubectl和helm工具是否正常安装。");
}

// The reason, followed by what commonly causes it and how to check.
QString withSetupFailureAdvice(const QString& reason) {
    //: %1 is the reason the environment set-up failed.
    return QCoreApplication::translate("InstallationController",
                                       "%1\n\n可能的原因：\n"
                                       "1. 选择的kubeconfig文件权限不足\n"
                                       "2. kubeconfig文件内容格式不正确\n"
                                       "3. 应用程序无法写入配置目录\n"
                                       "4. kubectl或helm工具无法正确配置\n\n"
                                       "建议：\n"
                                       "- 检查kubeconfig文件格式和权限\n"
                                       "- 尝试手动测试kubeconfig文件（kubectl "
                                       "--kubeconfig=YOUR_FILE get nodes）")
        .arg(reason);
}

constexpr int shortMessageLength = 20;
// "安装失败: " as the user sees it.
constexpr qsizetype failurePrefixLength = 6;
constexpr qsizetype detailLineCount = 3;

// Characters as the user sees them: a base letter with its combining marks counts once.
qsizetype perceivedLength(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0) {
        ++count;
    }
    return count;
}

} // namespace

InstallationController::InstallationController(InstallationState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    m_timer.setInterval(timerIntervalMs);
    m_progressTimer.setInterval(progressIntervalMs);
    m_progressTimer.setTimerType(Qt::PreciseTimer);
    m_delay.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &InstallationController::timerTick);
    connect(&m_progressTimer, &QTimer::timeout, this, &InstallationController::progressTick);
    connect(&m_delay, &QTimer::timeout, this, &InstallationController::firePendingAction);
}

InstallationController::~InstallationController() = default;

void InstallationController::screenShown() {
    if (m_started) {
        return;
    }
    m_started = true;
    startInstallation();
}

void InstallationController::screenHidden() {
    stopTimer();
    stopProgressAnimation();
}

void InstallationController::startInstallation() {
    m_state.setInstallationProgress(0.1);
    m_state.appendLog(tr("开始安装程序..."));
    createInstaller();
    m_installMode = m_state.installDevtron();
    m_runOpen = true;
    if (m_installMode) {
        m_state.appendLog(tr("开始安装Devtron..."));
        runInstallOnPool();
    } else {
        m_state.appendLog(tr("仅配置环境，不安装Devtron"));
        runSetupOnPool();
    }
}

void InstallationController::createInstaller() {
    // The engine calls back on pool threads. Each report hops to the GUI thread and is dropped
    // there when its receiver is gone; the guards are made here, on the GUI thread.
    const QPointer<InstallationController> self(this);
    auto progress = [self](double value) {
        postToGuiThread([self, value] {
            if (self) {
                self->handleProgress(value);
            }
        });
    };
    auto log = m_state.backgroundLogger();
    auto completion = [self](bool success, const std::optional<QString>& message) {
        postToGuiThread([self, success, message] {
            if (self) {
                self->handleCompletion(success, message);
            }
        });
    };
    m_devtronInstaller =
        std::make_shared<DevtronInstaller>(m_state.kubeconfigPath(), progress, log, completion);
    m_devtronInstaller->setChartChoices(m_state.devtronVariant(), m_state.manifestSource());
}

void InstallationController::runInstallOnPool() {
    setEngineBusy(true);
    const QPointer<InstallationController> self(this);
    BackgroundJobs::start([self, installer = m_devtronInstaller] {
        installer->installDevtron();
        postToGuiThread([self] {
            if (self) {
                self->installReturned();
            }
        });
    });
}

void InstallationController::runSetupOnPool() {
    setEngineBusy(true);
    const QPointer<InstallationController> self(this);
    BackgroundJobs::start([self, installer = m_devtronInstaller] {
        const bool ready = installer->setupEnvironment();
        postToGuiThread([self, ready] {
            if (self) {
                self->setupReturned(ready);
            }
        });
    });
}

void InstallationController::installReturned() {
    setEngineBusy(false);
    startScreenTimers();
    // Reports the engine made while it blocked come after the timers, as if it had run here.
    std::vector<std::function<void()>> reports;
    reports.swap(m_deferredReports);
    for (const auto& report : reports) {
        if (m_runOpen) {
            report();
        }
    }
}

void InstallationController::setupReturned(bool ready) {
    setEngineBusy(false);
    // Configure-only mode expects no report from the engine: the outcome is decided here.
    m_runOpen = false;
    if (ready) {
        m_state.appendLog(tr("环境配置成功"));
        after(setupCompleteDelayMs, &InstallationController::completeInstallation);
    } else {
        m_state.appendLog(tr("配置失败详情: %1").arg(setupFailedMessage()));
        handleFailure(setupFailedMessage());
    }
    startScreenTimers();
}

void InstallationController::startScreenTimers() {
    startTimer();
    startProgressAnimation();
}

void InstallationController::startTimer() {
    m_timer.start();
}

void InstallationController::stopTimer() {
    m_timer.stop();
}

void InstallationController::startProgressAnimation() {
    m_progressTimer.start();
}

void InstallationController::stopProgressAnimation() {
    m_progressTimer.stop();
}

void InstallationController::timerTick() {
    setElapsedTime(m_elapsedTime + 1.0);
    if (m_elapsedTime >= installationTimeout && !m_isInstallationCompleted) {
        handleTimeout();
        stopTimer();
    }
}

void InstallationController::progressTick() {
    if (m_isInstallationCompleted) {
        stopProgressAnimation();
        return;
    }
    double progress = m_state.installationProgress();
    if (m_progressDirection) {
        progress = std::min(progress + sweepStep, sweepHigh);
        m_state.setInstallationProgress(progress);
        if (progress >= sweepHigh) {
            setProgressDirection(false);
        }
    } else {
        progress = std::max(progress - sweepStep, sweepLow);
        m_state.setInstallationProgress(progress);
        if (progress <= sweepLow) {
            setProgressDirection(true);
        }
    }
}

void InstallationController::deliver(std::function<void()> report) {
    if (!m_runOpen) {
        return;
    }
    if (m_engineBusy) {
        m_deferredReports.push_back(std::move(report));
        return;
    }
    report();
}

void InstallationController::handleProgress(double progress) {
    deliver([this, progress] {
        if (progress > 0.0) {
            stopProgressAnimation();
            m_state.setInstallationProgress(progress);
        }
    });
}

void InstallationController::handleCompletion(bool success, const std::optional<QString>& message) {
    deliver([this, success, message] {
        m_runOpen = false;
        if (success) {
            m_state.appendLog(tr("安装完成，状态: 成功"));
            completeInstallation();
        } else if (message == DevtronInstaller::readExistingAccessMessage()) {
            m_state.readExistingInstallation();
        } else if (message && message->startsWith(QLatin1String("NO_ALERT:"))) {
            m_state.appendLog(tr("安装已取消: 集群中已存在Devtron"));
            goBackToPreviousStep();
        } else {
            handleFailure(message.value_or(tr("未知错误")));
        }
    });
}

void InstallationController::handleTimeout() {
    m_runOpen = false;
    m_state.setInstallationComplete(false);
    m_state.appendLog(tr("=== 安装超时 ==="));
    //: %1 is the elapsed time as mm:ss.
    m_state.appendLog(tr("安装已运行%1，已超过预定时间").arg(formatTime(m_elapsedTime)));
    m_state.appendLog(tr("自动返回安装选择页面"));
    stopProgressAnimation();
    stopTimer();
    if (m_devtronInstaller) {
        m_devtronInstaller->cancelInstallation();
    }
    after(timeoutReturnDelayMs, &InstallationController::goBackToPreviousStep);
}

void InstallationController::handleFailure(const QString& reason) {
    m_runOpen = false;
    m_state.appendLog(tr("=== 安装失败 ==="));
    m_state.appendLog(tr("失败原因: %1").arg(reason));
    m_state.showError(composeFailureMessage(reason, m_state.logs()));
    stopProgressAnimation();
    stopTimer();
    after(failureReturnDelayMs, &InstallationController::goBackToPreviousStep);
}

QString InstallationController::composeFailureMessage(const QString& reason, const QString& logs) {
    QString message;
    qsizetype length = 0;
    // A reason with a colon, full-width or not, already names what failed.
    if (reason.contains(tr("环境配置失败"))) {
        message = withSetupFailureAdvice(reason);
        length = perceivedLength(message);
    } else if (reason.contains(QChar(0xFF1A)) || reason.contains(QLatin1Char(':')) ||
               reason.contains(tr("安装失败"))) {
        message = reason;
        length = perceivedLength(message);
    } else {
        message = tr("安装失败: %1").arg(reason);
        // The prefix counts as long as it is in Chinese, so that a longer translation of it does
        // not keep the log's details from a short reason.
        length = perceivedLength(reason) + failurePrefixLength;
    }
    if (length >= shortMessageLength || logs.isEmpty()) {
        return message;
    }
    QStringList details;
    for (const QString& line : logs.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (LogFilter::belongsTo(line, LogFilter::LogLevel::error)) {
            details.append(line);
        }
    }
    if (details.isEmpty()) {
        return message;
    }
    //: %1 is the failure message, %2 the last error lines of the log.
    return tr("%1\n\n详细信息:\n%2")
        .arg(message, details.mid(std::max<qsizetype>(0, details.size() - detailLineCount))
                          .join(QLatin1Char('\n')));
}

void InstallationController::completeInstallation() {
    m_state.setInstallationProgress(1.0);
    setIsInstallationCompleted(true);
    m_state.appendLog(tr("安装完成，正在自动跳转到下一步..."));
    after(successAdvanceDelayMs, &InstallationController::advanceAfterSuccess);
}

void InstallationController::advanceAfterSuccess() {
    if (!m_installMode) {
        // The user may already have gone on with "下一步"; the step advances once.
        if (m_advanced || !isOnInstallationStep()) {
            return;
        }
        m_advanced = true;
        m_state.appendLog(tr("跳过等待服务启动页面，直接进入完成页面"));
        m_state.setCurrentStep(InstallationStep::completion);
        if (const auto start = m_state.installationStartTime()) {
            m_state.setInstallationTime(
                static_cast<double>(start->msecsTo(QDateTime::currentDateTime())) / 1000.0);
            m_state.appendLog(tr("总安装时间: %1")
                                  .arg(InstallationState::formatTime(m_state.installationTime())));
        }
        m_state.setIsInstalling(false);
        return;
    }
    moveToNextStep();
}

void InstallationController::moveToNextStep() {
    // The step machine acts later, on the GUI thread; the flag keeps a second request from
    // carrying the wizard one step too far meanwhile.
    if (m_advanced || !m_isInstallationCompleted || !isOnInstallationStep()) {
        return;
    }
    m_advanced = true;
    m_state.moveToNextStep();
}

void InstallationController::goBackToPreviousStep() {
    m_runOpen = false;
    m_state.appendLog(tr("返回到安装选择界面"));
    m_state.setCurrentStep(InstallationStep::devtronChoice);
    const QPointer<InstallationState> state(&m_state);
    QMetaObject::invokeMethod(
        &m_state,
        [state] {
            if (state) {
                state->setCurrentStep(InstallationStep::devtronChoice);
            }
        },
        Qt::QueuedConnection);
}

void InstallationController::copyLogsToClipboard() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(m_state.logs());
    }
    m_state.appendLog(tr("安装日志已复制到剪贴板"));
}

void InstallationController::after(int delayMs, void (InstallationController::*action)()) {
    m_delayedAction = action;
    m_delay.start(delayMs);
}

std::optional<int> InstallationController::pendingDelay() const {
    if (!m_delay.isActive()) {
        return std::nullopt;
    }
    return m_delay.interval();
}

void InstallationController::firePendingAction() {
    m_delay.stop();
    const auto action = std::exchange(m_delayedAction, nullptr);
    if (action != nullptr) {
        (this->*action)();
    }
}

QString InstallationController::formatTime(double seconds) {
    const auto whole =
        std::isfinite(seconds) && seconds > 0 ? static_cast<qint64>(std::min(seconds, 9e15)) : 0;
    return QStringLiteral("%1:%2")
        .arg(whole / 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

bool InstallationController::isOnInstallationStep() const {
    return m_state.currentStep() == InstallationStep::installation;
}

void InstallationController::setElapsedTime(double seconds) {
    m_elapsedTime = seconds;
    emit elapsedTimeChanged();
}

void InstallationController::setIsInstallationCompleted(bool completed) {
    m_isInstallationCompleted = completed;
    emit isInstallationCompletedChanged();
}

void InstallationController::setEngineBusy(bool busy) {
    m_engineBusy = busy;
    emit isEngineBusyChanged();
}

void InstallationController::setProgressDirection(bool rising) {
    m_progressDirection = rising;
    emit progressDirectionChanged();
}
