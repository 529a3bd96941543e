#include "views/installation/InstallationController.h"

#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/UiLanguage.h"
#include "support/StandInTools.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Controller = InstallationController;

class InstallationRun : public ::testing::Test {
protected:
    InstallationRun() {
        writeTextFile(kubeconfig, "apiVersion: v1\nkind: Config\n");
        // The script runs until the test opens its gate, so a run stays open.
        tools.setTool(QStringLiteral("install.sh"), {},
                      QStringLiteral("while [ ! -e '%1' ]; do sleep 0.02; done").arg(scriptGate));
        state.setCurrentStep(InstallationStep::installation);
        state.setKubeconfigPath(kubeconfig);
    }
    ~InstallationRun() override { finishRun(); }

    // A held script would keep a pool thread from the next run.
    void finishRun() {
        controller.reset();
        writeTextFile(scriptGate, {});
        BackgroundJobs::waitForDone(std::chrono::milliseconds(30000));
        QFile::remove(scriptGate);
    }

    // Lines reach the session through chained posts; a slow (sanitized) pass must still see them.
    static void settle() {
        QTest::qWait(1);
        for (int round = 0; round < 4; ++round) {
            QCoreApplication::processEvents();
        }
    }
    void start(bool installDevtron = true) {
        state.setInstallDevtron(installDevtron);
        controller = std::make_unique<Controller>(state);
        controller->screenShown();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->isEngineBusy(); }, 20000));
        settle();
    }
    void ticks(int count) const {
        for (int i = 0; i < count; ++i) {
            controller->timerTick();
        }
    }

    StandInTools tools;
    QString kubeconfig = tools.scratchPath(QStringLiteral("kube config"));
    QString scriptGate = tools.scratchPath(QStringLiteral("script-gate"));
    InstallationState state;
    std::unique_ptr<Controller> controller;
};

TEST(InstallationFailureMessage, ComposedFromTheReasonAndCompletedFromTheLog) {
    using enum UiLanguage::Language;
    const QString log =
        QStringLiteral("[t] 开始\n[t] 错误: a\n\n[t] b 失败\n[t] 正常\n[t] !! c\n[t] 错误 d\n");
    const QString details = QStringLiteral("\n\n详细信息:\n[t] b 失败\n[t] !! c\n[t] 错误 d");
    const QString englishLog = QStringLiteral("[t] Start\n[t] Error: a\n\n[t] b failed\n[t] "
                                              "Normal\n[t] !! c\n[t] ERROR d\n");
    const QString englishDetails =
        QStringLiteral("\n\nDetails:\n[t] b failed\n[t] !! c\n[t] ERROR d");
    const QString longReason = QStringLiteral("集群没有响应请求并且等待很长时间之后仍然没有结果");
    const QString combining = QStringLiteral("e\u0301").repeated(13);
    const struct {
        UiLanguage::Language language;
        QString reason;
        QString logs;
        QString expected;
    } cases[] = {
        {chinese, QStringLiteral("脚本出错：超时"), {}, QStringLiteral("脚本出错：超时")},
        {chinese, QStringLiteral("exit: 1"), {}, QStringLiteral("exit: 1")},
        {chinese, QStringLiteral("安装失败了"), {}, QStringLiteral("安装失败了")},
        {chinese, QStringLiteral("网络不通"), {}, QStringLiteral("安装失败: 网络不通")},
        {chinese, QStringLiteral("未知错误"), log, QStringLiteral("安装失败: 未知错误") + details},
        {chinese, QStringLiteral("未知错误"), QStringLiteral("[t] 正常\n"),
         QStringLiteral("安装失败: 未知错误")},
        // 19 characters as seen, 32 UTF-16 units: still short.
        {chinese, combining, log, QStringLiteral("安装失败: ") + combining + details},
        {chinese, longReason, log, QStringLiteral("安装失败: ") + longReason},
        {english, QStringLiteral("Installation failed"), {}, QStringLiteral("Installation failed")},
        {english, QStringLiteral("Offline"), englishLog,
         QStringLiteral("Installation failed: Offline") + englishDetails},
        {english, QStringLiteral("exit: 1"), englishLog,
         QStringLiteral("exit: 1") + englishDetails},
    };
    for (const auto& c : cases) {
        const UiLanguage language(c.language);
        EXPECT_EQ(Controller::composeFailureMessage(c.reason, c.logs), c.expected)
            << c.reason.toStdString();
    }
    const UiLanguage translated(english);
    EXPECT_TRUE(Controller::composeFailureMessage(QStringLiteral("Environment setup failed: x"), {})
                    .startsWith(QStringLiteral("Environment setup failed: x\n\nPossible causes:")));
}

TEST_F(InstallationRun, TimersStartAfterTheEngineReturnsAndItsReportsFollowThem) {
    start();
    EXPECT_TRUE(controller->timer().isActive());
    // The engine reported 0.1 and 0.2 while it blocked; the first positive one ended the sweep.
    EXPECT_FALSE(controller->progressTimer().isActive());
    EXPECT_DOUBLE_EQ(state.installationProgress(), 0.2);

    controller->startProgressAnimation();
    controller->handleProgress(0.0);
    EXPECT_TRUE(controller->progressTimer().isActive());
    controller->handleProgress(0.4);
    EXPECT_FALSE(controller->progressTimer().isActive());
    EXPECT_DOUBLE_EQ(state.installationProgress(), 0.4);
}

TEST_F(InstallationRun, SweepTurnsAtItsEnds) {
    Controller sweep(state);
    const std::tuple<double, double, bool> steps[] = {{0.949, 0.95, false}, {0.102, 0.1, true}};
    for (const auto& [from, to, rising] : steps) {
        state.setInstallationProgress(from);
        sweep.progressTick();
        EXPECT_DOUBLE_EQ(state.installationProgress(), to);
        EXPECT_EQ(sweep.progressDirection(), rising) << from;
    }
}

TEST_F(InstallationRun, TimeOutAtTick420CancelsAndReturnsWithoutError) {
    start();
    ticks(419);
    EXPECT_TRUE(controller->timer().isActive());
    ticks(1);
    settle();
    EXPECT_FALSE(controller->timer().isActive());
    EXPECT_FALSE(state.installationComplete());
    EXPECT_TRUE(state.logs().contains(QStringLiteral("=== 安装超时 ===")));
    EXPECT_TRUE(state.logs().contains(QStringLiteral("安装已运行07:00，已超过预定时间")));
    // The engine's line takes two hops to the session: wait for it rather than for a time.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return state.logs().contains(QStringLiteral("安装进程取消请求已记录")); }, 10000));
    EXPECT_EQ(controller->pendingDelay(), Controller::timeoutReturnDelayMs);

    // Reports that come after the time-out belong to an abandoned run.
    controller->handleProgress(1.0);
    controller->handleCompletion(true, std::nullopt);
    EXPECT_FALSE(controller->isInstallationCompleted());
    controller->firePendingAction();
    settle();
    EXPECT_EQ(state.currentStep(), InstallationStep::devtronChoice);
    EXPECT_FALSE(state.isShowingError());
    EXPECT_FALSE(state.errorMessage().has_value());
}

TEST_F(InstallationRun, EachCompletionLeavesTheStepItsOwnWay) {
    const struct {
        bool success;
        std::optional<QString> message;
        std::optional<int> delay;
        std::optional<QString> error;
    } cases[] = {
        {true, {}, Controller::successAdvanceDelayMs, {}},
        {false, QStringLiteral("NO_ALERT:集群中已经安装了Devtron"), {}, {}},
        {false, QStringLiteral("脚本 NO_ALERT:x"), Controller::failureReturnDelayMs,
         QStringLiteral("脚本 NO_ALERT:x")},
        {false, {}, Controller::failureReturnDelayMs, QStringLiteral("安装失败: 未知错误")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.value_or(QStringLiteral("none")).toStdString());
        state.setCurrentStep(InstallationStep::installation);
        state.setErrorMessage(std::nullopt);
        finishRun();
        start();
        controller->handleCompletion(c.success, c.message);
        settle();
        EXPECT_EQ(controller->isInstallationCompleted(), c.success);
        EXPECT_EQ(controller->pendingDelay(), c.delay);
        EXPECT_EQ(state.currentStep() == InstallationStep::installation, c.delay.has_value());
        EXPECT_EQ(state.errorMessage().has_value(), c.error.has_value());
        EXPECT_TRUE(state.errorMessage().value_or("").startsWith(c.error.value_or("")));
        EXPECT_EQ(controller->timer().isActive(), c.success || !c.delay);
    }
}

TEST_F(InstallationRun, SuccessAdvancesOnceThoughNextIsPressedDuringTheWait) {
    start();
    controller->handleCompletion(true, std::nullopt);
    ticks(500);
    EXPECT_TRUE(controller->timer().isActive()) << "no time-out after success";
    controller->moveToNextStep();
    controller->firePendingAction();
    settle();
    settle();
    EXPECT_EQ(state.currentStep(), InstallationStep::waitingForServices);
}

TEST_F(InstallationRun, ReportsForAGoneControllerAreDropped) {
    tools.hold();
    state.setInstallDevtron(true);
    controller = std::make_unique<Controller>(state);
    controller->screenShown();
    controller.reset();
    tools.release();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return state.logs().contains(QStringLiteral("执行命令: ")); }, 20000))
        << "the engine's lines still reach the session log";
    settle();
    EXPECT_DOUBLE_EQ(state.installationProgress(), 0.1);
}

} // namespace
