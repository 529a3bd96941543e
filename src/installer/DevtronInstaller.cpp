#include "installer/DevtronInstaller.h"

#include "installer/AccessLookup.h"
#include "installer/EnvironmentSetup.h"
#include "installer/InstallerLog.h"
#include "installer/SystemInfo.h"
#include "shell/AppPaths.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/Console.h"
#include "shell/GuiThread.h"
#include "shell/ShellUtils.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <mutex>

namespace {

QString setupFailedMessage() {
    return QCoreApplication::translate(
        "DevtronInstaller",
        "环境配置失败：无法设置Kubernetes环境。请检查kubeconfig文件权限和有效性，"
        "以及kubectl和helm工具是否正常安装。");
}

// One installation at a time in the whole program, from its start until its script has ended:
// a script left running by a time-out may still install Devtron, and a second helm install
// beside it would collide with it.
std::atomic<bool> installationRunning{false};

QString earlierRunStillRunningMessage() {
    return QCoreApplication::translate(
        "DevtronInstaller", "无法开始安装：上一次的安装仍在后台运行，请等待它结束后再试");
}

std::mutex alertHookMutex;
DevtronInstaller::AlertHook alertHook;

int showAlert(const QString& message, const QString& informativeText, const QStringList& buttons) {
    DevtronInstaller::AlertHook hook;
    {
        const std::lock_guard lock(alertHookMutex);
        hook = alertHook;
    }
    if (hook) {
        return hook(message, informativeText, buttons);
    }
    writeConsoleLine(message + QLatin1Char('\n') + informativeText);
    return 0;
}

} // namespace

// Everything a background job touches lives here, so that the job can hold it through a weak
// reference and simply find nothing once the installer is gone. Its texts are translated as the
// installer's (DevtronInstaller::tr); lupdate would file a bare tr() here under Core.
struct DevtronInstaller::Core : std::enable_shared_from_this<DevtronInstaller::Core> {
    Core(const QString& kubeconfig, ProgressCallback progress, LogCallback logLine,
         CompletionCallback completion)
        : kubeconfigPath(kubeconfig), progressCallback(std::move(progress)),
          logCallback(std::move(logLine)), completionCallback(std::move(completion)),
          logFile(InstallerLog::standardPath()) {}

    const QString kubeconfigPath;
    const QString installScriptPath = ClusterTools::installScriptPath();
    const QString toolsDir = ClusterTools::toolsDirectory();
    const QString kubectlPath = ClusterTools::kubectlPath();
    const QString helmPath = ClusterTools::helmPath();
    const ProgressCallback progressCallback;
    const LogCallback logCallback;
    const CompletionCallback completionCallback;
    std::atomic<bool> setupCompleted{false};
    std::atomic<bool> isInstalling{false};
    // Set by cancelInstallation: a script not yet started is not started any more, and the end
    // of one that runs is reported as a late one.
    std::atomic<bool> cancelled{false};
    std::atomic<std::chrono::milliseconds::rep> releaseCheckLimitMs{60000};
    std::atomic<DevtronVariant> variant{DevtronVariant::cicd};
    std::atomic<ManifestSource> source{ManifestSource::github};
    InstallerLog logFile;

    // Held while a callback runs, so that once the destructor has set `detached` none is running
    // and none will start. Recursive: a callback may itself destroy the installer.
    std::recursive_mutex callbackMutex;
    bool detached = false;

    void initLogFile();
    void log(const QString& message);

    bool setupEnvironment();
    void installDevtron();
    // Whether the script was started.
    bool startInstallation();
    // Whether a deployed release exists; nothing when helm could not tell, which has then been
    // reported as the run's failure.
    std::optional<bool> checkDevtronInstalled();
    void proceedWithInstallation();
    void finishInstallation(const QString& command, const CommandResult& result);

    void retrieveDevtronInfo(InfoCompletion completion);
    void finishAddressLookup(const CommandResult& result, const InfoCompletion& completion);
    void finishPasswordLookup(const DevtronAccess::Value& url, const CommandResult& result,
                              const InfoCompletion& completion);
    AccessLookup accessLookup();

    void closeLogFile();
    void cancelInstallation();
    bool isRunningSandboxed();
    void copyToClipboard(const QString& text);

    // Runs `command` on the pool and hands its result to `finish` unless the installer is gone.
    void runGuarded(const QString& command,
                    std::function<void(Core&, const CommandResult&)> finish);

    bool isDetached();
    void detach();
    void notifyLog(const QString& message);
    void reportProgress(double fraction);
    void complete(bool success, const std::optional<QString>& message);
    void deliverInfo(const InfoCompletion& completion, const DevtronAccess& access);
};

void DevtronInstaller::Core::initLogFile() {
    if (logFile.path().isEmpty()) {
        notifyLog(DevtronInstaller::tr("无法创建日志文件: 没有可用的日志目录"));
        return;
    }
    if (const std::optional<QString> failure = logFile.start()) {
        notifyLog(DevtronInstaller::tr("无法创建日志文件: %1").arg(*failure));
        return;
    }
    log(DevtronInstaller::tr("完整安装日志文件位置: %1").arg(logFile.path()));
}

void DevtronInstaller::Core::log(const QString& message) {
    logFile.append(message);
    notifyLog(message);
}

bool DevtronInstaller::Core::setupEnvironment() {
    EnvironmentSetup setup(
        kubeconfigPath, [this](const QString& line) { log(line); },
        [this] { return isRunningSandboxed(); });
    if (!setup.setupEnvironment()) {
        return false;
    }
    setupCompleted = true;
    return true;
}

void DevtronInstaller::Core::installDevtron() {
    if (installationRunning.exchange(true)) {
        log(DevtronInstaller::tr("上一次的安装脚本仍在运行，不开始新的安装"));
        complete(false, earlierRunStillRunningMessage());
        return;
    }
    if (!startInstallation()) {
        installationRunning = false;
    }
}

bool DevtronInstaller::Core::startInstallation() {
    if (!setupCompleted && !setupEnvironment()) {
        complete(false, setupFailedMessage());
        return false;
    }

    if (isRunningSandboxed()) {
        log(DevtronInstaller::tr("在沙箱环境中执行安装前检查网络连接..."));
        const CommandResult probe = ShellUtils::runCommandWithEnv(
            ClusterTools::kubectlVersionCommand(), ClusterTools::environment(kubeconfigPath));
        if (probe.exitCode == 0) {
            log(DevtronInstaller::tr("kubectl版本检查成功: %1").arg(probe.output));
        } else {
            log(DevtronInstaller::tr("⚠️ 警告: kubectl版本检查失败: %1")
                    .arg(probe.error));
            log(DevtronInstaller::tr("这可能表明沙箱网络权限有问题"));
        }
    }

    const std::optional<bool> installed = checkDevtronInstalled();
    if (!installed) {
        return false;
    }
    if (*installed) {
        // Shown after installDevtron has returned, from the GUI thread's event loop.
        const std::weak_ptr<Core> weak = weak_from_this();
        postToGuiThread([weak] {
            const std::shared_ptr<Core> core = weak.lock();
            if (!core || core->isDetached()) {
                return;
            }
            const int chosen =
                showAlert(DevtronInstaller::tr("Devtron已安装"),
                          DevtronInstaller::tr(
                              "您的集群中已经安装了Devtron。\n\n"
                              "如果您需要访问现有Devtron的账户和密码，请联系集群管理员获取。\n"
                              "kubeconfig有读取权限时，也可以直接从集群读取访问信息。"),
                          {DevtronInstaller::tr("确定"), DevtronInstaller::tr("读取访问信息")});
            core->log(DevtronInstaller::tr("安装已取消，集群中已存在Devtron"));
            core->complete(false, chosen == 1
                                      ? readExistingAccessMessage()
                                      : QStringLiteral("NO_ALERT:") +
                                            DevtronInstaller::tr("集群中已经安装了Devtron"));
        });
        return false;
    }

    // The screen gave up on this run (its time limit) while it was being prepared: starting
    // helm install now would surprise a user who has moved on.
    if (cancelled) {
        log(DevtronInstaller::tr("安装已取消，不再启动安装脚本"));
        return false;
    }
    proceedWithInstallation();
    return true;
}

std::optional<bool> DevtronInstaller::Core::checkDevtronInstalled() {
    log(DevtronInstaller::tr("检查集群中是否已安装Devtron并处于deployed状态..."));
    const CommandResult status = ShellUtils::runCommandWithEnv(
        ClusterTools::releaseStatusCommand(), ClusterTools::environment(kubeconfigPath),
        std::chrono::milliseconds(releaseCheckLimitMs.load()));
    if (status.exitCode != 0) {
        if (isReleaseNotFound(status)) {
            log(DevtronInstaller::tr("未找到名为devtron的Helm发布，可以安装Devtron"));
            return false;
        }
        // An unanswered question is no "not installed": installing blind could run over a
        // deployed release.
        log(DevtronInstaller::tr("检查Devtron安装状态失败，退出代码: %1").arg(status.exitCode));
        complete(false, ClusterErrors::classify(status.error));
        return std::nullopt;
    }
    const ReleaseStatus release = readReleaseStatus(status.output);
    if (release.deployed) {
        log(DevtronInstaller::tr("Devtron已安装，状态为deployed ✓"));
        return true;
    }
    log(DevtronInstaller::tr("Devtron Helm发布存在，但状态不是deployed"));
    if (release.actualStatus) {
        log(DevtronInstaller::tr("实际状态: %1").arg(*release.actualStatus));
    }
    return false;
}

DevtronInstaller::ReleaseStatus DevtronInstaller::readReleaseStatus(const QString& output) {
    if (output.contains(QStringLiteral("STATUS: deployed"))) {
        return {true, std::nullopt};
    }
    const QString marker = QStringLiteral("STATUS:");
    const qsizetype markerAt = output.indexOf(marker);
    if (markerAt < 0) {
        return {};
    }
    const qsizetype valueAt = markerAt + marker.size();
    const qsizetype lineEnd = output.indexOf(QLatin1Char('\n'), valueAt);
    if (lineEnd < 0) {
        return {};
    }
    return {false, output.mid(valueAt, lineEnd - valueAt).trimmed()};
}

void DevtronInstaller::Core::proceedWithInstallation() {
    log(DevtronInstaller::tr("开始安装Devtron..."));
    log(DevtronInstaller::tr("使用安装脚本: %1").arg(installScriptPath));
    log(DevtronInstaller::tr("使用kubeconfig: %1").arg(kubeconfigPath));
    reportProgress(0.1);

    const EnvironmentOverlay overlay = ClusterTools::environment(kubeconfigPath);
    isRunningSandboxed();
    log(DevtronInstaller::tr("设置PATH环境变量为: %1").arg(overlay.value(QStringLiteral("PATH"))));
    log(DevtronInstaller::tr("使用当前选择的kubeconfig路径: %1").arg(kubeconfigPath));

    const QString command = ClusterTools::installScriptCommand();
    log(DevtronInstaller::tr("执行命令: %1").arg(command));
    // The choices travel through the script's environment; the command line stays the same.
    EnvironmentOverlay scriptEnvironment = ClusterTools::environment(kubeconfigPath);
    scriptEnvironment.insert(QStringLiteral("DEVTRON_VARIANT"),
                             DevtronChoices::variantKey(variant));
    scriptEnvironment.insert(QStringLiteral("DEVTRON_SOURCE"), DevtronChoices::sourceKey(source));
    log(DevtronChoices::summary(variant, source));

    isInstalling = true;
    // Reported before the start: a script that ends at once must not see 0.2 arrive after 1.0.
    reportProgress(0.2);
    const std::weak_ptr<Core> weak = weak_from_this();
    ShellUtils::runCommandAsyncWithEnv(
        command, scriptEnvironment,
        [weak, lateLog = logCallback, command](const QString& output, const QString& error,
                                               int exitCode) {
            installationRunning = false;
            const std::shared_ptr<Core> core = weak.lock();
            const bool attended = core && !core->isDetached();
            // Nobody waits for this end any more, yet whether Devtron got installed belongs in
            // the session log.
            if ((!attended || core->cancelled) && lateLog) {
                lateLog(
                    exitCode == 0
                        ? DevtronInstaller::tr("先前的安装脚本已在后台结束：Devtron安装成功")
                        : DevtronInstaller::tr("先前的安装脚本已在后台结束：安装失败，退出代码: %1")
                              .arg(exitCode));
            }
            if (attended) {
                core->finishInstallation(command, {output, error, exitCode});
            }
        });
}

void DevtronInstaller::Core::finishInstallation(const QString& command,
                                                const CommandResult& result) {
    isInstalling = false;
    reportProgress(1.0);
    // What the script did, the values it gave helm among it.
    for (const QString& line : result.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        log(QStringLiteral(">> ") + line);
    }
    if (result.exitCode == 0) {
        log(DevtronInstaller::tr("Devtron安装成功完成！✓"));
        complete(true, std::nullopt);
        closeLogFile();
        return;
    }

    log(DevtronInstaller::tr("Devtron安装失败，退出代码: %1").arg(result.exitCode));
    if (!result.error.isEmpty()) {
        log(DevtronInstaller::tr("错误输出:"));
        logFile.append(result.error);
    }
    const QString report =
        QStringList{DevtronInstaller::tr("===== Devtron安装错误报告 ====="),
                    DevtronInstaller::tr("时间: %1").arg(InstallerLog::currentMoment()),
                    DevtronInstaller::tr("命令: %1").arg(command),
                    DevtronInstaller::tr("退出代码: %1").arg(result.exitCode),
                    QString(),
                    DevtronInstaller::tr("错误输出:"),
                    result.error,
                    QString(),
                    DevtronInstaller::tr("标准输出:"),
                    result.output,
                    QStringLiteral("============================")}
            .join(QLatin1Char('\n'));
    QString writeError;
    if (const auto path = InstallerLog::writeReport(QStringLiteral("devtron_install_error.log"),
                                                    report, writeError)) {
        log(DevtronInstaller::tr("错误报告已保存到: %1").arg(*path));
        copyToClipboard(report);
    } else {
        log(DevtronInstaller::tr("无法保存错误报告: %1").arg(writeError));
    }
    //: %1 is the installation script's error output, %2 the path of the full log.
    complete(false, DevtronInstaller::tr(
                        "安装失败: %1\n\n详细错误已复制到剪贴板，您可以直接粘贴查看或分享。"
                        "\n\n完整日志: %2")
                        .arg(ClusterErrors::classifyRejection(result.error), logFile.path()));
    closeLogFile();
}

AccessLookup DevtronInstaller::Core::accessLookup() {
    return {[this](const QString& line) { log(line); },
            [this](const QString& text) { copyToClipboard(text); }};
}

void DevtronInstaller::Core::retrieveDevtronInfo(InfoCompletion completion) {
    log(DevtronInstaller::tr("正在获取Devtron访问信息..."));
    const EnvironmentOverlay overlay = ClusterTools::environment(kubeconfigPath);
    isRunningSandboxed();
    log(DevtronInstaller::tr("使用工具路径和系统路径: %1")
            .arg(overlay.value(QStringLiteral("PATH"))));
    log(DevtronInstaller::tr("使用kubeconfig路径: %1").arg(kubeconfigPath));
    const QString command = ClusterTools::addressCommand();
    log(DevtronInstaller::tr("获取Devtron服务地址: %1").arg(command));
    runGuarded(command,
               [completion = std::move(completion)](Core& core, const CommandResult& result) {
                   core.finishAddressLookup(result, completion);
               });
}

void DevtronInstaller::Core::finishAddressLookup(const CommandResult& result,
                                                 const InfoCompletion& completion) {
    const DevtronAccess::Value url = accessLookup().finishAddressLookup(result);
    const QString command = ClusterTools::passwordCommand();
    log(DevtronInstaller::tr("获取Devtron管理员密码: %1").arg(command));
    runGuarded(command, [url, completion](Core& core, const CommandResult& passwordResult) {
        core.finishPasswordLookup(url, passwordResult, completion);
    });
}

void DevtronInstaller::Core::finishPasswordLookup(const DevtronAccess::Value& url,
                                                  const CommandResult& result,
                                                  const InfoCompletion& completion) {
    const DevtronAccess access{url, accessLookup().finishPasswordLookup(result)};
    if (access.isComplete()) {
        log(DevtronInstaller::tr("完成获取Devtron凭证: URL=%1, 用户名=admin").arg(*url.text));
    } else {
        log(DevtronInstaller::tr("未能获取完整的Devtron凭证"));
    }
    closeLogFile();
    deliverInfo(completion, access);
}

void DevtronInstaller::Core::runGuarded(const QString& command,
                                        std::function<void(Core&, const CommandResult&)> finish) {
    const std::weak_ptr<Core> weak = weak_from_this();
    ShellUtils::runCommandAsyncWithEnv(command, ClusterTools::environment(kubeconfigPath),
                                       [weak, finish = std::move(finish)](const QString& output,
                                                                          const QString& error,
                                                                          int exitCode) {
                                           const std::shared_ptr<Core> core = weak.lock();
                                           if (!core || core->isDetached()) {
                                               return;
                                           }
                                           finish(*core, {output, error, exitCode});
                                       });
}

void DevtronInstaller::Core::closeLogFile() {
    const InstallerLog::CloseOutcome outcome = logFile.close();
    if (!outcome.wasOpen) {
        return;
    }
    if (outcome.error.isEmpty()) {
        notifyLog(DevtronInstaller::tr("日志文件已关闭: %1").arg(logFile.path()));
    } else {
        notifyLog(DevtronInstaller::tr("关闭日志文件时出错: %1").arg(outcome.error));
    }
}

void DevtronInstaller::Core::cancelInstallation() {
    cancelled = true;
    if (isInstalling.exchange(false)) {
        log(DevtronInstaller::tr("安装进程取消请求已记录，但无法立即终止正在运行的命令"));
        log(DevtronInstaller::tr("请等待当前操作完成或重启应用..."));
    }
    closeLogFile();
}

bool DevtronInstaller::Core::isRunningSandboxed() {
    const bool sandboxed = AppPaths::isSandboxed();
    //: %1 is either "sandbox" or "not sandboxed".
    log(DevtronInstaller::tr("应用运行环境: %1")
            .arg(sandboxed ? DevtronInstaller::tr("沙箱") : DevtronInstaller::tr("非沙箱")));
    return sandboxed;
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
        postToGuiThread(put);
    }
    log(DevtronInstaller::tr("错误详情已复制到剪贴板"));
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
    logFile.abandon();
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

void DevtronInstaller::Core::deliverInfo(const InfoCompletion& completion,
                                         const DevtronAccess& access) {
    const std::lock_guard lock(callbackMutex);
    if (!detached && completion) {
        completion(access);
    }
}

DevtronInstaller::DevtronInstaller(const QString& kubeconfigPath, ProgressCallback progressCallback,
                                   LogCallback logCallback, CompletionCallback completionCallback)
    : m_core(std::make_shared<Core>(kubeconfigPath, std::move(progressCallback),
                                    std::move(logCallback), std::move(completionCallback))) {
    m_core->initLogFile();
}

DevtronInstaller::~DevtronInstaller() {
    m_core->detach();
}

void DevtronInstaller::setChartChoices(DevtronVariant variant, ManifestSource source) {
    m_core->variant = variant;
    m_core->source = source;
}

bool DevtronInstaller::setupEnvironment() {
    const std::shared_ptr<Core> core = m_core;
    return core->setupEnvironment();
}

void DevtronInstaller::installDevtron() {
    // Held for the call: it may run on a pool thread while the owner lets the installer go.
    const std::shared_ptr<Core> core = m_core;
    core->installDevtron();
}

void DevtronInstaller::retrieveDevtronInfo(InfoCompletion completion) {
    m_core->retrieveDevtronInfo(std::move(completion));
}

void DevtronInstaller::closeLogFile() {
    m_core->closeLogFile();
}

QString DevtronInstaller::getLogFilePath() const {
    return m_core->logFile.path();
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

void DevtronInstaller::setReleaseCheckTimeLimit(std::chrono::milliseconds limit) {
    m_core->releaseCheckLimitMs = limit.count();
}

bool DevtronInstaller::isReleaseNotFound(const CommandResult& status) {
    constexpr int timedOut = 124;
    return status.exitCode != timedOut &&
           status.error.contains(QLatin1String("release: not found"));
}

QString DevtronInstaller::readExistingAccessMessage() {
    return QStringLiteral("NO_ALERT:") + tr("读取现有Devtron的访问信息");
}

void DevtronInstaller::setAlertHook(AlertHook hook) {
    const std::lock_guard lock(alertHookMutex);
    alertHook = std::move(hook);
}

void DevtronInstaller::setPhysicalMemoryOverride(std::optional<std::uint64_t> bytes) {
    SystemInfo::setPhysicalMemoryOverride(bytes);
}
