#pragma once

#include "installer/DevtronAccess.h"
#include "shell/CommandRunner.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

class InstallationState;
class QObject;

// Reads Devtron's address and administrator password out of the cluster with the bundled kubectl,
// each command bounded in time, and says for each value whether it was read and, if not, why. The
// service wait runs it after its countdown; the completion screen runs it again on request.
class CredentialLookup {
    Q_DECLARE_TR_FUNCTIONS(CredentialLookup)

public:
    CredentialLookup() = delete;

    using LineLogger = std::function<void(const QString&)>;
    using Completion = std::function<void(const DevtronAccess&)>;

    static constexpr std::chrono::milliseconds defaultTimeLimit{60000};

    // Everything the background run needs, taken on the GUI thread before it starts.
    struct Plan {
        QString addressCommand;
        QString serviceCommand;
        QString nodesCommand;
        QString passwordCommand;
        EnvironmentOverlay environment;
        std::chrono::milliseconds timeLimit;
    };
    static Plan plan(const QString& kubeconfigPath, std::chrono::milliseconds timeLimit);

    // Both lookups, one after the other, on the calling thread; every step goes to `log`.
    static DevtronAccess run(const Plan& plan, const LineLogger& log);
    // The same on the background pool for the session's kubeconfig. `done` runs on the GUI
    // thread, and only while `receiver` still exists.
    static void start(InstallationState& state, std::chrono::milliseconds timeLimit,
                      const QObject* receiver, Completion done);
    // The password alone, the same way: for a password Devtron has not filled in yet.
    static void startPassword(InstallationState& state, std::chrono::milliseconds timeLimit,
                              const QObject* receiver, Completion done);
    // Puts what was read into the session (what was not read stays empty) and logs the outcome.
    static void store(InstallationState& state, const DevtronAccess& access);

    // "无法读取…" with the reason, for each value the session holds a failure for.
    static QStringList failureLines(const InstallationState& state);

    // The terminal commands that read each value by hand, with the session's kubeconfig. Where
    // the cluster has no exporter, the address is Devtron's Service's, or a tunnel to it.
    static QString manualAddressCommand(const QString& kubeconfigPath);
    static QString manualServiceCommand(const QString& kubeconfigPath);
    static QString manualTunnelCommand(const QString& kubeconfigPath, int localPort,
                                       int servicePort);
    static QString manualPasswordCommand(const QString& kubeconfigPath);

    // The exporter's address; where the cluster has no exporter type, Devtron's Service's
    // address, or the tunnel it calls for. Fills the address fields of `access`.
    static void lookUpAddress(const Plan& plan, const LineLogger& log, DevtronAccess& access);
    static DevtronAccess::Value lookUpPassword(const Plan& plan, const LineLogger& log);
    // Whether kubectl said that the cluster has no such resource type at all.
    static bool isMissingType(const CommandResult& result);

private:
    using Lookup = std::function<DevtronAccess(const Plan&, const LineLogger&)>;
    static void startLookup(InstallationState& state, std::chrono::milliseconds timeLimit,
                            const QObject* receiver, Lookup lookup, Completion done);
    static void lookUpService(const Plan& plan, const LineLogger& log, DevtronAccess& access);
};
