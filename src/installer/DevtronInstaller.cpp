#include "installer/DevtronInstaller.h"

#include "shell/AppPaths.h"
#include "shell/ShellUtils.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include <QSysInfo>
#include <QThread>
#include <QTime>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A kubeconfig is a few kilobytes; anything this large is not one and must not be slurped.
constexpr qint64 kMaxKubeconfigBytes = qint64{16} * 1024 * 1024;
constexpr std::uint64_t kBytesPerGiB = std::uint64_t{1} << 30;

QString setupFailedMessage() {
    return QStringLiteral("环境配置失败：无法设置Kubernetes环境。请检查kubeconfig文件权限和有效性，"
                          "以及kubectl和helm工具是否正常安装。");
}

QString quoted(const QString& path) {
    return ShellUtils::quotePath(path);
}

QString errnoText(int error) {
    return QString::fromStdString(std::error_code(error, std::generic_category()).message());
}

// The UTC moment in the form "2026-12-05 06:03:07 +0000".
QString currentMoment() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral(" +0000");
}

// The locale's long time format carries the time zone ("t"); the log wants the time of day only.
QString timeOfDay() {
    const QLocale locale = QLocale::system();
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool inLiteral = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            inLiteral = !inLiteral;
        }
        if (!inLiteral && c == QLatin1Char('t')) {
            continue;
        }
        withoutZone.append(c);
    }
    return locale.toString(QTime::currentTime(), withoutZone.simplified());
}

QString maskedSecret(const QString& secret) {
    return QStringLiteral("<已隐藏, %1 字符>").arg(secret.size());
}

std::mutex& staticsMutex() {
    static std::mutex mutex;
    return mutex;
}

DevtronInstaller::AlertHook& alertHookStorage() {
    static DevtronInstaller::AlertHook hook;
    return hook;
}

std::optional<std::uint64_t>& memoryOverrideStorage() {
    static std::optional<std::uint64_t> bytes;
    return bytes;
}

std::uint64_t physicalMemoryBytes() {
    {
        const std::lock_guard lock(staticsMutex());
        if (memoryOverrideStorage()) {
            return *memoryOverrideStorage();
        }
    }
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

long processorCount() {
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? online : QThread::idealThreadCount();
}

QString operatingSystemVersion() {
    return QSysInfo::prettyProductName() + QStringLiteral(" (") + QSysInfo::kernelType() +
           QLatin1Char(' ') + QSysInfo::kernelVersion() + QLatin1Char(')');
}

QString loginName() {
    passwd entry{};
    passwd* found = nullptr;
    std::array<char, 4096> buffer{};
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        return QString::fromLocal8Bit(found->pw_name);
    }
    return qEnvironmentVariable("USER");
}

// Reads the kubeconfig without blocking on a FIFO or device and without slurping a huge file.
bool readKubeconfigText(const QString& path, QString& error) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = errnoText(errno);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = file.errorString();
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = errnoText(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = QStringLiteral("这是一个文件夹，不是普通文件");
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = QStringLiteral("不是普通文件（管道、套接字或设备）");
        return false;
    }
    const QString tooLarge = QStringLiteral("文件过大（超过16 MiB），不是有效的Kubeconfig文件");
    if (info.st_size > kMaxKubeconfigBytes) {
        error = tooLarge;
        return false;
    }
    const QByteArray bytes = file.read(kMaxKubeconfigBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    if (bytes.size() > kMaxKubeconfigBytes) {
        error = tooLarge;
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError()) {
        error = QStringLiteral("文件内容不是有效的UTF-8文本");
        return false;
    }
    return true;
}

// Error reports may quote credentials or cluster details: owner-only, in the private folder.
bool writePrivateReport(const QString& name, const QString& text, QString& path, QString& error) {
    const QString folder = AppPaths::privateTempDirectory();
    if (folder.isEmpty()) {
        error = QStringLiteral("没有可用的私有临时目录");
        return false;
    }
    path = folder + name;
    constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    file.setPermissions(ownerOnly);
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!QFile::setPermissions(path, ownerOnly)) {
        error = QStringLiteral("无法设置错误报告的访问权限");
        return false;
    }
    return true;
}

void showAlert(const QString& message, const QString& informativeText) {
    DevtronInstaller::AlertHook hook;
    {
        const std::lock_guard lock(staticsMutex());
        hook = alertHookStorage();
    }
    if (hook) {
        hook(message, informativeText);
        return;
    }
    std::fputs(qPrintable(message + QLatin1Char('\n') + informativeText + QLatin1Char('\n')),
               stdout);
    std::fflush(stdout);
}

void postToGuiThread(std::function<void()> work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        work();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

} // namespace

// Everything a background completion touches lives here, so that the job can hold it through a
// weak reference and simply find nothing once the installer is gone.
struct DevtronInstaller::Core : std::enable_shared_from_this<DevtronInstaller::Core> {
    QString kubeconfigPath;
    QString installScriptPath;
    QString toolsDir;
    QString kubectlPath;
    QString helmPath;
    ProgressCallback progressCallback;
    LogCallback logCallback;
    CompletionCallback completionCallback;
    std::atomic<bool> setupCompleted{false};
    std::atomic<bool> isInstalling{false};
    QString logFilePath;

    // The GUI thread and a completion may write or close the log at the same moment.
    std::mutex logMutex;
    std::unique_ptr<QFile> logFileHandle;

    // Held while a callback runs, so that once the destructor has set `detached` none is running
    // and none will start. Recursive: a callback may itself destroy the installer.
    std::recursive_mutex callbackMutex;
    bool detached = false;

    static QString getStandardLogFilePath();
    static bool isRunningSandboxedStatic();
    void initLogFile();
    void appendToLog(const QString& message);
    void log(const QString& message);

    bool setupEnvironment();
    void logSystemInfo();
    void checkCommandExists(const QString& command);
    void checkCommandVersion(const QString& path);

    void installDevtron();
    bool checkDevtronInstalled();
    void proceedWithInstallation();
    void finishInstallation(const QString& command, const QString& output, const QString& error,
                            int exitCode);

    void retrieveDevtronInfo(InfoCompletion completion);
    void finishAddressLookup(const QString& output, const QString& error, int exitCode,
                             const InfoCompletion& completion);
    void finishPasswordLookup(const QString& url, const QString& output, const QString& error,
                              int exitCode, const InfoCompletion& completion);
    // Logs a failed lookup's error text and leaves it in a private report, also on the clipboard.
    void reportLookupFailure(const QString& title, int closingRuleLength, const QString& command,
                             int exitCode, const QString& error, const QString& fileName,
                             const QString& savedPrefix);

    void closeLogFile();
    void cancelInstallation();
    bool isRunningSandboxed();
    bool ensureNetworkAccess();
    void copyToClipboard(const QString& text);

    EnvironmentOverlay clusterOverlay() const;
    QString addressCommand() const;
    QString passwordCommand() const;

    bool isDetached();
    void detach();
    void notifyLog(const QString& message);
    void reportProgress(double fraction);
    void complete(bool success, const std::optional<QString>& message);
    void deliverInfo(const InfoCompletion& completion, const QString& url, const QString& password);
};

QString DevtronInstaller::Core::getStandardLogFilePath() {
    const QString folder = AppPaths::logDirectory();
    if (!QFileInfo::exists(folder)) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(folder.toStdString()), error);
        if (error) {
            std::fputs(qPrintable(QStringLiteral("无法创建标准日志目录: ") +
                                  QString::fromStdString(error.message()) + QLatin1Char('\n')),
                       stdout);
            std::fflush(stdout);
            const QString temp = AppPaths::privateTempDirectory();
            return temp.isEmpty() ? QString() : temp + QStringLiteral("devtron_install.log");
        }
    }
    return folder + QStringLiteral("/devtron_install.log");
}

void DevtronInstaller::Core::initLogFile() {
    if (logFilePath.isEmpty()) {
        notifyLog(QStringLiteral("无法创建日志文件: 没有可用的日志目录"));
        return;
    }
    const QFileInfo existing(logFilePath);
    if (existing.exists() || existing.isSymLink()) {
        QFile old(logFilePath);
        if (!old.remove()) {
            notifyLog(QStringLiteral("无法创建日志文件: ") + old.errorString());
            return;
        }
    }
    // Unbuffered append: every line lands at the current end, after the session log's own lines.
    auto file = std::make_unique<QFile>(logFilePath);
    if (file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const std::lock_guard lock(logMutex);
        logFileHandle = std::move(file);
    }
    appendToLog(QStringLiteral("===================================\nDevtron 安装日志 - 开始于 ") +
                currentMoment() + QStringLiteral("\n===================================\n"));
    const QString location = QStringLiteral("完整安装日志文件位置: ") + logFilePath;
    appendToLog(location);
    notifyLog(location);
}

void DevtronInstaller::Core::appendToLog(const QString& message) {
    const std::lock_guard lock(logMutex);
    if (!logFileHandle) {
        return;
    }
    const QString line =
        QLatin1Char('[') + timeOfDay() + QStringLiteral("] ") + message + QLatin1Char('\n');
    logFileHandle->write(line.toUtf8());
}

void DevtronInstaller::Core::log(const QString& message) {
    appendToLog(message);
    notifyLog(message);
}

bool DevtronInstaller::Core::setupEnvironment() {
    log(QStringLiteral("开始配置环境..."));
    logSystemInfo();
    if (isRunningSandboxed()) {
        log(QStringLiteral("检测到应用在沙箱环境中运行，确保网络访问权限..."));
        ensureNetworkAccess();
    }

    if (!QFileInfo::exists(kubeconfigPath)) {
        log(QStringLiteral("Kubeconfig文件不存在: ") + kubeconfigPath);
        return false;
    }
    QString readError;
    if (!readKubeconfigText(kubeconfigPath, readError)) {
        log(QStringLiteral("无法读取Kubeconfig文件: ") + readError);
        return false;
    }
    log(QStringLiteral("Kubeconfig文件可读，将直接使用: ") + kubeconfigPath);

    if (!ShellUtils::setEnvironmentVariable(QStringLiteral("KUBECONFIG"), kubeconfigPath)) {
        log(QStringLiteral("设置KUBECONFIG环境变量失败"));
        return false;
    }
    log(QStringLiteral("已设置KUBECONFIG环境变量为: ") + kubeconfigPath);

    if (!QFileInfo::exists(kubectlPath) || !QFileInfo::exists(helmPath)) {
        log(QStringLiteral("应用内置工具不存在，请重新安装应用"));
        return false;
    }

    constexpr auto executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                QFileDevice::ExeOther;
    if (QFile::setPermissions(kubectlPath, executable) &&
        QFile::setPermissions(helmPath, executable)) {
        log(QStringLiteral("已设置工具执行权限"));
    } else {
        ShellUtils::runCommand(QStringLiteral("chmod +x ") + quoted(kubectlPath) +
                               QLatin1Char(' ') + quoted(helmPath));
    }

    const CommandResult kubectl =
        ShellUtils::runCommand(quoted(kubectlPath) + QStringLiteral(" version --client"));
    if (kubectl.exitCode != 0) {
        log(QStringLiteral("kubectl工具测试失败: ") + kubectl.error);
        return false;
    }
    log(QStringLiteral("kubectl工具可用: ") + kubectlPath);

    const CommandResult helm =
        ShellUtils::runCommand(quoted(helmPath) + QStringLiteral(" version --short"));
    if (helm.exitCode != 0) {
        log(QStringLiteral("helm工具测试失败: ") + helm.error);
        return false;
    }
    log(QStringLiteral("helm工具可用: ") + helmPath);

    setupCompleted = true;
    log(QStringLiteral("环境配置完成 - 使用应用内置工具"));
    return true;
}

void DevtronInstaller::Core::logSystemInfo() {
    log(QStringLiteral("===== 系统环境信息 ====="));
    log(QStringLiteral("操作系统: ") + operatingSystemVersion());
    const QString host = QSysInfo::machineHostName();
    if (!host.isEmpty()) {
        log(QStringLiteral("主机名: ") + host);
    }
    log(QStringLiteral("处理器核心数: ") + QString::number(processorCount()));
    log(QStringLiteral("物理内存: ") + QString::number(physicalMemoryBytes() / kBytesPerGiB) +
        QStringLiteral(" GB"));
    log(QStringLiteral("当前用户: ") + loginName());
    log(QStringLiteral("当前工作目录: ") + QDir::currentPath());

    const QString name = QCoreApplication::applicationName();
    const QString version = QCoreApplication::applicationVersion();
    const QString build = QStringLiteral(NIMBREL_BUILD_NUMBER);
    if (!name.isEmpty() && !version.isEmpty() && !build.isEmpty()) {
        log(QStringLiteral("应用名称: ") + name);
        log(QStringLiteral("应用版本: ") + version + QStringLiteral(" (Build ") + build +
            QLatin1Char(')'));
    }

    checkCommandExists(QStringLiteral("kubectl"));
    checkCommandExists(QStringLiteral("helm"));
    log(QStringLiteral("========================"));
}

void DevtronInstaller::Core::checkCommandExists(const QString& command) {
    const QString builtIn = toolsDir + QLatin1Char('/') + command;
    if (QFileInfo::exists(builtIn)) {
        log(command + QStringLiteral(" 已在应用内置工具目录中找到: ") + builtIn);
        const CommandResult listing =
            ShellUtils::runCommand(QStringLiteral("ls -l ") + quoted(builtIn));
        log(QStringLiteral("工具权限: ") + listing.output.trimmed());
        ShellUtils::runCommand(QStringLiteral("chmod +x ") + quoted(builtIn));
        checkCommandVersion(builtIn);
        return;
    }
    const CommandResult found = ShellUtils::runCommand(QStringLiteral("which ") + command);
    if (found.exitCode == 0) {
        log(command + QStringLiteral(" 已在系统路径中找到: ") + found.output.trimmed());
        checkCommandVersion(command);
    } else {
        log(command + QStringLiteral(" 未在系统中安装，将使用应用内置版本"));
    }
}

void DevtronInstaller::Core::checkCommandVersion(const QString& path) {
    const QString arguments = path.contains(QStringLiteral("kubectl"))
                                  ? QStringLiteral("version --client")
                                  : QStringLiteral("version --short");
    const CommandResult result =
        ShellUtils::runCommand(quoted(path) + QLatin1Char(' ') + arguments);
    if (result.exitCode == 0) {
        log(path + QStringLiteral(" 版本: ") + result.output.trimmed());
    } else {
        log(QStringLiteral("无法获取 ") + path + QStringLiteral(" 版本信息: ") + result.error);
    }
}

void DevtronInstaller::Core::installDevtron() {
    if (!setupCompleted && !setupEnvironment()) {
        complete(false, setupFailedMessage());
        return;
    }

    if (isRunningSandboxed()) {
        log(QStringLiteral("在沙箱环境中执行安装前检查网络连接..."));
        const CommandResult probe =
            ShellUtils::runCommand(quoted(kubectlPath) + QStringLiteral(" version --client"));
        if (probe.exitCode == 0) {
            log(QStringLiteral("kubectl版本检查成功: ") + probe.output);
        } else {
            log(QStringLiteral("⚠️ 警告: kubectl版本检查失败: ") + probe.error);
            log(QStringLiteral("这可能表明沙箱网络权限有问题"));
        }
    }

    if (checkDevtronInstalled()) {
        // Shown after installDevtron has returned, from the GUI thread's event loop.
        const std::weak_ptr<Core> weak = weak_from_this();
        postToGuiThread([weak] {
            const std::shared_ptr<Core> core = weak.lock();
            if (!core || core->isDetached()) {
                return;
            }
            showAlert(
                QStringLiteral("Devtron已安装"),
                QStringLiteral("您的集群中已经安装了Devtron。\n\n"
                               "如果您需要访问现有Devtron的账户和密码，请联系集群管理员获取。"));
            core->log(QStringLiteral("安装已取消，集群中已存在Devtron"));
            core->complete(false, QStringLiteral("NO_ALERT:集群中已经安装了Devtron"));
        });
        return;
    }

    proceedWithInstallation();
}

bool DevtronInstaller::Core::checkDevtronInstalled() {
    log(QStringLiteral("检查集群中是否已安装Devtron并处于deployed状态..."));
    const CommandResult status = ShellUtils::runCommandWithEnv(
        quoted(helmPath) + QStringLiteral(" status devtron -n devtroncd"), clusterOverlay());
    if (status.exitCode != 0) {
        log(QStringLiteral("未找到名为devtron的Helm发布，可以安装Devtron"));
        return false;
    }
    if (status.output.contains(QStringLiteral("STATUS: deployed"))) {
        log(QStringLiteral("Devtron已安装，状态为deployed ✓"));
        return true;
    }
    log(QStringLiteral("Devtron Helm发布存在，但状态不是deployed"));
    const QString marker = QStringLiteral("STATUS:");
    const qsizetype markerAt = status.output.indexOf(marker);
    if (markerAt >= 0) {
        const qsizetype valueAt = markerAt + marker.size();
        const qsizetype lineEnd = status.output.indexOf(QLatin1Char('\n'), valueAt);
        if (lineEnd >= 0) {
            log(QStringLiteral("实际状态: ") +
                status.output.mid(valueAt, lineEnd - valueAt).trimmed());
        }
    }
    return false;
}

void DevtronInstaller::Core::proceedWithInstallation() {
    log(QStringLiteral("开始安装Devtron..."));
    log(QStringLiteral("使用安装脚本: ") + installScriptPath);
    log(QStringLiteral("使用kubeconfig: ") + kubeconfigPath);
    reportProgress(0.1);

    const EnvironmentOverlay overlay = clusterOverlay();
    isRunningSandboxed();
    log(QStringLiteral("设置PATH环境变量为: ") + overlay.value(QStringLiteral("PATH")));
    log(QStringLiteral("使用当前选择的kubeconfig路径: ") + kubeconfigPath);

    QStringList pieces = installScriptPath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString scriptName = pieces.isEmpty() ? QStringLiteral("install.sh") : pieces.takeLast();
    const QString command = QStringLiteral("cd ") +
                            quoted(QLatin1Char('/') + pieces.join(QLatin1Char('/'))) +
                            QStringLiteral(" && /bin/bash ") + scriptName;
    log(QStringLiteral("执行命令: ") + command);

    isInstalling = true;
    // Reported before the start: a script that ends at once must not see 0.2 arrive after 1.0.
    reportProgress(0.2);
    const std::weak_ptr<Core> weak = weak_from_this();
    ShellUtils::runCommandAsyncWithEnv(
        command, overlay,
        [weak, command](const QString& output, const QString& error, int exitCode) {
            const std::shared_ptr<Core> core = weak.lock();
            if (!core || core->isDetached()) {
                return;
            }
            core->finishInstallation(command, output, error, exitCode);
        });
}

void DevtronInstaller::Core::finishInstallation(const QString& command, const QString& output,
                                                const QString& error, int exitCode) {
    isInstalling = false;
    reportProgress(1.0);
    if (exitCode == 0) {
        log(QStringLiteral("Devtron安装成功完成！✓"));
        complete(true, std::nullopt);
        closeLogFile();
        return;
    }

    log(QStringLiteral("Devtron安装失败，退出代码: ") + QString::number(exitCode));
    if (!error.isEmpty()) {
        log(QStringLiteral("错误输出:"));
        appendToLog(error);
    }
    const QString report = QStringList{QStringLiteral("===== Devtron安装错误报告 ====="),
                                       QStringLiteral("时间: ") + currentMoment(),
                                       QStringLiteral("命令: ") + command,
                                       QStringLiteral("退出代码: ") + QString::number(exitCode),
                                       QString(),
                                       QStringLiteral("错误输出:"),
                                       error,
                                       QString(),
                                       QStringLiteral("标准输出:"),
                                       output,
                                       QStringLiteral("============================")}
                               .join(QLatin1Char('\n'));
    QString reportPath;
    QString writeError;
    if (writePrivateReport(QStringLiteral("devtron_install_error.log"), report, reportPath,
                           writeError)) {
        log(QStringLiteral("错误报告已保存到: ") + reportPath);
        copyToClipboard(report);
    } else {
        log(QStringLiteral("无法保存错误报告: ") + writeError);
    }
    complete(false, QStringLiteral("安装失败: ") + error +
                        QStringLiteral("\n\n详细错误已复制到剪贴板，您可以直接粘贴查看或分享。"
                                       "\n\n完整日志: ") +
                        logFilePath);
    closeLogFile();
}

QString DevtronInstaller::Core::addressCommand() const {
    return quoted(kubectlPath) +
           QStringLiteral(" describe serviceexporter devtron-itf -n devtroncd");
}

QString DevtronInstaller::Core::passwordCommand() const {
    return quoted(kubectlPath) + QStringLiteral(" get secret -n devtroncd devtron-secret -o "
                                                "jsonpath={.data.ADMIN_PASSWORD}");
}

void DevtronInstaller::Core::retrieveDevtronInfo(InfoCompletion completion) {
    log(QStringLiteral("正在获取Devtron访问信息..."));
    const EnvironmentOverlay overlay = clusterOverlay();
    isRunningSandboxed();
    log(QStringLiteral("使用工具路径和系统路径: ") + overlay.value(QStringLiteral("PATH")));
    log(QStringLiteral("使用kubeconfig路径: ") + kubeconfigPath);
    const QString command = addressCommand();
    log(QStringLiteral("获取Devtron服务地址: ") + command);
    const std::weak_ptr<Core> weak = weak_from_this();
    ShellUtils::runCommandAsyncWithEnv(
        command, overlay,
        [weak, completion = std::move(completion)](const QString& output, const QString& error,
                                                   int exitCode) {
            const std::shared_ptr<Core> core = weak.lock();
            if (!core || core->isDetached()) {
                return;
            }
            core->finishAddressLookup(output, error, exitCode, completion);
        });
}

void DevtronInstaller::Core::finishAddressLookup(const QString& output, const QString& error,
                                                 int exitCode, const InfoCompletion& completion) {
    QString url;
    log(QStringLiteral("命令退出代码: ") + QString::number(exitCode));
    if (exitCode == 0) {
        log(QStringLiteral("命令输出:"));
        const QString marker = QStringLiteral("URL:");
        for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            log(QStringLiteral(">> ") + line);
            const qsizetype markerAt = line.indexOf(marker);
            if (markerAt >= 0) {
                url = line.mid(markerAt + marker.size()).trimmed();
                log(QStringLiteral("解析到URL: ") + url);
                break;
            }
        }
    } else if (!error.isEmpty()) {
        reportLookupFailure(QStringLiteral("Devtron URL获取错误"), 28, addressCommand(), exitCode,
                            error, QStringLiteral("devtron_url_error.log"),
                            QStringLiteral("URL获取错误信息已保存到: "));
    }

    if (url.isEmpty()) {
        url = defaultDevtronUrl();
        log(QStringLiteral("未找到Devtron URL，使用默认值: ") + url);
    } else {
        log(QStringLiteral("获取到Devtron URL: ") + url);
    }

    const QString command = passwordCommand();
    log(QStringLiteral("获取Devtron管理员密码: ") + command);
    const std::weak_ptr<Core> weak = weak_from_this();
    ShellUtils::runCommandAsyncWithEnv(
        command, clusterOverlay(),
        [weak, url, completion](const QString& passwordOutput, const QString& passwordError,
                                int passwordExitCode) {
            const std::shared_ptr<Core> core = weak.lock();
            if (!core || core->isDetached()) {
                return;
            }
            core->finishPasswordLookup(url, passwordOutput, passwordError, passwordExitCode,
                                       completion);
        });
}

void DevtronInstaller::Core::finishPasswordLookup(const QString& url, const QString& output,
                                                  const QString& error, int exitCode,
                                                  const InfoCompletion& completion) {
    QString password = defaultDevtronPassword();
    log(QStringLiteral("命令退出代码: ") + QString::number(exitCode));
    if (exitCode == 0 && !output.isEmpty()) {
        const QString encoded = output.trimmed();
        // The encoded value is as good as the password itself: only its length is recorded.
        log(QStringLiteral("获取到编码密码: ") + maskedSecret(encoded));
        if (const std::optional<QString> decoded = ShellUtils::decodeBase64(encoded)) {
            password = *decoded;
            log(QStringLiteral("成功解码密码"));
        } else {
            log(QStringLiteral("无法解码Devtron密码，使用默认值"));
        }
    } else {
        if (!error.isEmpty()) {
            reportLookupFailure(QStringLiteral("Devtron信息获取错误"), 29, passwordCommand(),
                                exitCode, error, QStringLiteral("devtron_info_error.log"),
                                QStringLiteral("详细错误信息已保存到: "));
        }
        log(QStringLiteral("无法获取Devtron密码，使用默认值"));
    }
    log(QStringLiteral("完成获取Devtron凭证: URL=") + url + QStringLiteral(", 用户名=admin"));
    closeLogFile();
    deliverInfo(completion, url, password);
}

void DevtronInstaller::Core::reportLookupFailure(const QString& title, int closingRuleLength,
                                                 const QString& command, int exitCode,
                                                 const QString& error, const QString& fileName,
                                                 const QString& savedPrefix) {
    log(QStringLiteral("错误输出:"));
    for (const QString& line : error.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        log(QStringLiteral("!! ") + line);
    }
    const QString report = QStringLiteral("===== ") + title + QStringLiteral(" =====\n命令: ") +
                           command + QStringLiteral("\n退出代码: ") + QString::number(exitCode) +
                           QStringLiteral("\n\n错误输出:\n") + error + QLatin1Char('\n') +
                           QString(closingRuleLength, QLatin1Char('='));
    QString reportPath;
    QString writeError;
    if (writePrivateReport(fileName, report, reportPath, writeError)) {
        log(savedPrefix + reportPath);
        copyToClipboard(report);
        log(QStringLiteral("错误详情已复制到剪贴板，可直接粘贴查看"));
    } else {
        log(QStringLiteral("无法保存错误日志: ") + writeError);
    }
}

void DevtronInstaller::Core::closeLogFile() {
    std::unique_ptr<QFile> handle;
    {
        const std::lock_guard lock(logMutex);
        if (!logFileHandle) {
            return;
        }
        const QString footer =
            QStringLiteral("\n===================================\nDevtron 安装日志结束 - ") +
            currentMoment() + QStringLiteral("\n===================================");
        logFileHandle->write(
            (QLatin1Char('[') + timeOfDay() + QStringLiteral("] ") + footer + QLatin1Char('\n'))
                .toUtf8());
        // Dropping the handle makes later writes and a second close harmless no-ops.
        handle = std::move(logFileHandle);
    }
    handle->close();
    if (handle->error() == QFileDevice::NoError) {
        notifyLog(QStringLiteral("日志文件已关闭: ") + logFilePath);
    } else {
        notifyLog(QStringLiteral("关闭日志文件时出错: ") + handle->errorString());
    }
}

void DevtronInstaller::Core::cancelInstallation() {
    if (isInstalling.exchange(false)) {
        log(QStringLiteral("安装进程取消请求已记录，但无法立即终止正在运行的命令"));
        log(QStringLiteral("请等待当前操作完成或重启应用..."));
    }
    closeLogFile();
}

bool DevtronInstaller::Core::isRunningSandboxedStatic() {
    return AppPaths::isSandboxed();
}

bool DevtronInstaller::Core::isRunningSandboxed() {
    const bool sandboxed = isRunningSandboxedStatic();
    log(QStringLiteral("应用运行环境: ") +
        (sandboxed ? QStringLiteral("沙箱") : QStringLiteral("非沙箱")));
    return sandboxed;
}

bool DevtronInstaller::Core::ensureNetworkAccess() {
    log(QStringLiteral("检查网络访问权限..."));
    log(QStringLiteral("已启用网络访问权限"));
    return true;
}

void DevtronInstaller::Core::copyToClipboard(const QString& text) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        return;
    }
    // The clipboard belongs to the GUI thread; completions arrive on a pool thread.
    auto put = [text] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(text);
    };
    if (QThread::currentThread() == app->thread()) {
        put();
    } else {
        QMetaObject::invokeMethod(app, put, Qt::QueuedConnection);
    }
    log(QStringLiteral("错误详情已复制到剪贴板"));
}

EnvironmentOverlay DevtronInstaller::Core::clusterOverlay() const {
    return EnvironmentOverlay{
        {QStringLiteral("PATH"), toolsDir + QStringLiteral(":/usr/bin:/bin:/usr/sbin:/sbin")},
        {QStringLiteral("KUBECONFIG"), kubeconfigPath},
        {QStringLiteral("KUBE_INSECURE_SKIP_TLS_VERIFY"), QStringLiteral("true")},
    };
}

bool DevtronInstaller::Core::isDetached() {
    const std::lock_guard lock(callbackMutex);
    return detached;
}

void DevtronInstaller::Core::detach() {
    {
        const std::lock_guard lock(callbackMutex);
        detached = true;
    }
    const std::lock_guard lock(logMutex);
    logFileHandle.reset();
}

void DevtronInstaller::Core::notifyLog(const QString& message) {
    const std::lock_guard lock(callbackMutex);
    if (!detached && logCallback) {
        logCallback(message);
    }
}

void DevtronInstaller::Core::reportProgress(double fraction) {
    const std::lock_guard lock(callbackMutex);
    if (!detached && progressCallback) {
        progressCallback(fraction);
    }
}

void DevtronInstaller::Core::complete(bool success, const std::optional<QString>& message) {
    const std::lock_guard lock(callbackMutex);
    if (!detached && completionCallback) {
        completionCallback(success, message);
    }
}

void DevtronInstaller::Core::deliverInfo(const InfoCompletion& completion, const QString& url,
                                         const QString& password) {
    const std::lock_guard lock(callbackMutex);
    if (!detached && completion) {
        completion(url, password);
    }
}

DevtronInstaller::DevtronInstaller(const QString& kubeconfigPath, ProgressCallback progressCallback,
                                   LogCallback logCallback, CompletionCallback completionCallback)
    : m_core(std::make_shared<Core>()) {
    Core& core = *m_core;
    core.kubeconfigPath = kubeconfigPath;
    core.progressCallback = std::move(progressCallback);
    core.logCallback = std::move(logCallback);
    core.completionCallback = std::move(completionCallback);
    core.toolsDir = AppPaths::toolsDirectory();
    core.installScriptPath = core.toolsDir + QStringLiteral("/devtron-charts/install.sh");
    core.kubectlPath = AppPaths::toolsDirectory() + QStringLiteral("/kubectl");
    core.helmPath = AppPaths::toolsDirectory() + QStringLiteral("/helm");
    core.logFilePath = Core::getStandardLogFilePath();
    core.initLogFile();
}

DevtronInstaller::~DevtronInstaller() {
    m_core->detach();
}

bool DevtronInstaller::setupEnvironment() {
    return m_core->setupEnvironment();
}

void DevtronInstaller::installDevtron() {
    m_core->installDevtron();
}

void DevtronInstaller::retrieveDevtronInfo(InfoCompletion completion) {
    m_core->retrieveDevtronInfo(std::move(completion));
}

void DevtronInstaller::closeLogFile() {
    m_core->closeLogFile();
}

QString DevtronInstaller::getLogFilePath() const {
    return m_core->logFilePath;
}

void DevtronInstaller::cancelInstallation() {
    m_core->cancelInstallation();
}

bool DevtronInstaller::isRunningSandboxed() {
    return m_core->isRunningSandboxed();
}

QString DevtronInstaller::kubeconfigPath() const {
    return m_core->kubeconfigPath;
}

QString DevtronInstaller::installScriptPath() const {
    return m_core->installScriptPath;
}

QString DevtronInstaller::toolsDir() const {
    return m_core->toolsDir;
}

QString DevtronInstaller::kubectlPath() const {
    return m_core->kubectlPath;
}

QString DevtronInstaller::helmPath() const {
    return m_core->helmPath;
}

bool DevtronInstaller::isSetupCompleted() const {
    return m_core->setupCompleted;
}

bool DevtronInstaller::isInstalling() const {
    return m_core->isInstalling;
}

void DevtronInstaller::setAlertHook(AlertHook hook) {
    const std::lock_guard lock(staticsMutex());
    alertHookStorage() = std::move(hook);
}

void DevtronInstaller::setPhysicalMemoryOverride(std::optional<std::uint64_t> bytes) {
    const std::lock_guard lock(staticsMutex());
    memoryOverrideStorage() = bytes;
}

QString DevtronInstaller::defaultDevtronUrl() {
    return QStringLiteral("http://localhost:8080");
}

QString DevtronInstaller::defaultDevtronPassword() {
    return QStringLiteral("kelvo");
}
