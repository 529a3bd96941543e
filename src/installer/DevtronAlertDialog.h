#pragma once

#include <QString>

// The modal warning the installer shows when Devtron is already deployed in the cluster.
class DevtronAlertDialog {
public:
    DevtronAlertDialog() = delete;

    // Blocks in a modal loop until the user closes the box.
    static void show(const QString& message, const QString& informativeText);
    // Makes every DevtronInstaller show its warning through this dialog.
    static void install();
};
