#include "views/waiting/CredentialLookup.h"

#include "installer/AccessLookup.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/GuiThread.h"
#include "views/waiting/CredentialParser.h"

#include <QPointer>

namespace {

void logFailure(const CredentialLookup::LineLogger& log, const QString& prefix,
                const CommandResult& result) {
    log(prefix + QString::number(result.exitCode));
    if (!result.error.isEmpty()) {
        log(QStringLiteral("错误输出: ") + result.error);
    }
}

// kubectl ends its message with a line feed, which would leave an empty line after the reason in
// the log and on the screen.
QString failureReason(const CommandResult& result) {
    return ClusterErrors::classify(result.error.trimmed());
}

QString withKubeconfig(const QString& kubeconfigPath, const QString& command) {
    return QStringLiteral("KUBECONFIG=") + ShellUtils::quotePath(kubeconfigPath) + u' ' + command;
}

} // namespace

CredentialLookup::Plan CredentialLookup::plan(const QString& kubeconfigPath,
                                              std::chrono::milliseconds timeLimit) {
    return {ClusterTools::addressCommand(), ClusterTools::passwordCommand(),
            ClusterTools::environment(kubeconfigPath), timeLimit};
}

DevtronAccess::Value CredentialLookup::lookUpAddress(const Plan& plan, const LineLogger& log) {
    log(QStringLiteral("获取Devtron服务地址: ") + plan.addressCommand);
    const CommandResult result =
        ShellUtils::runCommandWithEnv(plan.addressCommand, plan.environment, plan.timeLimit);
    if (result.exitCode != 0) {
        logFailure(log, QStringLiteral("获取URL命令执行失败，退出代码: "), result);
        return DevtronAccess::Value::missing(failureReason(result));
    }
    log(QStringLiteral("命令执行成功，正在解析输出..."));
    log(QStringLiteral("输出内容长度: ") + QString::number(result.output.toUtf8().size()) +
        QStringLiteral("字节"));
    log(QStringLiteral("完整输出:"));
    for (const QString& line : result.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        log(QStringLiteral(">> ") + line);
    }
    const QString address = CredentialParser::findAddress(result.output, log);
    if (address.isEmpty()) {
        log(QStringLiteral("未找到Devtron URL"));
        return DevtronAccess::Value::missing(AccessLookup::noAddressInOutput());
    }
    const QString withPort = CredentialParser::completePort(address);
    if (withPort != address) {
        log(QStringLiteral("添加端口号到URL: ") + withPort);
    }
    return DevtronAccess::Value::read(withPort);
}

DevtronAccess::Value CredentialLookup::lookUpPassword(const Plan& plan, const LineLogger& log) {
    log(QStringLiteral("获取Devtron管理员密码: ") + plan.passwordCommand);
    const CommandResult result =
        ShellUtils::runCommandWithEnv(plan.passwordCommand, plan.environment, plan.timeLimit);
    if (result.exitCode != 0 || result.output.isEmpty()) {
        logFailure(log, QStringLiteral("获取密码命令执行失败，退出代码: "), result);
        return DevtronAccess::Value::missing(
            result.exitCode == 0 ? AccessLookup::noPasswordInSecret() : failureReason(result));
    }
    const QString encoded = result.output.trimmed();
    // The encoded value is as good as the password itself: only its length is recorded.
    log(QStringLiteral("获取到编码密码: ") + AccessLookup::maskedSecret(encoded));
    const std::optional<QString> password = CredentialParser::decodePassword(encoded);
    if (!password) {
        log(QStringLiteral("Base64解码密码失败"));
        return DevtronAccess::Value::missing(AccessLookup::passwordNotBase64());
    }
    log(QStringLiteral("Base64解码密码成功"));
    return DevtronAccess::Value::read(*password);
}

DevtronAccess CredentialLookup::run(const Plan& plan, const LineLogger& log) {
    log(QStringLiteral("执行Kubernetes命令获取Devtron信息"));
    DevtronAccess access;
    access.address = lookUpAddress(plan, log);
    access.password = lookUpPassword(plan, log);
    return access;
}

void CredentialLookup::start(InstallationState& state, std::chrono::milliseconds timeLimit,
                             const QObject* receiver, Completion done) {
    const Plan lookupPlan = plan(state.kubeconfigPath(), timeLimit);
    // The job may outlive both the receiver and the session: it holds only guards.
    const QPointer<const QObject> guard(receiver);
    BackgroundJobs::start(
        [guard, lookupPlan, log = state.backgroundLogger(), done = std::move(done)] {
            const DevtronAccess access = run(lookupPlan, log);
            postToGuiThread([guard, access, done] {
                if (guard) {
                    done(access);
                }
            });
        });
}

void CredentialLookup::store(InstallationState& state, const DevtronAccess& access) {
    state.setDevtronUrl(access.address.text.value_or(QString()));
    state.setDevtronUrlFailure(access.address.failure);
    state.setDevtronPassword(access.password.text.value_or(QString()));
    state.setDevtronPasswordFailure(access.password.failure);
    if (access.isComplete()) {
        state.appendLog(QStringLiteral("成功获取Devtron凭证，URL: ") + *access.address.text +
                        QStringLiteral(", 用户名: admin"));
        return;
    }
    if (access.address.isRead()) {
        state.appendLog(QStringLiteral("获取到Devtron URL: ") + *access.address.text);
    }
    for (const QString& line : failureLines(state)) {
        state.appendLog(line);
    }
}

QStringList CredentialLookup::failureLines(const InstallationState& state) {
    QStringList lines;
    if (!state.devtronUrlFailure().isEmpty()) {
        lines << QStringLiteral("无法读取Devtron地址: ") + state.devtronUrlFailure();
    }
    if (!state.devtronPasswordFailure().isEmpty()) {
        lines << QStringLiteral("无法读取Devtron密码: ") + state.devtronPasswordFailure();
    }
    return lines;
}

QString CredentialLookup::manualAddressCommand(const QString& kubeconfigPath) {
    return withKubeconfig(kubeconfigPath, ClusterTools::addressCommand());
}

QString CredentialLookup::manualPasswordCommand(const QString& kubeconfigPath) {
    return withKubeconfig(kubeconfigPath, ClusterTools::passwordCommand()) +
           QStringLiteral(" | base64 -d");
}
