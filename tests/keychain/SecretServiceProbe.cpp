#include "SecretServiceProbe.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QMap>
#include <QProcess>

namespace {

using Attributes = QMap<QString, QString>;

QDBusMessage callService(const QString& method, const QList<QVariant>& arguments) {
    qDBusRegisterMetaType<Attributes>();
    // A bare message rather than QDBusInterface, which would introspect the service first.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.secrets"), QStringLiteral("/org/freedesktop/secrets"),
        QStringLiteral("org.freedesktop.Secret.Service"), method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call);
}

QList<QDBusObjectPath> paths(const QVariant& value) {
    return qdbus_cast<QList<QDBusObjectPath>>(value);
}

} // namespace

namespace SecretServiceProbe {

QList<QDBusObjectPath> itemsFor(const QString& service, const QString& key) {
    const Attributes attributes{{QStringLiteral("server"), service}, {QStringLiteral("user"), key}};
    const QDBusMessage reply =
        callService(QStringLiteral("SearchItems"), {QVariant::fromValue(attributes)});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
        return {};
    }
    return paths(reply.arguments().at(0)) + paths(reply.arguments().at(1));
}

QString readAlias(const QString& alias) {
    const QDBusMessage reply = callService(QStringLiteral("ReadAlias"), {alias});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return qdbus_cast<QDBusObjectPath>(reply.arguments().at(0)).path();
}

bool setAlias(const QString& alias, const QString& collectionPath) {
    const QDBusMessage reply = callService(
        QStringLiteral("SetAlias"), {alias, QVariant::fromValue(QDBusObjectPath(collectionPath))});
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool lockCollection(const QString& collectionPath) {
    const QList<QDBusObjectPath> objects{QDBusObjectPath(collectionPath)};
    const QDBusMessage reply = callService(QStringLiteral("Lock"), {QVariant::fromValue(objects)});
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool storeRawSecret(const QString& service, const QString& key, const QByteArray& bytes) {
    // secret-tool takes the secret from standard input byte for byte.
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"),
               {QStringLiteral("store"), QStringLiteral("--label=raw"), QStringLiteral("user"), key,
                QStringLiteral("server"), service, QStringLiteral("type"),
                QStringLiteral("plaintext")});
    if (!tool.waitForStarted()) {
        return false;
    }
    tool.write(bytes);
    tool.closeWriteChannel();
    return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

} // namespace SecretServiceProbe
