#include "shell/Services.h"

#include "shell/AppPaths.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPluginLoader>

namespace {

QString& pathOverride() {
    static QString path;
    return path;
}

} // namespace

void Services::setPluginPathOverride(const QString& path) {
    pathOverride() = path;
}

QString Services::pluginPath() {
    if (!pathOverride().isEmpty()) {
        return pathOverride();
    }
    return AppPaths::prefixDirectory() +
           QStringLiteral("/" NIMBREL_PLUGINS_RELATIVE "/libnimbrel_services.so");
}

ServicesPlugin* Services::plugin(QString* error) {
    // The keychain may be reached from a worker thread while the GUI thread probes an address.
    static QMutex mutex;
    static ServicesPlugin* loaded = nullptr;
    static QString failure;
    const QMutexLocker lock(&mutex);
    if (loaded == nullptr && failure.isEmpty()) {
        // Kept for the program's life: the plugin's objects are in use until the end.
        auto* loader = new QPluginLoader(pluginPath());
        loaded = qobject_cast<ServicesPlugin*>(loader->instance());
        if (loaded == nullptr) {
            failure = tr("无法加载组件 %1: %2").arg(pluginPath(), loader->errorString());
        }
    }
    if (loaded == nullptr && error != nullptr) {
        *error = failure;
    }
    return loaded;
}
