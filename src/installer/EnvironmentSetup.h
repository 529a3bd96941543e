#pragma once

#include "shell/CommandRunner.h"

#include <QCoreApplication>
#include <QString>

#include <functional>

// The checks before anything touches the cluster: the kubeconfig is a readable UTF-8 file and
// the bundled kubectl and helm run. Logs the system information and a probe of each tool on its
// way. Every command runs with the cluster environment (ClusterTools::environment), KUBECONFIG
// included; the process environment is left alone. Blocks while its commands run.
class EnvironmentSetup {
    Q_DECLARE_TR_FUNCTIONS(EnvironmentSetup)

public:
    using LineLog = std::function<void(const QString&)>;
    // The installer's sandbox check, which logs the run environment itself.
    using SandboxCheck = std::function<bool()>;

    EnvironmentSetup(QString kubeconfigPath, LineLog log, SandboxCheck isRunningSandboxed);

    // True when every check passed; stops at the first failing one with its log line.
    bool setupEnvironment();
    void logSystemInfo();
    // Where `command` ("kubectl", "helm") is found: the tools folder first, then PATH.
    void checkCommandExists(const QString& command);
    void checkCommandVersion(const QString& path);

private:
    CommandResult run(const QString& command) const;
    bool ensureNetworkAccess();

    const QString m_kubeconfigPath;
    const LineLog m_log;
    const SandboxCheck m_isRunningSandboxed;
};
