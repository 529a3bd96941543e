#include "ClusterTestFixture.h"
#include "installer/DevtronInstaller.h"
#include "support/StandInTools.h"

#include <QTest>

#include <memory>
#include <mutex>
#include <optional>

namespace {

// What the installer's callbacks reported; they arrive on pool threads.
struct Reports {
    std::mutex mutex;
    QStringList logs;
    std::optional<std::optional<QString>> end; // inner nullopt: success
    std::optional<std::pair<QString, QString>> info;
    QStringList alerts;
};

} // namespace

class InstallerEndToEnd : public ClusterTestFixture {
protected:
    void SetUp() override {
        ClusterTestFixture::SetUp();
        DevtronInstaller::setAlertHook([this](const QString& message, const QString&) {
            record([&](Reports& r) { r.alerts << message; });
        });
    }
    void TearDown() override {
        DevtronInstaller::setAlertHook({});
        ClusterTestFixture::TearDown();
    }

    template <typename Change> void record(Change change) {
        const std::lock_guard lock(m_reports.mutex);
        change(m_reports);
    }

    std::unique_ptr<DevtronInstaller> makeInstaller(const QString& kubeconfig) {
        record([](Reports& r) {
            r.end.reset();
            r.info.reset();
        });
        return std::make_unique<DevtronInstaller>(
            kubeconfig, [](double) {},
            [this](const QString& line) { record([&](Reports& r) { r.logs << line; }); },
            [this](bool success, const std::optional<QString>& message) {
                record([&](Reports& r) { r.end = success ? std::nullopt : message; });
            });
    }

    template <typename T> T await(std::optional<T> Reports::*field) {
        T value{};
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const std::lock_guard lock(m_reports.mutex);
                value = (m_reports.*field).value_or(T());
                return (m_reports.*field).has_value();
            },
            120000));
        return value;
    }

    std::optional<QString> install(const QString& kubeconfig) {
        const auto installer = makeInstaller(kubeconfig);
        installer->installDevtron();
        return await(&Reports::end);
    }
    std::pair<QString, QString> readBack(const QString& kubeconfig) {
        const auto installer = makeInstaller(kubeconfig);
        installer->retrieveDevtronInfo([this](const QString& url, const QString& password) {
            record([&](Reports& r) { r.info.emplace(url, password); });
        });
        return await(&Reports::info);
    }
    QString logs() {
        const std::lock_guard lock(m_reports.mutex);
        return m_reports.logs.join('\n');
    }
    static QString report(const QString& name) {
        return readTextFile(AppPaths::privateTempDirectory() + name);
    }

    Reports m_reports;
};

TEST_F(InstallerEndToEnd, InstallationReadBackAndASecondInstallationRefused) {
    const QString kubeconfig = m_emulator.kubeconfigPath();
    EXPECT_EQ(readBack(kubeconfig), std::pair(DevtronInstaller::defaultDevtronUrl(),
                                              DevtronInstaller::defaultDevtronPassword()));
    EXPECT_TRUE(report(QStringLiteral("devtron_url_error.log")).contains("not found"));

    EXPECT_EQ(install(kubeconfig), std::nullopt);
    EXPECT_EQ(readBack(kubeconfig),
              std::pair(QStringLiteral("http://devtron.emulator.nimbrel.local"),
                        QStringLiteral("emulator-admin-密码")));
    EXPECT_FALSE(logs().contains(QStringLiteral("emulator-admin-密码")));

    EXPECT_EQ(install(kubeconfig), QStringLiteral("NO_ALERT:集群中已经安装了Devtron"));
    const std::lock_guard lock(m_reports.mutex);
    EXPECT_EQ(m_reports.alerts, QStringList{QStringLiteral("Devtron已安装")});
}

TEST_F(InstallerEndToEnd, FailingChartGivesTheFailureMessageAndTheErrorReport) {
    setVariable("DEVTRON_CHART", QStringLiteral(NIMBREL_EMULATOR_DIR "/devtron-standin-broken"));
    const std::optional<QString> failure = install(m_emulator.kubeconfigPath());
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->startsWith(QStringLiteral("安装失败: ")) &&
                failure->contains(QStringLiteral("refuses to install")))
        << failure->toStdString();
    EXPECT_TRUE(report(QStringLiteral("devtron_install_error.log")).contains("\n退出代码: 1\n"));
    EXPECT_NE(run(ClusterTools::releaseStatusCommand(), m_emulator.kubeconfigPath()).exitCode, 0);
}

TEST_F(InstallerEndToEnd, PathsWithBlanksAndChineseCharactersInstallAndReadBack) {
    const QString kubeconfig = useUnusualPaths();
    ASSERT_FALSE(kubeconfig.isEmpty());
    EXPECT_EQ(install(kubeconfig), std::nullopt);
    EXPECT_EQ(readBack(kubeconfig).second, QStringLiteral("emulator-admin-密码"));
}
