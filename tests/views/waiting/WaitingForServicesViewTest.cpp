#include "views/waiting/WaitingForServicesView.h"
#include "session/InstallationState.h"
#include "shell/UiLanguage.h"
#include "support/AccessibilityRecorder.h"
#include "support/ScreenTest.h"
#include "support/StandInTools.h"
#include "views/common/ProgressBar.h"
#include "views/waiting/WaitingForServicesController.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class WaitScreen : public ::testing::Test, protected screen_test::Parts {
protected:
    void open(bool installDevtron) {
        state.setCurrentStep(InstallationStep::waitingForServices);
        state.setInstallDevtron(installDevtron);
        state.setInstallationComplete(false);
        view = std::make_unique<WaitingForServicesView>(state);
        view->show();
    }
    const QWidget* screen() const override { return view.get(); }
    void countDown(int seconds) const {
        for (int i = 0; i < seconds; ++i) {
            view->controller().tick();
        }
    }

    StandInTools tools;
    InstallationState state;
    std::unique_ptr<WaitingForServicesView> view;
};

TEST_F(WaitScreen, CountdownThenLookupThenWhatWasNotReadThenTheWayOn) {
    const AccessibilityRecorder recorder;
    open(true);
    EXPECT_TRUE(view->controller().isTimerRunning());
    tools.setTool(QStringLiteral("kubectl"),
                  {{QStringLiteral("describe"), QStringLiteral("URL: http://d.example\n")},
                   {QStringLiteral("get secret"), {}, QStringLiteral("NotFound"), 1}});
    tools.hold();
    countDown(30);
    EXPECT_EQ(text("countdownLabel"), QStringLiteral("剩余等待时间: 70秒"));
    EXPECT_DOUBLE_EQ(child<ProgressBar>("waitProgressBar")->progress(), 0.3);
    EXPECT_FALSE(shown("nextButton"));
    // The countdown speaks every ten seconds, the wait bar tells its value.
    EXPECT_EQ(recorder.announcements(),
              (QStringList{"剩余等待时间: 90秒", "剩余等待时间: 80秒", "剩余等待时间: 70秒"}));
    QAccessibleInterface* bar =
        QAccessible::queryAccessibleInterface(child<ProgressBar>("waitProgressBar"));
    EXPECT_EQ(bar->valueInterface()->currentValue(), QVariant(30));
    countDown(70);
    EXPECT_FALSE(shown("countdownRow"));
    EXPECT_TRUE(shown("retrievingRow"));
    EXPECT_EQ(recorder.announcements().last(), QStringLiteral("正在获取Devtron凭证..."));
    tools.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->controller().isComplete(); }, 15000));
    EXPECT_FALSE(shown("retrievingRow"));
    EXPECT_FALSE(shown("readyRow"));
    EXPECT_TRUE(shown("unreadRow"));
    EXPECT_EQ(text("unreadLabel"), QStringLiteral("无法读取Devtron密码: NotFound"));
    EXPECT_EQ(text("devtronStatusLabel"),
              QStringLiteral("点击「下一步」查看已读取的信息，未读取的可在那里重新读取"));
    EXPECT_FALSE(shown("footerLabel"));
    EXPECT_EQ(recorder.announcements().count(QStringLiteral("正在获取Devtron凭证...")), 1);
    EXPECT_EQ(recorder.announcements().last(), QStringLiteral("无法读取Devtron密码: NotFound"));
    EXPECT_EQ(view->focusWidget(), child<QPushButton>("nextButton"));
    click("nextButton");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return state.currentStep() == InstallationStep::completion; }, 1000));
}

TEST_F(WaitScreen, ConfigureOnlyMovesOnByItself) {
    open(false);
    EXPECT_EQ(text("subtitleLabel"), QStringLiteral("正在完成环境配置..."));
    EXPECT_FALSE(shown("devtronBox"));
    view->controller().firePendingSkip();
    // A press on the way on, before the step has changed, must not advance a second time.
    view->controller().moveToNextStep();
    QTest::qWait(20);
    EXPECT_EQ(state.currentStep(), InstallationStep::completion);
    EXPECT_TRUE(state.installationComplete());
}

TEST_F(WaitScreen, SpeaksTheLanguageChosenBeforeItIsBuilt) {
    const UiLanguage english(UiLanguage::Language::english);
    open(false);
    EXPECT_EQ(text("subtitleLabel"), QStringLiteral("Finishing the environment setup..."));
    const QString skipped = QStringLiteral("Skipping the wait (Devtron not installed)");
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.logs().contains(skipped); }, 1000));
}

} // namespace
