#include "keychain/KeychainManager.h"
#include "SecretServiceProbe.h"
#include "keychain/Keychain.h"

#include <QObject>
#include <QThread>
#include <QUuid>

#include <qt6keychain/keychain.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Parallel test processes share one keyring, so every case keeps to a service of its own.
QString uniqueService() {
    return QStringLiteral("com.orvane.nimbrel.test.") +
           QUuid::createUuid().toString(QUuid::WithoutBraces);
}

class KeychainStore : public ::testing::Test {
protected:
    void TearDown() override {
        for (const QString& key :
             {QStringLiteral("devtronUrl"), QStringLiteral("devtronPassword")}) {
            manager.deleteItem(key);
            other.deleteItem(key);
        }
    }

    KeychainManager manager{uniqueService()};
    KeychainManager other{uniqueService()};
};

} // namespace

TEST_F(KeychainStore, StoringTwiceLeavesOneItemHoldingTheSecondValue) {
    manager.set(QStringLiteral("https://first.example:22443"), QStringLiteral("devtronUrl"));
    manager.set(QStringLiteral("https://second.example:22443"), QStringLiteral("devtronUrl"));

    EXPECT_EQ(
        SecretServiceProbe::itemsFor(manager.serviceName(), QStringLiteral("devtronUrl")).size(),
        1);
    EXPECT_EQ(manager.get(QStringLiteral("devtronUrl")),
              QStringLiteral("https://second.example:22443"));
}

TEST_F(KeychainStore, MissingKeyReadsAsAbsentAndRemovesWithoutError) {
    EXPECT_EQ(manager.get(QStringLiteral("devtronPassword")), std::nullopt);
    EXPECT_NO_THROW(manager.deleteItem(QStringLiteral("devtronPassword")));

    manager.set(QStringLiteral("secret"), QStringLiteral("devtronPassword"));
    manager.deleteItem(QStringLiteral("devtronPassword"));
    EXPECT_EQ(manager.get(QStringLiteral("devtronPassword")), std::nullopt);
    EXPECT_TRUE(
        SecretServiceProbe::itemsFor(manager.serviceName(), QStringLiteral("devtronPassword"))
            .isEmpty());
    EXPECT_NO_THROW(manager.deleteItem(QStringLiteral("devtronPassword")));
}

TEST_F(KeychainStore, ServicesDoNotSeeEachOthersItems) {
    Keychain otherKeychain(other.serviceName());
    const QString key = QStringLiteral("devtronPassword");

    manager.set(QStringLiteral("mine"), key);
    EXPECT_EQ(otherKeychain.get(key), std::nullopt);

    otherKeychain.set(QStringLiteral("theirs"), key);
    EXPECT_EQ(manager.get(key), QStringLiteral("mine"));
    EXPECT_EQ(other.get(key), QStringLiteral("theirs"));

    otherKeychain.remove(key);
    EXPECT_EQ(other.get(key), std::nullopt);
    EXPECT_EQ(manager.get(key), QStringLiteral("mine"));
}

TEST_F(KeychainStore, UnicodeAndEdgeValuesRoundTripUnchanged) {
    const QString values[] = {
        QStringLiteral("管理员密码：安全第一"),
        QStringLiteral("emoji 🔐 outside the basic plane"),
        QStringLiteral("  leading and trailing blanks\nand a second line\t"),
        QString(),
        QString(4096, QChar(u'密')),
    };
    for (const QString& value : values) {
        manager.set(value, QStringLiteral("devtronPassword"));
        EXPECT_EQ(manager.get(QStringLiteral("devtronPassword")), value)
            << value.left(40).toStdString();
    }
}

TEST_F(KeychainStore, TextWithoutFaithfulUtf8IsRefusedAndTheOldValueStays) {
    manager.set(QStringLiteral("旧值"), QStringLiteral("devtronPassword"));

    const QString loneSurrogate = QStringLiteral("abc") + QChar(0xD800) + QStringLiteral("def");
    const QString embeddedNul = QStringLiteral("before") + QChar(u'\0') + QStringLiteral("after");
    for (const QString& bad : {loneSurrogate, embeddedNul}) {
        try {
            manager.set(bad, QStringLiteral("devtronPassword"));
            ADD_FAILURE() << "accepted a value it cannot store faithfully";
        } catch (const KeychainError& error) {
            EXPECT_EQ(error.kind(), KeychainError::Kind::encodingFailed);
            EXPECT_EQ(error.status(), std::nullopt);
            EXPECT_EQ(error.toString(), QStringLiteral("encodingFailed"));
        }
    }
    EXPECT_EQ(manager.get(QStringLiteral("devtronPassword")), QStringLiteral("旧值"));
}

TEST_F(KeychainStore, StoredBytesThatAreNotUtf8FailToDecode) {
    ASSERT_TRUE(SecretServiceProbe::storeRawSecret(
        manager.serviceName(), QStringLiteral("devtronPassword"), QByteArray("ok\xff\xfe", 4)));
    try {
        manager.get(QStringLiteral("devtronPassword"));
        ADD_FAILURE() << "invalid UTF-8 came back as text";
    } catch (const KeychainError& error) {
        EXPECT_EQ(error.kind(), KeychainError::Kind::decodingFailed);
    }
}

TEST_F(KeychainStore, GuiThreadKeepsHandlingEventsWhileAnOperationWaits) {
    QObject context;
    bool delivered = false;
    QMetaObject::invokeMethod(
        &context, [&delivered] { delivered = true; }, Qt::QueuedConnection);

    manager.set(QStringLiteral("value"), QStringLiteral("devtronUrl"));

    EXPECT_TRUE(delivered);
}

TEST_F(KeychainStore, WorksFromAThreadWithoutEventLoopWhileTheGuiThreadIsBlocked) {
    // Used from the GUI thread first, as the completion screen does.
    manager.set(QStringLiteral("来自界面线程"), QStringLiteral("devtronUrl"));

    std::optional<QString> readBack;
    bool failed = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            manager.set(QStringLiteral("来自工作线程"), QStringLiteral("devtronUrl"));
            readBack = manager.get(QStringLiteral("devtronUrl"));
            manager.deleteItem(QStringLiteral("devtronUrl"));
        } catch (const KeychainError&) {
            failed = true;
        }
    }));
    worker->start();
    // A plain blocking wait: the GUI thread handles no events meanwhile.
    const bool ended = worker->wait(QDeadlineTimer(120000));
    if (!ended) {
        // Leave the stuck thread to the process exit rather than destroy it while running.
        (void)worker.release();
        FAIL() << "keychain operation on a worker thread never returned";
    }
    EXPECT_FALSE(failed);
    EXPECT_EQ(readBack, QStringLiteral("来自工作线程"));
}
