#include "cluster/CredentialParser.h"

#include "installer/AccessLookup.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

const QString fieldMarker = QStringLiteral("url:");
const QString messageMarker = QStringLiteral("Message:");

// \w follows Unicode here, so that internationalised host names match as a whole.
const QRegularExpression& addressExpression() {
    static const QRegularExpression expression(
        QStringLiteral(R"(https?://[\w\.-]+\.[a-zA-Z]{2,}(?:/[\w\.-]*)*)"),
        QRegularExpression::UseUnicodePropertiesOption);
    return expression;
}

std::optional<QString> firstAddressIn(const QString& text) {
    const QRegularExpressionMatch match = addressExpression().match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return match.captured(0);
}

} // namespace

QString CredentialParser::findAddress(const QString& output, const LineLogger& log) {
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (const std::optional<QString> field = fieldPass(lines)) {
        log(tr("从'url:'字段解析到URL: %1").arg(*field));
        if (!field->isEmpty()) {
            return *field;
        }
    }
    if (!addressExpression().isValid()) {
        log(tr("正则表达式匹配错误: %1").arg(addressExpression().errorString()));
        return {};
    }
    if (const std::optional<QString> message = messagePass(lines)) {
        log(tr("从Message字段解析到URL: %1").arg(*message));
        return *message;
    }
    if (const std::optional<QString> anywhere = wholeTextPass(output)) {
        log(tr("通过正则表达式直接匹配到URL: %1").arg(*anywhere));
        return *anywhere;
    }
    return {};
}

std::optional<QString> CredentialParser::fieldPass(const QStringList& lines) {
    for (const QString& line : lines) {
        // Searched in the line itself rather than in a lower-cased copy, whose length may differ.
        const qsizetype at = line.indexOf(fieldMarker, 0, Qt::CaseInsensitive);
        if (at >= 0) {
            return line.mid(at + fieldMarker.size()).trimmed();
        }
    }
    return std::nullopt;
}

std::optional<QString> CredentialParser::messagePass(const QStringList& lines) {
    for (const QString& line : lines) {
        if (!line.contains(messageMarker)) {
            continue;
        }
        if (std::optional<QString> address = firstAddressIn(line.trimmed())) {
            return address;
        }
    }
    return std::nullopt;
}

std::optional<QString> CredentialParser::wholeTextPass(const QString& output) {
    return firstAddressIn(output);
}

QString CredentialParser::completePort(const QString& address) {
    const qsizetype scheme = address.indexOf(QStringLiteral("://"));
    const bool needsPort = !address.contains(QLatin1Char(':')) ||
                           (scheme >= 0 && !address.mid(scheme + 3).contains(QLatin1Char(':')));
    if (!needsPort) {
        return address;
    }
    const QString port = QLatin1Char(':') + QString::number(devtronPort);
    if (address.endsWith(QLatin1Char('/'))) {
        return address.chopped(1) + port + QLatin1Char('/');
    }
    return address + port;
}

std::optional<QString> CredentialParser::decodePassword(const QString& encoded) {
    std::optional<QString> password = AccessLookup::decodePassword(encoded);
    // Blank output decodes to an empty text, which no administrator account accepts.
    if (password && password->isEmpty()) {
        return std::nullopt;
    }
    return password;
}
