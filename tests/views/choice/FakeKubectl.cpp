#include "FakeKubectl.h"

#include "shell/AppPaths.h"

#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const char* const script = R"sh(#!/bin/bash
here=$(dirname "$0")
if [ "$1" = version ]; then
    cat "$here/version.err" >&2
    exit "$(cat "$here/version.status")"
fi
printf '%s' "$KUBECONFIG" > "$here/seen.KUBECONFIG"
printf '%s' "$PATH" > "$here/seen.PATH"
printf '%s' "$KUBE_INSECURE_SKIP_TLS_VERIFY" > "$here/seen.KUBE_INSECURE_SKIP_TLS_VERIFY"
printf '%s' "$*" > "$here/seen.ARGS"
while [ -e "$here/hold" ]; do sleep 0.02; done
cat "$here/get.out"
cat "$here/get.err" >&2
exit "$(cat "$here/get.status")"
)sh";

QString readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

} // namespace

FakeKubectl::FakeKubectl() {
    if (!m_dir.isValid()) {
        throw std::runtime_error("no temporary folder for the stand-in kubectl");
    }
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

void FakeKubectl::setVersion(int status, const QString& error) {
    write(QStringLiteral("version.status"), QString::number(status));
    write(QStringLiteral("version.err"), error);
}

void FakeKubectl::setNamespaces(int status, const QString& output, const QString& error) {
    write(QStringLiteral("get.status"), QString::number(status));
    write(QStringLiteral("get.out"), output);
    write(QStringLiteral("get.err"), error);
}

void FakeKubectl::hold() {
    write(QStringLiteral("hold"), {});
}

void FakeKubectl::release() {
    QFile::remove(m_dir.filePath(QStringLiteral("hold")));
}

void FakeKubectl::removeTool() {
    QFile::remove(m_dir.filePath(QStringLiteral("kubectl")));
}

QString FakeKubectl::seen(const QString& name) const {
    return readFile(m_dir.filePath(QStringLiteral("seen.") + name));
}

void FakeKubectl::write(const QString& name, const QString& content) const {
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content.toUtf8()) != content.toUtf8().size()) {
        throw std::runtime_error("cannot write the stand-in kubectl's files");
    }
}

KubectlFault kubectlFault(const QString& name) {
    const QString path = QStringLiteral(NIMBREL_SOURCE_DIR "/tests/fixtures/kubectl-faults/") +
                         name + QStringLiteral(".txt");
    const QString recorded = readFile(path);
    // The first line is "exit status: N", the rest is kubectl's standard error as written.
    const qsizetype lineEnd = recorded.indexOf('\n');
    const QString header = recorded.left(lineEnd);
    bool ok = false;
    const int status = header.section(QStringLiteral(": "), 1).toInt(&ok);
    if (lineEnd < 0 || !header.startsWith(QStringLiteral("exit status: ")) || !ok) {
        ADD_FAILURE() << "unreadable kubectl fault recording " << path.toStdString();
        return {};
    }
    return {status, recorded.mid(lineEnd + 1)};
}
