#include "cluster/PreflightCheck.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// tests/support/chart_repo_server.py in one of its modes, for as long as the object lives.
class LocalRepository {
public:
    explicit LocalRepository(const QString& mode) {
        m_server.start(u"python3"_s,
                       {u"" NIMBREL_SOURCE_DIR "/tests/support/chart_repo_server.py"_s, mode,
                        m_folder.path()});
        if (m_server.waitForReadyRead(30000)) {
            port = m_server.readLine().trimmed().toInt();
        }
    }
    ~LocalRepository() {
        m_server.kill();
        m_server.waitForFinished();
    }
    LocalRepository(const LocalRepository&) = delete;
    LocalRepository& operator=(const LocalRepository&) = delete;

    void trust() const {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.addCaCertificates(m_folder.filePath(u"cert.pem"_s));
        QSslConfiguration::setDefaultConfiguration(configuration);
    }

    int port = 0;

private:
    QTemporaryDir m_folder;
    QProcess m_server;
};

} // namespace

TEST(ChartRepository, AnAnswerPassesAndEveryOtherEndWarnsWithinTheLimit) {
    using State = PreflightCheck::State;
    QTcpServer reserved;
    ASSERT_TRUE(reserved.listen(QHostAddress::LocalHost));
    const int closedPort = reserved.serverPort();
    reserved.close();
    const QString unreachable = u"无法访问Devtron的Chart仓库 https://127.0.0.1:%1："_s;
    const struct {
        QString mode;
        State state;
        QString cause;
    } cases[] = {
        {u"serve"_s, State::passed, u"可以访问 https://127.0.0.1:%1"_s},
        {u"refuse"_s, State::warning, unreachable + u"Connection refused"_s},
        {u"hang"_s, State::warning, unreachable + u"1 秒内没有应答"_s},
        {u"wrong-name"_s, State::warning,
         unreachable + u"证书错误：The host name did not match any of the valid hosts for this "
                       "certificate"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode.toStdString());
        // Each server's certificate is trusted: the other one's fault is its name alone.
        std::optional<LocalRepository> repository;
        int port = closedPort;
        if (c.mode != u"refuse"_s) {
            repository.emplace(c.mode);
            ASSERT_GT(repository->port, 0);
            port = repository->port;
            repository->trust();
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
    }
}
