#include "shell/ShellUtils.h"

#include "shell/Console.h"
#include "shell/FileUtilities.h"
#include "shell/Privilege.h"

#include <QByteArray>
#include <QStringDecoder>

#include <algorithm>
#include <cstdlib>

namespace {

bool isShellName(const QString& name) {
    if (name.isEmpty() || name.front().isDigit()) {
        return false;
    }
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
               (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_');
    });
}

} // namespace

QString ShellUtils::shellPath() {
    return CommandRunner::shellPath();
}

void ShellUtils::setShellPath(const QString& path) {
    CommandRunner::setShellPath(path);
}

CommandResult ShellUtils::runCommand(const QString& command) {
    return CommandRunner::run(command);
}

CommandResult ShellUtils::runCommandWithEnv(const QString& command,
                                            const EnvironmentOverlay& environment) {
    return CommandRunner::runWithEnv(command, environment);
}

CommandResult ShellUtils::runCommandWithEnv(const QString& command,
                                            const EnvironmentOverlay& environment,
                                            std::chrono::milliseconds timeout) {
    return CommandRunner::runWithEnv(command, environment, timeout);
}

void ShellUtils::runCommandAsync(const QString& command, CommandCompletion completion) {
    CommandRunner::runAsync(command, std::move(completion));
}

void ShellUtils::runCommandAsyncWithEnv(const QString& command,
                                        const EnvironmentOverlay& environment,
                                        CommandCompletion completion) {
    CommandRunner::runAsyncWithEnv(command, environment, std::move(completion));
}

bool ShellUtils::copyFile(const QString& from, const QString& to) {
    return FileUtilities::copyFile(from, to);
}

bool ShellUtils::writeToFile(const QString& content, const QString& path) {
    return FileUtilities::writeToFile(content, path);
}

bool ShellUtils::requestSudo(const QString& command) {
    return Privilege::requestSudo(command);
}

bool ShellUtils::setEnvironmentVariable(const QString& name, const QString& value) {
    ::setenv(name.toUtf8().constData(), value.toUtf8().constData(), 1);
    const QByteArray nameBytes = name.toUtf8();
    const char* seen = name.isEmpty() ? nullptr : std::getenv(nameBytes.constData());
    if (seen != nullptr && QString::fromUtf8(seen) == value) {
        //: %1 is the variable's name, %2 its value.
        writeConsoleLine(tr("成功设置环境变量 %1=%2 (仅当前进程)").arg(name, value));
        return true;
    }
    //: %1 is the variable's name, %2 its value.
    writeConsoleLine(tr("设置环境变量失败: %1=%2").arg(name, value));
    // The name goes into a shell line, so anything but a plain variable name is refused here.
    if (!isShellName(name)) {
        return false;
    }
    const CommandResult echoed = runCommand(QStringLiteral("echo $") + name);
    if (echoed.output.trimmed() == value) {
        writeConsoleLine(tr("通过Shell验证环境变量已设置"));
        return true;
    }
    return false;
}

std::optional<QString> ShellUtils::decodeBase64(const QString& text) {
    const QByteArray encoded = text.toUtf8();
    const auto decoded = QByteArray::fromBase64Encoding(
        encoded, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    // Qt's strict mode still accepts a missing "=" padding and stray bits in the last character:
    // only the one canonical spelling of the bytes counts.
    if (!decoded || decoded.decoded.toBase64() != encoded) {
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString result = decoder.decode(*decoded);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return result;
}

QString ShellUtils::quotePath(const QString& path) {
    static const QString interpreted = QStringLiteral("\"$`\\\n!");
    const bool ordinary =
        std::none_of(path.cbegin(), path.cend(), [](QChar c) { return interpreted.contains(c); });
    if (ordinary) {
        return QLatin1Char('"') + path + QLatin1Char('"');
    }
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
