#include "views/kubeconfig/KubeconfigValidator.h"

#include "shell/PrivateFile.h"
#include "shell/ShellUtils.h"

#include <QList>
#include <QStringDecoder>

namespace {

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
    PrivateFile::ReadResult read = PrivateFile::readRegularFile(path, maximumFileSize);
    if (!read.bytes) {
        return {std::nullopt, read.failureDescription};
    }
    if (!isUtf8(*read.bytes)) {
        return {std::nullopt, tr("文件内容不是有效的UTF-8文本")};
    }
    return {std::move(read.bytes), {}};
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
    //: %1 lists the missing field names, separated by commas.
    return tr("无效的Kubeconfig文件。请确保包含所有必要字段: %1。")
        .arg(missingFields.join(QStringLiteral(", ")));
}

QString KubeconfigValidator::readFailureMessage(const QString& failureDescription) {
    return tr("无法读取Kubeconfig文件: %1").arg(failureDescription);
}

KubeconfigValidator::SaveResult KubeconfigValidator::saveDecoded(const QByteArray& text,
                                                                 const QString& tempDirectory) {
    if (tempDirectory.isEmpty()) {
        return {std::nullopt, tr("没有可用的私有临时目录")};
    }
    const QString target = tempDirectory + decodedFileName();
    // The decoded kubeconfig carries the cluster's credentials: owner only.
    QString error;
    if (!PrivateFile::writeOwnerOnly(target, text, &error)) {
        return {std::nullopt, error};
    }
    return {target, {}};
}

KubeconfigValidator::Result
KubeconfigValidator::validateKubeconfigFile(const QString& path, const QString& tempDirectory,
                                            const LogFunction& log) {
    Result result;
    log(tr("读取Kubeconfig文件内容..."));
    ReadResult read = readKubeconfigText(path);
    if (!read.text) {
        log(tr("读取Kubeconfig文件失败: %1").arg(read.failureDescription));
        result.verdict = Verdict::readFailure;
        result.failureDescription = read.failureDescription;
        return result;
    }

    QByteArray adopted = std::move(*read.text);
    QStringList found = foundFields(adopted);
    if (found.size() < acceptanceThreshold) {
        log(tr("尝试解码文件内容..."));
        const std::optional<QString> decoded =
            ShellUtils::decodeBase64(QString::fromUtf8(adopted).trimmed());
        QByteArray decodedText = decoded ? decoded->toUtf8() : QByteArray();
        if (!decoded) {
            log(tr("Base64解码失败或内容不是Base64格式，使用原始文件内容"));
        } else if (QStringList decodedFound = foundFields(decodedText);
                   decodedFound.size() > found.size()) {
            adopted = std::move(decodedText);
            found = std::move(decodedFound);
            log(tr("检测到Base64编码的kubeconfig文件，解码成功"));
            const SaveResult saved = saveDecoded(adopted, tempDirectory);
            if (saved.path) {
                log(tr("已自动解码kubeconfig文件"));
                result.decodedFilePath = saved.path;
            } else {
                log(tr("保存解码后的kubeconfig文件失败: %1").arg(saved.failureDescription));
            }
        } else {
            log(tr("解码后内容不是有效的kubeconfig格式，使用原始文件内容"));
        }
    }

    log(tr("Kubeconfig文件大小: %1 字节").arg(adopted.size()));

    for (const QString& field : requiredFields()) {
        if (!found.contains(field)) {
            result.missingFields.append(field);
        }
    }
    if (!result.missingFields.isEmpty()) {
        log(tr("缺少字段: %1").arg(result.missingFields.join(QStringLiteral(", "))));
    }
    if (const auto name = clusterName(adopted)) {
        log(tr("检测到集群名称: %1").arg(*name));
    }
    result.verdict = found.size() >= acceptanceThreshold ? Verdict::valid : Verdict::invalid;
    return result;
}
