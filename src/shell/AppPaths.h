#pragma once

#include <QString>

// Where Nimbrel's files live on a Linux desktop.
class AppPaths {
public:
    AppPaths() = delete;

    // The installation prefix: the folder above the one holding the executable.
    static QString prefixDirectory();
    // <prefix>/lib/nimbrel/tools, unless a test pointed it elsewhere.
    static QString toolsDirectory();
    static void setToolsDirectoryOverride(const QString& path);

    // $XDG_STATE_HOME/nimbrel (default ~/.local/state/nimbrel); not created here.
    static QString logDirectory();
    // logDirectory() + "/devtron_install.log": the session log, shared with the installer log.
    static QString logFilePath();
    // $XDG_CACHE_HOME/nimbrel (default ~/.cache/nimbrel): files that can be made again.
    static QString cacheDirectory();

    // The per-user private temporary folder, created with mode 0700 and ending in "/".
    // Empty when no usable folder can be had (one that exists but is not ours is refused).
    static QString privateTempDirectory();

    // Running inside Flatpak.
    static bool isSandboxed();
};
