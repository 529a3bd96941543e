#include "cluster/CredentialLookup.h"

#include "cluster/CredentialParser.h"
#include "cluster/ServiceAddress.h"
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
    return {ClusterTools::addressCommand(),
            ClusterTools::devtronServiceCommand(),
            ClusterTools::nodesCommand(),
            ClusterTools::passwordCommand(),
            ClusterTools::environment(kubeconfigPath),
            timeLimit};
}

bool CredentialLookup::isMissingType(const CommandResult& result) {
    return result.exitCode != 0 &&
           result.error.contains(QLatin1String("the server doesn't have a resource type"));
}

void CredentialLookup::lookUpAddress(const Plan& plan, const LineLogger& log,
                                     DevtronAccess& access) {
    log(tr("获取Devtron服务地址: %1").arg(plan.addressCommand));
    const CommandResult result =
        ShellUtils::runCommandWithEnv(plan.addressCommand, plan.environment, plan.timeLimit);
    if (isMissingType(result)) {
        // Devtron as its own installer sets it up has no exporter: its Service is the way in.
        log(tr("集群中没有serviceexporter类型，改为读取devtron-service服务"));
        lookUpService(plan, log, access);
        return;
    }
    if (result.exitCode != 0) {
        logFailure(log, tr("获取URL命令执行失败，退出代码: %1"), result);
        access.address = DevtronAccess::Value::missing(failureReason(result));
        return;
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
        access.address = DevtronAccess::Value::missing(AccessLookup::noAddressInOutput());
        return;
    }
    const QString withPort = CredentialParser::completePort(address);
    if (withPort != address) {
        log(tr("添加端口号到URL: %1").arg(withPort));
    }
    access.address = DevtronAccess::Value::read(withPort);
    access.addressSource = AddressSource::exporter;
}

void CredentialLookup::lookUpService(const Plan& plan, const LineLogger& log,
                                     DevtronAccess& access) {
    log(tr("获取Devtron服务: %1").arg(plan.serviceCommand));
    const CommandResult service =
        ShellUtils::runCommandWithEnv(plan.serviceCommand, plan.environment, plan.timeLimit);
    if (service.exitCode != 0) {
        logFailure(log, tr("获取服务命令执行失败，退出代码: %1"), service);
        // Still the Service's way in, with the reason it could not be read.
        access.addressSource = AddressSource::tunnel;
        access.address = DevtronAccess::Value::missing(failureReason(service));
        return;
    }
    QString nodes;
    if (ServiceAddress::needsNodes(service.output)) {
        log(tr("获取节点地址: %1").arg(plan.nodesCommand));
        const CommandResult listed =
            ShellUtils::runCommandWithEnv(plan.nodesCommand, plan.environment, plan.timeLimit);
        if (listed.exitCode != 0) {
            logFailure(log, tr("获取节点命令执行失败，退出代码: %1"), listed);
        }
        nodes = listed.output;
    }
    const ServiceAddress found = ServiceAddress::fromJson(service.output, nodes);
    access.servicePort = found.servicePort;
    access.addressSource = found.source;
    if (found.source == AddressSource::none) {
        access.addressSource = AddressSource::tunnel;
        access.address = DevtronAccess::Value::missing(found.reason);
        return;
    }
    if (found.source == AddressSource::tunnel) {
        //: %1 says why the Service cannot be reached directly.
        log(tr("devtron-service无法从本机直接访问（%1），将通过本地隧道访问").arg(found.reason));
        access.address = DevtronAccess::Value::missing({});
        return;
    }
    log(tr("从devtron-service获取到地址: %1").arg(found.address));
    access.address = DevtronAccess::Value::read(found.address);
}

DevtronAccess::Value CredentialLookup::lookUpPassword(const Plan& plan, const LineLogger& log) {
    log(tr("获取Devtron管理员密码: %1").arg(plan.passwordCommand));
    const CommandResult result =
        ShellUtils::runCommandWithEnv(plan.passwordCommand, plan.environment, plan.timeLimit);
    if (result.exitCode == 0 && result.output.trimmed().isEmpty()) {
        // Devtron fills in the password some time after it is installed.
        log(tr("ADMIN_PASSWORD尚未生成"));
        return DevtronAccess::Value::notYet();
    }
    if (result.exitCode != 0) {
        logFailure(log, tr("获取密码命令执行失败，退出代码: %1"), result);
        return DevtronAccess::Value::missing(failureReason(result));
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
    lookUpAddress(plan, log, access);
    access.password = lookUpPassword(plan, log);
    return access;
}

void CredentialLookup::start(InstallationState& state, std::chrono::milliseconds timeLimit,
                             const QObject* receiver, Completion done) {
    startLookup(state, timeLimit, receiver, &CredentialLookup::run, std::move(done));
}

void CredentialLookup::startPassword(InstallationState& state, std::chrono::milliseconds timeLimit,
                                     const QObject* receiver, Completion done) {
    startLookup(
        state, timeLimit, receiver,
        [](const Plan& plan, const LineLogger& log) {
            DevtronAccess access;
            access.password = lookUpPassword(plan, log);
            return access;
        },
        std::move(done));
}

void CredentialLookup::startLookup(InstallationState& state, std::chrono::milliseconds timeLimit,
                                   const QObject* receiver, Lookup lookup, Completion done) {
    const Plan lookupPlan = plan(state.kubeconfigPath(), timeLimit);
    // The job may outlive both the receiver and the session: it holds only guards.
    const QPointer<const QObject> guard(receiver);
    BackgroundJobs::start([guard, lookupPlan, log = state.backgroundLogger(),
                           lookup = std::move(lookup), done = std::move(done)] {
        const DevtronAccess access = lookup(lookupPlan, log);
        postToGuiThread([guard, access, done] {
            if (guard) {
                done(access);
            }
        });
    });
}

void CredentialLookup::store(InstallationState& state, const DevtronAccess& access) {
    state.setDevtronUrlSource(access.addressSource);
    state.setDevtronServicePort(access.servicePort);
    state.setDevtronUrl(access.address.text.value_or(QString()));
    state.setDevtronUrlFailure(access.address.failure);
    state.setIsPasswordPending(access.password.pending);
    state.setDevtronPassword(access.password.text.value_or(QString()));
    state.setDevtronPasswordFailure(access.password.failure);
    if (access.isComplete()) {
        state.appendLog(
            tr("成功获取Devtron凭证，URL: %1, 用户名: admin").arg(*access.address.text));
        return;
    }
    if (access.hasAddress() && access.address.failure.isEmpty() && access.password.isRead()) {
        state.appendLog(tr("成功获取Devtron凭证，地址将通过本地隧道提供，用户名: admin"));
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

QString CredentialLookup::manualServiceCommand(const QString& kubeconfigPath) {
    return withKubeconfig(kubeconfigPath,
                          ShellUtils::quotePath(ClusterTools::kubectlPath()) +
                              QStringLiteral(" get service devtron-service -n devtroncd"));
}

QString CredentialLookup::manualTunnelCommand(const QString& kubeconfigPath, int localPort,
                                              int servicePort) {
    return withKubeconfig(kubeconfigPath, ClusterTools::tunnelCommand(localPort, servicePort));
}

QString CredentialLookup::manualPasswordCommand(const QString& kubeconfigPath) {
    return withKubeconfig(kubeconfigPath, ClusterTools::passwordCommand()) +
           QStringLiteral(" | base64 -d");
}
