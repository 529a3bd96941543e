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

using namespace Qt::StringLiterals;

namespace {

using Layout = CompletionController::Layout;

class Completion : public ::testing::Test {
protected:
    Completion() {
        state.setDevtronUrl(u"http://127.0.0.1:22443"_s);
        state.setDevtronPassword(u"pa$$ word"_s);
        state.setKubeconfigPath(u"/home/ana/.kube/admin.conf"_s);
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
    KeychainManager store{u"com.orvane.nimbrel.test."_s +
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
        local.setDevtronPassword(c.read ? u"pw"_s : QString());
        int localQuits = 0;
        CompletionController finishing(local, store.serviceName(), [&] { ++localQuits; });

        EXPECT_EQ(finishing.layout(), c.layout);
        EXPECT_EQ(finishing.subtitle(), QString::fromUtf8(c.subtitle));
        EXPECT_EQ(finishing.devtronToolStatus(), QString::fromUtf8(c.devtronStatus));
        local.setDevtronVariant(DevtronVariant::gitops);
        EXPECT_EQ(finishing.installedChoicesText(),
                  c.installDevtron ? u"Devtron版本: CI/CD与GitOps，安装来源: GitHub"_s : QString());

        finishing.finish();
        EXPECT_EQ(finishing.showSaveAlert(), c.asksToSave);
        EXPECT_EQ(localQuits, c.asksToSave ? 0 : 1);
        EXPECT_EQ(store.get(u"devtronUrl"_s), std::nullopt);
    }
    // Reading an existing installation installs nothing.
    state.setInstallationComplete(true);
    state.setReadsExistingInstallation(true);
    EXPECT_EQ(controller.subtitle(), u"已读取集群中现有Devtron的访问信息"_s);
    EXPECT_EQ(controller.installationTimeText(), QString());
    EXPECT_EQ(controller.installedChoicesText(), QString());
    state.setInstallationTime(125.9);
    EXPECT_EQ(controller.installationTimeText(), u"安装用时: 2分5秒"_s);
}

TEST_F(Completion, DottedPasswordCopiesInClear) {
    EXPECT_EQ(controller.passwordText(), u"••••••"_s);
    controller.copyPassword();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"pa$$ word"_s);
}

// The copy commands are swapped for printf, so the shell shows which words it would copy.
TEST_F(Completion, HostilePathsStaySingleShellWords) {
    QTemporaryDir scratch;
    const QString marker = scratch.filePath(u"ran"_s);
    const QString hostile[] = {
        u"/tmp/a\"; touch "_s + marker + u"; \"b"_s,
        u"/tmp/$(touch "_s + marker + u")"_s,
        u"/tmp/`touch "_s + marker + u"`"_s,
        u"/tmp/back\\\"slash'quote"_s,
        u"/tmp/line\ntouch "_s + marker,
    };
    for (const QString& path : hostile) {
        SCOPED_TRACE(path.toStdString());
        QString command = CompletionController::composeCommand(path, path);
        command.replace(u"sudo mkdir -p /usr/local/bin && sudo cp "_s, u"printf '%s\\0' "_s);
        command.replace(u" /usr/local/bin/ && mkdir -p ~/.kube && cp --backup=numbered "_s, u" "_s);
        command.remove(u" ~/.kube/config"_s);

        QProcess shell;
        shell.start(u"/bin/bash"_s, {u"-c"_s, command});
        ASSERT_TRUE(shell.waitForFinished(10000));
        const QString expected = path + u"/kubectl|"_s + path + u"/helm|"_s + path + u'|';
        EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()).replace(QChar(0), u'|'),
                  expected);
        EXPECT_FALSE(QFile::exists(marker));
    }
}

TEST_F(Completion, CopyAllInfoWaitsThenStoresReadableValuesAndQuits) {
    controller.finish();
    ASSERT_TRUE(controller.showSaveAlert());
    controller.copyAllInfo();

    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              u"Devtron访问信息:\n地址: http://127.0.0.1:22443\n用户名: admin\n密码: "
              "pa$$ word\n\n请妥善保管此信息，这些信息丢失后需要重新安装才能恢复。"_s);
    EXPECT_FALSE(controller.showSaveAlert());
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(store.get(u"devtronUrl"_s), std::nullopt);

    controller.firePendingFinish();
    // The quit waits for the desktop to take "已保存" (here: no notification service answers).
    EXPECT_EQ(quits, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return quits == 1; }, 2000));
    EXPECT_EQ(store.get(u"devtronUrl"_s), u"http://127.0.0.1:22443"_s);
    EXPECT_EQ(store.get(u"devtronUsername"_s), u"admin"_s);
    EXPECT_EQ(store.get(u"devtronPassword"_s), u"pa$$ word"_s);

    // A later run that read the address but not the password leaves no password of this run.
    InstallationState later;
    later.setInstallationComplete(true);
    later.setDevtronUrl(u"http://10.0.0.9"_s);
    later.setDevtronUrlSource(AddressSource::loadBalancer);
    int laterQuits = 0;
    CompletionController next(later, store.serviceName(), [&] { ++laterQuits; });
    next.finishWithoutCopy();
    ASSERT_TRUE(QTest::qWaitFor([&] { return laterQuits == 1; }, 2000));
    EXPECT_EQ(store.get(u"devtronUrl"_s), u"http://10.0.0.9"_s);
    EXPECT_EQ(store.get(u"devtronPassword"_s), std::nullopt);
    EXPECT_TRUE(later.logs().contains(u"已删除钥匙串中上次保存的devtronPassword"_s));
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
    state.setDevtronPasswordFailure(u"devtron-secret中没有ADMIN_PASSWORD"_s);
    state.setInstallDevtron(true);
    EXPECT_EQ(controller.passwordText(), QString());
    QGuiApplication::clipboard()->setText(u"before"_s);
    controller.copyPassword();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"before"_s);
    EXPECT_EQ(controller.unreadLines(),
              QStringList{u"无法读取Devtron密码: devtron-secret中没有ADMIN_PASSWORD"_s});
    EXPECT_EQ(controller.manualCommands(),
              QStringList{u"KUBECONFIG=\"/home/ana/.kube/admin.conf\" \""_s +
                          tools.path(u"kubectl"_s) +
                          u"\" get secret -n devtroncd devtron-secret -o "
                          "jsonpath={.data.ADMIN_PASSWORD} | base64 -d"_s});
    controller.copyAllInfo();
    EXPECT_FALSE(QGuiApplication::clipboard()->text().contains(u"密码"_s));
    controller.firePendingFinish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return quits == 1; }, 2000));
    EXPECT_EQ(store.get(u"devtronUrl"_s), u"http://127.0.0.1:22443"_s);
    EXPECT_EQ(store.get(u"devtronPassword"_s), std::nullopt);

    // Read again: the password now answers, while the address, read before, stays although the
    // cluster no longer gives it.
    tools.setTool(u"kubectl"_s, {{u"describe"_s, {}, u"gone"_s, 1}, {u"get secret"_s, u"cHc="_s}});
    CompletionController again(state, store.serviceName(), [] {});
    again.retrieveDevtronCredentials();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !again.isRetrievingCredentials(); }, 15000));
    EXPECT_EQ(state.devtronPassword(), u"pw"_s);
    EXPECT_EQ(state.devtronUrl(), u"http://127.0.0.1:22443"_s);
    EXPECT_TRUE(again.manualCommands().isEmpty());
}

// With no Secret Service, or a collection that stays locked, the password must not be lost: the
// window stays until the user quits on purpose.
void expectSaveFailureKeepsTheWindow(CompletionController& controller, const int& quits) {
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
        EXPECT_TRUE(output.contains(u"保存到钥匙串失败: addFailed("_s)) << output.toStdString();
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
    QDBusInterface service(u"org.freedesktop.secrets"_s, u"/org/freedesktop/secrets"_s,
                           u"org.freedesktop.Secret.Service"_s);
    const QDBusMessage locked =
        service.call(u"Lock"_s, QVariant::fromValue(QList<QDBusObjectPath>{
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
    EXPECT_EQ(notices.first().first().toString(), u"已复制所有访问信息"_s);
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
                u"org.freedesktop.Notifications"_s);
        },
        20000));
    DesktopNotifier notifier;
    QSignalSpy delivered(&notifier, &DesktopNotifier::delivered);
    QSignalSpy unavailable(&notifier, &DesktopNotifier::unavailable);
    notifier.notify(u"已复制"_s);
    ASSERT_TRUE(delivered.wait(10000));
    EXPECT_EQ(delivered.first().first().toString(), u"已复制"_s);
    EXPECT_EQ(unavailable.count(), 0);
}

} // namespace
