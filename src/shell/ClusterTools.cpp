#include "shell/ClusterTools.h"

#include "shell/AppPaths.h"

#include <QDir>
#include <QStringList>

QString ClusterTools::toolsDirectory() {
    return AppPaths::toolsDirectory();
}

QString ClusterTools::kubectlPath() {
    return toolsDirectory() + QStringLiteral("/kubectl");
}

QString ClusterTools::helmPath() {
    return toolsDirectory() + QStringLiteral("/helm");
}

QString ClusterTools::installScriptPath() {
    return toolsDirectory() + QStringLiteral("/devtron-charts/install.sh");
}

QString ClusterTools::searchPath() {
    QStringList entries{toolsDirectory(), QStringLiteral("/usr/bin"), QStringLiteral("/bin"),
                        QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")};
    // The user's own folders follow, so that credential helpers named by cloud kubeconfigs
    // (aws, gke-gcloud-auth-plugin, kubelogin) are found while the bundled tools still win.
    for (const QString& entry : qEnvironmentVariable("PATH").split(QLatin1Char(':'))) {
        if (QDir::isAbsolutePath(entry) && !entries.contains(entry)) {
            entries.append(entry);
        }
    }
    return entries.join(QLatin1Char(':'));
}

EnvironmentOverlay ClusterTools::environment(const QString& kubeconfigPath) {
    return {
        {QStringLiteral("PATH"), searchPath()},
        {QStringLiteral("KUBECONFIG"), kubeconfigPath},
        {QStringLiteral("KUBE_INSECURE_SKIP_TLS_VERIFY"), QStringLiteral("true")},
    };
}

namespace {

QString kubectl(const char* arguments) {
    return ShellUtils::quotePath(ClusterTools::kubectlPath()) + QLatin1Char(' ') +
           QLatin1String(arguments);
}

QString helm(const char* arguments) {
    return ShellUtils::quotePath(ClusterTools::helmPath()) + QLatin1Char(' ') +
           QLatin1String(arguments);
}

} // namespace

QString ClusterTools::kubectlVersionCommand() {
    return kubectl("version --client");
}

QString ClusterTools::helmVersionCommand() {
    return helm("version --short");
}

QString ClusterTools::namespacesCommand() {
    return kubectl("get namespaces --request-timeout=10s");
}

QString ClusterTools::releaseStatusCommand() {
    return helm("status devtron -n devtroncd");
}

QString ClusterTools::releaseHistoryCommand() {
    return helm("history devtron -n devtroncd -o json --max 1");
}

QString ClusterTools::uninstallCommand() {
    return helm("uninstall devtron -n devtroncd --wait --timeout 5m");
}

QString ClusterTools::releaseRecordCommand(const QString& status, int revision) {
    return kubectl("get secrets -n devtroncd -l owner=helm,name=devtron,status=") + status +
           QStringLiteral(",version=%1 -o json --request-timeout=10s").arg(revision);
}

QString ClusterTools::deleteReleaseRecordCommand(int revision) {
    return kubectl("delete secret sh.helm.release.v1.devtron.v") +
           QStringLiteral("%1 -n devtroncd").arg(revision);
}

QString ClusterTools::shownCommand(const QString& command) {
    for (const auto& [path, name] : {std::pair{kubectlPath(), QStringLiteral("kubectl")},
                                     std::pair{helmPath(), QStringLiteral("helm")}}) {
        const QString quoted = ShellUtils::quotePath(path);
        if (command.startsWith(quoted)) {
            return name + command.mid(quoted.size());
        }
    }
    return command;
}

QString ClusterTools::addressCommand() {
    return kubectl("describe serviceexporter devtron-itf -n devtroncd");
}

QString ClusterTools::contextsCommand(const QString& kubeconfigPath) {
    return kubectl("config view -o json --kubeconfig ") + ShellUtils::quotePath(kubeconfigPath);
}

QString ClusterTools::singleContextCommand(const QString& kubeconfigPath, const QString& context) {
    return kubectl("config view --minify --flatten -o json --context ") +
           ShellUtils::quotePath(context) + QStringLiteral(" --kubeconfig ") +
           ShellUtils::quotePath(kubeconfigPath);
}

QString ClusterTools::passwordCommand() {
    return kubectl("get secret -n devtroncd devtron-secret -o jsonpath={.data.ADMIN_PASSWORD}");
}

QString ClusterTools::serverVersionCommand() {
    return kubectl("version -o json --request-timeout=10s");
}

QString ClusterTools::canICreateCommand(const QString& resource) {
    return kubectl("auth can-i create ") + resource + QStringLiteral(" --request-timeout=10s");
}

QString ClusterTools::storageClassesCommand() {
    return kubectl("get storageclasses -o json --request-timeout=10s");
}

QString ClusterTools::nodesCommand() {
    return kubectl("get nodes -o json --request-timeout=10s");
}

QString ClusterTools::devtronServiceCommand() {
    return kubectl("get service devtron-service -n devtroncd -o json --request-timeout=10s");
}

QString ClusterTools::devtronStatusCommand(bool withInstaller) {
    return withInstaller
               ? kubectl("get pods,persistentvolumeclaims,installers.installer.devtron.ai "
                         "-n devtroncd -o json --request-timeout=10s")
               : kubectl("get pods,persistentvolumeclaims -n devtroncd -o json "
                         "--request-timeout=10s");
}

QString ClusterTools::tunnelCommand(int localPort, int servicePort) {
    return kubectl("port-forward -n devtroncd service/devtron-service ") +
           QStringLiteral("%1:%2 --address 127.0.0.1").arg(localPort).arg(servicePort);
}

QString ClusterTools::installScriptCommand() {
    QStringList pieces = installScriptPath().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString scriptName = pieces.isEmpty() ? QStringLiteral("install.sh") : pieces.takeLast();
    return QStringLiteral("cd ") +
           ShellUtils::quotePath(QLatin1Char('/') + pieces.join(QLatin1Char('/'))) +
           QStringLiteral(" && /bin/bash ") + scriptName;
}
