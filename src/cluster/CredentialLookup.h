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
    // Puts what was read into the session (what was not read stays empty) and logs the outcome.
    static void store(InstallationState& state, const DevtronAccess& access);

    // "无法读取…" with the reason, for each value the session holds a failure for.
    static QStringList failureLines(const InstallationState& state);

    // The terminal commands that read each value by hand, with the session's kubeconfig.
    static QString manualAddressCommand(const QString& kubeconfigPath);
    static QString manualPasswordCommand(const QString& kubeconfigPath);

    static DevtronAccess::Value lookUpAddress(const Plan& plan, const LineLogger& log);
    static DevtronAccess::Value lookUpPassword(const Plan& plan, const LineLogger& log);
};
