#include "views/waiting/WaitingForServicesController.h"
#include "session/InstallationState.h"
#include "support/StandInTools.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The session log's messages without their time stamps, once the posted lines have landed.
QStringList logMessages(const InstallationState& state) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    QStringList messages = state.logs().split('\n', Qt::SkipEmptyParts);
    for (QString& message : messages) {
        message.remove(0, u"[yyyy-MM-dd HH:mm:ss] "_s.size());
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
            [&] { return logMessages(state).filter(u"Base64解码密码失败"_s).size() == count; },
            15000);
    }

    StandInTools tools;
    InstallationState state;
    std::unique_ptr<WaitingForServicesController> controller;
};

TEST_F(WaitStep, CountsDownThenLooksUpOnce) {
    controller->start();
    EXPECT_TRUE(controller->isTimerRunning());
    for (int i = 0; i < 101; ++i) {
        controller->tick();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller->isComplete(); }, 15000));
    // Besides the readiness polls of the pods, one lookup of each value.
    EXPECT_EQ(tools.commandCalls().filter(u"devtron-"_s).size(), 2);
    EXPECT_TRUE(state.installationComplete());
}

TEST_F(WaitStep, LookupOutcomes) {
    const QString password = u"s3cr3t-密码"_s;
    const QString encoded = QString::fromLatin1(password.toUtf8().toBase64());
    const QString describe = u"describe"_s;
    const QString secret = u"get secret"_s;
    const QString notFound =
        u"Error from server (NotFound): serviceexporters \"devtron-itf\" not found"_s;
    struct Case {
        QList<Reply> replies;
        QString address;
        QString password;
        QStringList logged;
        WaitingForServicesController::Status status = WaitingForServicesController::Status::unread;
    };
    const Case cases[] = {
        {{{describe, u"Kind:\n  URL:  http://devtron.example.com/ \n"_s}, {secret, encoded + '\n'}},
         u"http://devtron.example.com:22443/"_s,
         password,
         {u"获取Devtron服务地址: \""_s + tools.path("kubectl") +
              u"\" describe serviceexporter devtron-itf -n devtroncd"_s,
          u">> Kind:"_s, u"获取到编码密码: <已隐藏, 20 字符>"_s,
          u"成功获取Devtron凭证，URL: http://devtron.example.com:22443/, 用户名: admin"_s,
          u"服务启动完成，可以进入下一步"_s},
         WaitingForServicesController::Status::complete},
        {{{describe, {}, notFound, 1}, {secret, {}}},
         {},
         {},
         {u"获取URL命令执行失败，退出代码: 1"_s, u"ADMIN_PASSWORD尚未生成"_s,
          u"无法读取Devtron地址: "_s + notFound,
          u"未能获取完整的Devtron凭证，可在下一步重新读取"_s}},
        // Devtron as its own installer sets it up: no exporter type, a Service only inside.
        {{{describe,
           {},
           u"error: the server doesn't have a resource type \"serviceexporter\"\n"_s,
           1},
          {u"get service"_s,
           u"{\"kind\":\"Service\",\"spec\":{\"ports\":[{\"name\":\"devtron\",\"port\":80}]}}"_s},
          {secret, encoded}},
         {},
         password,
         {u"集群中没有serviceexporter类型，改为读取devtron-service服务"_s,
          u"devtron-service无法从本机直接访问（服务类型为ClusterIP，集群外无法直接访问），将通过本地隧道访问"_s},
         WaitingForServicesController::Status::complete},
        {{{describe, u"Name: devtron-itf\n"_s}, {secret, u"%%%\n"_s}},
         {},
         {},
         {u"无法读取Devtron地址: 输出中没有Devtron地址"_s,
          u"无法读取Devtron密码: ADMIN_PASSWORD不是有效的Base64文本"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address.toStdString() + c.logged.last().toStdString());
        tools.setTool(u"kubectl"_s, c.replies);
        renew();
        const qsizetype before = logMessages(state).size();
        controller->retrieveDevtronCredentials();
        ASSERT_TRUE(QTest::qWaitFor([&] { return controller->isComplete(); }, 15000));
        EXPECT_EQ(state.devtronUrl(), c.address);
        EXPECT_EQ(state.devtronPassword(), c.password);
        EXPECT_EQ(controller->status(), c.status);
        const QStringList messages = logMessages(state).mid(before);
        // A failure is never reported as success.
        EXPECT_EQ(messages.filter(u"成功获取Devtron凭证"_s).isEmpty(),
                  c.status != WaitingForServicesController::Status::complete);
        for (const QString& line : c.logged) {
            EXPECT_TRUE(messages.contains(line)) << line.toStdString();
        }
        EXPECT_FALSE(messages.join('\n').contains(password));
        EXPECT_FALSE(messages.join('\n').contains(encoded));
    }
}

TEST_F(WaitStep, LateAnswersChangeNothing) {
    tools.setTool(u"kubectl"_s, {{{}, u"URL: http://a.example.com\n"_s}});
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
