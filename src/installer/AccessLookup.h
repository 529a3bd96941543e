#pragma once

#include "installer/DevtronAccess.h"
#include "shell/CommandRunner.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Reading Devtron's address and admin password out of the cluster: what each of the two kubectl
// answers means, with its log lines and error reports. The installer runs the commands.
class AccessLookup {
    Q_DECLARE_TR_FUNCTIONS(AccessLookup)

public:
    using LineLog = std::function<void(const QString&)>;
    // Puts an error report on the clipboard (and logs that it did).
    using ClipboardCopy = std::function<void(const QString&)>;

    AccessLookup(LineLog log, ClipboardCopy copyToClipboard);

    struct ParsedAddress {
        // The output's non-empty lines up to and including the one with the address.
        QStringList examinedLines;
        // Absent when no line holds "URL:".
        std::optional<QString> url;
    };
    // The text after the first "URL:" of the first line holding it, trimmed.
    static ParsedAddress parseAddress(const QString& output);
    // The secret's value: trimmed, then strict Base64 of UTF-8 text; nothing when it is not.
    static std::optional<QString> decodePassword(const QString& encoded);
    // What the log shows of a secret: its length only.
    static QString maskedSecret(const QString& secret);
    // The report text saved for a failed lookup command.
    static QString errorReport(const QString& title, int closingRuleLength, const QString& command,
                               int exitCode, const QString& error);

    // Each gives what it read, or why it read nothing, and logs how it got there.
    DevtronAccess::Value finishAddressLookup(const CommandResult& result) const;
    DevtronAccess::Value finishPasswordLookup(const CommandResult& result) const;

    // Why a lookup that ran read nothing.
    static QString noAddressInOutput();
    static QString noPasswordInSecret();
    static QString passwordNotBase64();

private:
    // `savedMessage` holds "%1" for the saved report's path.
    void reportFailure(const QString& title, int closingRuleLength, const QString& command,
                       const CommandResult& result, const QString& fileName,
                       const QString& savedMessage) const;

    const LineLog m_log;
    const ClipboardCopy m_copyToClipboard;
};
