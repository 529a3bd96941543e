#pragma once

#include "ClusterEmulator.h"
#include "shell/AppPaths.h"
#include "shell/ClusterTools.h"

#include "support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QThread>

#include <list>

// One running emulator per test and the real tools as the program's tools. kubectl's and helm's
// caches and Nimbrel's own folders are the test process's private ones (tests/support/TestMain).
class ClusterTestFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_emulator.start(options())) << m_emulator.errorText().toStdString();
        setVariable("DEVTRON_CHART", QStringLiteral(NIMBREL_STANDIN_CHART));
        AppPaths::setToolsDirectoryOverride(QStringLiteral(NIMBREL_TOOLS_BUILD_DIR));
    }
    // How the test's emulator starts: a release state, faults, extra namespaces, ...
    virtual ClusterEmulator::Options options() const { return {}; }
    void TearDown() override {
        AppPaths::setToolsDirectoryOverride({});
        while (!m_variables.empty()) {
            m_variables.pop_back();
        }
    }

    void setVariable(const char* name, const QString& value) {
        m_variables.emplace_back(name, value.toUtf8());
    }

    CommandResult run(const QString& line, const QString& kubeconfig) {
        return ShellUtils::runCommandWithEnv(line, ClusterTools::environment(kubeconfig));
    }
    // With a variant and a source, through the script's environment as the installer gives them.
    void installStandIn(const QString& variant = {}, const QString& source = {}) {
        if (!variant.isEmpty()) {
            setVariable("DEVTRON_VARIANT", variant);
            setVariable("DEVTRON_SOURCE", source);
        }
        const CommandResult installed =
            run(ClusterTools::installScriptCommand(), m_emulator.kubeconfigPath());
        ASSERT_EQ(installed.exitCode, 0) << installed.error.toStdString();
    }
    // What reached the cluster of the chart's values: "modules|source|argo-cd.enabled".
    QString installedValues() {
        return run(ShellUtils::quotePath(ClusterTools::kubectlPath()) +
                       QStringLiteral(" get configmap devtron-install-values -n devtroncd -o "
                                      "'jsonpath={.data.installer\\.modules}|"
                                      "{.data.installer\\.source}|{.data.argo-cd\\.enabled}'"),
                   m_emulator.kubeconfigPath())
            .output;
    }

    ClusterEmulator m_emulator;

private:
    std::list<ScopedEnvironmentVariable> m_variables;
};

// Everything a "GET /" on host:port brings back before the server closes; empty when nothing
// answers.
inline QByteArray fetchPage(const QString& host, int port) {
    QTcpSocket socket;
    socket.connectToHost(host, static_cast<quint16>(port));
    if (!socket.waitForConnected(5000)) {
        return {};
    }
    socket.write("GET / HTTP/1.1\r\nHost: " + host.toUtf8() + "\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(10000)) {
        answer += socket.readAll();
    }
    return answer + socket.readAll();
}

inline bool isDevtronPage(const QByteArray& answer) {
    return answer.startsWith("HTTP/1.0 200") && answer.contains("<title>Devtron</title>");
}

inline QString kubectlLine(const QString& arguments) {
    return ShellUtils::quotePath(ClusterTools::kubectlPath()) + u' ' + arguments;
}

// Devtron's own installer chart on the emulator: its Service, Installer and late password.
class UpstreamFlavour : public ClusterTestFixture {
protected:
    void SetUp() override {
        ClusterTestFixture::SetUp();
        installStandIn();
    }
    ClusterEmulator::Options options() const override {
        ClusterEmulator::Options options;
        options.flavour = QStringLiteral("upstream");
        options.installerAppliedAfterSeconds = 4;
        options.passwordAfterSeconds = 5;
        return options;
    }

    // A value read with kubectl every 200 ms until it is `last`, as the states it went through.
    QStringList statesUntil(const QString& arguments, const QString& last) {
        QStringList seen;
        const QDeadlineTimer deadline(20000);
        while ((seen.isEmpty() || seen.last() != last) && !deadline.hasExpired()) {
            const CommandResult read = run(kubectlLine(arguments), m_emulator.kubeconfigPath());
            if (read.exitCode == 0 && (seen.isEmpty() || seen.last() != read.output)) {
                seen << read.output;
            }
            QThread::msleep(200);
        }
        return seen;
    }
};
