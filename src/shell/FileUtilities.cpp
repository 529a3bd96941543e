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
        writeConsoleLine(tr("源文件不存在: %1").arg(from));
        return false;
    }

    QString failure;
    const QString directory = QFileInfo(to).path();
    if (!QFileInfo::exists(directory)) {
        if (QDir().mkpath(directory)) {
            writeConsoleLine(tr("已创建目标目录: %1").arg(directory));
        } else {
            failure = QStringLiteral("cannot create the folder ") + directory;
        }
    }
    if (failure.isEmpty() && QFileInfo::exists(to)) {
        const QString backup =
            to + QStringLiteral(".backup.") + QString::number(QDateTime::currentSecsSinceEpoch());
        failure = copyWithoutOverwrite(to, backup);
        if (failure.isEmpty()) {
            writeConsoleLine(tr("已备份原文件: %1").arg(backup));
        }
    }
    if (failure.isEmpty()) {
        failure = copyWithoutOverwrite(from, to);
    }
    if (failure.isEmpty()) {
        if (QFile::setPermissions(to, ownerReadWrite)) {
            writeConsoleLine(tr("文件复制成功: %1 -> %2").arg(from, to));
            return true;
        }
        failure = QStringLiteral("cannot set the permissions of ") + to;
    }

    writeConsoleLine(tr("复制文件失败: %1").arg(failure));
    writeConsoleLine(tr("源路径: %1").arg(from));
    writeConsoleLine(tr("目标路径: %1").arg(to));
    const QString source = ShellUtils::quotePath(from);
    const QString target = ShellUtils::quotePath(to);
    const CommandResult copied =
        CommandRunner::run(QStringLiteral("cp ") + source + QLatin1Char(' ') + target +
                           QStringLiteral(" && chmod 600 ") + target);
    if (copied.exitCode == 0) {
        writeConsoleLine(tr("使用shell命令复制文件成功"));
        return true;
    }
    writeConsoleLine(tr("shell复制也失败: %1").arg(copied.error));
    return false;
}

bool FileUtilities::writeToFile(const QString& content, const QString& path) {
    QString failure;
    if (!PrivateFile::writeOwnerOnly(path, content.toUtf8(), &failure)) {
        writeConsoleLine(tr("写入文件失败: %1").arg(failure));
        return false;
    }
    return true;
}
