#include "WaitingTestSupport.h"

#include "session/InstallationState.h"
#include "support/StandInTools.h"
#include "views/waiting/WaitingForServicesController.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString describeArguments = QStringLiteral("describe serviceexporter");
const QString secretArguments = QStringLiteral("get secret");

class WaitStep : public ::testing::Test {
protected:
    WaitStep() {
        state.setCurrentStep(InstallationStep::waitingForServices);
        state.setKubeconfigPath(QStringLiteral("/tmp/admin.conf"));
        state.setInstallationComplete(false);
        controller->setCommandTimeLimit(std::chrono::milliseconds(300));
    }

    // The last line a lookup logs has landed; its outcome was handed back before it.
    bool lookupsEnded(qsizetype count) {
        return QTest::qWaitFor(
            [&] {
                return logMessages(state).filter(QStringLiteral("使用默认密码: ")).size() == count;
            },
            15000);
    }

    bool waitForLookup() {
        return QTest::qWaitFor([&] { return !controller->isRetrievingCredentials(); }, 15000);
    }

    StandInTools tools;
    InstallationState state;
    std::unique_ptr<WaitingForServicesController> controller =
        std::make_unique<WaitingForServicesController>(state);
};

TEST_F(WaitStep, CountsDownInDecadesThenLooksUpOnce) {
    controller->start();
    EXPECT_TRUE(controller->isTimerRunning());
    for (int i = 0; i < 101; ++i) {
        controller->tick();
    }
    EXPECT_EQ(controller->remainingTime(), 0);
    ASSERT_TRUE(waitForLookup());
    QStringList expected{QStringLiteral("开始等待服务就绪阶段"),
                         QStringLiteral("等待Devtron服务启动，倒计时: 100秒"),
                         QStringLiteral("停止等待计时器")};
    for (int left = 90; left >= 0; left -= 10) {
        expected << QStringLiteral("等待中... 剩余%1秒").arg(left);
    }
    expected << QStringLiteral("等待时间结束，开始检索Devtron凭证")
             << QStringLiteral("正在获取Devtron凭证...");
    const QStringList messages = logMessages(state);
    EXPECT_EQ(messages.mid(messages.indexOf(expected.first()), expected.size()), expected);
    EXPECT_EQ(tools.commandCalls().size(), 2);
    EXPECT_TRUE(controller->isComplete());
    EXPECT_TRUE(state.installationComplete());
}

TEST_F(WaitStep, LookupOutcomes) {
    const QString password = QStringLiteral("s3cr3t-密码");
    const QString encoded = QString::fromLatin1(password.toUtf8().toBase64());
    struct Case {
        const char* name;
        QList<Reply> replies;
        bool held;
        QString address;
        QString password;
        QStringList logged;
    };
    const Case cases[] = {
        {"found",
         {{describeArguments, QStringLiteral("Spec:\n  URL:  http://devtron.example.com/ \n")},
          {secretArguments, encoded + '\n'}},
         false,
         QStringLiteral("http://devtron.example.com:22443/"),
         password,
         {QStringLiteral("执行Kubernetes命令获取Devtron信息"),
          QStringLiteral("获取Devtron服务地址: ") + '"' + tools.path("kubectl") +
              QStringLiteral("\" describe serviceexporter devtron-itf -n devtroncd"),
          QStringLiteral("命令执行成功，正在解析输出..."), QStringLiteral("输出内容长度: 43字节"),
          QStringLiteral("完整输出:"), QStringLiteral(">> Spec:"),
          QStringLiteral("添加端口号到URL: http://devtron.example.com:22443/"),
          QStringLiteral("获取到编码密码: <已隐藏, 20 字符>"), QStringLiteral("Base64解码密码成功"),
          QStringLiteral(
              "成功获取Devtron凭证，URL: http://devtron.example.com:22443/, 用户名: admin"),
          QStringLiteral("服务启动完成，可以进入下一步")}},
        {"failed and empty",
         {{describeArguments, {}, QStringLiteral("forbidden"), 1}, {secretArguments, {}}},
         false,
         QStringLiteral("http://localhost:8080"),
         QStringLiteral("kelvo"),
         {QStringLiteral("获取URL命令执行失败，退出代码: 1"), QStringLiteral("错误输出: forbidden"),
          QStringLiteral("未找到Devtron URL，使用默认值: http://localhost:8080"),
          QStringLiteral("获取密码命令执行失败，退出代码: 0"),
          QStringLiteral("使用默认密码: kelvo")}},
        {"undecodable",
         {{describeArguments, QStringLiteral("Name: devtron-itf\n")},
          {secretArguments, QStringLiteral("bm90 base64")}},
         false,
         QStringLiteral("http://localhost:8080"),
         QStringLiteral("kelvo"),
         {QStringLiteral("未找到Devtron URL，使用默认值: http://localhost:8080"),
          QStringLiteral("Base64解码密码失败，使用默认密码")}},
        {"never answers",
         {},
         true,
         QStringLiteral("http://localhost:8080"),
         QStringLiteral("kelvo"),
         {QStringLiteral("获取URL命令执行失败，退出代码: 124"),
          QStringLiteral("获取密码命令执行失败，退出代码: 124"),
          QStringLiteral("使用默认密码: kelvo")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tools.setTool(QStringLiteral("kubectl"), c.replies);
        if (c.held) {
            tools.hold();
        }
        controller = std::make_unique<WaitingForServicesController>(state);
        controller->setCommandTimeLimit(std::chrono::milliseconds(300));
        const qsizetype before = logMessages(state).size();
        controller->retrieveDevtronCredentials();
        ASSERT_TRUE(waitForLookup());
        tools.release();
        EXPECT_EQ(state.devtronUrl(), c.address);
        EXPECT_EQ(state.devtronPassword(), c.password);
        const QStringList messages = logMessages(state).mid(before);
        EXPECT_TRUE(containsInOrder(messages, c.logged)) << messages.join('\n').toStdString();
        EXPECT_FALSE(messages.join('\n').contains(password));
        EXPECT_FALSE(messages.join('\n').contains(encoded));
        EXPECT_TRUE(controller->isComplete());
    }
}

TEST_F(WaitStep, LateAnswersChangeNothing) {
    tools.setTool(QStringLiteral("kubectl"),
                  {{describeArguments, QStringLiteral("URL: http://devtron.example.com\n")}});
    // Gone with the screen.
    tools.hold();
    controller->retrieveDevtronCredentials();
    controller.reset();
    tools.release();
    ASSERT_TRUE(lookupsEnded(1));
    EXPECT_TRUE(state.devtronUrl().isEmpty());

    // The user left the step.
    controller = std::make_unique<WaitingForServicesController>(state);
    tools.hold();
    controller->retrieveDevtronCredentials();
    state.setCurrentStep(InstallationStep::completion);
    tools.release();
    ASSERT_TRUE(lookupsEnded(2));
    EXPECT_TRUE(state.devtronUrl().isEmpty());
    EXPECT_FALSE(state.installationComplete());
    EXPECT_FALSE(controller->isComplete());
}

TEST_F(WaitStep, ConfigureOnlySkipsAndMovesOnOnce) {
    state.setInstallDevtron(false);
    controller->start();
    EXPECT_FALSE(controller->isTimerRunning());
    controller->firePendingSkip();
    controller->moveToNextStep();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return state.currentStep() == InstallationStep::completion; }, 1000));
    QTest::qWait(20);
    EXPECT_EQ(state.currentStep(), InstallationStep::completion);
    EXPECT_TRUE(state.installationComplete());
    EXPECT_TRUE(
        containsInOrder(logMessages(state), {QStringLiteral("开始等待服务就绪阶段"),
                                             QStringLiteral("跳过等待阶段（未安装Devtron）"),
                                             QStringLiteral("进入步骤: 安装完成")}));
    EXPECT_TRUE(tools.commandCalls().isEmpty());
}

} // namespace
