#include "views/completion/CompletionController.h"
#include "keychain/KeychainManager.h"
#include "session/InstallationState.h"
#include "support/ChildSession.h"
#include "support/StandInTools.h"
#include "views/completion/DesktopNotifier.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

#include <gtest/gtest.h>

#include <utility>

namespace {

using Layout = CompletionController::Layout;

class Completion : public ::testing::Test {
protected:
    Completion() {
        state.setDevtronUrl(QStringLiteral("http://127.0.0.1:22443"));
        state.setDevtronPassword(QStringLiteral("pa$$ word"));
        state.setKubeconfigPath(QStringLiteral("/home/ana/.kube/admin.conf"));
    }
    ~Completion() override {
        if (!ChildSession::isChild()) {
            for (const char* key : {"devtronUrl", "devtronUsername", "devtronPassword"}) {
                store.deleteItem(QString::fromLatin1(key));
            }
        }
    }

    InstallationState state;
    // Parallel test processes share one keyring, so every case keeps to a service of its own.
    KeychainManager store{QStringLiteral("com.orvane.nimbrel.test.") +
                          QUuid::createUuid().toString(QUuid::WithoutBraces)};
    int quits = 0;
    CompletionController controller{state, store.serviceName(), [this] { ++quits; }};
};

TEST_F(Completion, EachLayoutShowsItsTextsAndFinishesItsOwnWay) {
    const struct {
        bool installDevtron, complete, read;
        Layout layout;
        const char *subtitle, *devtronStatus;
        bool asksToSave;
    } cases[] = {
        {false, true, true, Layout::toolsOnly, "Kubernetes工具已完成配置", "已安装", false},
        {true, true, true, Layout::complete, "Devtron和Kubernetes工具已安装配置完成", "已安装",
         true},
        // Nothing was read: there is nothing to keep.
        {true, true, false, Layout::complete, "Devtron和Kubernetes工具已安装配置完成", "已安装",
         false},
        {true, false, true, Layout::timedOut, "安装未能完全完成，部分功能可能不可用", "安装中断",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subtitle);
        InstallationState local;
        local.setInstallDevtron(c.installDevtron);
        local.setInstallationComplete(c.complete);
        local.setDevtronPassword(c.read ? QStringLiteral("pw") : QString());
        int localQuits = 0;
        CompletionController finishing(local, store.serviceName(), [&] { ++localQuits; });

        EXPECT_EQ(finishing.layout(), c.layout);
        EXPECT_EQ(finishing.subtitle(), QString::fromUtf8(c.subtitle));
        EXPECT_EQ(finishing.devtronToolStatus(), QString::fromUtf8(c.devtronStatus));

        finishing.finish();
        EXPECT_EQ(finishing.showSaveAlert(), c.asksToSave);
        EXPECT_EQ(localQuits, c.asksToSave ? 0 : 1);
        EXPECT_EQ(store.get(QStringLiteral("devtronUrl")), std::nullopt);
    }
    EXPECT_EQ(controller.installationTimeText(), QString());
    state.setInstallationTime(125.9);
    EXPECT_EQ(controller.installationTimeText(), QStringLiteral("安装用时: 2分5秒"));
}

TEST_F(Completion, DottedPasswordCopiesInClear) {
    EXPECT_EQ(controller.passwordText(), QStringLiteral("••••••"));
    controller.copyPassword();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("pa$$ word"));
}

// The copy commands are swapped for printf, so the shell shows which words it would copy.
TEST_F(Completion, HostilePathsStaySingleShellWords) {
    QTemporaryDir scratch;
    const QString marker = scratch.filePath(QStringLiteral("ran"));
    const QString hostile[] = {
        QStringLiteral("/tmp/a\"; touch ") + marker + QStringLiteral("; \"b"),
        QStringLiteral("/tmp/$(touch ") + marker + QStringLiteral(")"),
        QStringLiteral("/tmp/`touch ") + marker + QStringLiteral("`"),
        QStringLiteral("/tmp/back\\\"slash'quote"),
        QStringLiteral("/tmp/line\ntouch ") + marker,
    };
    for (const QString& path : hostile) {
        SCOPED_TRACE(path.toStdString());
        QString command = CompletionController::composeCommand(path, path);
        command.replace(QStringLiteral("sudo mkdir -p /usr/local/bin && sudo cp "),
                        QStringLiteral("printf '%s\\0' "));
        command.replace(QStringLiteral(" /usr/local/bin/ && mkdir -p ~/.kube && cp "),
                        QStringLiteral(" "));
        command.remove(QStringLiteral(" ~/.kube/config"));

        QProcess shell;
        shell.start(QStringLiteral("/bin/bash"), {QStringLiteral("-c"), command});
        ASSERT_TRUE(shell.waitForFinished(10000));
        const QString expected =
            path + QStringLiteral("/kubectl|") + path + QStringLiteral("/helm|") + path + u'|';
        EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()).replace(QChar(0), u'|'),
                  expected);
        EXPECT_FALSE(QFile::exists(marker));
    }
}

TEST_F(Completion, CopyAllInfoWaitsThenStoresReadableValuesAndQuits) {
    controller.finish();
    ASSERT_TRUE(controller.showSaveAlert());
    controller.copyAllInfo();

    EXPECT_EQ(
        QGuiApplication::clipboard()->text(),
        QStringLiteral("Devtron访问信息:\n地址: http://127.0.0.1:22443\n用户名: admin\n密码: "
                       "pa$$ word\n\n请妥善保管此信息，这些信息丢失后需要重新安装才能恢复。"));
    EXPECT_FALSE(controller.showSaveAlert());
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(store.get(QStringLiteral("devtronUrl")), std::nullopt);

    controller.firePendingFinish();
    // The quit waits for the desktop to take "已保存" (here: no notification service answers).
    EXPECT_EQ(quits, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return quits == 1; }, 2000));
    EXPECT_EQ(store.get(QStringLiteral("devtronUrl")), QStringLiteral("http://127.0.0.1:22443"));
    EXPECT_EQ(store.get(QStringLiteral("devtronUsername")), QStringLiteral("admin"));
    EXPECT_EQ(store.get(QStringLiteral("devtronPassword")), QStringLiteral("pa$$ word"));
}

// The second press lands while the first one's keychain write waits in its local event loop.
TEST_F(Completion, FinishingButtonsActOnceWhileTheKeychainIsWritten) {
    using Press = void (CompletionController::*)();
    const std::pair<const char*, Press> presses[] = {
        {"直接完成", &CompletionController::finishWithoutCopy},
        {"复制信息", &CompletionController::copyAllInfo},
        {"完成", &CompletionController::finish},
    };
    for (const auto& [name, press] : presses) {
        SCOPED_TRACE(name);
        int pressQuits = 0;
        CompletionController pressed(state, store.serviceName(), [&] { ++pressQuits; });
        bool pressedDuringWrite = false;
        QTimer::singleShot(0, &pressed, [&, press = press] {
            pressedDuringWrite = true;
            (pressed.*press)();
        });
        pressed.copyAllInfo();
        pressed.firePendingFinish();
        ASSERT_TRUE(pressedDuringWrite);
        QTest::qWait(1200);
        EXPECT_EQ(pressQuits, 1);
        EXPECT_FALSE(pressed.showSaveAlert() || pressed.hasPendingFinish());
    }
}

TEST_F(Completion, ValuesNotReadAreNeitherShownNorCopiedNorStoredAndCanBeReadAgain) {
    StandInTools tools;
    state.setDevtronPassword({});
    state.setDevtronPasswordFailure(QStringLiteral("devtron-secret中没有ADMIN_PASSWORD"));
    state.setInstallDevtron(true);
    EXPECT_EQ(controller.passwordText(), QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    controller.copyPassword();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(
        controller.unreadLines(),
        QStringList{QStringLiteral("无法读取Devtron密码: devtron-secret中没有ADMIN_PASSWORD")});
    EXPECT_EQ(controller.manualCommands(),
              QStringList{QStringLiteral("KUBECONFIG=\"/home/ana/.kube/admin.conf\" \"") +
                          tools.path(QStringLiteral("kubectl")) +
                          QStringLiteral("\" get secret -n devtroncd devtron-secret -o "
                                         "jsonpath={.data.ADMIN_PASSWORD} | base64 -d")});
    controller.copyAllInfo();
    EXPECT_FALSE(QGuiApplication::clipboard()->text().contains(QStringLiteral("密码")));
    controller.firePendingFinish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return quits == 1; }, 2000));
    EXPECT_EQ(store.get(QStringLiteral("devtronUrl")), QStringLiteral("http://127.0.0.1:22443"));
    EXPECT_EQ(store.get(QStringLiteral("devtronPassword")), std::nullopt);

    // Read again: the password now answers, while the address, read before, stays although the
    // cluster no longer gives it.
    tools.setTool(QStringLiteral("kubectl"),
                  {{QStringLiteral("describe"), {}, QStringLiteral("gone"), 1},
                   {QStringLiteral("get secret"), QStringLiteral("cHc=")}});
    CompletionController again(state, store.serviceName(), [] {});
    again.retrieveDevtronCredentials();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !again.isRetrievingCredentials(); }, 15000));
    EXPECT_EQ(state.devtronPassword(), QStringLiteral("pw"));
    EXPECT_EQ(state.devtronUrl(), QStringLiteral("http://127.0.0.1:22443"));
    EXPECT_TRUE(again.manualCommands().isEmpty());
}

// With no Secret Service, or a collection that stays locked, the password must not be lost: the
// window stays until the user quits on purpose.
void expectSaveFailureKeepsTheWindow(CompletionController& controller, const int& quits) {
    QSignalSpy failures(&controller, &CompletionController::saveFailureChanged);
    controller.finishWithoutCopy();
    ASSERT_FALSE(controller.saveFailure().isEmpty());
    EXPECT_FALSE(controller.isFinishing());
    controller.retrySave();
    EXPECT_FALSE(controller.saveFailure().isEmpty());
    QTest::qWait(1200);
    EXPECT_EQ(quits, 0);
    controller.quitWithoutSaving();
    EXPECT_EQ(quits, 1);
}

TEST_F(Completion, WithoutSecretServiceASaveFailureKeepsTheWindow) {
    if (!ChildSession::isChild()) {
        const QString output = ChildSession::rerun(ChildSession::Kind::noSessionBus);
        EXPECT_TRUE(output.contains(QStringLiteral("保存到钥匙串失败: addFailed(")))
            << output.toStdString();
        return;
    }
    expectSaveFailureKeepsTheWindow(controller, quits);
    EXPECT_TRUE(controller.saveFailure().isEmpty());
}

TEST_F(Completion, ALockedKeyringKeepsTheWindow) {
    if (!ChildSession::isChild()) {
        ChildSession::rerun(ChildSession::Kind::privateKeyring);
        return;
    }
    // Locked, with no prompt that could unlock it (there is no display).
    QDBusInterface service(QStringLiteral("org.freedesktop.secrets"),
                           QStringLiteral("/org/freedesktop/secrets"),
                           QStringLiteral("org.freedesktop.Secret.Service"));
    const QDBusMessage locked = service.call(
        QStringLiteral("Lock"), QVariant::fromValue(QList<QDBusObjectPath>{
                                    QDBusObjectPath("/org/freedesktop/secrets/collection/login")}));
    ASSERT_NE(locked.type(), QDBusMessage::ErrorMessage) << locked.errorMessage().toStdString();
    expectSaveFailureKeepsTheWindow(controller, quits);
}

TEST_F(Completion, WithoutNotificationServiceTheTitleComesBackForTheWindow) {
    if (!ChildSession::isChild()) {
        ChildSession::rerun(ChildSession::Kind::emptySessionBus);
        return;
    }
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    QSignalSpy notices(&controller, &CompletionController::inWindowNotice);
    controller.copyAllInfo();
    ASSERT_TRUE(notices.wait(5000));
    EXPECT_EQ(notices.first().first().toString(), QStringLiteral("已复制所有访问信息"));
}

TEST_F(Completion, ARunningNotificationServiceTakesTheNotification) {
    if (!ChildSession::isChild()) {
        ChildSession::rerun(ChildSession::Kind::notificationDaemon);
        return;
    }
    // The daemon needs a moment to start and claim its name; this waits for it, not for timing.
    ASSERT_TRUE(QTest::qWaitFor(
        [] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(
                QStringLiteral("org.freedesktop.Notifications"));
        },
        20000));
    DesktopNotifier notifier;
    QSignalSpy delivered(&notifier, &DesktopNotifier::delivered);
    QSignalSpy unavailable(&notifier, &DesktopNotifier::unavailable);
    notifier.notify(QStringLiteral("已复制"));
    ASSERT_TRUE(delivered.wait(10000));
    EXPECT_EQ(delivered.first().first().toString(), QStringLiteral("已复制"));
    EXPECT_EQ(unavailable.count(), 0);
}

} // namespace
