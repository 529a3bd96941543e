#pragma once

#include <QDBusObjectPath>
#include <QList>
#include <QString>

// Direct Secret Service calls that let tests look behind the store and change the keyring.
namespace SecretServiceProbe {

// Items, locked or not, that QtKeychain keeps for this service and key.
QList<QDBusObjectPath> itemsFor(const QString& service, const QString& key);

// The collection behind an alias, or an empty path when the call fails.
QString readAlias(const QString& alias);
bool setAlias(const QString& alias, const QString& collectionPath);
bool lockCollection(const QString& collectionPath);

// Stores raw bytes as a plain-text secret the way QtKeychain files its items.
bool storeRawSecret(const QString& service, const QString& key, const QByteArray& bytes);

} // namespace SecretServiceProbe
