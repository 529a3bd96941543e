#include "keychain/KeychainError.h"

#include <qt6keychain/keychain.h>

#include <utility>

namespace {

const char* kindName(KeychainError::Kind kind) {
    switch (kind) {
    case KeychainError::Kind::addFailed:
        return "addFailed";
    case KeychainError::Kind::getFailed:
        return "getFailed";
    case KeychainError::Kind::deleteFailed:
        return "deleteFailed";
    case KeychainError::Kind::encodingFailed:
        return "encodingFailed";
    case KeychainError::Kind::decodingFailed:
        return "decodingFailed";
    }
    return "unknown";
}

} // namespace

KeychainError::KeychainError(Kind kind, std::optional<qint32> status, QString detail)
    : m_kind(kind), m_status(status), m_detail(std::move(detail)) {
    m_text = kindName(kind);
    if (status) {
        m_text += '(' + std::to_string(*status) + ')';
    }
}

KeychainError KeychainError::addFailed(qint32 status, const QString& detail) {
    return {Kind::addFailed, status, detail};
}

KeychainError KeychainError::getFailed(qint32 status, const QString& detail) {
    return {Kind::getFailed, status, detail};
}

KeychainError KeychainError::deleteFailed(qint32 status, const QString& detail) {
    return {Kind::deleteFailed, status, detail};
}

KeychainError KeychainError::encodingFailed() {
    return {Kind::encodingFailed, std::nullopt};
}

KeychainError KeychainError::decodingFailed() {
    return {Kind::decodingFailed, std::nullopt};
}

QString KeychainError::toString() const {
    return QString::fromStdString(m_text);
}

QString KeychainError::userMessage() const {
    // Without a session bus or a Secret Service on it, libsecret reports a plain D-Bus failure.
    const bool noService = m_detail.contains(QLatin1String("Could not connect")) ||
                           m_detail.contains(QLatin1String("ServiceUnknown")) ||
                           m_detail.contains(QLatin1String("not provided by any .service files"));
    switch (noService ? QKeychain::NoBackendAvailable : m_status.value_or(QKeychain::OtherError)) {
    case QKeychain::NoBackendAvailable:
        return tr("没有可用的钥匙串服务");
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
        return tr("钥匙串未解锁或拒绝了访问");
    default:
        // The plug-in that talks to the keyring could not be loaded: its own text names the file.
        if (m_detail.contains(QLatin1String(".so"))) {
            //: %1 is the loader's description of the missing component.
            return tr("钥匙串无法保存这些信息：%1").arg(m_detail.trimmed());
        }
        return tr("钥匙串无法保存这些信息");
    }
}

QString KeychainError::logText() const {
    const QString detail = m_detail.trimmed();
    if (detail.isEmpty()) {
        //: %1 is the cause, %2 the failure's code name and status.
        return tr("%1（%2）").arg(userMessage(), toString());
    }
    //: %1 is the cause, %2 the keychain service's own description, %3 the failure's code name and
    //: status.
    return tr("%1（%2，%3）").arg(userMessage(), detail, toString());
}
