#pragma once

#include "ClusterEmulator.h"
#include "shell/ShellUtils.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

// One running emulator per test, with kubectl's and helm's caches and Nimbrel's state folder
// kept inside the test's own folder so that no run sees another's discovery cache or log.
class ClusterTestFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_emulator.start()) << m_emulator.errorText().toStdString();
        const QString work = m_emulator.workDirectory();
        setVariable("KUBECACHEDIR", work + QStringLiteral("/kube-cache"));
        setVariable("HELM_CACHE_HOME", work + QStringLiteral("/helm/cache"));
        setVariable("HELM_CONFIG_HOME", work + QStringLiteral("/helm/config"));
        setVariable("HELM_DATA_HOME", work + QStringLiteral("/helm/data"));
        setVariable("XDG_STATE_HOME", work + QStringLiteral("/state"));
        // Nimbrel's private temporary folder (error reports) must be ours and mode 0700.
        const QString runtime = work + QStringLiteral("/runtime");
        ASSERT_TRUE(QDir().mkpath(runtime));
        ASSERT_TRUE(QFile::setPermissions(
            runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        setVariable("XDG_RUNTIME_DIR", runtime);
        // The installer's set-up changes it for the whole process.
        preserveVariable("KUBECONFIG");
    }

    void TearDown() override {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->hadValue) {
                qputenv(it->name, it->value);
            } else {
                qunsetenv(it->name);
            }
        }
        m_saved.clear();
    }

    void preserveVariable(const char* name) {
        m_saved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
    }
    void setVariable(const char* name, const QString& value) {
        preserveVariable(name);
        qputenv(name, value.toUtf8());
    }

    static QString toolsDirectory() { return QStringLiteral(NIMBREL_TOOLS_BUILD_DIR); }
    static QString quoted(const QString& path) { return u'"' + path + u'"'; }

    // The overlay every cluster command of Nimbrel runs with.
    static EnvironmentOverlay clusterOverlay(const QString& tools, const QString& kubeconfig) {
        return {{QStringLiteral("PATH"), tools + QStringLiteral(":/usr/bin:/bin:/usr/sbin:/sbin")},
                {QStringLiteral("KUBECONFIG"), kubeconfig},
                {QStringLiteral("KUBE_INSECURE_SKIP_TLS_VERIFY"), QStringLiteral("true")}};
    }

    static QString probeLine(const QString& tools) {
        return quoted(tools + QStringLiteral("/kubectl")) +
               QStringLiteral(" get namespaces --request-timeout=10s");
    }
    static QString installLine(const QString& tools) {
        return QStringLiteral("cd ") + quoted(tools + QStringLiteral("/devtron-charts")) +
               QStringLiteral(" && /bin/bash install.sh");
    }
    static QString statusLine(const QString& tools) {
        return quoted(tools + QStringLiteral("/helm")) +
               QStringLiteral(" status devtron -n devtroncd");
    }
    static QString describeLine(const QString& tools) {
        return quoted(tools + QStringLiteral("/kubectl")) +
               QStringLiteral(" describe serviceexporter devtron-itf -n devtroncd");
    }
    static QString passwordLine(const QString& tools) {
        return quoted(tools + QStringLiteral("/kubectl")) +
               QStringLiteral(
                   " get secret -n devtroncd devtron-secret -o jsonpath={.data.ADMIN_PASSWORD}");
    }

    // A copy of the tools folder and of the kubeconfig below folders whose names hold blanks and
    // Chinese characters: {tools folder, kubeconfig path}, or empties when they cannot be made.
    std::pair<QString, QString> unusualPaths() {
        const QDir work(m_emulator.workDirectory());
        const QString tools = work.filePath(QStringLiteral("应用 工具/tools dir"));
        const QString kubeconfig = work.filePath(QStringLiteral("我的 集群/kube config"));
        const bool made =
            QDir().mkpath(tools + QStringLiteral("/devtron-charts")) &&
            QFile::link(toolsDirectory() + QStringLiteral("/kubectl"),
                        tools + QStringLiteral("/kubectl")) &&
            QFile::link(toolsDirectory() + QStringLiteral("/helm"),
                        tools + QStringLiteral("/helm")) &&
            QFile::copy(toolsDirectory() + QStringLiteral("/devtron-charts/install.sh"),
                        tools + QStringLiteral("/devtron-charts/install.sh")) &&
            QDir().mkpath(QFileInfo(kubeconfig).path()) &&
            QFile::copy(m_emulator.kubeconfigPath(), kubeconfig);
        return made ? std::pair(tools, kubeconfig) : std::pair(QString(), QString());
    }

    CommandResult run(const QString& line, const QString& kubeconfig,
                      const QString& tools = toolsDirectory()) {
        return ShellUtils::runCommandWithEnv(line, clusterOverlay(tools, kubeconfig));
    }

    ClusterEmulator m_emulator;

private:
    struct Saved {
        const char* name;
        bool hadValue;
        QByteArray value;
    };
    std::vector<Saved> m_saved;
};

// What the stand-in chart stores; see scripts/cluster-emulator/devtron-standin/values.yaml.
inline QString standInPassword() {
    return QStringLiteral("emulator-admin-密码");
}
inline QString standInAddress() {
    return QStringLiteral("http://devtron.emulator.nimbrel.local");
}
inline QString standInChart() {
    return QStringLiteral(NIMBREL_STANDIN_CHART);
}
inline QString brokenChart() {
    return QStringLiteral(NIMBREL_EMULATOR_DIR "/devtron-standin-broken");
}
