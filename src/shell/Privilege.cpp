#include "shell/Privilege.h"

#include "shell/AppPaths.h"
#include "shell/CommandRunner.h"
#include "shell/Console.h"
#include "shell/PrivateFile.h"
#include "shell/ShellUtils.h"

#include <QFile>
#include <QUuid>

bool Privilege::requestSudo(const QString& command) {
    if (CommandRunner::run(command).exitCode == 0) {
        writeConsoleLine(tr("命令执行成功，无需管理员权限"));
        return true;
    }
    writeConsoleLine(tr("普通权限执行失败，尝试使用管理员权限"));

    const QString folder = AppPaths::privateTempDirectory();
    if (folder.isEmpty()) {
        writeConsoleLine(tr("创建临时脚本失败: %1")
                             .arg(QStringLiteral("no private temporary folder is available")));
        return false;
    }
    const QString script = folder + QStringLiteral("sudo_script_") +
                           QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() +
                           QStringLiteral(".sh");
    //: The comment line at the top of the script that pkexec runs.
    const QString content = QStringLiteral("#!/bin/bash\n# ") +
                            tr("临时脚本用于以管理员权限执行命令") + QLatin1Char('\n') + command;
    // Owner-only from the first byte and then executable for the owner alone; a "chmod +x" would
    // open it to everyone.
    QString failure;
    const bool written = PrivateFile::writeOwnerOnly(script, content.toUtf8(), &failure);
    if (written && !QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner)) {
        failure = QStringLiteral("cannot make the script executable");
        QFile::remove(script);
    }
    if (!failure.isEmpty() || !written) {
        writeConsoleLine(tr("创建临时脚本失败: %1").arg(failure));
        return false;
    }

    const QString quotedScript = ShellUtils::quotePath(script);
    const CommandResult elevated = CommandRunner::run(
        QStringLiteral("pkexec --disable-internal-agent /bin/bash ") + quotedScript);
    CommandRunner::run(QStringLiteral("rm -f ") + quotedScript);
    // The script must not outlive this call, even when the shell could not remove it.
    QFile::remove(script);

    if (elevated.exitCode == 0) {
        writeConsoleLine(tr("管理员权限命令执行成功"));
        return true;
    }
    // Only a graphical polkit agent can ask: pkexec's own text prompt would wait on a terminal
    // that this window's user does not watch.
    if (elevated.error.contains(QLatin1String("No authentication agent found"))) {
        writeConsoleLine(
            tr("没有可用的图形化授权代理（polkit），无法请求管理员权限。请在桌面会话中运行，"
               "或在终端中手动运行该命令。"));
        return false;
    }
    writeConsoleLine(tr("管理员权限命令失败: %1").arg(elevated.error));
    return false;
}
