#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <optional>

// Reads Devtron's address and administrator password out of what kubectl printed. Widget-free
// and stateless, so that every rule can be checked on plain texts.
class CredentialParser {
    Q_DECLARE_TR_FUNCTIONS(CredentialParser)

public:
    CredentialParser() = delete;

    using LineLogger = std::function<void(const QString&)>;

    // The port Devtron's address is served on when the cluster's answer names none.
    static constexpr int devtronPort = 22443;

    // The address in a "describe serviceexporter" output: a "url:" field (any case), else an
    // address in a "Message:" line, else any address in the whole text; empty when none. Each
    // pass's finding goes to `log`.
    static QString findAddress(const QString& output, const LineLogger& log);
    // The address with ":22443" added when neither its host nor anything after it carries a
    // port; before a final "/" when there is one.
    static QString completePort(const QString& address);
    // The password from the secret's Base64 text (surrounding blanks allowed); none when the
    // text is not strict Base64 of UTF-8 or holds no password at all.
    static std::optional<QString> decodePassword(const QString& encoded);

private:
    static std::optional<QString> fieldPass(const QStringList& lines);
    static std::optional<QString> messagePass(const QStringList& lines);
    static std::optional<QString> wholeTextPass(const QString& output);
};
