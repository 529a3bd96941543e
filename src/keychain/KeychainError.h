#pragma once

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

#include <exception>
#include <optional>
#include <string>

// A failure of the keychain store. The status is QtKeychain's error code (QKeychain::Error).
class KeychainError : public std::exception {
    Q_DECLARE_TR_FUNCTIONS(KeychainError)

public:
    enum class Kind { addFailed, getFailed, deleteFailed, encodingFailed, decodingFailed };

    // `detail` is the keychain service's own description, when it gave one.
    static KeychainError addFailed(qint32 status, const QString& detail = {});
    static KeychainError getFailed(qint32 status, const QString& detail = {});
    static KeychainError deleteFailed(qint32 status, const QString& detail = {});
    static KeychainError encodingFailed();
    static KeychainError decodingFailed();

    Kind kind() const { return m_kind; }
    // Absent for the encoding and decoding cases, which carry no status.
    std::optional<qint32> status() const { return m_status; }

    // The printed form: the case name, followed by the status in parentheses when there is one.
    QString toString() const;
    // The failure in plain words for the user, without QtKeychain's codes.
    QString userMessage() const;
    // The same with the service's own description and the printed form, for the session log.
    QString logText() const;
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    KeychainError(Kind kind, std::optional<qint32> status, QString detail = {});

    Kind m_kind;
    std::optional<qint32> m_status;
    QString m_detail;
    std::string m_text;
};
