#include "keychain/Keychain.h"
#include "keychain/KeychainManager.h"
#include "shell/Services.h"
#include "support/ChildSession.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QUuid>

#include <qt6keychain/keychain.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <csignal>
#include <optional>

namespace {

const QString key = QStringLiteral("devtronPassword");

// Parallel test processes share one keyring, so every case keeps to a service of its own.
class KeychainStore : public testing::Test {
protected:
    void TearDown() override {
        manager.deleteItem(key);
        other.deleteItem(key);
    }
    static QString uniqueService() {
        return QStringLiteral("com.orvane.nimbrel.test.") + QUuid::createUuid().toString();
    }

    KeychainManager manager{uniqueService()};
    KeychainManager other{uniqueService()};
};

std::optional<KeychainError> expectRaised(const std::function<void()>& operation,
                                          KeychainError::Kind kind) {
    try {
        operation();
    } catch (const KeychainError& error) {
        EXPECT_EQ(error.kind(), kind) << error.what();
        return error;
    }
    ADD_FAILURE() << "no error raised";
    return std::nullopt;
}

} // namespace

TEST_F(KeychainStore, ValuesRoundTripAndAMissingKeyIsAbsent) {
    EXPECT_NO_THROW(manager.deleteItem(key));
    for (const QString& value : {QStringLiteral("管理员密码 🔐"), QStringLiteral(" a\nb\t"),
                                 QString(), QString(4096, QChar(u'密'))}) {
        manager.set(value, key);
        EXPECT_EQ(manager.get(key), value) << value.left(20).toStdString();
    }
    Keychain(other.serviceName()).set(QStringLiteral("theirs"), key);
    EXPECT_EQ(manager.get(key), QString(4096, QChar(u'密')));
    manager.deleteItem(key);
    EXPECT_EQ(manager.get(key), std::nullopt);
    EXPECT_EQ(other.get(key), QStringLiteral("theirs"));
}

TEST_F(KeychainStore, TextWithoutFaithfulUtf8IsRefusedAndTheOldValueStays) {
    manager.set(QStringLiteral("旧值"), key);
    for (const QString& bad : {QStringLiteral("abc") + QChar(0xD800),
                               QStringLiteral("before") + QChar(u'\0') + QStringLiteral("after")}) {
        expectRaised([&] { manager.set(bad, key); }, KeychainError::Kind::encodingFailed);
    }
    EXPECT_EQ(manager.get(key), QStringLiteral("旧值"));
}

TEST_F(KeychainStore, WorksFromAWorkerThreadWhileTheGuiThreadIsBlocked) {
    manager.set(QStringLiteral("来自界面线程"), key);
    std::optional<QString> readBack;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        manager.set(QStringLiteral("来自工作线程"), key);
        readBack = manager.get(key);
    }));
    worker->start();
    // A plain blocking wait: the GUI thread handles no events meanwhile.
    ASSERT_TRUE(worker->wait(QDeadlineTimer(120000)));
    EXPECT_EQ(readBack, QStringLiteral("来自工作线程"));
}

TEST(KeychainWithoutService, EveryOperationFailsWithQtKeychainsCode) {
    if (!ChildSession::isChild()) {
        ChildSession::rerun(ChildSession::Kind::noSessionBus);
        return;
    }
    KeychainManager manager;
    expectRaised([&] { manager.set(QStringLiteral("x"), key); }, KeychainError::Kind::addFailed);
    expectRaised([&] { (void)manager.get(key); }, KeychainError::Kind::getFailed);
    const std::optional<KeychainError> error =
        expectRaised([&] { manager.deleteItem(key); }, KeychainError::Kind::deleteFailed);
    ASSERT_TRUE(error && error->status() && *error->status() != QKeychain::NoError);
    EXPECT_EQ(error->toString(), QStringLiteral("deleteFailed(%1)").arg(*error->status()));
}

TEST(KeychainWithoutItsPlugin, EveryOperationFailsNamingTheMissingComponent) {
    const QString missing = QStringLiteral("/nonexistent/libnimbrel_services.so");
    Services::setPluginPathOverride(missing);
    KeychainManager manager;
    for (const auto& [operation, kind] :
         std::initializer_list<std::pair<std::function<void()>, KeychainError::Kind>>{
             {[&] { manager.set(QStringLiteral("x"), key); }, KeychainError::Kind::addFailed},
             {[&] { (void)manager.get(key); }, KeychainError::Kind::getFailed},
             {[&] { manager.deleteItem(key); }, KeychainError::Kind::deleteFailed}}) {
        const std::optional<KeychainError> error = expectRaised(operation, kind);
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->userMessage().contains(missing)) << error->userMessage().toStdString();
    }
}

namespace {

const QString secretService = QStringLiteral("org.freedesktop.secrets");

bool keyringRunning() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(secretService);
}

} // namespace

TEST(KeychainAfterTheKeyringRestarts, ARetryStoresAgain) {
    if (!ChildSession::isChild()) {
        ChildSession::rerun(ChildSession::Kind::privateKeyring);
        return;
    }
    KeychainManager manager;
    manager.set(QStringLiteral("vorher"), key);

    const uint daemon = QDBusConnection::sessionBus().interface()->servicePid(secretService);
    ASSERT_GT(daemon, 0U);
    ::kill(static_cast<pid_t>(daemon), SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([] { return !keyringRunning(); }, 10000));
    QProcess keyring;
    keyring.start(QStringLiteral("gnome-keyring-daemon"),
                  {QStringLiteral("--replace"), QStringLiteral("--foreground"),
                   QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
    keyring.write("nimbrel-test");
    keyring.closeWriteChannel();
    ASSERT_TRUE(QTest::qWaitFor(keyringRunning, 10000));

    // The first attempt still goes through the session of the keyring that stopped; the alert
    // tells what it means, the log keeps QtKeychain's own words.
    const std::optional<KeychainError> failure = expectRaised(
        [&] { manager.set(QStringLiteral("x"), key); }, KeychainError::Kind::addFailed);
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->userMessage().contains(QStringLiteral("addFailed")));
    EXPECT_TRUE(failure->logText().contains(QStringLiteral("addFailed")));
    // "重试"
    EXPECT_NO_THROW(manager.set(QStringLiteral("nachher"), key));
    EXPECT_EQ(manager.get(key), QStringLiteral("nachher"));
    keyring.terminate();
    keyring.waitForFinished();
}
