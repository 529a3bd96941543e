#pragma once

#include <QCoreApplication>
#include <QString>

// Putting files in place, owner-only. Diagnostics go to the console, never to the session log.
class FileUtilities {
    Q_DECLARE_TR_FUNCTIONS(FileUtilities)

public:
    FileUtilities() = delete;

    // Keeps a ".backup.<seconds>" copy of an existing destination; the plain copy refuses to
    // overwrite it, so a shell copy then replaces the file. The result is mode 0600.
    static bool copyFile(const QString& from, const QString& to);
    // Atomic, UTF-8, mode 0600.
    static bool writeToFile(const QString& content, const QString& path);
};
