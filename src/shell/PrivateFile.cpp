#include "shell/PrivateFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 readChunkSize = qint64{1} << 16;

PrivateFile::ReadResult readFailure(const QString& description) {
    return {std::nullopt, description};
}

QString describeErrno(int error) {
    switch (error) {
    case ENOENT:
        return QCoreApplication::translate("PrivateFile", "文件不存在");
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("PrivateFile", "没有读取该文件的权限");
    default:
        return qt_error_string(error);
    }
}

QString sizeLimitText(qint64 maximumSize) {
    constexpr qint64 mebibyte = qint64{1024} * 1024;
    return maximumSize % mebibyte == 0
               ? QStringLiteral("%1 MiB").arg(maximumSize / mebibyte)
               : QCoreApplication::translate("PrivateFile", "%1 字节").arg(maximumSize);
}

// Only a regular file of bounded size is worth reading: a pipe or a device would block or never
// end, and a folder has no text.
std::optional<QString> describeUnsuitable(const struct stat& info, qint64 maximumSize) {
    if (S_ISDIR(info.st_mode)) {
        return QCoreApplication::translate("PrivateFile", "所选路径是文件夹，不是文件");
    }
    if (S_ISFIFO(info.st_mode)) {
        return QCoreApplication::translate("PrivateFile", "所选文件是命名管道，不是普通文件");
    }
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        return QCoreApplication::translate("PrivateFile", "所选文件是设备文件，不是普通文件");
    }
    if (!S_ISREG(info.st_mode)) {
        return QCoreApplication::translate("PrivateFile", "所选路径不是普通文件");
    }
    if (info.st_size > maximumSize) {
        //: %1 is the file's size in bytes, %2 the largest size allowed.
        return QCoreApplication::translate("PrivateFile",
                                           "文件过大（%1 字节），Kubeconfig文件不能超过 %2")
            .arg(QString::number(info.st_size), sizeLimitText(maximumSize));
    }
    return std::nullopt;
}

} // namespace

PrivateFile::ReadResult PrivateFile::readRegularFile(const QString& path, qint64 maximumSize) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        return readFailure(describeErrno(errno));
    }
    if (const auto problem = describeUnsuitable(info, maximumSize)) {
        return readFailure(*problem);
    }
    // Non-blocking, so that a pipe swapped in after the look above cannot stall the open.
    const int descriptor = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return readFailure(describeErrno(errno));
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return readFailure(file.errorString());
    }
    struct stat opened {};
    if (::fstat(descriptor, &opened) != 0) {
        return readFailure(describeErrno(errno));
    }
    if (const auto problem = describeUnsuitable(opened, maximumSize)) {
        return readFailure(*problem);
    }

    // Bounded even when the file grows while it is read.
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(opened.st_size) + 1);
    while (bytes.size() <= maximumSize) {
        const qsizetype start = bytes.size();
        bytes.resize(start + qMin(readChunkSize, maximumSize + 1 - start));
        const qint64 count = file.read(bytes.data() + start, bytes.size() - start);
        if (count < 0) {
            return readFailure(tr("读取文件时出错: %1").arg(file.errorString()));
        }
        bytes.resize(start + count);
        if (count == 0) {
            break;
        }
    }
    if (bytes.size() > maximumSize) {
        return readFailure(
            tr("文件过大，Kubeconfig文件不能超过 %1").arg(sizeLimitText(maximumSize)));
    }
    return {std::move(bytes), {}};
}

bool PrivateFile::writeOwnerOnly(const QString& path, const QByteArray& bytes, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    };
    // QSaveFile would write through a link planted at the name, so a link goes first. A regular
    // file stays until the new one replaces it: a failed write keeps the old content.
    if (QFileInfo(path).isSymLink()) {
        QFile old(path);
        if (!old.remove()) {
            //: %1 is the file's path, %2 the system's reason.
            return fail(tr("无法删除旧文件 %1（%2）").arg(path, old.errorString()));
        }
    }
    constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(file.errorString());
    }
    if (!file.setPermissions(ownerOnly)) {
        file.cancelWriting();
        return fail(file.errorString());
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        return fail(file.errorString());
    }
    return true;
}
