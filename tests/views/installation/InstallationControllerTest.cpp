#include "views/installation/InstallationController.h"

#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/UiLanguage.h"
#include "support/StandInTools.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Controller = InstallationController;

class InstallationRun : public ::testing::Test {
protected:
    InstallationRun() {
        writeTextFile(kubeconfig, "apiVersion: v1\nkind: Config\n");
        // The script runs until the test opens its gate, so a run stays open.
        tools.setTool(u"install.sh"_s, {},
                      u"while [ ! -e '%1' ]; do sleep 0.02; done"_s.arg(scriptGate));
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
    QString kubeconfig = tools.scratchPath(u"kube config"_s);
    QString scriptGate = tools.scratchPath(u"script-gate"_s);
    InstallationState state;
    std::unique_ptr<Controller> controller;
};

TEST(InstallationFailureMessage, ComposedFromTheReasonAndCompletedFromTheLog) {
    using enum UiLanguage::Language;
    const QString log = u"[t] 开始\n[t] 错误: a\n\n[t] b 失败\n[t] 正常\n[t] !! c\n[t] 错误 d\n"_s;
    const QString details = u"\n\n详细信息:\n[t] b 失败\n[t] !! c\n[t] 错误 d"_s;
    const QString englishLog = u"[t] Start\n[t] Error: a\n\n[t] b failed\n[t] "
                               "Normal\n[t] !! c\n[t] ERROR d\n"_s;
    const QString englishDetails = u"\n\nDetails:\n[t] b failed\n[t] !! c\n[t] ERROR d"_s;
    const QString longReason = u"集群没有响应请求并且等待很长时间之后仍然没有结果"_s;
    const QString combining = u"e\u0301"_s.repeated(13);
    const struct {
        UiLanguage::Language language;
        QString reason;
        QString logs;
        QString expected;
    } cases[] = {
        {chinese, u"脚本出错：超时"_s, {}, u"脚本出错：超时"_s},
        {chinese, u"exit: 1"_s, {}, u"exit: 1"_s},
        {chinese, u"安装失败了"_s, {}, u"安装失败了"_s},
        {chinese, u"网络不通"_s, {}, u"安装失败: 网络不通"_s},
        {chinese, u"未知错误"_s, log, u"安装失败: 未知错误"_s + details},
        {chinese, u"未知错误"_s, u"[t] 正常\n"_s, u"安装失败: 未知错误"_s},
        // 19 characters as seen, 32 UTF-16 units: still short.
        {chinese, combining, log, u"安装失败: "_s + combining + details},
        {chinese, longReason, log, u"安装失败: "_s + longReason},
        {english, u"Installation failed"_s, {}, u"Installation failed"_s},
        {english, u"Offline"_s, englishLog, u"Installation failed: Offline"_s + englishDetails},
        {english, u"exit: 1"_s, englishLog, u"exit: 1"_s + englishDetails},
    };
    for (const auto& c : cases) {
        const UiLanguage language(c.language);
        EXPECT_EQ(Controller::composeFailureMessage(c.reason, c.logs), c.expected)
            << c.reason.toStdString();
    }
    const UiLanguage translated(english);
    EXPECT_TRUE(Controller::composeFailureMessage(u"Environment setup failed: x"_s, {})
                    .startsWith(u"Environment setup failed: x\n\nPossible causes:"_s));
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
    EXPECT_TRUE(state.logs().contains(u"=== 安装超时 ==="_s));
    EXPECT_TRUE(state.logs().contains(u"安装已运行07:00，已超过预定时间"_s));
    // The engine's line takes two hops to the session: wait for it rather than for a time.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return state.logs().contains(u"安装进程取消请求已记录"_s); }, 10000));
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
        {false, u"NO_ALERT:集群中已经安装了Devtron"_s, {}, {}},
        {false, u"脚本 NO_ALERT:x"_s, Controller::failureReturnDelayMs, u"脚本 NO_ALERT:x"_s},
        {false, {}, Controller::failureReturnDelayMs, u"安装失败: 未知错误"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.value_or(u"none"_s).toStdString());
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.logs().contains(u"执行命令: "_s); }, 20000))
        << "the engine's lines still reach the session log";
    settle();
    EXPECT_DOUBLE_EQ(state.installationProgress(), 0.1);
}

} // namespace
