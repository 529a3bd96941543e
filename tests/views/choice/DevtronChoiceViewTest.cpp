#include "support/AccessibilityRecorder.h"
#include "support/ScreenTest.h"
#include "support/StandInTools.h"

#include "session/InstallationState.h"
#include "views/choice/DevtronChoiceView.h"
#include "views/common/AlertDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace screen_test;

namespace {

class ChoiceScreen : public ::testing::Test, protected Parts {
protected:
    ChoiceScreen() {
        m_state.setCurrentStep(InstallationStep::devtronChoice);
        m_state.setKubeconfigPath(QStringLiteral("/tmp/admin.conf"));
        m_view.show();
        // Alerts are answered here instead of being shown.
        AlertDialog::setPresenter([this](const AlertDialog::Alert& alert) {
            m_alerts.append(alert.informativeText);
            m_buttons = alert.buttons;
            return m_answer;
        });
    }
    ~ChoiceScreen() override { AlertDialog::setPresenter({}); }

    const QWidget* screen() const override { return &m_view; }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }

    StandInTools m_tools;
    InstallationState m_state;
    DevtronChoiceView m_view{m_state};
    QStringList m_alerts;
    QStringList m_buttons;
    int m_answer = 0;
};

TEST_F(ChoiceScreen, SwitchFollowsTheChoiceAndHidesTheFeaturesAndTheVariants) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
    auto* toggle = child<QCheckBox>("installDevtronSwitch");
    // Each choice by keyboard alone: Tab into a group, an arrow to the next choice in it. A reader
    // hears each button's name as it gets the focus.
    toggle->setFocus();
    const AccessibilityRecorder recorder;
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Left, Qt::Key_Tab, Qt::Key_Right}) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    EXPECT_EQ(m_state.devtronVariant(), DevtronVariant::minimal);
    EXPECT_EQ(m_state.manifestSource(), ManifestSource::gitee);
    EXPECT_EQ(recorder.focused(), (QStringList{QStringLiteral("CI/CD（2核/6 GB）"),
                                               QStringLiteral("最小安装（1核/1 GB）"),
                                               QStringLiteral("GitHub"), QStringLiteral("Gitee")}));
    EXPECT_TRUE(
        eventually([&] { return m_state.logs().contains(QStringLiteral("选择安装来源: Gitee")); }));

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(m_state.installDevtron());
    EXPECT_FALSE(shown("featureBox"));
    EXPECT_FALSE(shown("choicesBox"));
    m_state.setInstallDevtron(true);
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(shown("featureBox"));
    EXPECT_TRUE(shown("choicesBox"));
}

TEST_F(ChoiceScreen, RunningTestLocksNextAndAFailureAlertCanLeadBack) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
    button("nextButton")->setFocus();
    const AccessibilityRecorder recorder;
    m_tools.setTool(QStringLiteral("kubectl"),
                    {Reply(QStringLiteral("get"), {}, QStringLiteral("boom"), 1)});
    m_tools.hold();
    QTest::keyClick(button("nextButton"), Qt::Key_Space);
    EXPECT_TRUE(shown("progressRow"));
    EXPECT_EQ(recorder.announcements(), QStringList{QStringLiteral("正在测试集群连接...")});
    EXPECT_FALSE(button("nextButton")->isEnabled());
    // The focus waits on the running status, which a reader speaks as it changes, and not on
    // the switch, where Space would change the choice.
    EXPECT_EQ(m_view.focusWidget(), child("testingStatus"));
    EXPECT_EQ(recorder.focused().constLast(), QStringLiteral("正在测试集群连接..."));
    EXPECT_TRUE(button("backButton")->isEnabled());
    m_tools.release();
    ASSERT_TRUE(eventually([&] { return m_alerts.size() == 1; }));
    EXPECT_EQ(m_alerts.constFirst(),
              DevtronChoiceController::formatErrorMessageForAlert(QStringLiteral("boom")));
    EXPECT_TRUE(eventually([&] { return button("nextButton")->isEnabled(); }));
    EXPECT_FALSE(shown("progressRow"));
    EXPECT_EQ(m_view.focusWidget(), button("nextButton"));
    ASSERT_TRUE(eventually([&] { return !m_view.controller().showTestFailAlert(); }));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::devtronChoice);

    // A second failure alerts again; "返回上一步" leaves the step.
    m_answer = 1;
    click("nextButton");
    ASSERT_TRUE(
        eventually([&] { return m_state.currentStep() == InstallationStep::kubeconfigSelection; }));
    EXPECT_EQ(m_alerts.size(), 2);
}

TEST_F(ChoiceScreen, ADeployedDevtronIsToldWithHowToReadOrRemoveItAndStays) {
    m_tools.setTool(
        QStringLiteral("helm"),
        {{QStringLiteral("history"), QStringLiteral(R"([{"revision":1,"status":"deployed"}])")},
         {QStringLiteral("version"), QStringLiteral("v3")}});
    QSignalSpy removal(&m_view.controller(), &DevtronChoiceController::removalRequested);
    m_answer = 2;
    click("nextButton");
    ASSERT_TRUE(eventually([&] { return m_alerts.size() == 1; }));
    EXPECT_EQ(m_alerts.constFirst().section(u'\n', -1),
              QStringLiteral("kubeconfig有读取权限时，也可以直接从集群读取访问信息。"));
    EXPECT_EQ(m_buttons, (QStringList{QStringLiteral("确定"), QStringLiteral("读取访问信息"),
                                      QStringLiteral("卸载Devtron")}));
    EXPECT_TRUE(eventually([&] { return removal.count() == 1; }));
    EXPECT_TRUE(eventually([&] { return button("nextButton")->isEnabled(); }));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::devtronChoice);
}

TEST_F(ChoiceScreen, ABrokenReleaseItemIsReachedByTabAndClearsOnlyAfterYes) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
    m_tools.setTool(QStringLiteral("helm"),
                    {{QStringLiteral("history"),
                      QStringLiteral(R"([{"revision":2,"status":"pending-install"}])")}});
    click("nextButton");
    ASSERT_TRUE(eventually([&] { return button("nextButton")->isEnabled(); }));
    child<QCheckBox>("installDevtronSwitch")->setFocus();
    // Past the chosen variant and source.
    for (int tab = 0; tab < 3; ++tab) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QPushButton* repair = button("repairButton");
    ASSERT_EQ(QApplication::focusWidget(), repair);
    EXPECT_EQ(repair->accessibleName(), QStringLiteral("清理后重新安装"));
    const QString uninstall =
        QStringLiteral("helm uninstall devtron -n devtroncd --wait --timeout 5m");
    QTest::keyClick(repair, Qt::Key_Space);
    ASSERT_TRUE(
        eventually([&] { return logged(m_state, QStringLiteral("用户取消了清理Devtron发布")); }));
    EXPECT_TRUE(m_alerts.last().contains(uninstall)) << m_alerts.last().toStdString();
    EXPECT_EQ(m_buttons, (QStringList{QStringLiteral("取消"), QStringLiteral("清理")}));
    EXPECT_FALSE(m_tools.commandCalls().contains(uninstall));
    m_answer = 1;
    QTest::keyClick(repair, Qt::Key_Space);
    EXPECT_TRUE(eventually([&] { return m_tools.commandCalls().contains(uninstall); }));
}

TEST_F(ChoiceScreen, SuccessMovesOnAndBackGoesBack) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
    button("nextButton")->setFocus();
    const AccessibilityRecorder recorder;
    QTest::keyClick(button("nextButton"), Qt::Key_Return);
    ASSERT_TRUE(
        eventually([&] { return m_state.currentStep() == InstallationStep::installation; }));
    // The status line keeps the focus from the test through the pre-flight check, and speaks both.
    EXPECT_EQ(recorder.focused().first(2),
              (QStringList{QStringLiteral("正在测试集群连接..."), QStringLiteral("下一步")}));
    EXPECT_EQ(recorder.announcements(), (QStringList{QStringLiteral("正在测试集群连接..."),
                                                     QStringLiteral("正在进行安装前检查...")}));
    EXPECT_TRUE(m_alerts.isEmpty());
    // Shown again later, the screen asks for a new test.
    m_view.hide();
    m_view.show();
    EXPECT_FALSE(m_view.controller().testResult().has_value());

    m_state.setCurrentStep(InstallationStep::devtronChoice);
    click("backButton");
    EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
}

} // namespace
