#include "shell/FileUtilities.h"

#include "shell/CommandRunner.h"
#include "shell/Console.h"
#include "shell/PrivateFile.h"
#include "shell/ShellUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QFileDevice::Permissions ownerReadWrite =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The platform's plain copy: refuses to overwrite, creates the copy owner-only.
QString copyWithoutOverwrite(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        return source.errorString();
    }
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerReadWrite)) {
        return target.errorString();
    }
    const auto abandon = [&target](const QString& reason) {
        target.remove();
        return reason;
    };
    constexpr qint64 chunk = qint64{1024} * 1024;
    while (!source.atEnd()) {
        const QByteArray bytes = source.read(chunk);
        if (bytes.isEmpty() && source.error() != QFileDevice::NoError) {
            return abandon(source.errorString());
        }
        if (target.write(bytes) != bytes.size()) {
            return abandon(target.errorString());
        }
    }
    if (!target.flush()) {
        return abandon(target.errorString());
    }
    return {};
}

} // namespace

bool FileUtilities::copyFile(const QString& from, const QString& to) {
    if (!QFileInfo::exists(from)) {
        writeConsoleLine(QStringLiteral("源文件不存在: ") + from);
        return false;
    }

    QString failure;
    const QString directory = QFileInfo(to).path();
    if (!QFileInfo::exists(directory)) {
        if (QDir().mkpath(directory)) {
            writeConsoleLine(QStringLiteral("已创建目标目录: ") + directory);
        } else {
            failure = QStringLiteral("cannot create the folder ") + directory;
        }
    }
    if (failure.isEmpty() && QFileInfo::exists(to)) {
        const QString backup =
            to + QStringLiteral(".backup.") + QString::number(QDateTime::currentSecsSinceEpoch());
        failure = copyWithoutOverwrite(to, backup);
        if (failure.isEmpty()) {
            writeConsoleLine(QStringLiteral("已备份原文件: ") + backup);
        }
    }
    if (failure.isEmpty()) {
        failure = copyWithoutOverwrite(from, to);
    }
    if (failure.isEmpty()) {
        if (QFile::setPermissions(to, ownerReadWrite)) {
            writeConsoleLine(QStringLiteral("文件复制成功: ") + from + QStringLiteral(" -> ") + to);
            return true;
        }
        failure = QStringLiteral("cannot set the permissions of ") + to;
    }

    writeConsoleLine(QStringLiteral("复制文件失败: ") + failure);
    writeConsoleLine(QStringLiteral("源路径: ") + from);
    writeConsoleLine(QStringLiteral("目标路径: ") + to);
    const QString source = ShellUtils::quotePath(from);
    const QString target = ShellUtils::quotePath(to);
    const CommandResult copied =
        CommandRunner::run(QStringLiteral("cp ") + source + QLatin1Char(' ') + target +
                           QStringLiteral(" && chmod 600 ") + target);
    if (copied.exitCode == 0) {
        writeConsoleLine(QStringLiteral("使用shell命令复制文件成功"));
        return true;
    }
    writeConsoleLine(QStringLiteral("shell复制也失败: ") + copied.error);
    return false;
}

bool FileUtilities::writeToFile(const QString& content, const QString& path) {
    QString failure;
    if (!PrivateFile::writeOwnerOnly(path, content.toUtf8(), &failure)) {
        writeConsoleLine(QStringLiteral("写入文件失败: ") + failure);
        return false;
    }
    return true;
}
