#pragma once

#include "installer/DevtronAccess.h"
#include "session/DevtronChoices.h"
#include "shell/CommandRunner.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// The engine behind the installation step: prepares and probes the bundled tools, refuses to
// install over a deployed Devtron release, runs the installation script, reads Devtron's access
// data back and keeps the installer log (the same file as the session log).
//
// Every operation runs on its caller's thread. setupEnvironment and installDevtron block while
// their commands run, so a screen calls them from a pool thread; cancelInstallation may be called
// from the GUI thread meanwhile. The script's and the access lookup's completions run on a
// background thread; the callbacks are then invoked there. Once the installer is destroyed no
// callback is invoked any more, and a callback must not wait for the GUI thread. One exception:
// the end of a script that was cancelled or whose installer is gone is still logged, once,
// through a copy of the log callback, so that callback must stay safe to call at any time
// (InstallationState::backgroundLogger is).
//
// Only one installation runs in the program at a time: until an earlier script has ended,
// installDevtron fails at once.
class DevtronInstaller {
    Q_DECLARE_TR_FUNCTIONS(DevtronInstaller)

public:
    using ProgressCallback = std::function<void(double)>;
    using LogCallback = std::function<void(const QString&)>;
    using CompletionCallback = std::function<void(bool, const std::optional<QString>&)>;
    // What was read of the address and the password, each with the reason when it was not.
    using InfoCompletion = std::function<void(const DevtronAccess& access)>;
    // Shows the modal warning for an already deployed release with the given buttons (the first
    // is the default) and returns the index of the one chosen once it is closed.
    using AlertHook = std::function<int(const QString& message, const QString& informativeText,
                                        const QStringList& buttons)>;

    DevtronInstaller(const QString& kubeconfigPath, ProgressCallback progressCallback,
                     LogCallback logCallback, CompletionCallback completionCallback);
    ~DevtronInstaller();

    DevtronInstaller(const DevtronInstaller&) = delete;
    DevtronInstaller& operator=(const DevtronInstaller&) = delete;
    DevtronInstaller(DevtronInstaller&&) = delete;
    DevtronInstaller& operator=(DevtronInstaller&&) = delete;

    bool setupEnvironment();
    void installDevtron();
    void retrieveDevtronInfo(InfoCompletion completion);
    void closeLogFile();
    QString getLogFilePath() const;
    void cancelInstallation();
    bool isRunningSandboxed();

    QString kubeconfigPath() const;
    QString installScriptPath() const;
    QString toolsDir() const;
    QString kubectlPath() const;
    QString helmPath() const;
    bool isSetupCompleted() const;
    bool isInstalling() const;
    // What the script is to install; CI/CD from GitHub unless set before installDevtron.
    void setChartChoices(DevtronVariant variant, ManifestSource source);
    // How long `helm status` may take before the release check fails (60 s unless set).
    void setReleaseCheckTimeLimit(std::chrono::milliseconds limit);

    // The program installs the widget alert; without one the warning goes to standard output.
    static void setAlertHook(AlertHook hook);
    // Replaces the machine's physical memory in the system information (tests); empty restores it.
    static void setPhysicalMemoryOverride(std::optional<std::uint64_t> bytes);

    // What `helm status` printed: whether the release is deployed, and otherwise the status its
    // "STATUS:" line names, when that line is complete.
    struct ReleaseStatus {
        bool deployed = false;
        std::optional<QString> actualStatus;
    };
    static ReleaseStatus readReleaseStatus(const QString& output);
    // helm's answer when there is no release of that name: the usual case before a first install.
    static bool isReleaseNotFound(const CommandResult& status);
    // The completion message after the user chose, in the already-installed warning, to read
    // the existing installation's access data instead.
    static QString readExistingAccessMessage();

private:
    struct Core;
    std::shared_ptr<Core> m_core;
};
