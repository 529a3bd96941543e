#pragma once

#include "views/ClusterConnectionTest.h"

#include <QString>
#include <QTemporaryDir>

#include <ostream>

// A stand-in kubectl in a temporary tools folder: "version" and "get" answer with the texts
// and statuses set here, and "get" records the environment and arguments it was started with.
class FakeKubectl {
public:
    FakeKubectl();
    ~FakeKubectl();
    FakeKubectl(const FakeKubectl&) = delete;
    FakeKubectl& operator=(const FakeKubectl&) = delete;

    QString directory() const { return m_dir.path(); }

    void setVersion(int status, const QString& error = {});
    void setNamespaces(int status, const QString& output, const QString& error = {});
    // "get" waits until release(), so a test can look at the screen while the probe runs.
    void hold();
    void release();
    void removeTool();

    // What the last "get" saw: a variable's value, or "ARGS" for its arguments.
    QString seen(const QString& name) const;

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

// Readable texts and test outcomes in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const ClusterConnectionTest::TestResult& result, std::ostream* out) {
    *out << (result.isSuccess() ? "success" : "failure(" + result.message().toStdString() + ")");
}
