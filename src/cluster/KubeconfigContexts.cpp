#include "cluster/KubeconfigContexts.h"

#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/PrivateFile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

std::optional<QJsonObject> jsonObject(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    return document.object();
}

QString commandFailure(const CommandResult& result) {
    const QString reason =
        result.error.trimmed().isEmpty() ? result.output.trimmed() : result.error.trimmed();
    return ClusterErrors::classify(reason);
}

} // namespace

KubeconfigContexts::List KubeconfigContexts::read(const QString& kubeconfigPath) {
    const CommandResult result =
        ShellUtils::runCommandWithEnv(ClusterTools::contextsCommand(kubeconfigPath),
                                      ClusterTools::environment(kubeconfigPath), timeLimit);
    if (result.exitCode != 0) {
        //: %1 is kubectl's reason.
        const QString failure = tr("无法读取上下文：%1").arg(commandFailure(result));
        return {{}, failure};
    }
    return parse(result.output.toUtf8());
}

KubeconfigContexts::List KubeconfigContexts::readDecodingBase64(const QString& kubeconfigPath,
                                                                const QString& tempDirectory) {
    List plain = read(kubeconfigPath);
    const auto bytes = PrivateFile::readRegularFile(kubeconfigPath).bytes;
    const auto decoded = plain.contexts.isEmpty() && bytes && !tempDirectory.isEmpty()
                             ? ShellUtils::decodeBase64(QString::fromUtf8(*bytes).trimmed())
                             : std::nullopt;
    const QString preview = tempDirectory + QStringLiteral("kubeconfig-contexts");
    if (!decoded || !PrivateFile::writeOwnerOnly(preview, decoded->toUtf8())) {
        return plain;
    }
    const List list = read(preview);
    QFile::remove(preview);
    return list.contexts.isEmpty() ? plain : list;
}

KubeconfigContexts::List KubeconfigContexts::parse(const QByteArray& json) {
    const auto config = jsonObject(json);
    if (!config) {
        return {{}, tr("无法读取上下文：kubectl的输出不是有效的JSON")};
    }
    QHash<QString, QString> servers;
    for (const QJsonValue cluster : (*config)[QLatin1String("clusters")].toArray()) {
        servers.insert(cluster[QLatin1String("name")].toString(),
                       cluster[QLatin1String("cluster")][QLatin1String("server")].toString());
    }
    const QString current = (*config)[QLatin1String("current-context")].toString();
    List list;
    for (const QJsonValue entry : (*config)[QLatin1String("contexts")].toArray()) {
        const QJsonValue fields = entry[QLatin1String("context")];
        Context context{entry[QLatin1String("name")].toString(),
                        servers.value(fields[QLatin1String("cluster")].toString()),
                        fields[QLatin1String("user")].toString()};
        if (context.name.isEmpty()) {
            continue;
        }
        if (context.name == current) {
            list.contexts.prepend(context);
        } else {
            list.contexts.append(context);
        }
    }
    if (list.contexts.isEmpty()) {
        list.failure = tr("Kubeconfig文件中没有上下文");
    }
    return list;
}

std::optional<QByteArray> KubeconfigContexts::resolvePluginPaths(const QByteArray& json,
                                                                 const QString& originDirectory) {
    auto config = jsonObject(json);
    if (!config) {
        return std::nullopt;
    }
    QJsonArray users = (*config)[QLatin1String("users")].toArray();
    for (QJsonValueRef entry : users) {
        QJsonObject user = entry.toObject();
        QJsonObject fields = user[QLatin1String("user")].toObject();
        QJsonObject exec = fields[QLatin1String("exec")].toObject();
        const QString command = exec[QLatin1String("command")].toString();
        // kubectl looks for a plugin named with a folder next to the kubeconfig, and for a bare
        // name on PATH; only the first would break once the copy lives elsewhere.
        if (command.contains(QLatin1Char('/')) && QDir::isRelativePath(command)) {
            exec[QLatin1String("command")] =
                QDir::cleanPath(QDir(originDirectory).absoluteFilePath(command));
            fields[QLatin1String("exec")] = exec;
            user[QLatin1String("user")] = fields;
            entry = user;
        }
    }
    config->insert(QLatin1String("users"), users);
    return QJsonDocument(*config).toJson(QJsonDocument::Indented);
}

KubeconfigContexts::Copy KubeconfigContexts::writeSingleContextCopy(const QString& kubeconfigPath,
                                                                    const QString& contextName,
                                                                    const QString& originDirectory,
                                                                    const QString& tempDirectory) {
    Copy copy;
    if (tempDirectory.isEmpty()) {
        copy.failure = tr("无法使用私有临时目录");
        return copy;
    }
    const CommandResult result = ShellUtils::runCommandWithEnv(
        ClusterTools::singleContextCommand(kubeconfigPath, contextName),
        ClusterTools::environment(kubeconfigPath), timeLimit);
    const auto json = result.exitCode == 0
                          ? resolvePluginPaths(result.output.toUtf8(), originDirectory)
                          : std::nullopt;
    if (!json) {
        copy.failure = tr("无法读取上下文：%1").arg(commandFailure(result));
        return copy;
    }
    // The copy's own current context is the chosen one, with its server and user.
    const List single = parse(*json);
    if (single.contexts.isEmpty()) {
        copy.failure = single.failure;
        return copy;
    }
    copy.context = single.contexts.constFirst();
    const QString path = tempDirectory + copyFileName();
    QString error;
    if (!PrivateFile::writeOwnerOnly(path, *json, &error)) {
        //: %1 is the system's reason.
        copy.failure = tr("保存上下文副本失败：%1").arg(error);
        return copy;
    }
    copy.path = path;
    return copy;
}
