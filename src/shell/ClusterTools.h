#pragma once

#include "shell/ShellUtils.h"

#include <QString>

// The bundled cluster tools, the environment every cluster command runs in, and the command
// lines Nimbrel sends to them. Paths in command lines are quoted with ShellUtils::quotePath.
class ClusterTools {
public:
    ClusterTools() = delete;

    // AppPaths::toolsDirectory(), and the tools inside it.
    static QString toolsDirectory();
    static QString kubectlPath();
    static QString helmPath();
    static QString installScriptPath();

    // The tools folder, the fixed system folders, then the user's own PATH entries not yet named.
    static QString searchPath();
    // PATH (searchPath()), KUBECONFIG and
    // KUBE_INSECURE_SKIP_TLS_VERIFY, laid over the process environment for one cluster command.
    static EnvironmentOverlay environment(const QString& kubeconfigPath);

    // The command lines, each starting with the quoted tool path.
    static QString kubectlVersionCommand(); // kubectl version --client
    static QString helmVersionCommand();    // helm version --short
    static QString namespacesCommand();     // kubectl get namespaces --request-timeout=10s
    static QString releaseStatusCommand();  // helm status devtron -n devtroncd
    // The newest revision of the release as JSON: helm history devtron -n devtroncd -o json --max 1
    static QString releaseHistoryCommand();
    // Removes the release and what it created, waiting up to 5 minutes for them to go.
    static QString uninstallCommand(); // helm uninstall devtron -n devtroncd --wait --timeout 5m
    // Helm's Secret of the release's revision in `status`, found by helm's labels, as JSON.
    // `status` must be one of helm's own state words: it is put into the line as it is.
    static QString releaseRecordCommand(const QString& status, int revision);
    // kubectl delete secret NAME -n devtroncd, for a name of the form helm gives its records.
    static QString deleteReleaseRecordCommand(int revision);
    // The line as a user would type it: the bundled tool's path shortened to its name.
    static QString shownCommand(const QString& command);
    static QString addressCommand();  // kubectl describe serviceexporter devtron-itf ...
    static QString passwordCommand(); // kubectl get secret ... ADMIN_PASSWORD
    // kubectl config view -o json of one kubeconfig file, and of one context of it alone, with
    // every credential inside (--minify --flatten).
    static QString contextsCommand(const QString& kubeconfigPath);
    static QString singleContextCommand(const QString& kubeconfigPath, const QString& context);
    // Read-only questions the pre-flight check and the readiness watch ask, each bounded by
    // --request-timeout so that kubectl itself gives up on a silent server.
    static QString serverVersionCommand();                     // kubectl version -o json
    static QString canICreateCommand(const QString& resource); // kubectl auth can-i create ...
    static QString storageClassesCommand();                    // kubectl get storageclasses -o json
    static QString nodesCommand();                             // kubectl get nodes -o json
    static QString devtronServiceCommand(); // Service devtron-service of devtroncd, as JSON
    // Pods, PVCs and, with `withInstaller`, Devtron's installer objects of devtroncd, as one
    // JSON list: one kubectl a poll.
    static QString devtronStatusCommand(bool withInstaller);
    // kubectl port-forward from 127.0.0.1:localPort to devtron-service's servicePort.
    static QString tunnelCommand(int localPort, int servicePort);
    // "cd <quoted script folder> && /bin/bash install.sh"
    static QString installScriptCommand();
};
