#pragma once

#include <QDir>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// Runs scripts/cluster-emulator/cluster_emulator.py as a child process for one test: a local HTTPS
// Kubernetes API that the real kubectl and helm talk to. The child is killed on destruction.
class ClusterEmulator {
public:
    // SecretMissing to HelmStatusHang touch only Devtron's objects or hold only helm's release
    // look-up; the next two touch only port-forwarding: PortForwardDrop closes the open
    // port-forward connections when it is switched on, PortForwardRefused answers 403.
    // ReleaseLocked refuses helm's update and deletion of a pending release's records (409, as
    // while another helm operation runs; kubectl may still delete them); NamespaceStuck keeps
    // devtron-ci Terminating with the finalizer "example.com/stuck" once it is deleted.
    enum class Fault {
        None,
        Unauthorized,
        PlainHttp,
        Slow,
        Unavailable,
        ClosedPort,
        SecretMissing,
        ExporterMissing,
        PasswordNotBase64,
        HelmStatusHang,
        PortForwardDrop,
        PortForwardRefused,
        ReleaseLocked,
        NamespaceStuck
    };

    // How the emulator starts; what is left unset keeps the emulator's own default.
    struct Options {
        // "exporter" (the stand-in's ServiceExporter) or "upstream" (Devtron's own Installer
        // object and LoadBalancer Service).
        QString flavour;
        // How devtron-service is served at start: "pending-lb", "lb-ip", "nodeport", ...
        QString serviceShape;
        // When the Installer's sync status turns "Applied" (upstream flavour).
        std::optional<int> installerAppliedAfterSeconds;
        // How long devtron-secret's ADMIN_PASSWORD stays empty (upstream flavour).
        std::optional<int> passwordAfterSeconds;
        // Refuses port-forwarding's WebSocket upgrade, so that kubectl falls back to SPDY.
        bool refuseWebSocketPortForward = false;
        Fault fault = Fault::None;
        // helm's records of release devtron in devtroncd, left in this state: "deployed",
        // "failed", "pending-install", "pending-upgrade", "pending-rollback", "uninstalling".
        QString release;
        // Namespaces that exist from the start without any of Devtron's labels, such as "argo".
        QStringList extraNamespaces;
        // How long a deleted namespace stays Terminating (2 seconds unless set).
        std::optional<int> namespaceTerminationSeconds;
    };

    ClusterEmulator() = default;
    ~ClusterEmulator();

    ClusterEmulator(const ClusterEmulator&) = delete;
    ClusterEmulator& operator=(const ClusterEmulator&) = delete;

    // Starts the server and waits for its ready line. On failure `errorText` says why.
    bool start();
    bool start(const Options& options);
    QString errorText() const { return m_error; }

    // A kubeconfig that trusts the emulator's fresh CA and carries its bearer token.
    QString kubeconfigPath() const { return readyValue("kubeconfig"); }
    // The same without the CA, so that kubectl refuses the server's certificate.
    QString kubeconfigWithoutCaPath() const { return readyValue("kubeconfigNoCa"); }
    // A private folder for the test's own files; removed with the emulator.
    QString workDirectory() const { return m_dir.path(); }
    // "https://127.0.0.1:PORT", which answers any HTTP request (401 without the token).
    QString serverUrl() const { return readyValue("server"); }
    // The port of 127.0.0.1 where Devtron's dashboard (its pod's port 8080) answers.
    int dashboardPort() const { return m_ready.value(u"dashboardPort").toInt(); }

    // Switches the fault mode and returns once the server has applied it.
    bool setFault(Fault fault);
    static QString faultName(Fault fault);
    // Switches the cluster's shape (a name the emulator's docstring lists, "healthy" at start)
    // and returns once the server has applied it.
    bool setScenario(const QString& scenario);
    // Switches how devtron-service is served and returns once the server has applied it.
    bool setServiceShape(const QString& shape);
    // Puts helm's records of a release in `state` (one of Options::release, or "none" for no
    // record) in place of the release's records, and returns once the server has done so.
    bool setRelease(const QString& state);

private:
    bool switchTo(const char* controlKey, const char* appliedKey, const QString& name);
    // A field of the emulator's ready line.
    QString readyValue(const char* key) const {
        return m_ready.value(QLatin1String(key)).toString();
    }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/nimbrel-emulator-XXXXXX")};
    QProcess m_process;
    QString m_error;
    QJsonObject m_ready;
    int m_serial = 0;
};
