#include "views/waiting/WaitingForServicesController.h"

#include "cluster/CredentialLookup.h"
#include "session/InstallationState.h"

WaitingForServicesController::WaitingForServicesController(InstallationState& state,
                                                           QObject* parent)
    : QObject(parent), m_state(state) {
    m_timer.setInterval(std::chrono::seconds(1));
    connect(&m_timer, &QTimer::timeout, this, &WaitingForServicesController::tick);
    m_skipTimer.setSingleShot(true);
    m_skipTimer.setInterval(skipDelay);
    connect(&m_skipTimer, &QTimer::timeout, this, &WaitingForServicesController::completeSkip);
}

bool WaitingForServicesController::isInstallMode() const {
    return m_state.installDevtron();
}

WaitingForServicesController::Status WaitingForServicesController::status() const {
    if (m_remainingTime > 0 && !m_isComplete) {
        return Status::counting;
    }
    if (m_isRetrievingCredentials) {
        return Status::retrieving;
    }
    if (!m_isComplete) {
        return Status::none;
    }
    return CredentialLookup::failureLines(m_state).isEmpty() ? Status::complete : Status::unread;
}

QString WaitingForServicesController::unreadText() const {
    if (status() != Status::unread) {
        return {};
    }
    return CredentialLookup::failureLines(m_state).join(QLatin1Char('\n'));
}

int WaitingForServicesController::countdownSeconds() {
    bool valid = false;
    const int seconds = qEnvironmentVariableIntValue("NIMBREL_SERVICE_WAIT_SECONDS", &valid);
    return valid && seconds > 0 && seconds < waitSeconds ? seconds : waitSeconds;
}

double WaitingForServicesController::waitProgress() const {
    return static_cast<double>(m_countdownSeconds - m_remainingTime) / m_countdownSeconds;
}

void WaitingForServicesController::start() {
    m_state.appendLog(tr("开始等待服务就绪阶段"));
    if (m_state.readsExistingInstallation()) {
        // Devtron has been running for a while: nothing to wait for.
        m_state.appendLog(tr("Devtron已在运行，直接获取访问信息"));
        setRemainingTime(0);
        retrieveDevtronCredentials();
        return;
    }
    if (isInstallMode()) {
        m_state.appendLog(tr("等待Devtron服务启动，倒计时: %1秒").arg(m_remainingTime));
        startTimer();
        m_readiness.start();
        return;
    }
    m_state.appendLog(tr("跳过等待阶段（未安装Devtron）"));
    m_skipTimer.start();
}

void WaitingForServicesController::startTimer() {
    stopTimer();
    m_timer.start();
    emit isTimerRunningChanged();
}

void WaitingForServicesController::stopTimer() {
    m_readiness.stop();
    const bool wasRunning = m_timer.isActive();
    m_timer.stop();
    if (wasRunning) {
        emit isTimerRunningChanged();
    }
    m_state.appendLog(tr("停止等待计时器"));
}

void WaitingForServicesController::tick() {
    if (m_remainingTime <= 0) {
        return;
    }
    setRemainingTime(m_remainingTime - 1);
    if (m_remainingTime % 10 == 0) {
        m_state.appendLog(tr("等待中... 剩余%1秒").arg(m_remainingTime));
    }
    if (m_remainingTime == 0) {
        m_state.appendLog(tr("等待时间结束，开始检索Devtron凭证"));
        retrieveDevtronCredentials();
    }
}

void WaitingForServicesController::retrieveDevtronCredentials() {
    if (m_isRetrievingCredentials) {
        return;
    }
    setIsRetrievingCredentials(true);
    m_state.appendLog(tr("正在获取Devtron凭证..."));

    CredentialLookup::start(m_state, m_commandTimeLimit, this,
                            [this](const DevtronAccess& access) { finishLookup(access); });
}

void WaitingForServicesController::finishLookup(const DevtronAccess& access) {
    // The user has moved on (or the session was reset): the answer belongs to no screen now.
    if (!isOnWaitStep()) {
        return;
    }
    CredentialLookup::store(m_state, access);
    // A tunnel still to open and a password still to come are no failures.
    if (CredentialLookup::failureLines(m_state).isEmpty()) {
        m_state.appendLog(tr("服务启动完成，可以进入下一步"));
    } else {
        m_state.appendLog(tr("未能获取完整的Devtron凭证，可在下一步重新读取"));
    }
    setIsRetrievingCredentials(false);
    setIsComplete(true);
    m_state.setInstallationComplete(true);
}

void WaitingForServicesController::moveToNextStep() {
    // Each press posts one advance; a second one would carry the wizard past the completion.
    if (m_hasMovedOn || !isOnWaitStep()) {
        return;
    }
    m_hasMovedOn = true;
    m_state.moveToNextStep();
}

void WaitingForServicesController::firePendingSkip() {
    if (m_skipTimer.isActive()) {
        m_skipTimer.stop();
        completeSkip();
    }
}

void WaitingForServicesController::completeSkip() {
    if (!isOnWaitStep()) {
        return;
    }
    setIsComplete(true);
    m_state.setInstallationComplete(true);
    moveToNextStep();
}

bool WaitingForServicesController::isOnWaitStep() const {
    return m_state.currentStep() == InstallationStep::waitingForServices;
}

void WaitingForServicesController::setRemainingTime(int seconds) {
    m_remainingTime = seconds;
    emit remainingTimeChanged();
}

void WaitingForServicesController::setIsComplete(bool complete) {
    m_isComplete = complete;
    emit isCompleteChanged();
}

void WaitingForServicesController::setIsRetrievingCredentials(bool retrieving) {
    m_isRetrievingCredentials = retrieving;
    emit isRetrievingCredentialsChanged();
}
