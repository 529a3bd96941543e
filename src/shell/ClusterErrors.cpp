#include "shell/ClusterErrors.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

QString serverUnreachableMessage() {
    return QCoreApplication::translate("ClusterErrors",
                                       "无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. "
                                       "网络连接是否正常\n3. Kubeconfig中的服务器地址是否正确");
}

QString serverUnavailableAlert() {
    return QCoreApplication::translate("ClusterErrors",
                                       "无法连接到Kubernetes服务器。请检查:\n1. 集群是否运行\n2. "
                                       "网络连接是否正常\n3. Kubeconfig是否正确");
}

QString authorizationMessage() {
    return QCoreApplication::translate("ClusterErrors",
                                       "授权失败。请检查:\n1. Kubeconfig中的证书是否有效\n2. "
                                       "用户凭证是否正确\n3. 您是否有访问集群的权限");
}

QString certificateMessage() {
    return QCoreApplication::translate("ClusterErrors",
                                       "证书错误。请检查:\n1. Kubeconfig中的证书是否有效\n2. "
                                       "集群证书是否已过期\n3. 集群服务器地址与证书是否匹配");
}

// Translated, these messages name certificates and authorisation in kubectl's own words; they are
// Nimbrel's answers and never read as kubectl's text again.
bool isFixedMessage(const QString& text) {
    return text == serverUnreachableMessage() || text == serverUnavailableAlert() ||
           text == authorizationMessage() || text == certificateMessage();
}

bool mentionsAuthorization(const QString& text) {
    return text.contains(QLatin1String("Unauthorized")) ||
           text.contains(QLatin1String("authorization"));
}

QString credentialHelperTemplate() {
    //: %1 is the credential helper's own message. The text before it is the heading by which the
    //: message is recognised.
    return QCoreApplication::translate(
        "ClusterErrors", "凭证插件执行失败:\n%1\n\n请先用云服务商的工具重新登录（例如 aws "
                         "sso login、gcloud auth login、az login），然后重试。");
}

QString credentialHelperHeading() {
    const QString text = credentialHelperTemplate();
    return text.left(text.indexOf(QLatin1String("%1")));
}

QString missingHelperTemplate() {
    //: %1 is the program the kubeconfig names as its credential plugin.
    return QCoreApplication::translate(
        "ClusterErrors",
        "凭证插件%1未安装或不在PATH中。请安装它，或将它所在的文件夹加入PATH，然后重试。");
}

bool isMissingHelperMessage(const QString& text) {
    const QString pattern = missingHelperTemplate();
    const qsizetype at = pattern.indexOf(QLatin1String("%1"));
    return text.startsWith(pattern.left(at)) && text.contains(pattern.mid(at + 2));
}

// "exec: executable NAME not found": the plugin is not installed, or not on the PATH.
QString missingHelperName(const QString& text) {
    static const QRegularExpression notFound(QStringLiteral("executable (\\S+) not found"));
    return notFound.match(text).captured(1);
}

constexpr qsizetype helperLineCount = 3;

// kubectl 1.32 answers a rejected token on first contact with "You must be logged in to the
// server (the server has asked for the client to provide credentials)", and helm with "Kubernetes
// cluster unreachable: the server has asked ...": no "Unauthorized" in either.
bool mentionsMissingCredentials(const QString& text) {
    return text.contains(QLatin1String("You must be logged in to the server")) ||
           text.contains(
               QLatin1String("the server has asked for the client to provide credentials"));
}

// "getting credentials": the kubeconfig's credential helper is missing or failed, which kubectl
// reports behind "Unable to connect to the server" although the server was never asked.
bool mentionsCredentialHelper(const QString& text) {
    return text.contains(QLatin1String("getting credentials"));
}

// The helper writes its own reason ("login has expired") to the standard error that kubectl
// shares with it; kubectl's own lines are its log lines, its hint about plugins that are not
// installed, and its closing summary, which names the helper.
QString credentialHelperMessage(const QString& text) {
    static const QRegularExpression kubectlLine(QStringLiteral(
        "^([EIWF]\\d{4} |>$|couldn't get current server API group list|It looks like you are "
        "trying to use a client-go|To learn more about this feature|https://kubernetes\\.io/)"));
    static const QString summaryStart = QStringLiteral("Unable to connect to the server");
    QStringList helperLines;
    QString summary;
    for (const QString& raw : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            continue;
        }
        if (line.startsWith(summaryStart)) {
            summary = line;
        } else if (kubectlLine.match(line).hasMatch()) {
            continue;
        } else if (!helperLines.contains(line) && helperLines.size() < helperLineCount) {
            helperLines.append(line);
        }
    }
    const QString missing = missingHelperName(text);
    if (!missing.isEmpty()) {
        // What is left is the kubeconfig's own hint on installing it.
        QString message = missingHelperTemplate().arg(missing);
        if (!helperLines.isEmpty()) {
            message += QStringLiteral("\n\n") + helperLines.join(QLatin1Char('\n'));
        }
        return message;
    }
    const QString reason = helperLines.isEmpty() ? summary : helperLines.join(QLatin1Char('\n'));
    return credentialHelperTemplate().arg(reason);
}

// A refused connection is worded "The connection to the server HOST was refused", never
// "Unable to connect to the server", yet it is the plainest case of an unreachable server.
bool mentionsUnreachableServer(const QString& text) {
    return text.contains(QLatin1String("Unable to connect to the server")) ||
           (text.contains(QLatin1String("The connection to the server")) &&
            text.contains(QLatin1String("was refused")));
}

bool mentionsCertificate(const QString& text) {
    return text.contains(QLatin1String("certificate")) || text.contains(QLatin1String("x509"));
}

} // namespace

QString ClusterErrors::classify(const QString& errorText) {
    QString text = errorText.isEmpty() ? tr("无法连接到Kubernetes集群") : errorText;
    if (text.startsWith(credentialHelperHeading()) || isMissingHelperMessage(text) ||
        isFixedMessage(text)) {
        return text;
    }
    if (mentionsCredentialHelper(text)) {
        return credentialHelperMessage(text);
    }
    // kubectl prefixes TLS failures with "Unable to connect to the server", so the certificate
    // check has to come first or a bad certificate would read as an unreachable server.
    if (mentionsAuthorization(text) || mentionsMissingCredentials(text)) {
        return authorizationMessage();
    }
    if (mentionsCertificate(text)) {
        return certificateMessage();
    }
    if (mentionsUnreachableServer(text)) {
        return serverUnreachableMessage();
    }
    return text;
}

QString ClusterErrors::classifyRejection(const QString& errorText) {
    return mentionsAuthorization(errorText) || mentionsMissingCredentials(errorText)
               ? authorizationMessage()
               : errorText;
}

QString ClusterErrors::formatForAlert(const QString& message) {
    // Already in plain words, with advice that fits a cloud login or a missing plugin.
    if (message.startsWith(credentialHelperHeading()) || isMissingHelperMessage(message)) {
        return message;
    }
    QString text = message;
    text.replace(QLatin1String("\n\n"), QLatin1String("\n"));
    if (!isFixedMessage(text)) {
        if (text.contains(QLatin1String("the server is currently unable to handle the request"))) {
            return serverUnavailableAlert();
        }
        if (mentionsAuthorization(text)) {
            return authorizationMessage();
        }
        if (mentionsCertificate(text)) {
            return certificateMessage();
        }
    }
    //: %1 is the error's text.
    return tr("连接Kubernetes集群失败。\n\n错误详情:\n%1\n\n"
              "请检查您的kubeconfig文件和集群状态，确保集群可正常访问。")
        .arg(text);
}
