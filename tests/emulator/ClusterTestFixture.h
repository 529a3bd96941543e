#pragma once

#include "ClusterEmulator.h"
#include "shell/AppPaths.h"
#include "shell/ClusterTools.h"

#include "support/ScopedEnvironmentVariable.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <list>

// One running emulator per test, the real tools as the program's tools, and kubectl's and helm's
// caches and Nimbrel's own folders inside the test's folder, so that no run sees another's.
class ClusterTestFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_emulator.start()) << m_emulator.errorText().toStdString();
        const QString work = m_emulator.workDirectory();
        for (const auto& [name, folder] : {std::pair{"KUBECACHEDIR", "/kube-cache"},
                                           {"HELM_CACHE_HOME", "/helm/cache"},
                                           {"HELM_CONFIG_HOME", "/helm/config"},
                                           {"HELM_DATA_HOME", "/helm/data"},
                                           {"XDG_STATE_HOME", "/state"},
                                           {"XDG_RUNTIME_DIR", "/runtime"}}) {
            setVariable(name, work + QLatin1String(folder));
        }
        QDir().mkpath(work + QStringLiteral("/runtime"));
        QFile::setPermissions(work + QStringLiteral("/runtime"), QFileDevice::ReadOwner |
                                                                     QFileDevice::WriteOwner |
                                                                     QFileDevice::ExeOwner);
        // The installer's set-up changes it for the whole process.
        setVariable("KUBECONFIG", qEnvironmentVariable("KUBECONFIG"));
        setVariable("DEVTRON_CHART", QStringLiteral(NIMBREL_STANDIN_CHART));
        AppPaths::setToolsDirectoryOverride(QStringLiteral(NIMBREL_TOOLS_BUILD_DIR));
    }
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

    ClusterEmulator m_emulator;

private:
    std::list<ScopedEnvironmentVariable> m_variables;
};
