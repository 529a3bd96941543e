#include "shell/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString& toolsOverride() {
    static QString path;
    return path;
}

// A folder we may keep private files in: ours, a real folder (no link), and closed to others.
bool usablePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid()) {
        return false;
    }
    if ((info.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0) {
        return false;
    }
    return true;
}

// An XDG base folder; a relative value is invalid and falls back to the default.
QString xdgDirectory(const char* variable, const QString& homeRelativeDefault) {
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + homeRelativeDefault;
    }
    return base + QStringLiteral("/nimbrel");
}

} // namespace

QString AppPaths::prefixDirectory() {
    return QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/.."))
        .canonicalFilePath();
}

QString AppPaths::toolsDirectory() {
    if (!toolsOverride().isEmpty()) {
        return toolsOverride();
    }
    return prefixDirectory() + QStringLiteral("/" NIMBREL_TOOLS_RELATIVE);
}

void AppPaths::setToolsDirectoryOverride(const QString& path) {
    toolsOverride() = path;
}

QString AppPaths::logDirectory() {
    return xdgDirectory("XDG_STATE_HOME", QStringLiteral("/.local/state"));
}

QString AppPaths::cacheDirectory() {
    return xdgDirectory("XDG_CACHE_HOME", QStringLiteral("/.cache"));
}

QString AppPaths::logFilePath() {
    return logDirectory() + QStringLiteral("/devtron_install.log");
}

QString AppPaths::privateTempDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir()) {
        const QString candidate = runtime + QStringLiteral("/nimbrel");
        if (usablePrivateFolder(candidate)) {
            return candidate + QLatin1Char('/');
        }
    }
    const QString fallback =
        QDir::tempPath() + QStringLiteral("/nimbrel-") + QString::number(::getuid());
    if (usablePrivateFolder(fallback)) {
        return fallback + QLatin1Char('/');
    }
    return {};
}

bool AppPaths::isSandboxed() {
    return QFileInfo::exists(QStringLiteral("/.flatpak-info"));
}
