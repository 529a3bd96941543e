#pragma once

#include "ClusterEmulator.h"
#include "shell/AppPaths.h"
#include "shell/ClusterTools.h"

#include "support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

#include <list>

// One running emulator per test and the real tools as the program's tools. kubectl's and helm's
// caches and Nimbrel's own folders are the test process's private ones (tests/support/TestMain).
class ClusterTestFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_emulator.start()) << m_emulator.errorText().toStdString();
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
    void installStandIn() {
        const CommandResult installed =
            run(ClusterTools::installScriptCommand(), m_emulator.kubeconfigPath());
        ASSERT_EQ(installed.exitCode, 0) << installed.error.toStdString();
    }

    ClusterEmulator m_emulator;

private:
    std::list<ScopedEnvironmentVariable> m_variables;
};
