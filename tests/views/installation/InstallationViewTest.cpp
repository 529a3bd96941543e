#include "views/installation/InstallationView.h"

#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "support/AccessibilityRecorder.h"
#include "support/ScreenTest.h"
#include "support/StandInTools.h"
#include "views/installation/InstallationController.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class InstallationScreen : public ::testing::Test, protected screen_test::Parts {
protected:
    void show(bool installDevtron, bool settle = true) {
        state.setCurrentStep(InstallationStep::installation);
        state.setInstallDevtron(installDevtron);
        writeTextFile(tools.scratchPath(QStringLiteral("config")), "kind: Config\n");
        state.setKubeconfigPath(tools.scratchPath(QStringLiteral("config")));
        view = std::make_unique<InstallationView>(state);
        view->show();
        if (settle) {
            ASSERT_TRUE(
                screen_test::eventually([&] { return !view->controller().isEngineBusy(); }));
            QCoreApplication::processEvents();
        }
    }
    ~InstallationScreen() override {
        view.reset();
        BackgroundJobs::waitForDone(std::chrono::milliseconds(30000));
    }

    const QWidget* screen() const override { return view.get(); }
    // Status text, spinner, done mark, warning, "下一步".
    QString statusRow() const {
        return text("status") + (shown("spinner") ? " spinner" : "") +
               (shown("doneIcon") ? " done" : "") + (shown("warning") ? " warning" : "") +
               (shown("nextButton") ? " next" : "");
    }

    StandInTools tools;
    InstallationState state;
    std::unique_ptr<InstallationView> view;
};

TEST_F(InstallationScreen, FailedRunKeepsTheSpinnerAndTheLogTakesOnlyNewLines) {
    tools.removeTool(QStringLiteral("kubectl"));
    show(false);
    EXPECT_TRUE(state.errorMessage().value_or("").startsWith(QStringLiteral("环境配置失败：")));
    EXPECT_EQ(text("title"), QStringLiteral("正在配置环境"));
    EXPECT_EQ(statusRow(), QStringLiteral("正在安装... spinner warning"));
    view->controller().timerTick();
    EXPECT_EQ(text("elapsed"), QStringLiteral("已运行: 00:01"));

    auto* log = child<QPlainTextEdit>("logArea");
    state.appendLog(QStringLiteral("新的一行\n第二行"));
    QCoreApplication::processEvents();
    EXPECT_EQ(log->toPlainText() + '\n', state.logs());

    const AccessibilityRecorder recorder;
    click("copyButton");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), log->toPlainText() + '\n');
    EXPECT_EQ(recorder.announcements(), QStringList{QStringLiteral("已复制")});
}

TEST_F(InstallationScreen, StatusTellsOfTheCheckForAnInstalledDevtronUntilTheRunStarts) {
    tools.setTool(QStringLiteral("install.sh"), {{}}, QStringLiteral("sleep 1.5"));
    tools.hold();
    show(true, false);
    EXPECT_TRUE(screen_test::eventually([&] {
        return statusRow() == QStringLiteral("正在检查集群中现有的Devtron... spinner warning");
    }));
    tools.release();
    ASSERT_TRUE(screen_test::eventually([&] { return !view->controller().isEngineBusy(); }));
    EXPECT_EQ(statusRow(), QStringLiteral("正在安装... spinner warning"));
}

} // namespace
