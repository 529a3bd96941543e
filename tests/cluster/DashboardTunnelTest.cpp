#include "cluster/DashboardTunnel.h"
#include "session/InstallationState.h"
#include "support/StandInTools.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A kubectl that forwards until told to drop (or refuses at once), like the real one.
class Tunnel : public ::testing::Test {
protected:
    Tunnel() {
        tools.setTool(u"kubectl"_s, {}, uR"(if [ "$1" = port-forward ]; then
    [ -e '%1' ] && { echo 'error: error upgrading connection: unable to upgrade connection: Forbidden' >&2; exit 1; }
    echo "Forwarding from 127.0.0.1:${5%%:*} -> 8080"
    while [ ! -e '%2' ]; do sleep 0.05; done
    echo 'E1207 portforward.go:413] "Unhandled Error" err="lost connection to pod"' >&2
    exit 1
fi)"_s.arg(refuseFlag, dropFlag));
    }
    bool logged(const QString& line) {
        QCoreApplication::sendPostedEvents();
        return state.logs().contains(line);
    }

    StandInTools tools;
    QString refuseFlag = tools.scratchPath(u"refuse"_s);
    QString dropFlag = tools.scratchPath(u"drop"_s);
    InstallationState state;
    DashboardTunnel tunnel{state};
};

TEST_F(Tunnel, ComesBackOnTheSamePortAfterADropAndWaitsLongerAfterEachRefusal) {
    tunnel.start(80);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tunnel.isForwarding(); }, 10000));
    const int port = tunnel.localPort();
    EXPECT_EQ(tunnel.address(), u"http://127.0.0.1:%1"_s.arg(port));
    EXPECT_TRUE(logged(u"service/devtron-service %1:80 --address 127.0.0.1"_s.arg(port)));

    writeTextFile(dropFlag, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return tunnel.hasPendingRestart(); }, 10000));
    EXPECT_FALSE(tunnel.isForwarding());
    EXPECT_TRUE(tunnel.failure().contains(u"lost connection to pod"_s));
    EXPECT_EQ(tunnel.restartDelay(), 1s);

    // Refused again and again: 2 s, 4 s … never more than 30 s apart.
    writeTextFile(refuseFlag, {});
    for (const auto expected : {2s, 4s, 8s, 16s, 30s, 30s}) {
        tunnel.restartNow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return tunnel.hasPendingRestart(); }, 10000));
        EXPECT_EQ(tunnel.restartDelay(), expected);
    }
    EXPECT_TRUE(tunnel.failure().contains(u"Forbidden"_s));

    // Back, on the same port; the next drop is followed quickly again.
    QFile::remove(refuseFlag);
    QFile::remove(dropFlag);
    tunnel.restartNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tunnel.isForwarding(); }, 10000));
    EXPECT_EQ(tunnel.localPort(), port);
    EXPECT_TRUE(logged(u"重新建立本地隧道（第7次）"_s));
    writeTextFile(dropFlag, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return tunnel.hasPendingRestart(); }, 10000));
    EXPECT_EQ(tunnel.restartDelay(), 1s);
}

} // namespace
