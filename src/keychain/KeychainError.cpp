#include "keychain/KeychainError.h"

#include <qt6keychain/keychain.h>

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

KeychainError::KeychainError(Kind kind, std::optional<qint32> status)
    : m_kind(kind), m_status(status) {
    m_text = kindName(kind);
    if (status) {
        m_text += '(' + std::to_string(*status) + ')';
    }
}

KeychainError KeychainError::addFailed(qint32 status) {
    return {Kind::addFailed, status};
}

KeychainError KeychainError::getFailed(qint32 status) {
    return {Kind::getFailed, status};
}

KeychainError KeychainError::deleteFailed(qint32 status) {
    return {Kind::deleteFailed, status};
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
    QString cause;
    switch (m_status.value_or(QKeychain::OtherError)) {
    case QKeychain::NoBackendAvailable:
        cause = QStringLiteral("没有可用的钥匙串服务");
        break;
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
        cause = QStringLiteral("钥匙串未解锁或拒绝了访问");
        break;
    default:
        cause = QStringLiteral("钥匙串无法保存这些信息");
        break;
    }
    return cause + QStringLiteral("（") + toString() + QStringLiteral("）");
}
