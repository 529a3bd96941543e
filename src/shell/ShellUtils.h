#pragma once

#include "shell/CommandRunner.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <optional>

// The command utilities the program calls: the runners (CommandRunner), the file chores
// (FileUtilities), the privilege prompt (Privilege), and the small text helpers kept here.
class ShellUtils {
    Q_DECLARE_TR_FUNCTIONS(ShellUtils)

public:
    ShellUtils() = delete;

    static CommandResult runCommand(const QString& command);
    static CommandResult runCommandWithEnv(const QString& command,
                                           const EnvironmentOverlay& environment);
    // The same with a time limit: once it has passed, the child and everything it started are
    // killed, and the result has exit status 124 with the reason at the end of the error text.
    static CommandResult runCommandWithEnv(const QString& command,
                                           const EnvironmentOverlay& environment,
                                           std::chrono::milliseconds timeout);
    static void runCommandAsync(const QString& command, CommandCompletion completion);
    static void runCommandAsyncWithEnv(const QString& command,
                                       const EnvironmentOverlay& environment,
                                       CommandCompletion completion);

    static bool setEnvironmentVariable(const QString& name, const QString& value);
    static std::optional<QString> decodeBase64(const QString& text);

    static bool copyFile(const QString& from, const QString& to);
    static bool writeToFile(const QString& content, const QString& path);
    static bool requestSudo(const QString& command);

    // A path as one shell word: the usual double-quoted form, or a single-quoted one when the
    // path holds a character that double quotes would let the shell interpret (also "!", which an
    // interactive shell expands from its history).
    static QString quotePath(const QString& path);

    // The shell that runs every command line; tests substitute another to provoke start failures.
    static QString shellPath();
    static void setShellPath(const QString& path);
};
