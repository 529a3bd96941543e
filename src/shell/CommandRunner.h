#pragma once

#include <QMap>
#include <QString>

#include <chrono>
#include <functional>

// What every command run hands back: both whole output streams and the exit status.
struct CommandResult {
    QString output;
    QString error;
    int exitCode = 0;
};

// Variables laid over a copy of the process environment for one child.
using EnvironmentOverlay = QMap<QString, QString>;

// Called on a background thread with (output, error, exitCode).
using CommandCompletion = std::function<void(const QString&, const QString&, int)>;

// Runs one shell command line as a child of the shell, with both streams captured whole. A child
// that cannot be started gives exit status 1 and "Failed to execute command: " with the reason.
class CommandRunner {
public:
    CommandRunner() = delete;

    static CommandResult run(const QString& command);
    static CommandResult runWithEnv(const QString& command, const EnvironmentOverlay& environment);
    // Once `timeout` has passed, the child and everything it started are killed, and the result
    // has exit status 124 with the reason at the end of the error text.
    static CommandResult runWithEnv(const QString& command, const EnvironmentOverlay& environment,
                                    std::chrono::milliseconds timeout);
    // On the shared thread pool; the completion runs on that pool thread.
    static void runAsync(const QString& command, CommandCompletion completion);
    static void runAsyncWithEnv(const QString& command, const EnvironmentOverlay& environment,
                                CommandCompletion completion);

    // The shell that runs every command line; tests substitute another to provoke start failures.
    static QString shellPath();
    static void setShellPath(const QString& path);
};
