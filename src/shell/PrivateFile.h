#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

// Small files that may hold credentials or cluster details: read with a bound and without ever
// blocking on a pipe or device, written owner-only and atomically.
class PrivateFile {
    Q_DECLARE_TR_FUNCTIONS(PrivateFile)

public:
    PrivateFile() = delete;

    // A kubeconfig is a few kilobytes; anything larger is refused rather than read into memory.
    static constexpr qint64 maximumReadSize = qint64{16} * 1024 * 1024;

    struct ReadResult {
        std::optional<QByteArray> bytes;
        // Why the file could not be had (Chinese, for the log); empty on success.
        QString failureDescription;
    };

    // The bytes of a regular file of at most `maximumSize` bytes. Folders, pipes, sockets and
    // devices are refused without being read (a FIFO is never opened).
    static ReadResult readRegularFile(const QString& path, qint64 maximumSize = maximumReadSize);

    // Replaces `path` with `bytes` through QSaveFile, mode 0600 from the first byte. A symlink
    // at `path` is replaced, never written through. On failure `error` says why.
    static bool writeOwnerOnly(const QString& path, const QByteArray& bytes,
                               QString* error = nullptr);
};
