#pragma once

#include "keychain/KeychainManager.h"

#include <QString>
#include <QStringList>

#include <optional>

// The handle the completion screen keeps: forwards to its own store and passes every
// KeychainError on unchanged.
class Keychain {
public:
    // The keys under which Devtron's access data is kept: address, user name, password.
    static const QStringList devtronKeys;

    explicit Keychain(const QString& service);

    void set(const QString& value, const QString& key);
    std::optional<QString> get(const QString& key) const;
    void remove(const QString& key);

    const KeychainManager& keychainManager() const { return m_keychainManager; }

private:
    KeychainManager m_keychainManager;
};
