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
        return QStringLiteral("文件内容不是有效的UTF-8文本");
    }
    return std::nullopt;
}

} // namespace

EnvironmentSetup::EnvironmentSetup(QString kubeconfigPath, LineLog log,
                                   SandboxCheck isRunningSandboxed)
    : m_kubeconfigPath(std::move(kubeconfigPath)), m_log(std::move(log)),
      m_isRunningSandboxed(std::move(isRunningSandboxed)) {}

bool EnvironmentSetup::setupEnvironment() {
    m_log(QStringLiteral("开始配置环境..."));
    logSystemInfo();
    if (m_isRunningSandboxed()) {
        m_log(QStringLiteral("检测到应用在沙箱环境中运行，确保网络访问权限..."));
        ensureNetworkAccess();
    }

    if (!QFileInfo::exists(m_kubeconfigPath)) {
        m_log(QStringLiteral("Kubeconfig文件不存在: ") + m_kubeconfigPath);
        return false;
    }
    if (const auto reason = unreadableReason(m_kubeconfigPath)) {
        m_log(QStringLiteral("无法读取Kubeconfig文件: ") + *reason);
        return false;
    }
    m_log(QStringLiteral("Kubeconfig文件可读，将直接使用: ") + m_kubeconfigPath);

    // Set for each child only, through its environment: changing the process environment would
    // race with every thread that reads it.
    m_log(QStringLiteral("已设置KUBECONFIG环境变量为: ") + m_kubeconfigPath);

    const QString kubectl = ClusterTools::kubectlPath();
    const QString helm = ClusterTools::helmPath();
    if (!QFileInfo::exists(kubectl) || !QFileInfo::exists(helm)) {
        m_log(QStringLiteral("应用内置工具不存在，请重新安装应用"));
        return false;
    }

    constexpr auto executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                QFileDevice::ExeOther;
    if (QFile::setPermissions(kubectl, executable) && QFile::setPermissions(helm, executable)) {
        m_log(QStringLiteral("已设置工具执行权限"));
    } else {
        run(QStringLiteral("chmod +x ") + ShellUtils::quotePath(kubectl) + QLatin1Char(' ') +
            ShellUtils::quotePath(helm));
    }

    const CommandResult kubectlProbe = run(ClusterTools::kubectlVersionCommand());
    if (kubectlProbe.exitCode != 0) {
        m_log(QStringLiteral("kubectl工具测试失败: ") + kubectlProbe.error);
        return false;
    }
    m_log(QStringLiteral("kubectl工具可用: ") + kubectl);

    const CommandResult helmProbe = run(ClusterTools::helmVersionCommand());
    if (helmProbe.exitCode != 0) {
        m_log(QStringLiteral("helm工具测试失败: ") + helmProbe.error);
        return false;
    }
    m_log(QStringLiteral("helm工具可用: ") + helm);
    m_log(QStringLiteral("环境配置完成 - 使用应用内置工具"));
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
        m_log(command + QStringLiteral(" 已在应用内置工具目录中找到: ") + builtIn);
        const CommandResult listing =
            run(QStringLiteral("ls -l ") + ShellUtils::quotePath(builtIn));
        m_log(QStringLiteral("工具权限: ") + listing.output.trimmed());
        run(QStringLiteral("chmod +x ") + ShellUtils::quotePath(builtIn));
        checkCommandVersion(builtIn);
        return;
    }
    const CommandResult found = run(QStringLiteral("which ") + command);
    if (found.exitCode == 0) {
        m_log(command + QStringLiteral(" 已在系统路径中找到: ") + found.output.trimmed());
        checkCommandVersion(command);
    } else {
        m_log(command + QStringLiteral(" 未在系统中安装，将使用应用内置版本"));
    }
}

void EnvironmentSetup::checkCommandVersion(const QString& path) {
    const QString arguments = path.contains(QStringLiteral("kubectl"))
                                  ? QStringLiteral("version --client")
                                  : QStringLiteral("version --short");
    const CommandResult result = run(ShellUtils::quotePath(path) + QLatin1Char(' ') + arguments);
    if (result.exitCode == 0) {
        m_log(path + QStringLiteral(" 版本: ") + result.output.trimmed());
    } else {
        m_log(QStringLiteral("无法获取 ") + path + QStringLiteral(" 版本信息: ") + result.error);
    }
}

CommandResult EnvironmentSetup::run(const QString& command) const {
    return ShellUtils::runCommandWithEnv(command, ClusterTools::environment(m_kubeconfigPath));
}

bool EnvironmentSetup::ensureNetworkAccess() {
    m_log(QStringLiteral("检查网络访问权限..."));
    m_log(QStringLiteral("已启用网络访问权限"));
    return true;
}
