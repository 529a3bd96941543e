#include "support/StandInTools.h"

#include "shell/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

QString readTextFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeTextFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QFileDevice::Permissions modeOf(const QString& path) {
    return QFile::permissions(path) &
           ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

QString capturedStdout(const std::function<void()>& operation) {
    testing::internal::CaptureStdout();
    operation();
    return QString::fromUtf8(testing::internal::GetCapturedStdout());
}

StandInTools::StandInTools() : m_tools(m_root.filePath(u"app tools"_s)) {
    QDir().mkpath(m_tools + u"/devtron-charts"_s);
    setTool(u"kubectl"_s, healthyCluster());
    setTool(u"helm"_s, {{u"history"_s, {}, u"Error: release: not found\n"_s, 1}});
    setTool(u"install.sh"_s, {});
    AppPaths::setToolsDirectoryOverride(m_tools);
}

StandInTools::~StandInTools() {
    release();
    AppPaths::setToolsDirectoryOverride({});
}

QList<Reply> StandInTools::healthyCluster() {
    return {
        {u"version -o json"_s,
         QStringLiteral(R"({"serverVersion":{"major":"1","minor":"32","gitVersion":"v1.32.3"}})")},
        {u"auth can-i"_s, u"yes\n"_s},
        {u"get storageclasses"_s,
         QStringLiteral(R"({"items":[{"metadata":{"name":"standard","annotations":)"
                        R"({"storageclass.kubernetes.io/is-default-class":"true"}}}]})")},
        {u"get nodes"_s,
         QStringLiteral(R"({"items":[{"spec":{},"status":{"conditions":[{"type":"Ready",)"
                        R"("status":"True"}],"allocatable":{"cpu":"4","memory":"16Gi"}}}]})")},
    };
}

QString StandInTools::path(const QString& tool) const {
    return tool == u"install.sh"_s ? m_tools + u"/devtron-charts/install.sh"_s
                                   : m_tools + QLatin1Char('/') + tool;
}

void StandInTools::setTool(const QString& tool, const QList<Reply>& replies,
                           const QString& preamble) {
    const QString calls = m_root.filePath(u"calls.log"_s);
    const QString gate = m_root.filePath(u"hold"_s);
    QString script =
        u"#!/bin/bash\n"
        "printf '%s %s\\nenv KUBECONFIG=%s\\nenv PATH=%s\\nenv TLS=%s\\n' '%1' \"$*\" "
        "\"$KUBECONFIG\" \"$PATH\" \"$KUBE_INSECURE_SKIP_TLS_VERIFY\" >> '%2'\n"
        "while [ -e '%3' ]; do sleep 0.02; done\n%4\n"_s.arg(tool, calls, gate, preamble);
    script += u"case \"$*\" in\n"_s;
    for (const Reply& reply : replies) {
        const QString base = m_root.filePath(u"reply-%1"_s.arg(m_replyFiles++));
        writeTextFile(base + u".out"_s, reply.out.toUtf8());
        writeTextFile(base + u".err"_s, reply.err.toUtf8());
        script += u"  \"%1\"*) cat '%2.out'; cat '%2.err' >&2; exit %3;;\n"_s.arg(reply.match, base)
                      .arg(reply.code);
    }
    script += u"esac\n"_s;
    writeTextFile(path(tool), script.toUtf8());
    QFile::setPermissions(path(tool),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void StandInTools::removeTool(const QString& tool) const {
    QFile::remove(path(tool));
}

void StandInTools::hold() const {
    writeTextFile(m_root.filePath(u"hold"_s), {});
}

void StandInTools::release() const {
    QFile::remove(m_root.filePath(u"hold"_s));
}

QStringList StandInTools::calls() const {
    return readTextFile(m_root.filePath(u"calls.log"_s))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList StandInTools::commandCalls() const {
    static const QRegularExpression command(u"^(?!env )"_s);
    return calls().filter(command);
}

KubectlFault kubectlFault(const QString& name) {
    const QString path =
        QStringLiteral(NIMBREL_SOURCE_DIR "/tests/fixtures/kubectl-faults/") + name + ".txt";
    // The first line is "exit status: N", the rest is kubectl's standard error as written.
    static const QRegularExpression layout(u"^exit status: (\\d+)\n"_s);
    const QString recorded = readTextFile(path);
    const QRegularExpressionMatch head = layout.match(recorded);
    if (!head.hasMatch()) {
        ADD_FAILURE() << "unreadable kubectl fault recording " << path.toStdString();
        return {};
    }
    return {head.captured(1).toInt(), recorded.mid(head.capturedLength())};
}
