#include "ClusterTestFixture.h"
#include "installer/DevtronInstaller.h"

#include <QClipboard>
#include <QGuiApplication>
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
        const std::weak_ptr<Reports> weak = m_reports;
        DevtronInstaller::setAlertHook([weak](const QString& message, const QString&) {
            if (const auto reports = weak.lock()) {
                const std::lock_guard lock(reports->mutex);
                reports->alerts << message;
            }
        });
    }
    void TearDown() override {
        DevtronInstaller::setAlertHook({});
        ClusterTestFixture::TearDown();
    }

    std::unique_ptr<DevtronInstaller> makeInstaller(const QString& kubeconfig) {
        m_reports->end.reset();
        m_reports->info.reset();
        const std::weak_ptr<Reports> weak = m_reports;
        const auto record = [weak](auto change) {
            if (const auto reports = weak.lock()) {
                const std::lock_guard lock(reports->mutex);
                change(*reports);
            }
        };
        return std::make_unique<DevtronInstaller>(
            kubeconfig, [](double) {},
            [record](const QString& line) { record([&](Reports& r) { r.logs << line; }); },
            [record](bool success, const std::optional<QString>& message) {
                record([&](Reports& r) { r.end = success ? std::nullopt : message; });
            });
    }

    template <typename T> T await(std::optional<T> Reports::*field) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const std::lock_guard lock(m_reports->mutex);
                return (*m_reports.*field).has_value();
            },
            120000));
        const std::lock_guard lock(m_reports->mutex);
        return (*m_reports.*field).value_or(T());
    }

    std::optional<QString> install(const QString& kubeconfig) {
        const auto installer = makeInstaller(kubeconfig);
        installer->installDevtron();
        return await(&Reports::end);
    }
    std::pair<QString, QString> readBack(const QString& kubeconfig) {
        const auto installer = makeInstaller(kubeconfig);
        installer->retrieveDevtronInfo(
            [weak = std::weak_ptr(m_reports)](const QString& url, const QString& password) {
                if (const auto reports = weak.lock()) {
                    const std::lock_guard lock(reports->mutex);
                    reports->info.emplace(url, password);
                }
            });
        return await(&Reports::info);
    }
    QString logs() {
        const std::lock_guard lock(m_reports->mutex);
        return m_reports->logs.join('\n');
    }
    QString report(const QString& name) const {
        QFile file(AppPaths::privateTempDirectory() + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    std::shared_ptr<Reports> m_reports = std::make_shared<Reports>();
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
    const std::lock_guard lock(m_reports->mutex);
    EXPECT_EQ(m_reports->alerts, QStringList{QStringLiteral("Devtron已安装")});
}

TEST_F(InstallerEndToEnd, FailingChartGivesTheFailureMessageAndTheErrorReport) {
    setVariable("DEVTRON_CHART", QStringLiteral(NIMBREL_EMULATOR_DIR "/devtron-standin-broken"));
    const std::optional<QString> failure = install(m_emulator.kubeconfigPath());
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->startsWith(QStringLiteral("安装失败: "))) << failure->toStdString();
    EXPECT_TRUE(failure->contains(QStringLiteral("refuses to install"))) << failure->toStdString();
    const QString text = report(QStringLiteral("devtron_install_error.log"));
    EXPECT_TRUE(text.contains(QStringLiteral("\n退出代码: 1\n"))) << text.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::clipboard()->text() == text; }));
    EXPECT_NE(run(ClusterTools::releaseStatusCommand(), m_emulator.kubeconfigPath()).exitCode, 0);
}

TEST_F(InstallerEndToEnd, PathsWithBlanksAndChineseCharactersInstallAndReadBack) {
    const QString kubeconfig = useUnusualPaths();
    ASSERT_FALSE(kubeconfig.isEmpty());
    EXPECT_EQ(install(kubeconfig), std::nullopt);
    EXPECT_EQ(readBack(kubeconfig).second, QStringLiteral("emulator-admin-密码"));
}

TEST_F(InstallerEndToEnd, StandInChartRefusesEveryClusterButTheEmulator) {
    // Rendered without a cluster, the emulator's own API group is missing, as on a real cluster.
    const CommandResult rendered =
        run(ShellUtils::quotePath(ClusterTools::helmPath()) + " template devtron " +
                ShellUtils::quotePath(QStringLiteral(NIMBREL_STANDIN_CHART)),
            m_emulator.kubeconfigPath());
    EXPECT_NE(rendered.exitCode, 0);
    EXPECT_TRUE(rendered.error.contains("installs only into Nimbrel's cluster emulator"))
        << rendered.error.toStdString();
}
