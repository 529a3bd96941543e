#include "SecretServiceProbe.h"
#include "keychain/Keychain.h"
#include "keychain/KeychainManager.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <qt6keychain/keychain.h>

#include <gtest/gtest.h>

#include <functional>

// These cases change or remove the keyring itself, so each runs again in a child process of this
// binary with its own D-Bus session instead of the one the rest of the suite shares.

namespace {

const char* const childMarker = "NIMBREL_KEYCHAIN_CHILD";

QString currentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return QString::fromUtf8(info->test_suite_name()) + u'.' + QString::fromUtf8(info->name());
}

bool runningAsChild() {
    return qEnvironmentVariable(childMarker) == currentTestName();
}

struct ChildResult {
    bool ended = false;
    int exitCode = -1;
    QString output;
};

// The generous limit only keeps a hanging child from hanging the suite.
ChildResult runChild(const QString& program, const QStringList& arguments,
                     const QProcessEnvironment& environment) {
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(program, arguments);
    ChildResult result;
    result.ended = child.waitForFinished(120000);
    if (!result.ended) {
        child.kill();
        child.waitForFinished();
    }
    result.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    result.output = QString::fromUtf8(child.readAll());
    return result;
}

QProcessEnvironment childEnvironment(const QTemporaryDir& sandbox) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childMarker), currentTestName());
    environment.insert(QStringLiteral("HOME"), sandbox.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), sandbox.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       sandbox.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), sandbox.path());
    return environment;
}

QStringList gtestArguments() {
    return {QCoreApplication::applicationFilePath(),
            QStringLiteral("--gtest_filter=") + currentTestName()};
}

void expectChildPassed(const ChildResult& result) {
    ASSERT_TRUE(result.ended) << "child never ended:\n" << result.output.toStdString();
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    // A filter that matched nothing would also exit 0.
    EXPECT_TRUE(result.output.contains(QStringLiteral("[  PASSED  ] 1 test")))
        << result.output.toStdString();
}

// Runs the current case in a fresh D-Bus session with a keyring of its own, unlocked.
void rerunWithPrivateKeyring() {
    QTemporaryDir sandbox;
    ASSERT_TRUE(sandbox.isValid());
    QFile::setPermissions(sandbox.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString script = QStringLiteral(
        "printf %s private-keyring | gnome-keyring-daemon --unlock --components=secrets "
        ">/dev/null && exec \"$@\"");
    expectChildPassed(runChild(QStringLiteral("dbus-run-session"),
                               QStringList{QStringLiteral("--"), QStringLiteral("sh"),
                                           QStringLiteral("-c"), script, QStringLiteral("sh")} +
                                   gtestArguments(),
                               childEnvironment(sandbox)));
}

// Runs the current case with a session bus address that nothing listens on.
void rerunWithoutSecretService() {
    QTemporaryDir sandbox;
    ASSERT_TRUE(sandbox.isValid());
    QProcessEnvironment environment = childEnvironment(sandbox);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + sandbox.filePath(QStringLiteral("no-bus")));
    const QStringList arguments = gtestArguments();
    expectChildPassed(runChild(arguments.first(), arguments.mid(1), environment));
}

void expectRaised(const std::function<void()>& operation, KeychainError::Kind kind) {
    try {
        operation();
        ADD_FAILURE() << "no error raised";
    } catch (const KeychainError& error) {
        EXPECT_EQ(error.kind(), kind) << error.what();
        ASSERT_TRUE(error.status().has_value());
        EXPECT_NE(*error.status(), QKeychain::NoError);
        EXPECT_NE(*error.status(), QKeychain::EntryNotFound);
        EXPECT_TRUE(error.toString().endsWith(u'(' + QString::number(*error.status()) + u')'))
            << error.what();
    }
}

} // namespace

TEST(KeychainIsolated, FailedStoreKeepsThePreviousValue) {
    if (!runningAsChild()) {
        rerunWithPrivateKeyring();
        return;
    }
    const QString defaultCollection = SecretServiceProbe::readAlias(QStringLiteral("default"));
    ASSERT_FALSE(defaultCollection.isEmpty());
    const QString sessionCollection = QStringLiteral("/org/freedesktop/secrets/collection/session");

    // The old value lives in an unlocked collection while new items go to a locked one: a
    // store that removed the old item first would lose it when the write is refused.
    KeychainManager manager;
    ASSERT_TRUE(SecretServiceProbe::setAlias(QStringLiteral("default"), sessionCollection));
    manager.set(QStringLiteral("原密码"), QStringLiteral("devtronPassword"));
    ASSERT_TRUE(SecretServiceProbe::setAlias(QStringLiteral("default"), defaultCollection));
    ASSERT_TRUE(SecretServiceProbe::lockCollection(defaultCollection));

    expectRaised([&] { manager.set(QStringLiteral("新密码"), QStringLiteral("devtronPassword")); },
                 KeychainError::Kind::addFailed);

    EXPECT_EQ(manager.get(QStringLiteral("devtronPassword")), QStringLiteral("原密码"));
}

TEST(KeychainIsolated, WithoutSecretServiceEveryOperationFails) {
    if (!runningAsChild()) {
        rerunWithoutSecretService();
        return;
    }
    KeychainManager manager;
    Keychain keychain(KeychainManager::defaultServiceName);

    expectRaised([&] { manager.set(QStringLiteral("x"), QStringLiteral("devtronUrl")); },
                 KeychainError::Kind::addFailed);
    expectRaised([&] { (void)manager.get(QStringLiteral("devtronUrl")); },
                 KeychainError::Kind::getFailed);
    expectRaised([&] { manager.deleteItem(QStringLiteral("devtronUrl")); },
                 KeychainError::Kind::deleteFailed);
    expectRaised([&] { keychain.remove(QStringLiteral("devtronUrl")); },
                 KeychainError::Kind::deleteFailed);
}
