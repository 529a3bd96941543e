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
    return tr("<已隐藏, %1 字符>").arg(secret.size());
}

QString AccessLookup::errorReport(const QString& title, int closingRuleLength,
                                  const QString& command, int exitCode, const QString& error) {
    //: %1 is the report's title, %2 the command, %3 its exit code and %4 its error output.
    return tr("===== %1 =====\n命令: %2\n退出代码: %3\n\n错误输出:\n%4\n")
               .arg(title, command, QString::number(exitCode), error) +
           QString(closingRuleLength, QLatin1Char('='));
}

DevtronAccess::Value AccessLookup::finishAddressLookup(const CommandResult& result) const {
    m_log(tr("命令退出代码: %1").arg(result.exitCode));
    if (result.exitCode != 0) {
        if (!result.error.isEmpty()) {
            reportFailure(tr("Devtron URL获取错误"), 28, ClusterTools::addressCommand(), result,
                          QStringLiteral("devtron_url_error.log"),
                          tr("URL获取错误信息已保存到: %1"));
        }
        m_log(tr("未找到Devtron URL"));
        return DevtronAccess::Value::missing(ClusterErrors::classify(result.error));
    }
    m_log(tr("命令输出:"));
    const ParsedAddress parsed = parseAddress(result.output);
    for (const QString& line : parsed.examinedLines) {
        m_log(QStringLiteral(">> ") + line);
    }
    if (!parsed.url || parsed.url->isEmpty()) {
        m_log(tr("未找到Devtron URL"));
        return DevtronAccess::Value::missing(noAddressInOutput());
    }
    m_log(tr("解析到URL: %1").arg(*parsed.url));
    m_log(tr("获取到Devtron URL: %1").arg(*parsed.url));
    return DevtronAccess::Value::read(*parsed.url);
}

DevtronAccess::Value AccessLookup::finishPasswordLookup(const CommandResult& result) const {
    m_log(tr("命令退出代码: %1").arg(result.exitCode));
    if (result.exitCode == 0 && !result.output.isEmpty()) {
        // The encoded value is as good as the password itself: only its length is recorded.
        m_log(tr("获取到编码密码: %1").arg(maskedSecret(result.output.trimmed())));
        if (const std::optional<QString> decoded = decodePassword(result.output)) {
            m_log(tr("成功解码密码"));
            return DevtronAccess::Value::read(*decoded);
        }
        m_log(tr("无法解码Devtron密码"));
        return DevtronAccess::Value::missing(passwordNotBase64());
    }
    if (!result.error.isEmpty()) {
        reportFailure(tr("Devtron信息获取错误"), 29, ClusterTools::passwordCommand(), result,
                      QStringLiteral("devtron_info_error.log"), tr("详细错误信息已保存到: %1"));
    }
    m_log(tr("无法获取Devtron密码"));
    return DevtronAccess::Value::missing(
        result.exitCode == 0 ? noPasswordInSecret() : ClusterErrors::classify(result.error));
}

QString AccessLookup::noAddressInOutput() {
    return tr("输出中没有Devtron地址");
}

QString AccessLookup::noPasswordInSecret() {
    return tr("devtron-secret中没有ADMIN_PASSWORD");
}

QString AccessLookup::passwordNotBase64() {
    return tr("ADMIN_PASSWORD不是有效的Base64文本");
}

void AccessLookup::reportFailure(const QString& title, int closingRuleLength,
                                 const QString& command, const CommandResult& result,
                                 const QString& fileName, const QString& savedMessage) const {
    m_log(tr("错误输出:"));
    for (const QString& line : result.error.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        m_log(QStringLiteral("!! ") + line);
    }
    const QString report =
        errorReport(title, closingRuleLength, command, result.exitCode, result.error);
    QString writeError;
    if (const auto path = InstallerLog::writeReport(fileName, report, writeError)) {
        m_log(savedMessage.arg(*path));
        m_copyToClipboard(report);
        m_log(tr("错误详情已复制到剪贴板，可直接粘贴查看"));
    } else {
        m_log(tr("无法保存错误日志: %1").arg(writeError));
    }
}
