#include "views/waiting/WaitingForServicesController.h"

#include "installer/AccessLookup.h"
#include "installer/DevtronInstaller.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/ClusterTools.h"
#include "shell/GuiThread.h"
#include "views/waiting/CredentialParser.h"

#include <QPointer>

namespace {

using LineLogger = CredentialParser::LineLogger;

// Everything the background lookup needs, taken on the GUI thread before it starts.
struct LookupPlan {
    QString addressCommand;
    QString passwordCommand;
    EnvironmentOverlay environment;
    std::chrono::milliseconds timeLimit;
};

void logFailure(const LineLogger& log, const QString& prefix, const CommandResult& result) {
    log(prefix + QString::number(result.exitCode));
    if (!result.error.isEmpty()) {
        log(QStringLiteral("错误输出: ") + result.error);
    }
}

QString lookUpAddress(const LookupPlan& plan, const LineLogger& log) {
    log(QStringLiteral("获取Devtron服务地址: ") + plan.addressCommand);
    const CommandResult result =
        ShellUtils::runCommandWithEnv(plan.addressCommand, plan.environment, plan.timeLimit);
    QString address;
    if (result.exitCode == 0) {
        log(QStringLiteral("命令执行成功，正在解析输出..."));
        log(QStringLiteral("输出内容长度: ") + QString::number(result.output.toUtf8().size()) +
            QStringLiteral("字节"));
        log(QStringLiteral("完整输出:"));
        for (const QString& line : result.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            log(QStringLiteral(">> ") + line);
        }
        address = CredentialParser::findAddress(result.output, log);
    } else {
        logFailure(log, QStringLiteral("获取URL命令执行失败，退出代码: "), result);
    }

    if (address.isEmpty()) {
        address = DevtronInstaller::defaultDevtronUrl();
        log(QStringLiteral("未找到Devtron URL，使用默认值: ") + address);
        return address;
    }
    QString withPort = CredentialParser::completePort(address);
    if (withPort != address) {
        log(QStringLiteral("添加端口号到URL: ") + withPort);
    }
    return withPort;
}

QString lookUpPassword(const LookupPlan& plan, const LineLogger& log) {
    log(QStringLiteral("获取Devtron管理员密码: ") + plan.passwordCommand);
    const CommandResult result =
        ShellUtils::runCommandWithEnv(plan.passwordCommand, plan.environment, plan.timeLimit);
    QString fallback = DevtronInstaller::defaultDevtronPassword();
    if (result.exitCode != 0 || result.output.isEmpty()) {
        logFailure(log, QStringLiteral("获取密码命令执行失败，退出代码: "), result);
        log(QStringLiteral("使用默认密码: ") + fallback);
        return fallback;
    }
    const QString encoded = result.output.trimmed();
    // The encoded value is as good as the password itself: only its length is recorded.
    log(QStringLiteral("获取到编码密码: ") + AccessLookup::maskedSecret(encoded));
    const std::optional<QString> password = CredentialParser::decodePassword(encoded);
    if (!password) {
        log(QStringLiteral("Base64解码密码失败，使用默认密码"));
        return fallback;
    }
    log(QStringLiteral("Base64解码密码成功"));
    return *password;
}

} // namespace

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
    return m_isComplete ? Status::complete : Status::none;
}

double WaitingForServicesController::waitProgress() const {
    return static_cast<double>(waitSeconds - m_remainingTime) / waitSeconds;
}

void WaitingForServicesController::start() {
    m_state.appendLog(QStringLiteral("开始等待服务就绪阶段"));
    if (isInstallMode()) {
        m_state.appendLog(QStringLiteral("等待Devtron服务启动，倒计时: ") +
                          QString::number(m_remainingTime) + QStringLiteral("秒"));
        startTimer();
        return;
    }
    m_state.appendLog(QStringLiteral("跳过等待阶段（未安装Devtron）"));
    m_skipTimer.start();
}

void WaitingForServicesController::startTimer() {
    stopTimer();
    m_timer.start();
    emit isTimerRunningChanged();
}

void WaitingForServicesController::stopTimer() {
    const bool wasRunning = m_timer.isActive();
    m_timer.stop();
    if (wasRunning) {
        emit isTimerRunningChanged();
    }
    m_state.appendLog(QStringLiteral("停止等待计时器"));
}

void WaitingForServicesController::tick() {
    if (m_remainingTime <= 0) {
        return;
    }
    setRemainingTime(m_remainingTime - 1);
    if (m_remainingTime % 10 == 0) {
        m_state.appendLog(QStringLiteral("等待中... 剩余") + QString::number(m_remainingTime) +
                          QStringLiteral("秒"));
    }
    if (m_remainingTime == 0) {
        m_state.appendLog(QStringLiteral("等待时间结束，开始检索Devtron凭证"));
        retrieveDevtronCredentials();
    }
}

void WaitingForServicesController::retrieveDevtronCredentials() {
    if (m_isRetrievingCredentials) {
        return;
    }
    setIsRetrievingCredentials(true);
    m_state.appendLog(QStringLiteral("正在获取Devtron凭证..."));

    const LookupPlan plan{ClusterTools::addressCommand(), ClusterTools::passwordCommand(),
                          ClusterTools::environment(m_state.kubeconfigPath()), m_commandTimeLimit};
    // The pool job may outlive both this controller and the session: it holds only guards.
    const QPointer<WaitingForServicesController> self(this);
    BackgroundJobs::start([self, log = m_state.backgroundLogger(), plan] {
        log(QStringLiteral("执行Kubernetes命令获取Devtron信息"));
        Credentials credentials;
        credentials.address = lookUpAddress(plan, log);
        credentials.password = lookUpPassword(plan, log);
        postToGuiThread([self, credentials] {
            if (self) {
                self->finishLookup(credentials);
            }
        });
    });
}

void WaitingForServicesController::finishLookup(const Credentials& credentials) {
    // The user has moved on (or the session was reset): the answer belongs to no screen now.
    if (!isOnWaitStep()) {
        return;
    }
    m_state.setDevtronUrl(credentials.address);
    m_state.setDevtronPassword(credentials.password);
    m_state.appendLog(QStringLiteral("成功获取Devtron凭证，URL: ") + credentials.address +
                      QStringLiteral(", 用户名: admin"));
    m_state.appendLog(QStringLiteral("服务启动完成，可以进入下一步"));
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
