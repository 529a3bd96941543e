#pragma once

#include "keychain/KeychainError.h"

#include <QString>

#include <optional>

// Text values under text keys in the user's secret store (Secret Service or KWallet through
// QtKeychain), all under one service name. Every operation is synchronous for the caller: it
// waits in a local event loop, so the GUI thread keeps painting, and it may also be called from
// a worker thread that runs no event loop. Failures are raised as KeychainError.
class KeychainManager {
public:
    static inline const QString defaultServiceName = QStringLiteral("com.orvane.nimbrel");

    explicit KeychainManager(QString service = defaultServiceName);

    static KeychainManager& shared();

    const QString& serviceName() const { return m_serviceName; }

    // Writes the item in place, so a failed store leaves the previous value readable.
    // Raises encodingFailed for text that has no faithful UTF-8 form, addFailed otherwise.
    void set(const QString& value, const QString& key) const;
    // Absent when there is no item. Raises getFailed or decodingFailed.
    std::optional<QString> get(const QString& key) const;
    // A missing item counts as removed. Raises deleteFailed.
    void deleteItem(const QString& key) const;

private:
    QString m_serviceName;
};
