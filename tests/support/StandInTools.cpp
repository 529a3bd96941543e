#include "support/StandInTools.h"

#include "shell/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

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

StandInTools::StandInTools() : m_tools(m_root.filePath(QStringLiteral("app tools"))) {
    QDir().mkpath(m_tools + QStringLiteral("/devtron-charts"));
    setTool(QStringLiteral("kubectl"), healthyCluster());
    setTool(QStringLiteral("helm"), {});
    setTool(QStringLiteral("install.sh"), {});
    AppPaths::setToolsDirectoryOverride(m_tools);
}

StandInTools::~StandInTools() {
    release();
    AppPaths::setToolsDirectoryOverride({});
}

QList<Reply> StandInTools::healthyCluster() {
    return {
        {QStringLiteral("version -o json"),
         QStringLiteral(R"({"serverVersion":{"major":"1","minor":"32","gitVersion":"v1.32.3"}})")},
        {QStringLiteral("auth can-i"), QStringLiteral("yes\n")},
        {QStringLiteral("get storageclasses"),
         QStringLiteral(R"({"items":[{"metadata":{"name":"standard","annotations":)"
                        R"({"storageclass.kubernetes.io/is-default-class":"true"}}}]})")},
        {QStringLiteral("get nodes"),
         QStringLiteral(R"({"items":[{"spec":{},"status":{"conditions":[{"type":"Ready",)"
                        R"("status":"True"}],"allocatable":{"cpu":"4","memory":"16Gi"}}}]})")},
    };
}

QString StandInTools::path(const QString& tool) const {
    return tool == QStringLiteral("install.sh")
               ? m_tools + QStringLiteral("/devtron-charts/install.sh")
               : m_tools + QLatin1Char('/') + tool;
}

void StandInTools::setTool(const QString& tool, const QList<Reply>& replies,
                           const QString& preamble) {
    const QString calls = m_root.filePath(QStringLiteral("calls.log"));
    const QString gate = m_root.filePath(QStringLiteral("hold"));
    QString script =
        QStringLiteral(
            "#!/bin/bash\n"
            "printf '%s %s\\nenv KUBECONFIG=%s\\nenv PATH=%s\\nenv TLS=%s\\n' '%1' \"$*\" "
            "\"$KUBECONFIG\" \"$PATH\" \"$KUBE_INSECURE_SKIP_TLS_VERIFY\" >> '%2'\n"
            "while [ -e '%3' ]; do sleep 0.02; done\n%4\n")
            .arg(tool, calls, gate, preamble);
    script += QStringLiteral("case \"$*\" in\n");
    for (const Reply& reply : replies) {
        const QString base = m_root.filePath(QStringLiteral("reply-%1").arg(m_replyFiles++));
        writeTextFile(base + QStringLiteral(".out"), reply.out.toUtf8());
        writeTextFile(base + QStringLiteral(".err"), reply.err.toUtf8());
        script += QStringLiteral("  \"%1\"*) cat '%2.out'; cat '%2.err' >&2; exit %3;;\n")
                      .arg(reply.match, base)
                      .arg(reply.code);
    }
    script += QStringLiteral("esac\n");
    writeTextFile(path(tool), script.toUtf8());
    QFile::setPermissions(path(tool),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void StandInTools::removeTool(const QString& tool) const {
    QFile::remove(path(tool));
}

void StandInTools::hold() const {
    writeTextFile(m_root.filePath(QStringLiteral("hold")), {});
}

void StandInTools::release() const {
    QFile::remove(m_root.filePath(QStringLiteral("hold")));
}

QStringList StandInTools::calls() const {
    return readTextFile(m_root.filePath(QStringLiteral("calls.log")))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList StandInTools::commandCalls() const {
    static const QRegularExpression command(QStringLiteral("^(?!env )"));
    return calls().filter(command);
}

KubectlFault kubectlFault(const QString& name) {
    const QString path =
        QStringLiteral(NIMBREL_SOURCE_DIR "/tests/fixtures/kubectl-faults/") + name + ".txt";
    // The first line is "exit status: N", the rest is kubectl's standard error as written.
    static const QRegularExpression layout(QStringLiteral("^exit status: (\\d+)\n"));
    const QString recorded = readTextFile(path);
    const QRegularExpressionMatch head = layout.match(recorded);
    if (!head.hasMatch()) {
        ADD_FAILURE() << "unreadable kubectl fault recording " << path.toStdString();
        return {};
    }
    return {head.captured(1).toInt(), recorded.mid(head.capturedLength())};
}
