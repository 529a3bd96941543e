#include "FakeKubectl.h"

#include "shell/AppPaths.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const char* const script = R"sh(#!/bin/bash
here=$(dirname "$0")
if [ "$1" = version ]; then
    cat "$here/version.err" >&2
    exit "$(cat "$here/version.status")"
fi
printf '%s\n' "$KUBECONFIG" "$PATH" "$KUBE_INSECURE_SKIP_TLS_VERIFY" "$*" > "$here/seen"
while [ -e "$here/hold" ]; do sleep 0.02; done
cat "$here/get.out"
cat "$here/get.err" >&2
exit "$(cat "$here/get.status")"
)sh";

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

FakeKubectl::FakeKubectl() {
    write(QStringLiteral("kubectl"), QString::fromUtf8(script));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("kubectl")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setVersion(0);
    setNamespaces(0, QStringLiteral("NAME          STATUS   AGE\ndefault       Active   3d\n"));
    AppPaths::setToolsDirectoryOverride(m_dir.path());
}

FakeKubectl::~FakeKubectl() {
    release();
    AppPaths::setToolsDirectoryOverride({});
}

void FakeKubectl::setVersion(int status, const QString& error) const {
    write(QStringLiteral("version.status"), QString::number(status));
    write(QStringLiteral("version.err"), error);
}

void FakeKubectl::setNamespaces(int status, const QString& output, const QString& error) const {
    write(QStringLiteral("get.status"), QString::number(status));
    write(QStringLiteral("get.out"), output);
    write(QStringLiteral("get.err"), error);
}

void FakeKubectl::release() const {
    QFile::remove(m_dir.filePath(QStringLiteral("hold")));
}

void FakeKubectl::removeTool() const {
    QFile::remove(m_dir.filePath(QStringLiteral("kubectl")));
}

QStringList FakeKubectl::seen() const {
    return readFile(m_dir.filePath(QStringLiteral("seen"))).split('\n');
}

void FakeKubectl::write(const QString& name, const QString& content) const {
    QFile file(m_dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
    file.write(content.toUtf8());
}

KubectlFault kubectlFault(const QString& name) {
    const QString path =
        QStringLiteral(NIMBREL_SOURCE_DIR "/tests/fixtures/kubectl-faults/") + name + ".txt";
    const QString recorded = readFile(path);
    // The first line is "exit status: N", the rest is kubectl's standard error as written.
    const qsizetype lineEnd = recorded.indexOf('\n');
    bool ok = false;
    const int status =
        recorded.left(lineEnd).section(QStringLiteral("exit status: "), 1).toInt(&ok);
    if (lineEnd < 0 || !ok) {
        ADD_FAILURE() << "unreadable kubectl fault recording " << path.toStdString();
        return {};
    }
    return {status, recorded.mid(lineEnd + 1)};
}
