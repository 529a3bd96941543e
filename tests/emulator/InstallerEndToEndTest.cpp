#include "ClusterTestFixture.h"
#include "installer/DevtronInstaller.h"
#include "session/InstallationState.h"
#include "shell/AppPaths.h"
#include "views/waiting/WaitingForServicesController.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTest>

#include <memory>
#include <mutex>
#include <optional>

namespace {

constexpr int outcomeLimitMs = 120000;

// What the installer's callbacks reported; they arrive on pool threads.
struct Reports {
    std::mutex mutex;
    std::vector<double> progress;
    QStringList logs;
    std::optional<std::pair<bool, std::optional<QString>>> outcome;
    std::optional<std::pair<QString, QString>> info;
    QStringList alerts;
};

} // namespace

class InstallerEndToEnd : public ClusterTestFixture {
protected:
    void SetUp() override {
        ClusterTestFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        AppPaths::setToolsDirectoryOverride(toolsDirectory());
        setVariable("DEVTRON_CHART", standInChart());
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
        AppPaths::setToolsDirectoryOverride(QString());
        ClusterTestFixture::TearDown();
    }

    std::unique_ptr<DevtronInstaller> makeInstaller(QString kubeconfig = QString()) {
        if (kubeconfig.isEmpty()) {
            kubeconfig = m_emulator.kubeconfigPath();
        }
        const std::weak_ptr<Reports> weak = m_reports;
        return std::make_unique<DevtronInstaller>(
            kubeconfig,
            [weak](double fraction) {
                if (const auto reports = weak.lock()) {
                    const std::lock_guard lock(reports->mutex);
                    reports->progress.push_back(fraction);
                }
            },
            [weak](const QString& message) {
                if (const auto reports = weak.lock()) {
                    const std::lock_guard lock(reports->mutex);
                    reports->logs << message;
                }
            },
            [weak](bool success, const std::optional<QString>& message) {
                if (const auto reports = weak.lock()) {
                    const std::lock_guard lock(reports->mutex);
                    reports->outcome.emplace(success, message);
                }
            });
    }

    // Runs the event loop until the installer has reported its outcome.
    std::pair<bool, std::optional<QString>> waitForOutcome() {
        const bool arrived = QTest::qWaitFor(
            [this] {
                const std::lock_guard lock(m_reports->mutex);
                return m_reports->outcome.has_value();
            },
            outcomeLimitMs);
        const std::lock_guard lock(m_reports->mutex);
        if (!arrived) {
            return {false, QStringLiteral("(no outcome reported)")};
        }
        auto outcome = *m_reports->outcome;
        m_reports->outcome.reset();
        return outcome;
    }

    std::pair<QString, QString> retrieveInfo(DevtronInstaller& installer) {
        const std::weak_ptr<Reports> weak = m_reports;
        installer.retrieveDevtronInfo([weak](const QString& url, const QString& password) {
            if (const auto reports = weak.lock()) {
                const std::lock_guard lock(reports->mutex);
                reports->info.emplace(url, password);
            }
        });
        const bool arrived = QTest::qWaitFor(
            [this] {
                const std::lock_guard lock(m_reports->mutex);
                return m_reports->info.has_value();
            },
            outcomeLimitMs);
        const std::lock_guard lock(m_reports->mutex);
        if (!arrived) {
            return {QStringLiteral("(no access data reported)"), QString()};
        }
        return *m_reports->info;
    }

    QString installErrorReport() const {
        QFile report(AppPaths::privateTempDirectory() +
                     QStringLiteral("devtron_install_error.log"));
        return report.open(QIODevice::ReadOnly) ? QString::fromUtf8(report.readAll()) : QString();
    }

    std::shared_ptr<Reports> m_reports = std::make_shared<Reports>();
};

TEST_F(InstallerEndToEnd, FreshClusterInstallsAndASecondInstallationIsRefused) {
    {
        const auto installer = makeInstaller();
        installer->installDevtron();
        const auto [success, message] = waitForOutcome();
        EXPECT_TRUE(success) << message.value_or(QString()).toStdString();
        EXPECT_FALSE(message.has_value());
        const std::lock_guard lock(m_reports->mutex);
        EXPECT_EQ(m_reports->progress, (std::vector<double>{0.1, 0.2, 1.0}));
    }
    const CommandResult status = run(statusLine(toolsDirectory()), m_emulator.kubeconfigPath());
    EXPECT_TRUE(status.output.contains(QStringLiteral("STATUS: deployed")))
        << status.error.toStdString();

    const auto second = makeInstaller();
    second->installDevtron();
    const auto [success, message] = waitForOutcome();
    EXPECT_FALSE(success);
    EXPECT_EQ(message, std::optional<QString>(QStringLiteral("NO_ALERT:集群中已经安装了Devtron")));
    const std::lock_guard lock(m_reports->mutex);
    EXPECT_EQ(m_reports->alerts, QStringList{QStringLiteral("Devtron已安装")});
    EXPECT_TRUE(m_reports->logs.contains(QStringLiteral("安装已取消，集群中已存在Devtron")));
}

TEST_F(InstallerEndToEnd, FailingChartGivesTheFailureMessageAndTheErrorReport) {
    setVariable("DEVTRON_CHART", brokenChart());
    const auto installer = makeInstaller();
    installer->installDevtron();
    const auto [success, message] = waitForOutcome();
    ASSERT_FALSE(success);
    ASSERT_TRUE(message.has_value());
    EXPECT_TRUE(message->startsWith(QStringLiteral("安装失败: "))) << message->toStdString();
    EXPECT_TRUE(message->contains(QStringLiteral("refuses to install"))) << message->toStdString();
    EXPECT_TRUE(message->contains(QStringLiteral("\n\n完整日志: "))) << message->toStdString();

    const QString report = installErrorReport();
    EXPECT_TRUE(report.startsWith(QStringLiteral("===== Devtron安装错误报告 =====\n")))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("\n退出代码: 1\n"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("refuses to install"))) << report.toStdString();
    // The clipboard is filled from the GUI thread's queue.
    EXPECT_TRUE(QTest::qWaitFor(
        [&report] { return QGuiApplication::clipboard()->text() == report; }, outcomeLimitMs));

    // Nothing was deployed, so a working chart may be installed afterwards.
    setVariable("DEVTRON_CHART", standInChart());
    const auto retry = makeInstaller();
    retry->installDevtron();
    EXPECT_TRUE(waitForOutcome().first);
}

TEST_F(InstallerEndToEnd, AccessDataIsReadBackAfterTheInstallationAndDefaultsBefore) {
    {
        const auto before = makeInstaller();
        const auto [url, password] = retrieveInfo(*before);
        EXPECT_EQ(url, DevtronInstaller::defaultDevtronUrl());
        EXPECT_EQ(password, DevtronInstaller::defaultDevtronPassword());
        QFile report(AppPaths::privateTempDirectory() + QStringLiteral("devtron_url_error.log"));
        ASSERT_TRUE(report.open(QIODevice::ReadOnly));
        EXPECT_TRUE(report.readAll().contains("not found"));
    }
    m_reports->info.reset();

    const CommandResult install = run(installLine(toolsDirectory()), m_emulator.kubeconfigPath());
    ASSERT_EQ(install.exitCode, 0) << install.error.toStdString();

    const auto after = makeInstaller();
    const auto [url, password] = retrieveInfo(*after);
    EXPECT_EQ(url, standInAddress());
    EXPECT_EQ(password, standInPassword());
    const std::lock_guard lock(m_reports->mutex);
    EXPECT_FALSE(m_reports->logs.join(u'\n').contains(standInPassword()))
        << "the decoded password reached the log";
}

TEST_F(InstallerEndToEnd, ServiceWaitReadsBackTheAddressWithItsPortAndThePassword) {
    const CommandResult install = run(installLine(toolsDirectory()), m_emulator.kubeconfigPath());
    ASSERT_EQ(install.exitCode, 0) << install.error.toStdString();

    InstallationState state;
    state.setCurrentStep(InstallationStep::waitingForServices);
    state.setKubeconfigPath(m_emulator.kubeconfigPath());
    WaitingForServicesController controller(state);
    controller.retrieveDevtronCredentials();
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.isComplete(); }, outcomeLimitMs));
    EXPECT_EQ(state.devtronUrl(), standInAddress() + QStringLiteral(":22443"));
    EXPECT_EQ(state.devtronPassword(), standInPassword());
    QTest::qWait(50);
    EXPECT_FALSE(state.logs().contains(standInPassword()))
        << "the decoded password reached the log";
}

TEST_F(InstallerEndToEnd,
       ToolsFolderAndKubeconfigWithBlanksAndChineseCharactersInstallAndReadBack) {
    const auto [tools, kubeconfig] = unusualPaths();
    ASSERT_FALSE(tools.isEmpty());
    AppPaths::setToolsDirectoryOverride(tools);

    const auto installer = makeInstaller(kubeconfig);
    installer->installDevtron();
    const auto [success, message] = waitForOutcome();
    EXPECT_TRUE(success) << message.value_or(QString()).toStdString();

    const auto reader = makeInstaller(kubeconfig);
    const auto [url, password] = retrieveInfo(*reader);
    EXPECT_EQ(url, standInAddress());
    EXPECT_EQ(password, standInPassword());
}
