#include "FakeKubectl.h"

#include "session/InstallationState.h"
#include "views/ConfigItemRow.h"
#include "views/DevtronChoiceView.h"
#include "views/FeatureRow.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ChoiceScreen : public ::testing::Test {
protected:
    ChoiceScreen() {
        state.setCurrentStep(InstallationStep::devtronChoice);
        state.setKubeconfigPath(QStringLiteral("/tmp/admin.conf"));
        view->show();
    }

    template <typename T> T* child(const char* name) const {
        return view->findChild<T*>(QString::fromLatin1(name));
    }
    bool shown(const char* name) const { return child<QWidget>(name)->isVisibleTo(view.get()); }
    QMessageBox* alert() const { return child<QMessageBox>("testFailAlert"); }
    bool alertShown() const { return alert() != nullptr && alert()->isVisible(); }
    void clickAlertButton(const QString& text) const {
        for (QAbstractButton* button : alert()->buttons()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        FAIL() << "no alert button " << text.toStdString();
    }
    void pressNext() const { QTest::mouseClick(child<QPushButton>("nextButton"), Qt::LeftButton); }
    bool waitUntilIdle() const {
        return QTest::qWaitFor([&] { return !view->connectionTest().isTesting(); }, 15000);
    }

    FakeKubectl kubectl;
    InstallationState state;
    std::unique_ptr<DevtronChoiceView> view = std::make_unique<DevtronChoiceView>(state);
};

TEST_F(ChoiceScreen, ListsTheFeaturesAndTheToolsWithTheirMarks) {
    QStringList features;
    for (const FeatureRow* row : child<QWidget>("featureBox")->findChildren<FeatureRow*>()) {
        features << row->icon() + ' ' + row->text();
    }
    EXPECT_EQ(features, (QStringList{QStringLiteral("cube.box.fill 一键部署镜像文件"),
                                     QStringLiteral("chart.xyaxis.line 完整的应用监控和可观测性"),
                                     QStringLiteral("gearshape.2 简化的Kubernetes配置管理")}));

    // The two bundled tools carry letter badges, the kubeconfig row a symbol.
    QStringList tools;
    for (const ConfigItemRow* row : child<QWidget>("toolsBox")->findChildren<ConfigItemRow*>()) {
        const auto* badge = row->findChild<QLabel*>(QStringLiteral("badge"));
        tools << (badge ? badge->text() : row->icon()) + ' ' + row->text();
    }
    EXPECT_EQ(tools, (QStringList{QStringLiteral("H Helm"), QStringLiteral("K Kubectl"),
                                  QStringLiteral("doc.fill Kubeconfig (~/.kube/config)")}));
    EXPECT_FALSE(shown("progressRow"));
}

TEST_F(ChoiceScreen, SwitchAndSessionChoiceFollowEachOther) {
    auto* toggle = child<QCheckBox>("installDevtronSwitch");
    EXPECT_EQ(toggle->text(), QStringLiteral("安装Devtron平台"));
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(shown("featureBox"));

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(state.installDevtron());
    EXPECT_FALSE(shown("featureBox"));
    EXPECT_TRUE(shown("toolsBox"));

    state.setInstallDevtron(true);
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(shown("featureBox"));
}

TEST_F(ChoiceScreen, RunningTestLocksNextAndFailuresRaiseTheAlert) {
    kubectl.hold();
    const KubectlFault unauthorized = kubectlFault(QStringLiteral("unauthorized-cached"));
    kubectl.setNamespaces(unauthorized.exitStatus, {}, unauthorized.error);
    pressNext();
    EXPECT_TRUE(shown("progressRow"));
    EXPECT_FALSE(child<QPushButton>("nextButton")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("backButton")->isEnabled());

    kubectl.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return alertShown(); }, 15000));
    EXPECT_FALSE(shown("progressRow"));
    EXPECT_TRUE(child<QPushButton>("nextButton")->isEnabled());
    EXPECT_EQ(alert()->text(), QStringLiteral("集群连接测试失败"));
    const QString first = alert()->informativeText();
    EXPECT_TRUE(
        first.startsWith(QStringLiteral("连接Kubernetes集群失败。\n\n错误详情:\n授权失败。")))
        << first.toStdString();

    clickAlertButton(QStringLiteral("我知道了"));
    EXPECT_FALSE(alertShown());
    EXPECT_FALSE(view->connectionTest().showTestFailAlert());
    EXPECT_EQ(state.currentStep(), InstallationStep::devtronChoice);

    // A second failure shows the alert again, with the new text.
    kubectl.setNamespaces(1, {}, {});
    pressNext();
    ASSERT_TRUE(QTest::qWaitFor([&] { return alertShown(); }, 15000));
    EXPECT_TRUE(
        alert()->informativeText().contains(QStringLiteral("错误详情:\n无法连接到Kubernetes集群")));
    EXPECT_NE(alert()->informativeText(), first);

    clickAlertButton(QStringLiteral("返回上一步"));
    EXPECT_FALSE(alertShown());
    EXPECT_FALSE(view->connectionTest().showTestFailAlert());
    EXPECT_EQ(state.currentStep(), InstallationStep::kubeconfigSelection);
}

TEST_F(ChoiceScreen, SuccessLogsTheChoiceAndMovesOn) {
    QTest::mouseClick(child<QCheckBox>("installDevtronSwitch"), Qt::LeftButton);
    pressNext();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return state.currentStep() == InstallationStep::installation; }, 15000));
    EXPECT_FALSE(alertShown());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return state.logs().contains(QStringLiteral("环境配置将在安装步骤中完成 ✓")); },
        15000));
    EXPECT_TRUE(state.logs().contains(QStringLiteral("] 用户选择不安装Devtron ✓\n")));
    EXPECT_TRUE(state.isInstalling());

    // Shown again later, the screen asks for a new test.
    EXPECT_EQ(view->connectionTest().testResult(), DevtronChoiceView::TestResult::success());
    view->hide();
    view->show();
    EXPECT_FALSE(view->connectionTest().testResult().has_value());
}

TEST_F(ChoiceScreen, BackButtonReturnsToTheKubeconfigStep) {
    QTest::mouseClick(child<QPushButton>("backButton"), Qt::LeftButton);
    EXPECT_EQ(state.currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_EQ(child<QPushButton>("backButton")->text(), QStringLiteral("上一步"));
    EXPECT_EQ(child<QPushButton>("nextButton")->text(), QStringLiteral("下一步"));
}

TEST_F(ChoiceScreen, ClosingTheScreenDuringATestIsSafe) {
    kubectl.hold();
    pressNext();
    view.reset();
    kubectl.release();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return state.logs().contains(QStringLiteral("集群连接测试成功 ✓")); }, 15000));
    EXPECT_EQ(state.currentStep(), InstallationStep::devtronChoice);
}

} // namespace
