#include "cluster/CredentialLookup.h"

#include "cluster/CredentialParser.h"
#include "installer/AccessLookup.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/GuiThread.h"

#include <QPointer>

namespace {

// `line` carries the exit code as %1.
void logFailure(const CredentialLookup::LineLogger& log, const QString& line,
                const CommandResult& result) {
    log(line.arg(result.exitCode));
    if (!result.error.isEmpty()) {
        log(QCoreApplication::translate("CredentialLookup", "错误输出: %1").arg(result.error));
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
    log(tr("获取Devtron服务地址: %1").arg(plan.addressCommand));
    const CommandResult result =
        ShellUtils::runCommandWithEnv(plan.addressCommand, plan.environment, plan.timeLimit);
    if (result.exitCode != 0) {
        logFailure(log, tr("获取URL命令执行失败，退出代码: %1"), result);
        return DevtronAccess::Value::missing(failureReason(result));
    }
    log(tr("命令执行成功，正在解析输出..."));
    log(tr("输出内容长度: %1字节").arg(result.output.toUtf8().size()));
    log(tr("完整输出:"));
    for (const QString& line : result.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        log(QStringLiteral(">> ") + line);
    }
    const QString address = CredentialParser::findAddress(result.output, log);
    if (address.isEmpty()) {
        log(tr("未找到Devtron URL"));
        return DevtronAccess::Value::missing(AccessLookup::noAddressInOutput());
    }
    const QString withPort = CredentialParser::completePort(address);
    if (withPort != address) {
        log(tr("添加端口号到URL: %1").arg(withPort));
    }
    return DevtronAccess::Value::read(withPort);
}

DevtronAccess::Value CredentialLookup::lookUpPassword(const Plan& plan, const LineLogger& log) {
    log(tr("获取Devtron管理员密码: %1").arg(plan.passwordCommand));
    const CommandResult result =
        ShellUtils::runCommandWithEnv(plan.passwordCommand, plan.environment, plan.timeLimit);
    if (result.exitCode != 0 || result.output.isEmpty()) {
        logFailure(log, tr("获取密码命令执行失败，退出代码: %1"), result);
        return DevtronAccess::Value::missing(
            result.exitCode == 0 ? AccessLookup::noPasswordInSecret() : failureReason(result));
    }
    const QString encoded = result.output.trimmed();
    // The encoded value is as good as the password itself: only its length is recorded.
    log(tr("获取到编码密码: %1").arg(AccessLookup::maskedSecret(encoded)));
    const std::optional<QString> password = CredentialParser::decodePassword(encoded);
    if (!password) {
        log(tr("Base64解码密码失败"));
        return DevtronAccess::Value::missing(AccessLookup::passwordNotBase64());
    }
    log(tr("Base64解码密码成功"));
    return DevtronAccess::Value::read(*password);
}

DevtronAccess CredentialLookup::run(const Plan& plan, const LineLogger& log) {
    log(tr("执行Kubernetes命令获取Devtron信息"));
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
        state.appendLog(
            tr("成功获取Devtron凭证，URL: %1, 用户名: admin").arg(*access.address.text));
        return;
    }
    if (access.address.isRead()) {
        state.appendLog(tr("获取到Devtron URL: %1").arg(*access.address.text));
    }
    for (const QString& line : failureLines(state)) {
        state.appendLog(line);
    }
}

QStringList CredentialLookup::failureLines(const InstallationState& state) {
    QStringList lines;
    if (!state.devtronUrlFailure().isEmpty()) {
        lines << tr("无法读取Devtron地址: %1").arg(state.devtronUrlFailure());
    }
    if (!state.devtronPasswordFailure().isEmpty()) {
        lines << tr("无法读取Devtron密码: %1").arg(state.devtronPasswordFailure());
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
