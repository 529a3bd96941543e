#include "views/KubeconfigValidator.h"

#include "session/InstallationState.h"
#include "shell/ShellUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 readChunkSize = qint64{1} << 16;

KubeconfigValidator::ReadResult readFailure(const QString& description) {
    return {std::nullopt, description};
}

QString describeErrno(int error) {
    switch (error) {
    case ENOENT:
        return QStringLiteral("文件不存在");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有读取该文件的权限");
    default:
        return qt_error_string(error);
    }
}

// Only a regular file of bounded size is worth reading: a pipe or a device would block or never
// end, and a folder has no text.
std::optional<QString> describeUnsuitable(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) {
        return QStringLiteral("所选路径是文件夹，不是文件");
    }
    if (S_ISFIFO(info.st_mode)) {
        return QStringLiteral("所选文件是命名管道，不是普通文件");
    }
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        return QStringLiteral("所选文件是设备文件，不是普通文件");
    }
    if (!S_ISREG(info.st_mode)) {
        return QStringLiteral("所选路径不是普通文件");
    }
    if (info.st_size > KubeconfigValidator::maximumFileSize) {
        return QStringLiteral("文件过大（%1 字节），Kubeconfig文件不能超过 16 MiB")
            .arg(static_cast<qint64>(info.st_size));
    }
    return std::nullopt;
}

QString tooLarge() {
    return QStringLiteral("文件过大，Kubeconfig文件不能超过 16 MiB");
}

// Whether the bytes are UTF-8, checked piecewise so that a large file needs no second copy.
bool isUtf8(QByteArrayView bytes) {
    constexpr qsizetype piece = qsizetype{1} << 16;
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QList<QChar> buffer(decoder.requiredSpace(piece));
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype end = qMin(at + piece, bytes.size());
        // Never cut a character: back up over at most three continuation bytes.
        for (int back = 0; back < 3 && end < bytes.size() &&
                           (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80;
             ++back) {
            --end;
        }
        decoder.appendToBuffer(buffer.data(), bytes.sliced(at, end - at));
        if (decoder.hasError()) {
            return false;
        }
        at = end;
    }
    return true;
}

// Length of the line end (LF, VT, FF, CR, NEL, LS or PS) starting at `at`; 0 when none does.
qsizetype lineEndLength(QByteArrayView text, qsizetype at) {
    const auto byte = [&](qsizetype offset) {
        return at + offset < text.size() ? static_cast<unsigned char>(text[at + offset]) : 0;
    };
    switch (byte(0)) {
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return 1;
    case 0xC2:
        return byte(1) == 0x85 ? 2 : 0;
    case 0xE2:
        return byte(1) == 0x80 && (byte(2) == 0xA8 || byte(2) == 0xA9) ? 3 : 0;
    default:
        return 0;
    }
}

QByteArrayView trimSpacesAndTabs(QByteArrayView text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.isEmpty() && blank(text.front())) {
        text = text.sliced(1);
    }
    while (!text.isEmpty() && blank(text.back())) {
        text.chop(1);
    }
    return text;
}

} // namespace

const QStringList& KubeconfigValidator::requiredFields() {
    static const QStringList fields{QStringLiteral("apiVersion"), QStringLiteral("kind"),
                                    QStringLiteral("clusters"), QStringLiteral("contexts"),
                                    QStringLiteral("current-context")};
    return fields;
}

KubeconfigValidator::ReadResult KubeconfigValidator::readKubeconfigText(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        return readFailure(describeErrno(errno));
    }
    if (const auto problem = describeUnsuitable(info)) {
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
    if (const auto problem = describeUnsuitable(opened)) {
        return readFailure(*problem);
    }

    // Bounded even when the file grows while it is read.
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(opened.st_size) + 1);
    while (bytes.size() <= maximumFileSize) {
        const qsizetype start = bytes.size();
        bytes.resize(start + qMin(readChunkSize, maximumFileSize + 1 - start));
        const qint64 count = file.read(bytes.data() + start, bytes.size() - start);
        if (count < 0) {
            return readFailure(QStringLiteral("读取文件时出错: ") + file.errorString());
        }
        bytes.resize(start + count);
        if (count == 0) {
            break;
        }
    }
    if (bytes.size() > maximumFileSize) {
        return readFailure(tooLarge());
    }

    if (!isUtf8(bytes)) {
        return readFailure(QStringLiteral("文件内容不是有效的UTF-8文本"));
    }
    return {std::move(bytes), {}};
}

QStringList KubeconfigValidator::foundFields(QByteArrayView text) {
    QStringList found;
    for (const QString& field : requiredFields()) {
        if (text.contains(field.toLatin1())) {
            found.append(field);
        }
    }
    return found;
}

std::optional<QString> KubeconfigValidator::clusterName(QByteArrayView text) {
    static const QByteArray anchor = QByteArrayLiteral("clusters:");
    static const QByteArray key = QByteArrayLiteral("name:");
    const qsizetype at = text.indexOf(anchor);
    if (at < 0) {
        return std::nullopt;
    }
    const QByteArrayView rest = text.sliced(at + anchor.size());
    qsizetype start = 0;
    while (start <= rest.size()) {
        qsizetype end = start;
        qsizetype endLength = 0;
        while (end < rest.size() && (endLength = lineEndLength(rest, end)) == 0) {
            ++end;
        }
        const QByteArrayView line = rest.sliced(start, end - start);
        if (trimSpacesAndTabs(line).startsWith(key)) {
            const QByteArray value = line.toByteArray().replace(key, QByteArrayView());
            return QString::fromUtf8(trimSpacesAndTabs(value));
        }
        start = end + qMax<qsizetype>(endLength, 1);
    }
    return std::nullopt;
}

QString KubeconfigValidator::invalidMessage(const QStringList& missingFields) {
    return QStringLiteral("无效的Kubeconfig文件。请确保包含所有必要字段: ") +
           missingFields.join(QStringLiteral(", ")) + QStringLiteral("。");
}

QString KubeconfigValidator::readFailureMessage(const QString& failureDescription) {
    return QStringLiteral("无法读取Kubeconfig文件: ") + failureDescription;
}

KubeconfigValidator::SaveResult KubeconfigValidator::saveDecoded(const QByteArray& text,
                                                                 const QString& tempDirectory) {
    if (tempDirectory.isEmpty()) {
        return {std::nullopt, QStringLiteral("没有可用的私有临时目录")};
    }
    const QString target = tempDirectory + decodedFileName();
    // Removing first also keeps a link planted at the name from redirecting the write.
    const QFileInfo existing(target);
    if (existing.exists() || existing.isSymLink()) {
        QFile old(target);
        if (!old.remove()) {
            return {std::nullopt,
                    QStringLiteral("无法删除旧文件 %1（%2）").arg(target, old.errorString())};
        }
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        return {std::nullopt, file.errorString()};
    }
    // The decoded kubeconfig carries the cluster's credentials: owner only.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        return {std::nullopt, file.errorString()};
    }
    if (file.write(text) != text.size() || !file.commit()) {
        return {std::nullopt, file.errorString()};
    }
    return {target, {}};
}

KubeconfigValidator::Result
KubeconfigValidator::validateKubeconfigFile(const QString& path, const QString& tempDirectory,
                                            const LogFunction& log) {
    Result result;
    log(QStringLiteral("读取Kubeconfig文件内容..."));
    ReadResult read = readKubeconfigText(path);
    if (!read.text) {
        log(QStringLiteral("读取Kubeconfig文件失败: ") + read.failureDescription);
        result.verdict = Verdict::readFailure;
        result.failureDescription = read.failureDescription;
        return result;
    }

    QByteArray adopted = std::move(*read.text);
    QStringList found = foundFields(adopted);
    if (found.size() < acceptanceThreshold) {
        log(QStringLiteral("尝试解码文件内容..."));
        const std::optional<QString> decoded =
            ShellUtils::decodeBase64(QString::fromUtf8(adopted).trimmed());
        QByteArray decodedText = decoded ? decoded->toUtf8() : QByteArray();
        if (!decoded) {
            log(QStringLiteral("Base64解码失败或内容不是Base64格式，使用原始文件内容"));
        } else if (QStringList decodedFound = foundFields(decodedText);
                   decodedFound.size() > found.size()) {
            adopted = std::move(decodedText);
            found = std::move(decodedFound);
            log(QStringLiteral("检测到Base64编码的kubeconfig文件，解码成功"));
            const SaveResult saved = saveDecoded(adopted, tempDirectory);
            if (saved.path) {
                log(QStringLiteral("已自动解码kubeconfig文件"));
                result.decodedFilePath = saved.path;
            } else {
                log(QStringLiteral("保存解码后的kubeconfig文件失败: ") + saved.failureDescription);
            }
        } else {
            log(QStringLiteral("解码后内容不是有效的kubeconfig格式，使用原始文件内容"));
        }
    }

    log(QStringLiteral("Kubeconfig文件大小: %1 字节").arg(adopted.size()));

    for (const QString& field : requiredFields()) {
        if (!found.contains(field)) {
            result.missingFields.append(field);
        }
    }
    if (!result.missingFields.isEmpty()) {
        log(QStringLiteral("缺少字段: ") + result.missingFields.join(QStringLiteral(", ")));
    }
    if (const auto name = clusterName(adopted)) {
        log(QStringLiteral("检测到集群名称: ") + *name);
    }
    result.verdict = found.size() >= acceptanceThreshold ? Verdict::valid : Verdict::invalid;
    return result;
}

bool KubeconfigValidator::applyResult(const Result& result, const QString& validatedPath,
                                      InstallationState& state) {
    // A result for a file that is no longer the chosen one would advance with the wrong file.
    if (state.kubeconfigPath() != validatedPath) {
        return false;
    }
    if (result.decodedFilePath) {
        state.setKubeconfigPath(*result.decodedFilePath, state.kubeconfigDisplayPath());
    }
    switch (result.verdict) {
    case Verdict::valid:
        state.appendLog(QStringLiteral("Kubeconfig文件验证成功 ✓"));
        state.moveToNextStep();
        break;
    case Verdict::invalid:
        state.showError(invalidMessage(result.missingFields));
        break;
    case Verdict::readFailure:
        state.showError(readFailureMessage(result.failureDescription));
        break;
    }
    return true;
}
