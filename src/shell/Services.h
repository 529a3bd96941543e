#pragma once

#include "shell/ServicesPlugin.h"

#include <QCoreApplication>
#include <QString>

// Loads the services plugin from <prefix>/lib/nimbrel/plugins the first time it is asked for.
class Services {
    Q_DECLARE_TR_FUNCTIONS(Services)

public:
    Services() = delete;

    // Null when the plugin cannot be loaded; `error` then says why (for the log and alerts).
    static ServicesPlugin* plugin(QString* error = nullptr);
    static QString pluginPath();
    // For tests: where the plugin is looked for, until the first load.
    static void setPluginPathOverride(const QString& path);
};
