#include "keychain/KeychainManager.h"

#include "shell/Services.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <qt6keychain/keychain.h>

namespace {

// The job's outcome, or OtherError naming why the secret store client could not be loaded.
ServicesPlugin::SecretOutcome runJob(ServicesPlugin::SecretOperation operation,
                                     const QString& service, const QString& key,
                                     const QString& value = {}) {
    QString error;
    ServicesPlugin* services = Services::plugin(&error);
    if (services == nullptr) {
        return {QKeychain::OtherError, error, {}};
    }
    return services->runSecretJob({operation, service, key, value});
}

} // namespace

KeychainManager::KeychainManager(QString service) : m_serviceName(std::move(service)) {}

KeychainManager& KeychainManager::shared() {
    static KeychainManager instance;
    return instance;
}

void KeychainManager::set(const QString& value, const QString& key) const {
    // Stateless: a lone surrogate at the very end is an error too, not held back for more input.
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder(value);
    // The Secret Service backend keeps the value as a C string: a NUL would cut it short.
    if (encoder.hasError() || bytes.contains('\0')) {
        throw KeychainError::encodingFailed();
    }

    const auto outcome = runJob(ServicesPlugin::SecretOperation::write, m_serviceName, key, value);
    if (outcome.error != QKeychain::NoError) {
        throw KeychainError::addFailed(outcome.error, outcome.errorText);
    }
}

std::optional<QString> KeychainManager::get(const QString& key) const {
    const auto outcome = runJob(ServicesPlugin::SecretOperation::read, m_serviceName, key);
    if (outcome.error == QKeychain::EntryNotFound) {
        return std::nullopt;
    }
    if (outcome.error != QKeychain::NoError) {
        throw KeychainError::getFailed(outcome.error, outcome.errorText);
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(outcome.data);
    if (decoder.hasError()) {
        throw KeychainError::decodingFailed();
    }
    return text;
}

void KeychainManager::deleteItem(const QString& key) const {
    const auto outcome = runJob(ServicesPlugin::SecretOperation::remove, m_serviceName, key);
    if (outcome.error != QKeychain::NoError && outcome.error != QKeychain::EntryNotFound) {
        throw KeychainError::deleteFailed(outcome.error, outcome.errorText);
    }
}
