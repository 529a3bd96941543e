#include "ClusterTestFixture.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/PrivateFile.h"
#include "views/choice/DevtronChoiceController.h"

#include <QRegularExpression>
#include <QTest>

// The whole wizard runs against the emulator in the real window (tests/clickthrough); here, the
// connection test with a cloud-style exec credential helper, which only the real kubectl runs.
class WizardEndToEnd : public ClusterTestFixture {
protected:
    void TearDown() override {
        BackgroundJobs::waitForDone();
        ClusterTestFixture::TearDown();
    }

    InstallationState m_state;
};

TEST_F(WizardEndToEnd, ExecCredentialHelperIsFoundOnTheProcessPathOnly) {
    QString text = QString::fromUtf8(
        PrivateFile::readRegularFile(m_emulator.kubeconfigPath()).bytes.value_or(QByteArray()));
    const QRegularExpression tokenLine(QStringLiteral("^    token: (\\S+)$"),
                                       QRegularExpression::MultilineOption);
    const QString token = tokenLine.match(text).captured(1);
    ASSERT_FALSE(token.isEmpty()) << text.toStdString();
    text.replace(tokenLine,
                 QStringLiteral("    exec:\n"
                                "      apiVersion: client.authentication.k8s.io/v1beta1\n"
                                "      command: nimbrel-test-credential-helper\n"
                                "      interactiveMode: Never"));
    const QString helpers = m_emulator.workDirectory() + QStringLiteral("/credential helpers");
    const QString helper = helpers + QStringLiteral("/nimbrel-test-credential-helper");
    const QString kubeconfig = m_emulator.workDirectory() + QStringLiteral("/exec-kubeconfig");
    ASSERT_TRUE(QDir().mkpath(helpers));
    ASSERT_TRUE(PrivateFile::writeOwnerOnly(kubeconfig, text.toUtf8()));
    ASSERT_TRUE(PrivateFile::writeOwnerOnly(
        helper, "#!/bin/bash\nprintf '{\"apiVersion\":\"client.authentication.k8s.io/v1beta1\","
                "\"kind\":\"ExecCredential\",\"status\":{\"token\":\"" +
                    token.toUtf8() + "\"}}'\n"));
    ASSERT_TRUE(QFile::setPermissions(helper, QFile::ReadOwner | QFile::ExeOwner));
    m_state.setKubeconfigPath(kubeconfig);

    DevtronChoiceController choice(m_state);
    // The kept message, empty after a success.
    const auto testConnection = [&] {
        bool done = false;
        choice.testClusterConnection([&](bool) { done = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 120000));
        return choice.testResult()
            .value_or(DevtronChoiceController::TestResult::failure(QStringLiteral("no result")))
            .message()
            .toStdString();
    };
    setVariable("PATH", helpers + QStringLiteral(":/usr/bin:/bin"));
    EXPECT_EQ(testConnection(), "") << m_state.logs().toStdString();
    // A missing helper is named, with the advice to install it; one that fails is quoted, with
    // the advice to log in again. Neither is sent to check certificates.
    setVariable("PATH", QStringLiteral("/usr/bin:/bin"));
    const std::string missing = testConnection();
    EXPECT_EQ(missing,
              "凭证插件nimbrel-test-credential-helper未安装或不在PATH中。请安装它，或将它所在的"
              "文件夹加入PATH，然后重试。");
    ASSERT_TRUE(PrivateFile::writeOwnerOnly(
        helper, "#!/bin/bash\necho 'Error: the SSO session has expired, login has expired' >&2\n"
                "exit 1\n"));
    ASSERT_TRUE(QFile::setPermissions(helper, QFile::ReadOwner | QFile::ExeOwner));
    setVariable("PATH", helpers + QStringLiteral(":/usr/bin:/bin"));
    const QString expired = QString::fromStdString(testConnection());
    EXPECT_EQ(expired,
              QStringLiteral("凭证插件执行失败:\nError: the SSO session has expired, login "
                             "has expired\n\n请先用云服务商的工具重新登录（例如 aws sso "
                             "login、gcloud auth login、az login），然后重试。"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return m_state.logs().contains(QStringLiteral("集群连接测试失败: ") + expired); }));
    EXPECT_EQ(DevtronChoiceController::formatErrorMessageForAlert(expired), expired);
}
