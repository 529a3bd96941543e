#include "cluster/CredentialLookup.h"
#include "ClusterTestFixture.h"
#include "installer/AccessLookup.h"
#include "installer/DevtronInstaller.h"
#include "shell/ClusterErrors.h"

using namespace Qt::StringLiterals;

using CredentialLookupOnCluster = ClusterTestFixture;

// The read-back the wait step and the completion screen run, through the real kubectl against
// the stand-in chart's objects: each value is either what the cluster holds or absent with the
// reason, whichever way the cluster fails.
TEST_F(CredentialLookupOnCluster, EachValueIsReadOrSaysWhyNot) {
    using Fault = ClusterEmulator::Fault;
    using Value = DevtronAccess::Value;
    const auto describe = [](const Value& value) {
        return (value.isRead() ? "read: " + *value.text : "not read: " + value.failure)
            .toStdString();
    };
    const QString kubeconfig = m_emulator.kubeconfigPath();
    installStandIn(u"gitops"_s, u"github"_s);
    EXPECT_EQ(installedValues(), u"cicd||true"_s);

    // The stand-in's values; the address gets Devtron's port.
    const Value address = Value::read(u"http://127.0.0.1:22443"_s);
    const Value password = Value::read(u"emulator-admin-密码"_s);
    const Value unauthorized = Value::missing(ClusterErrors::classify(u"Unauthorized"_s));
    const Value timedOut = Value::missing(u"命令超时：2 秒后仍未结束，已终止"_s);
    const struct {
        const char* name;
        Fault fault;
        int limitSeconds;
        Value address, password;
    } cases[] = {
        {"healthy", Fault::None, 30, address, password},
        {"secret missing", Fault::SecretMissing, 30, address,
         Value::missing(u"Error from server (NotFound): secrets \"devtron-secret\" not found"_s)},
        {"exporter missing", Fault::ExporterMissing, 30,
         Value::missing(u"Error from server (NotFound): serviceexporters.networking."
                        "emulator.nimbrel.local \"devtron-itf\" not found"_s),
         password},
        {"not Base64", Fault::PasswordNotBase64, 30, address,
         Value::missing(AccessLookup::passwordNotBase64())},
        {"unauthorized", Fault::Unauthorized, 30, unauthorized, unauthorized},
        {"no answer within the limit", Fault::Slow, 2, timedOut, timedOut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_emulator.setFault(c.fault)) << m_emulator.errorText().toStdString();
        QStringList log;
        const DevtronAccess access = CredentialLookup::run(
            CredentialLookup::plan(kubeconfig, std::chrono::seconds(c.limitSeconds)),
            [&](const QString& line) { log << line; });
        EXPECT_EQ(describe(access.address), describe(c.address)) << log.join(u'\n').toStdString();
        EXPECT_EQ(describe(access.password), describe(c.password)) << log.join(u'\n').toStdString();
    }
}

// A server that takes helm's connection and never answers: the release check ends on time, as a
// failure, and nothing is installed.
TEST_F(CredentialLookupOnCluster, AHangingReleaseCheckEndsOnTimeAsAFailure) {
    ASSERT_TRUE(m_emulator.setFault(ClusterEmulator::Fault::HelmStatusHang));
    std::optional<std::pair<bool, QString>> outcome;
    QStringList log;
    DevtronInstaller installer(
        m_emulator.kubeconfigPath(), {}, [&](const QString& line) { log << line; },
        [&](bool success, const std::optional<QString>& message) {
            outcome = {success, message.value_or(QString())};
        });
    installer.setReleaseCheckTimeLimit(std::chrono::seconds(2));
    installer.installDevtron();
    ASSERT_TRUE(outcome.has_value()) << log.join(u'\n').toStdString();
    EXPECT_FALSE(outcome->first);
    EXPECT_TRUE(outcome->second.contains(u"命令超时"_s)) << outcome->second.toStdString();
    EXPECT_FALSE(log.contains(u"开始安装Devtron..."_s)) << log.join(u'\n').toStdString();
}
