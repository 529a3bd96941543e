#include "views/waiting/WaitingForServicesController.h"
#include "session/InstallationState.h"
#include "support/StandInTools.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The session log's messages without their time stamps, once the posted lines have landed.
QStringList logMessages(const InstallationState& state) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    QStringList messages = state.logs().split('\n', Qt::SkipEmptyParts);
    for (QString& message : messages) {
        message.remove(0, QStringLiteral("[yyyy-MM-dd HH:mm:ss] ").size());
    }
    return messages;
}

class WaitStep : public ::testing::Test {
protected:
    WaitStep() {
        state.setCurrentStep(InstallationStep::waitingForServices);
        state.setInstallationComplete(false);
        renew();
    }
    // On a busy machine even the stand-in can take long to answer.
    void renew(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        controller = std::make_unique<WaitingForServicesController>(state);
        controller->setCommandTimeLimit(limit);
    }
    bool lookupsLogged(qsizetype count) {
        return QTest::qWaitFor(
            [&] {
                return logMessages(state).filter(QStringLiteral("Base64解码密码失败")).size() ==
                       count;
            },
            15000);
    }

    StandInTools tools;
    InstallationState state;
    std::unique_ptr<WaitingForServicesController> controller;
};

TEST_F(WaitStep, CountsDownInDecadesThenLooksUpOnce) {
    controller->start();
    EXPECT_TRUE(controller->isTimerRunning());
    for (int i = 0; i < 101; ++i) {
        controller->tick();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller->isComplete(); }, 15000));
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
    // Besides the readiness polls of the pods, one lookup of each value.
    EXPECT_EQ(tools.commandCalls().filter(QStringLiteral("devtron-")).size(), 2);
    EXPECT_TRUE(state.installationComplete());
}

TEST_F(WaitStep, LookupOutcomes) {
    const QString password = QStringLiteral("s3cr3t-密码");
    const QString encoded = QString::fromLatin1(password.toUtf8().toBase64());
    const QString describe = QStringLiteral("describe");
    const QString secret = QStringLiteral("get secret");
    const QString notFound =
        QStringLiteral("Error from server (NotFound): serviceexporters \"devtron-itf\" not found");
    struct Case {
        QList<Reply> replies;
        QString address;
        QString password;
        QStringList logged;
        WaitingForServicesController::Status status = WaitingForServicesController::Status::unread;
    };
    const Case cases[] = {
        {{{describe, QStringLiteral("Kind:\n  URL:  http://devtron.example.com/ \n")},
          {secret, encoded + '\n'}},
         QStringLiteral("http://devtron.example.com:22443/"),
         password,
         {QStringLiteral("获取Devtron服务地址: \"") + tools.path("kubectl") +
              QStringLiteral("\" describe serviceexporter devtron-itf -n devtroncd"),
          QStringLiteral(">> Kind:"), QStringLiteral("获取到编码密码: <已隐藏, 20 字符>"),
          QStringLiteral(
              "成功获取Devtron凭证，URL: http://devtron.example.com:22443/, 用户名: admin"),
          QStringLiteral("服务启动完成，可以进入下一步")},
         WaitingForServicesController::Status::complete},
        {{{describe, {}, notFound, 1}, {secret, {}}},
         {},
         {},
         {QStringLiteral("获取URL命令执行失败，退出代码: 1"),
          QStringLiteral("获取密码命令执行失败，退出代码: 0"),
          QStringLiteral("无法读取Devtron地址: ") + notFound,
          QStringLiteral("无法读取Devtron密码: devtron-secret中没有ADMIN_PASSWORD"),
          QStringLiteral("未能获取完整的Devtron凭证，可在下一步重新读取")}},
        {{{describe, QStringLiteral("Name: devtron-itf\n")}, {secret, QStringLiteral("%%%\n")}},
         {},
         {},
         {QStringLiteral("无法读取Devtron地址: 输出中没有Devtron地址"),
          QStringLiteral("无法读取Devtron密码: ADMIN_PASSWORD不是有效的Base64文本")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address.toStdString() + c.logged.last().toStdString());
        tools.setTool(QStringLiteral("kubectl"), c.replies);
        renew();
        const qsizetype before = logMessages(state).size();
        controller->retrieveDevtronCredentials();
        ASSERT_TRUE(QTest::qWaitFor([&] { return controller->isComplete(); }, 15000));
        EXPECT_EQ(state.devtronUrl(), c.address);
        EXPECT_EQ(state.devtronPassword(), c.password);
        EXPECT_EQ(controller->status(), c.status);
        const QStringList messages = logMessages(state).mid(before);
        // A failure is never reported as success.
        EXPECT_EQ(messages.filter(QStringLiteral("成功获取Devtron凭证")).isEmpty(),
                  c.status != WaitingForServicesController::Status::complete);
        for (const QString& line : c.logged) {
            EXPECT_TRUE(messages.contains(line)) << line.toStdString();
        }
        EXPECT_FALSE(messages.join('\n').contains(password));
        EXPECT_FALSE(messages.join('\n').contains(encoded));
    }
}

TEST_F(WaitStep, LateAnswersChangeNothing) {
    tools.setTool(QStringLiteral("kubectl"), {{{}, QStringLiteral("URL: http://a.example.com\n")}});
    tools.hold();
    controller->retrieveDevtronCredentials();
    controller.reset();
    tools.release();
    ASSERT_TRUE(lookupsLogged(1));
    EXPECT_TRUE(state.devtronUrl().isEmpty());

    renew();
    tools.hold();
    controller->retrieveDevtronCredentials();
    state.setCurrentStep(InstallationStep::completion);
    tools.release();
    ASSERT_TRUE(lookupsLogged(2));
    EXPECT_TRUE(state.devtronUrl().isEmpty());
    EXPECT_FALSE(state.installationComplete());
    EXPECT_FALSE(controller->isComplete());
}

} // namespace
