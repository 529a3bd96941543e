#include "cluster/PreflightCheck.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Against local servers: tests/support/chart_repo_server.py with a trusted certificate for
// 127.0.0.1 or for another name, a port that takes connections and never answers, a closed port.
TEST(ChartRepository, AnAnswerPassesAndEveryOtherEndWarnsWithinTheLimit) {
    using State = PreflightCheck::State;
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QTcpServer reserved;
    ASSERT_TRUE(reserved.listen(QHostAddress::LocalHost));
    const int closed = reserved.serverPort();
    reserved.close();
    const QString unreachable = u"无法访问Devtron的Chart仓库 https://127.0.0.1:%1："_s;
    const struct {
        QString subject; // a certificate's, or the port to ask
        State state;
        QString cause;
    } cases[] = {
        {u"IP:127.0.0.1"_s, State::passed, u"可以访问 https://127.0.0.1:%1"_s},
        {u"DNS:elsewhere.invalid"_s, State::warning,
         unreachable + u"证书错误：The host name did not match any of the valid hosts for this "
                       "certificate"_s},
        {QString::number(closed), State::warning, unreachable + u"Connection refused"_s},
        {QString::number(silent.serverPort()), State::warning, unreachable + u"1 秒内没有应答"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subject.toStdString());
        QTemporaryDir folder;
        QProcess server;
        int port = c.subject.toInt();
        if (port == 0) {
            server.start(u"python3"_s,
                         {u"" NIMBREL_SOURCE_DIR "/tests/support/chart_repo_server.py"_s, c.subject,
                          folder.path()});
            ASSERT_TRUE(server.waitForReadyRead(30000));
            port = server.readLine().trimmed().toInt();
            QSslConfiguration trusted = QSslConfiguration::defaultConfiguration();
            trusted.addCaCertificates(folder.filePath(u"cert.pem"_s));
            QSslConfiguration::setDefaultConfiguration(trusted);
        }
        const ScopedEnvironmentVariable address("NIMBREL_CHART_REPO_URL",
                                                u"https://127.0.0.1:%1"_s.arg(port).toUtf8());
        QElapsedTimer clock;
        clock.start();
        const PreflightCheck::Result result = PreflightCheck::checkChartRepository(
            PreflightCheck::chartRepository(), std::chrono::seconds(1));
        // A silent server is given up on at the limit, not when TCP gives up.
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ(result.state, c.state);
        EXPECT_EQ(result.cause.toStdString(), c.cause.arg(port).toStdString());
        EXPECT_EQ(result.remedy.contains(u"DEVTRON_CHART"_s), c.state == State::warning);
        server.kill();
        server.waitForFinished();
    }
}
