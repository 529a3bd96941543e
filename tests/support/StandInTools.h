#pragma once

#include <QFileDevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// What a stand-in tool prints and returns when its arguments start with `match` (empty: any).
struct Reply {
    Reply(QString match = {}, QString out = {}, QString err = {}, int code = 0)
        : match(std::move(match)), out(std::move(out)), err(std::move(err)), code(code) {}
    QString match;
    QString out;
    QString err;
    int code;
};

// A temporary tools folder (its name holds a blank, so that unquoted paths break) with bash
// stand-ins for kubectl, helm and devtron-charts/install.sh, the program's tools for the object's
// lifetime. Each call records "<tool> <arguments>" and "env " lines of KUBECONFIG, PATH and
// KUBE_INSECURE_SKIP_TLS_VERIFY, waits while held, then gives the first matching reply.
class StandInTools {
public:
    StandInTools();
    ~StandInTools();
    StandInTools(const StandInTools&) = delete;
    StandInTools& operator=(const StandInTools&) = delete;

    QString directory() const { return m_tools; }
    QString path(const QString& tool) const;
    // A scratch file path beside (not inside) the tools folder.
    QString scratchPath(const QString& name) const { return m_root.filePath(name); }

    // kubectl's answers of a healthy cluster to the pre-flight questions; the stand-in's default.
    static QList<Reply> healthyCluster();
    // tool: "kubectl", "helm" or "install.sh". `preamble` runs before the replies are matched.
    void setTool(const QString& tool, const QList<Reply>& replies, const QString& preamble = {});
    void removeTool(const QString& tool) const;

    // While held, every stand-in waits before answering.
    void hold() const;
    void release() const;

    // The recorded call lines, oldest first.
    QStringList calls() const;
    // Only the "<tool> <arguments>" lines.
    QStringList commandCalls() const;

private:
    QTemporaryDir m_root;
    QString m_tools;
    int m_replyFiles = 0;
};

// What the real kubectl printed on standard error, and its exit status, for a fault recorded
// against the cluster emulator (tests/fixtures/kubectl-faults/<name>.txt).
struct KubectlFault {
    int exitStatus = -1;
    QString error;
};
KubectlFault kubectlFault(const QString& name);

QString readTextFile(const QString& path);
void writeTextFile(const QString& path, const QByteArray& bytes);
// A file's owner, group and other bits, without Qt's duplicate user bits.
QFileDevice::Permissions modeOf(const QString& path);
// What `operation` wrote to standard output.
QString capturedStdout(const std::function<void()>& operation);
