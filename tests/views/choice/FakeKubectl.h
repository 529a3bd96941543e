#pragma once

#include "views/ClusterConnectionTest.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// A stand-in kubectl in a temporary tools folder, answering "version" and "get" with the texts
// and statuses set here. "get" records KUBECONFIG, PATH, KUBE_INSECURE_SKIP_TLS_VERIFY and its
// arguments, one a line, and waits while the test holds it.
class FakeKubectl {
public:
    FakeKubectl();
    ~FakeKubectl();

    QString directory() const { return m_dir.path(); }
    void setVersion(int status, const QString& error = {}) const;
    void setNamespaces(int status, const QString& output, const QString& error = {}) const;
    void hold() const { write(QStringLiteral("hold"), {}); }
    void release() const;
    void removeTool() const;
    QStringList seen() const;

private:
    void write(const QString& name, const QString& content) const;

    QTemporaryDir m_dir;
};

// What the real kubectl printed on standard error, and its exit status, for a fault recorded
// against the cluster emulator.
struct KubectlFault {
    int exitStatus = -1;
    QString error;
};
KubectlFault kubectlFault(const QString& name);

// Readable texts and outcomes in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const ClusterConnectionTest::TestResult& result, std::ostream* out) {
    *out << (result.isSuccess() ? "success" : "failure(" + result.message().toStdString() + ")");
}
