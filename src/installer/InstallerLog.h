#pragma once

#include <QCoreApplication>
#include <QString>

#include <memory>
#include <mutex>
#include <optional>

class QFile;

// The installer's own log file: the session log's file, started afresh by each installer, with
// a header and a footer and every line stamped with the time of day. The session log appends to
// the same file, so every write goes to the current end. Safe to use from several threads.
class InstallerLog {
    Q_DECLARE_TR_FUNCTIONS(InstallerLog)

public:
    // AppPaths::logFilePath(), its folder created when missing; when that fails, the file of the
    // same name in the private temporary folder (empty when there is none either).
    static QString standardPath();

    // The UTC moment as "2026-12-05 06:03:07 +0000".
    static QString currentMoment();
    // The local time of day in the user's locale, without a time zone.
    static QString timeOfDay();

    // Writes `text` owner-only to `name` in the private temporary folder. Gives its path, or
    // leaves the reason in `error`.
    static std::optional<QString> writeReport(const QString& name, const QString& text,
                                              QString& error);

    explicit InstallerLog(QString path);
    ~InstallerLog();
    InstallerLog(const InstallerLog&) = delete;
    InstallerLog& operator=(const InstallerLog&) = delete;

    QString path() const { return m_path; }

    // Removes an existing file and opens a new one with the header. Gives the reason when the
    // old file could not be removed; a file that cannot be opened just stays closed.
    std::optional<QString> start();
    // "[time of day] message", when the file is open.
    void append(const QString& message);

    struct CloseOutcome {
        bool wasOpen = false;
        QString error; // empty when the close succeeded
    };
    // Writes the footer and closes; later appends and closes do nothing.
    CloseOutcome close();
    // Closes without a footer.
    void abandon();

private:
    void writeLine(const QString& message);

    const QString m_path;
    std::mutex m_mutex;
    std::unique_ptr<QFile> m_file;
};
