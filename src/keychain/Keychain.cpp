#include "keychain/Keychain.h"

const QStringList Keychain::devtronKeys{QStringLiteral("devtronUrl"),
                                        QStringLiteral("devtronUsername"),
                                        QStringLiteral("devtronPassword")};

Keychain::Keychain(const QString& service) : m_keychainManager(service) {}

void Keychain::set(const QString& value, const QString& key) {
    m_keychainManager.set(value, key);
}

std::optional<QString> Keychain::get(const QString& key) const {
    return m_keychainManager.get(key);
}

void Keychain::remove(const QString& key) {
    m_keychainManager.deleteItem(key);
}
