#include "ClusterTestFixture.h"
#include "keychain/KeychainManager.h"
#include "session/InstallationState.h"
#include "shell/PrivateFile.h"
#include "views/choice/DevtronChoiceController.h"
#include "views/completion/CompletionController.h"
#include "views/installation/InstallationController.h"
#include "views/kubeconfig/KubeconfigStepController.h"
#include "views/waiting/WaitingForServicesController.h"

#include <QRegularExpression>
#include <QTest>
#include <QThreadPool>

#include <memory>
#include <vector>

using Step = InstallationStep;

// The five step controllers driven in turn against the emulator, as the screens would drive them;
// timers are ticked and delayed actions fired by hand, the cluster tools run for real.
class WizardEndToEnd : public ClusterTestFixture {
protected:
    void SetUp() override {
        ClusterTestFixture::SetUp();
        // Created after the fixture has moved the log folder into the test's own folder.
        m_state = std::make_unique<InstallationState>();
        QObject::connect(m_state.get(), &InstallationState::currentStepChanged,
                         [this] { m_steps.push_back(m_state->currentStep()); });
    }
    void TearDown() override {
        QThreadPool::globalInstance()->waitForDone();
        m_state.reset();
        ClusterTestFixture::TearDown();
    }

    // Real kubectl and helm run meanwhile: the limit is generous for a loaded machine.
    bool awaitStep(Step step) {
        const bool reached =
            QTest::qWaitFor([&] { return m_state->currentStep() == step; }, 240000);
        EXPECT_TRUE(reached) << "never reached step " << int(step) << ", logs:\n"
                             << m_state->logs().toStdString();
        return reached;
    }

    // Kubeconfig check and connection test, up to the installation step.
    void walkToInstallation(bool installDevtron, const QString& kubeconfigPath) {
        KubeconfigStepController kubeconfig(*m_state);
        kubeconfig.chooseFile(kubeconfigPath);
        kubeconfig.proceed();
        ASSERT_TRUE(awaitStep(Step::devtronChoice));
        DevtronChoiceController choice(*m_state);
        choice.setInstallDevtron(installDevtron);
        choice.nextAction();
        ASSERT_TRUE(awaitStep(Step::installation));
        EXPECT_EQ(choice.testResult(), DevtronChoiceController::TestResult::success());
    }

    // The session's key lines in order: all of them in `logs`; in the log file only the later
    // ones, after the header of the installer, which starts the file afresh.
    void expectLogLinesInOrder(const QStringList& early, const QStringList& late) {
        const QString file = QString::fromUtf8(
            PrivateFile::readRegularFile(AppPaths::logFilePath()).bytes.value_or("(no log file)"));
        for (const auto& [text, lines] :
             {std::pair{m_state->logs(), early + late},
              {file, QStringList{QStringLiteral("Devtron 安装日志 - 开始于")} + late}}) {
            qsizetype from = 0;
            for (const QString& line : lines) {
                from = text.indexOf(line, from);
                ASSERT_GE(from, 0) << "missing or out of order: " << line.toStdString() << "\nin:\n"
                                   << text.toStdString();
            }
        }
    }

    // A keychain service of the test's own, empty at the start.
    KeychainManager freshKeychain(const char* suffix) {
        KeychainManager keychain(KeychainManager::defaultServiceName + QStringLiteral(".e2e.") +
                                 QLatin1String(suffix));
        for (const char* key : keys) {
            keychain.deleteItem(QLatin1String(key));
        }
        return keychain;
    }

    static constexpr const char* keys[] = {"devtronUrl", "devtronUsername", "devtronPassword"};
    std::unique_ptr<InstallationState> m_state;
    std::vector<Step> m_steps;
};

TEST_F(WizardEndToEnd, InstallModeStoresTheReadBackAccessDataInTheKeychain) {
    const KeychainManager keychain = freshKeychain("install");
    // Tools and kubeconfig below folders whose names hold blanks and Chinese characters.
    const QString kubeconfig = useUnusualPaths();
    ASSERT_FALSE(kubeconfig.isEmpty());
    ASSERT_NO_FATAL_FAILURE(walkToInstallation(true, kubeconfig));

    InstallationController installation(*m_state);
    installation.screenShown();
    ASSERT_TRUE(QTest::qWaitFor([&] { return installation.isInstallationCompleted(); }, 240000))
        << m_state->logs().toStdString();
    installation.screenHidden();
    EXPECT_EQ(installation.pendingDelay(), InstallationController::successAdvanceDelayMs);
    installation.firePendingAction();
    ASSERT_TRUE(awaitStep(Step::waitingForServices));

    WaitingForServicesController waiting(*m_state);
    waiting.start();
    waiting.stopTimer();
    for (int second = 0; second < WaitingForServicesController::waitSeconds; ++second) {
        EXPECT_FALSE(waiting.isRetrievingCredentials()) << "lookup before the countdown ended";
        waiting.tick();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return waiting.isComplete(); }, 180000))
        << m_state->logs().toStdString();
    waiting.moveToNextStep();
    ASSERT_TRUE(awaitStep(Step::completion));

    const QString url = QStringLiteral("http://devtron.emulator.nimbrel.local:22443");
    const QString password = QStringLiteral("emulator-admin-密码");
    int quits = 0;
    CompletionController completion(*m_state, keychain.serviceName(), [&] { ++quits; });
    EXPECT_EQ(completion.layout(), CompletionController::Layout::complete);
    completion.copyAllInfo();
    ASSERT_TRUE(completion.hasPendingFinish());
    completion.firePendingFinish();
    completion.finish();
    EXPECT_EQ(quits, 1);
    const QString stored[] = {url, QStringLiteral("admin"), password};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(keychain.get(QLatin1String(keys[i])), stored[i]) << keys[i];
    }

    EXPECT_EQ(m_steps, (std::vector{Step::devtronChoice, Step::installation,
                                    Step::waitingForServices, Step::completion}));
    expectLogLinesInOrder({"Kubeconfig文件验证成功 ✓", "集群连接测试成功 ✓",
                           "用户选择安装Devtron ✓", "进入步骤: 开始安装过程"},
                          {"开始安装Devtron...", "安装完成，状态: 成功", "进入步骤: 等待服务启动",
                           "等待时间结束，开始检索Devtron凭证", "成功获取Devtron凭证，URL: " + url,
                           "进入步骤: 安装完成", "总安装时间: "});
    EXPECT_FALSE(m_state->logs().contains(password)) << "the password reached the log";
    // The line by which a second installation is refused, as the real helm prints it.
    EXPECT_TRUE(run(ClusterTools::releaseStatusCommand(), kubeconfig)
                    .output.contains(QStringLiteral("\nSTATUS: deployed\n")));
}

TEST_F(WizardEndToEnd, ConfigureOnlyModeSkipsTheWaitAndStoresNothing) {
    const KeychainManager keychain = freshKeychain("configure");
    ASSERT_NO_FATAL_FAILURE(walkToInstallation(false, m_emulator.kubeconfigPath()));

    InstallationController installation(*m_state);
    installation.screenShown();
    ASSERT_TRUE(QTest::qWaitFor([&] { return installation.pendingDelay().has_value(); }, 240000))
        << m_state->logs().toStdString();
    installation.screenHidden();
    EXPECT_EQ(installation.pendingDelay(), InstallationController::setupCompleteDelayMs);
    installation.firePendingAction();
    EXPECT_TRUE(installation.isInstallationCompleted());
    installation.firePendingAction();
    ASSERT_TRUE(awaitStep(Step::completion));

    int quits = 0;
    CompletionController completion(*m_state, keychain.serviceName(), [&] { ++quits; });
    EXPECT_EQ(completion.layout(), CompletionController::Layout::toolsOnly);
    completion.finish();
    completion.finish();
    EXPECT_EQ(quits, 1);
    for (const char* key : keys) {
        EXPECT_EQ(keychain.get(QLatin1String(key)), std::nullopt) << key << " was stored";
    }

    EXPECT_EQ(m_steps, (std::vector{Step::devtronChoice, Step::installation, Step::completion}));
    expectLogLinesInOrder(
        {"Kubeconfig文件验证成功 ✓", "集群连接测试成功 ✓", "用户选择不安装Devtron ✓"},
        {"仅配置环境，不安装Devtron", "环境配置成功", "跳过等待服务启动页面，直接进入完成页面",
         "总安装时间: "});
}

TEST_F(WizardEndToEnd, ExecCredentialHelperIsFoundOnTheProcessPathOnly) {
    QString text = QString::fromUtf8(
        PrivateFile::readRegularFile(m_emulator.kubeconfigPath()).bytes.value_or(QByteArray()));
    const QRegularExpression tokenLine(QStringLiteral("^    token: (\\S+)$"),
                                       QRegularExpression::MultilineOption);
    const QString token = tokenLine.match(text).captured(1);
    ASSERT_FALSE(token.isEmpty()) << text.toStdString();
    text.replace(tokenLine,
                 QStringLiteral("    exec:\n"
                                "      apiVersion: client.authentication.k8s.io/v1beta1\n"
                                "      command: nimbrel-test-credential-helper\n"
                                "      interactiveMode: Never"));
    const QString helpers = m_emulator.workDirectory() + QStringLiteral("/credential helpers");
    const QString helper = helpers + QStringLiteral("/nimbrel-test-credential-helper");
    const QString kubeconfig = m_emulator.workDirectory() + QStringLiteral("/exec-kubeconfig");
    ASSERT_TRUE(QDir().mkpath(helpers));
    ASSERT_TRUE(PrivateFile::writeOwnerOnly(kubeconfig, text.toUtf8()));
    ASSERT_TRUE(PrivateFile::writeOwnerOnly(
        helper, "#!/bin/bash\nprintf '{\"apiVersion\":\"client.authentication.k8s.io/v1beta1\","
                "\"kind\":\"ExecCredential\",\"status\":{\"token\":\"" +
                    token.toUtf8() + "\"}}'\n"));
    ASSERT_TRUE(QFile::setPermissions(helper, QFile::ReadOwner | QFile::ExeOwner));
    m_state->setKubeconfigPath(kubeconfig);

    DevtronChoiceController choice(*m_state);
    // The kept message, empty after a success.
    const auto testConnection = [&] {
        bool done = false;
        choice.testClusterConnection([&](bool) { done = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 120000));
        return choice.testResult()
            .value_or(DevtronChoiceController::TestResult::failure(QStringLiteral("no result")))
            .message()
            .toStdString();
    };
    setVariable("PATH", helpers + QStringLiteral(":/usr/bin:/bin"));
    EXPECT_EQ(testConnection(), "") << m_state->logs().toStdString();
    setVariable("PATH", QStringLiteral("/usr/bin:/bin"));
    EXPECT_EQ(testConnection(),
              DevtronChoiceController::classifyConnectionError(QStringLiteral("Unauthorized"))
                  .toStdString())
        << m_state->logs().toStdString();
}
