#include "installer/AccessLookup.h"

#include "installer/InstallerLog.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/ShellUtils.h"

#include <utility>

AccessLookup::AccessLookup(LineLog log, ClipboardCopy copyToClipboard)
    : m_log(std::move(log)), m_copyToClipboard(std::move(copyToClipboard)) {}

AccessLookup::ParsedAddress AccessLookup::parseAddress(const QString& output) {
    const QString marker = QStringLiteral("URL:");
    ParsedAddress parsed;
    for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        parsed.examinedLines.append(line);
        const qsizetype markerAt = line.indexOf(marker);
        if (markerAt >= 0) {
            parsed.url = line.mid(markerAt + marker.size()).trimmed();
            break;
        }
    }
    return parsed;
}

std::optional<QString> AccessLookup::decodePassword(const QString& encoded) {
    return ShellUtils::decodeBase64(encoded.trimmed());
}

QString AccessLookup::maskedSecret(const QString& secret) {
    return QStringLiteral("<已隐藏, %1 字符>").arg(secret.size());
}

QString AccessLookup::errorReport(const QString& title, int closingRuleLength,
                                  const QString& command, int exitCode, const QString& error) {
    return QStringLiteral("===== ") + title + QStringLiteral(" =====\n命令: ") + command +
           QStringLiteral("\n退出代码: ") + QString::number(exitCode) +
           QStringLiteral("\n\n错误输出:\n") + error + QLatin1Char('\n') +
           QString(closingRuleLength, QLatin1Char('='));
}

DevtronAccess::Value AccessLookup::finishAddressLookup(const CommandResult& result) const {
    m_log(QStringLiteral("命令退出代码: ") + QString::number(result.exitCode));
    if (result.exitCode != 0) {
        if (!result.error.isEmpty()) {
            reportFailure(QStringLiteral("Devtron URL获取错误"), 28, ClusterTools::addressCommand(),
                          result, QStringLiteral("devtron_url_error.log"),
                          QStringLiteral("URL获取错误信息已保存到: "));
        }
        m_log(QStringLiteral("未找到Devtron URL"));
        return DevtronAccess::Value::missing(ClusterErrors::classify(result.error));
    }
    m_log(QStringLiteral("命令输出:"));
    const ParsedAddress parsed = parseAddress(result.output);
    for (const QString& line : parsed.examinedLines) {
        m_log(QStringLiteral(">> ") + line);
    }
    if (!parsed.url || parsed.url->isEmpty()) {
        m_log(QStringLiteral("未找到Devtron URL"));
        return DevtronAccess::Value::missing(noAddressInOutput());
    }
    m_log(QStringLiteral("解析到URL: ") + *parsed.url);
    m_log(QStringLiteral("获取到Devtron URL: ") + *parsed.url);
    return DevtronAccess::Value::read(*parsed.url);
}

DevtronAccess::Value AccessLookup::finishPasswordLookup(const CommandResult& result) const {
    m_log(QStringLiteral("命令退出代码: ") + QString::number(result.exitCode));
    if (result.exitCode == 0 && !result.output.isEmpty()) {
        // The encoded value is as good as the password itself: only its length is recorded.
        m_log(QStringLiteral("获取到编码密码: ") + maskedSecret(result.output.trimmed()));
        if (const std::optional<QString> decoded = decodePassword(result.output)) {
            m_log(QStringLiteral("成功解码密码"));
            return DevtronAccess::Value::read(*decoded);
        }
        m_log(QStringLiteral("无法解码Devtron密码"));
        return DevtronAccess::Value::missing(passwordNotBase64());
    }
    if (!result.error.isEmpty()) {
        reportFailure(QStringLiteral("Devtron信息获取错误"), 29, ClusterTools::passwordCommand(),
                      result, QStringLiteral("devtron_info_error.log"),
                      QStringLiteral("详细错误信息已保存到: "));
    }
    m_log(QStringLiteral("无法获取Devtron密码"));
    return DevtronAccess::Value::missing(
        result.exitCode == 0 ? noPasswordInSecret() : ClusterErrors::classify(result.error));
}

QString AccessLookup::noAddressInOutput() {
    return QStringLiteral("输出中没有Devtron地址");
}

QString AccessLookup::noPasswordInSecret() {
    return QStringLiteral("devtron-secret中没有ADMIN_PASSWORD");
}

QString AccessLookup::passwordNotBase64() {
    return QStringLiteral("ADMIN_PASSWORD不是有效的Base64文本");
}

void AccessLookup::reportFailure(const QString& title, int closingRuleLength,
                                 const QString& command, const CommandResult& result,
                                 const QString& fileName, const QString& savedPrefix) const {
    m_log(QStringLiteral("错误输出:"));
    for (const QString& line : result.error.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        m_log(QStringLiteral("!! ") + line);
    }
    const QString report =
        errorReport(title, closingRuleLength, command, result.exitCode, result.error);
    QString writeError;
    if (const auto path = InstallerLog::writeReport(fileName, report, writeError)) {
        m_log(savedPrefix + *path);
        m_copyToClipboard(report);
        m_log(QStringLiteral("错误详情已复制到剪贴板，可直接粘贴查看"));
    } else {
        m_log(QStringLiteral("无法保存错误日志: ") + writeError);
    }
}
