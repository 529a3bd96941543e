#include "installer/EnvironmentSetup.h"

#include "installer/SystemInfo.h"
#include "shell/ClusterTools.h"
#include "shell/PrivateFile.h"
#include "shell/ShellUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <utility>

namespace {

// Why the kubeconfig cannot be used, or nothing when it is a readable UTF-8 file.
std::optional<QString> unreadableReason(const QString& path) {
    const PrivateFile::ReadResult read = PrivateFile::readRegularFile(path);
    if (!read.bytes) {
        return read.failureDescription;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(*read.bytes);
    if (decoder.hasError()) {
        return QCoreApplication::translate("EnvironmentSetup", "文件内容不是有效的UTF-8文本");
    }
    return std::nullopt;
}

} // namespace

EnvironmentSetup::EnvironmentSetup(QString kubeconfigPath, LineLog log,
                                   SandboxCheck isRunningSandboxed)
    : m_kubeconfigPath(std::move(kubeconfigPath)), m_log(std::move(log)),
      m_isRunningSandboxed(std::move(isRunningSandboxed)) {}

bool EnvironmentSetup::setupEnvironment() {
    m_log(tr("开始配置环境..."));
    logSystemInfo();
    if (m_isRunningSandboxed()) {
        m_log(tr("检测到应用在沙箱环境中运行，确保网络访问权限..."));
        ensureNetworkAccess();
    }

    if (!QFileInfo::exists(m_kubeconfigPath)) {
        m_log(tr("Kubeconfig文件不存在: %1").arg(m_kubeconfigPath));
        return false;
    }
    if (const auto reason = unreadableReason(m_kubeconfigPath)) {
        m_log(tr("无法读取Kubeconfig文件: %1").arg(*reason));
        return false;
    }
    m_log(tr("Kubeconfig文件可读，将直接使用: %1").arg(m_kubeconfigPath));

    // Set for each child only, through its environment: changing the process environment would
    // race with every thread that reads it.
    m_log(tr("已设置KUBECONFIG环境变量为: %1").arg(m_kubeconfigPath));

    const QString kubectl = ClusterTools::kubectlPath();
    const QString helm = ClusterTools::helmPath();
    if (!QFileInfo::exists(kubectl) || !QFileInfo::exists(helm)) {
        m_log(tr("应用内置工具不存在，请重新安装应用"));
        return false;
    }

    constexpr auto executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                QFileDevice::ExeOther;
    if (QFile::setPermissions(kubectl, executable) && QFile::setPermissions(helm, executable)) {
        m_log(tr("已设置工具执行权限"));
    } else {
        run(QStringLiteral("chmod +x ") + ShellUtils::quotePath(kubectl) + QLatin1Char(' ') +
            ShellUtils::quotePath(helm));
    }

    const CommandResult kubectlProbe = run(ClusterTools::kubectlVersionCommand());
    if (kubectlProbe.exitCode != 0) {
        m_log(tr("kubectl工具测试失败: %1").arg(kubectlProbe.error));
        return false;
    }
    m_log(tr("kubectl工具可用: %1").arg(kubectl));

    const CommandResult helmProbe = run(ClusterTools::helmVersionCommand());
    if (helmProbe.exitCode != 0) {
        m_log(tr("helm工具测试失败: %1").arg(helmProbe.error));
        return false;
    }
    m_log(tr("helm工具可用: %1").arg(helm));
    m_log(tr("环境配置完成 - 使用应用内置工具"));
    return true;
}

void EnvironmentSetup::logSystemInfo() {
    for (const QString& line : SystemInfo::describe()) {
        m_log(line);
    }
    checkCommandExists(QStringLiteral("kubectl"));
    checkCommandExists(QStringLiteral("helm"));
    m_log(QStringLiteral("========================"));
}

void EnvironmentSetup::checkCommandExists(const QString& command) {
    const QString builtIn = ClusterTools::toolsDirectory() + QLatin1Char('/') + command;
    if (QFileInfo::exists(builtIn)) {
        //: %1 is the tool's name (kubectl or helm), %2 its path.
        m_log(tr("%1 已在应用内置工具目录中找到: %2").arg(command, builtIn));
        const CommandResult listing =
            run(QStringLiteral("ls -l ") + ShellUtils::quotePath(builtIn));
        m_log(tr("工具权限: %1").arg(listing.output.trimmed()));
        run(QStringLiteral("chmod +x ") + ShellUtils::quotePath(builtIn));
        checkCommandVersion(builtIn);
        return;
    }
    const CommandResult found = run(QStringLiteral("which ") + command);
    if (found.exitCode == 0) {
        //: %1 is the tool's name (kubectl or helm), %2 its path.
        m_log(tr("%1 已在系统路径中找到: %2").arg(command, found.output.trimmed()));
        checkCommandVersion(command);
    } else {
        //: %1 is the tool's name (kubectl or helm).
        m_log(tr("%1 未在系统中安装，将使用应用内置版本").arg(command));
    }
}

void EnvironmentSetup::checkCommandVersion(const QString& path) {
    const QString arguments = path.contains(QStringLiteral("kubectl"))
                                  ? QStringLiteral("version --client")
                                  : QStringLiteral("version --short");
    const CommandResult result = run(ShellUtils::quotePath(path) + QLatin1Char(' ') + arguments);
    if (result.exitCode == 0) {
        //: %1 is the tool's path, %2 the version it printed.
        m_log(tr("%1 版本: %2").arg(path, result.output.trimmed()));
    } else {
        //: %1 is the tool's path, %2 its error output.
        m_log(tr("无法获取 %1 版本信息: %2").arg(path, result.error));
    }
}

CommandResult EnvironmentSetup::run(const QString& command) const {
    return ShellUtils::runCommandWithEnv(command, ClusterTools::environment(m_kubeconfigPath));
}

bool EnvironmentSetup::ensureNetworkAccess() {
    m_log(tr("检查网络访问权限..."));
    m_log(tr("已启用网络访问权限"));
    return true;
}
