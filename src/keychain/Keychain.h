#pragma once

#include "keychain/KeychainManager.h"

#include <QString>

#include <optional>

// The handle the completion screen keeps: forwards to its own store and passes every
// KeychainError on unchanged.
class Keychain {
public:
    explicit Keychain(const QString& service);

    void set(const QString& value, const QString& key);
    std::optional<QString> get(const QString& key) const;
    void remove(const QString& key);

    const KeychainManager& keychainManager() const { return m_keychainManager; }

private:
    KeychainManager m_keychainManager;
};
