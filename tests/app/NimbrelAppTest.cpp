#include "app/NimbrelApp.h"

#include "cluster/DashboardTunnel.h"
#include "installer/DevtronInstaller.h"
#include "session/InstallationState.h"
#include "shell/AppPaths.h"
#include "shell/ShellUtils.h"
#include "support/ChildSession.h"
#include "support/StandInTools.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class QuitSignal : public testing::TestWithParam<int> {};

// Quitting takes no children any more, so each signal gets a process of its own.
TEST_P(QuitSignal, QuitsAsClosingDoesAndEndsEveryProcessGroupItStarted) {
    if (!ChildSession::isChild()) {
        ChildSession::rerun(ChildSession::Kind::noSessionBus);
        return;
    }
    // Named after the signal: ctest may run the three cases at once.
    const QString sleep = QStringLiteral("sleep 3%1.0423").arg(GetParam());
    StandInTools tools;
    const QString kubeconfig = tools.scratchPath(QStringLiteral("kubeconfig"));
    writeTextFile(kubeconfig, "kind: Config\n");
    const QString trapped = tools.scratchPath(QStringLiteral("trapped"));
    // A script whose child ignores SIGTERM, and an address lookup that never gets an answer.
    tools.setTool("install.sh", {},
                  QStringLiteral("%1 & trap '' TERM; touch '%2'; %1").arg(sleep, trapped));
    tools.setTool("helm", {{"version", "v3"}, {"status", {}, "Error: release: not found", 1}});
    const QString forwarding = QStringLiteral("sleep 4%1.0423").arg(GetParam());
    tools.setTool("kubectl", {{"version", "v1"}},
                  QStringLiteral("[ \"$1\" = describe ] && %1\n[ \"$1\" = port-forward ] && "
                                 "{ echo 'Forwarding from 127.0.0.1:1 -> 8080'; %2; }")
                      .arg(sleep, forwarding));

    NimbrelApp app;
    DevtronInstaller installer(kubeconfig, {}, {}, {});
    installer.installDevtron();
    installer.retrieveDevtronInfo({});
    // And a tunnel to Devtron, which lives until the program quits.
    InstallationState tunnelSession;
    DashboardTunnel tunnel(tunnelSession);
    tunnel.start(80);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return QFile::exists(trapped) && tools.calls().join(' ').contains("describe") &&
                   tunnel.isForwarding();
        },
        20000));
    QTimer::singleShot(0, [signal = GetParam()] { std::raise(signal); });
    QElapsedTimer clock;
    clock.start();
    app.exec();
    EXPECT_LT(clock.elapsed(), 3500);
    EXPECT_EQ(app.quitSignal(), GetParam());
    EXPECT_EQ(QProcess::execute("pgrep", {"-f", sleep}), 1);
    EXPECT_EQ(QProcess::execute("pgrep", {"-f", forwarding}), 1);
    EXPECT_TRUE(
        readTextFile(AppPaths::logFilePath()).contains("正在结束Nimbrel启动的进程... (2个)"));
    EXPECT_EQ(ShellUtils::runCommand(sleep).exitCode, 128 + SIGKILL);
}

INSTANTIATE_TEST_SUITE_P(NimbrelApp, QuitSignal, testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
