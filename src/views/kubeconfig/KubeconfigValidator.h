#pragma once

#include "shell/PrivateFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The light kubeconfig check behind the first step: a text test for five field names, with a
// fallback that decodes a file holding one Base64 block. Plain code, safe on any thread.
class KubeconfigValidator {
    Q_DECLARE_TR_FUNCTIONS(KubeconfigValidator)

public:
    KubeconfigValidator() = delete;

    enum class Verdict { valid, invalid, readFailure };

    struct Result {
        Verdict verdict = Verdict::readFailure;
        // Required names absent from the adopted text, in the order of requiredFields().
        QStringList missingFields;
        // Why the file could not be read (read failures only).
        QString failureDescription;
        // Where the decoded kubeconfig was saved, when one was adopted and saved.
        std::optional<QString> decodedFilePath;
    };

    using LogFunction = std::function<void(const QString&)>;

    // Larger files are refused: a kubeconfig is a few kilobytes, and reading is all in memory.
    static constexpr qint64 maximumFileSize = PrivateFile::maximumReadSize;
    static constexpr int acceptanceThreshold = 3;

    static const QStringList& requiredFields();
    static QString decodedFileName() { return QStringLiteral("kubeconfig"); }

    // Reads, checks and, when that looks better, decodes the file at `path`, logging each stage
    // through `log`. A decoded kubeconfig is saved as "kubeconfig" in `tempDirectory` (a folder
    // path ending in "/"; empty when no private folder is available).
    static Result validateKubeconfigFile(const QString& path, const QString& tempDirectory,
                                         const LogFunction& log);

    // The whole file, checked to be UTF-8 text, or the description of why it cannot be had.
    // Only regular files up to maximumFileSize are read; pipes and devices are never opened for
    // reading. The text stays in its UTF-8 bytes: that keeps a large file cheap to check.
    struct ReadResult {
        std::optional<QByteArray> text;
        QString failureDescription;
    };
    static ReadResult readKubeconfigText(const QString& path);

    // The required names occurring anywhere in the UTF-8 text (plain, case-sensitive substrings).
    static QStringList foundFields(QByteArrayView text);
    // The first plain "name:" line after "clusters:" in the UTF-8 text, without its key.
    static std::optional<QString> clusterName(QByteArrayView text);

    static QString invalidMessage(const QStringList& missingFields);
    static QString readFailureMessage(const QString& failureDescription);

private:
    // The saved file's path, or the description of why saving failed.
    struct SaveResult {
        std::optional<QString> path;
        QString failureDescription;
    };
    static SaveResult saveDecoded(const QByteArray& text, const QString& tempDirectory);
};
