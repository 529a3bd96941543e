#include "ClusterTestFixture.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/PrivateFile.h"
#include "views/choice/DevtronChoiceController.h"
#include "views/completion/CompletionController.h"
#include "views/kubeconfig/KubeconfigStepController.h"

#include <QDateTime>
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

using namespace Qt::StringLiterals;

namespace {

// Cluster A as "work" (current), cluster B as "staging" and, through a credential plugin named
// relative to the file's folder, as "staging-exec"; built by kubectl itself.
QString writeThreeContexts(const QString& folder, const QString& a, const QString& b) {
    QDir().mkpath(folder + u"/bin"_s);
    for (const auto& [path, name] : {std::pair{a, u"a"_s}, std::pair{b, u"b"_s}}) {
        const QByteArray text = PrivateFile::readRegularFile(path).bytes.value_or("");
        PrivateFile::writeOwnerOnly(folder + u'/' + name,
                                    QByteArray(text).replace("nimbrel-emulator", name.toUtf8()));
    }
    const QString token = QString::fromUtf8(PrivateFile::readRegularFile(b).bytes.value_or(""))
                              .section(u"token: "_s, 1)
                              .trimmed();
    PrivateFile::writeOwnerOnly(folder + u"/bin/credential"_s,
                                "#!/bin/bash\necho '{\"apiVersion\":\"client.authentication.k8s.io/"
                                "v1\",\"kind\":\"ExecCredential\",\"status\":{\"token\":\"" +
                                    token.toUtf8() + "\"}}'\n");
    QFile::setPermissions(folder + u"/bin/credential"_s, QFile::ReadOwner | QFile::ExeOwner);
    const QString kubectl = kubectlLine(QString());
    const CommandResult built = ShellUtils::runCommandWithEnv(
        u"cd %2 && KUBECONFIG=a:b %1 config view --flatten > config && export KUBECONFIG=config && "
        "%1 config rename-context a work && %1 config rename-context b staging && "
        "%1 config set-credentials b-exec --exec-command=bin/credential "
        "--exec-api-version=client.authentication.k8s.io/v1 --exec-interactive-mode=Never && "
        "%1 config set-context staging-exec --cluster=b --user=b-exec && "
        "%1 config use-context work && rm a b"_s.arg(kubectl, ShellUtils::quotePath(folder)),
        {});
    EXPECT_EQ(built.exitCode, 0) << built.error.toStdString();
    return folder + u"/config"_s;
}

} // namespace

// Through the plugin context the check and the pre-flight reach cluster B; installed into
// "staging", Devtron is in B alone, the user's file is untouched, and the terminal command keeps
// the ~/.kube/config it finds.
TEST_F(WizardEndToEnd, TheChosenContextIsTheOnlyClusterReached) {
    ClusterEmulator other;
    ASSERT_TRUE(other.start()) << other.errorText().toStdString();
    const QString user = writeThreeContexts(m_emulator.workDirectory() + u"/my kube"_s,
                                            m_emulator.kubeconfigPath(), other.kubeconfigPath());
    const QByteArray bytes = PrivateFile::readRegularFile(user).bytes.value_or("");
    const QFileInfo before(user);

    // kubectl lists the current context first, then the others by name.
    for (const auto& [name, index] :
         {std::pair{u"staging-exec"_s, 2}, std::pair{u"staging"_s, 1}}) {
        SCOPED_TRACE(name.toStdString());
        m_state.setCurrentStep(InstallationStep::kubeconfigSelection);
        KubeconfigStepController step(m_state);
        step.chooseFile(user);
        ASSERT_TRUE(QTest::qWaitFor([&] { return step.contexts().size() == 3; }, 30000))
            << step.contextsFailure().toStdString();
        step.chooseContext(index);
        step.proceed();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return m_state.currentStep() == InstallationStep::devtronChoice; }, 30000))
            << m_state.logs().toStdString();
        EXPECT_EQ(m_state.kubeconfigContext(), name);
        EXPECT_EQ(m_state.clusterServer(), other.serverUrl());
        EXPECT_EQ(m_state.kubeconfigDisplayPath(), user);
        EXPECT_EQ(QFileInfo(m_state.kubeconfigPath()).permissions(),
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

        DevtronChoiceController choice(m_state);
        choice.nextAction();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return m_state.currentStep() == InstallationStep::installation; }, 60000))
            << m_state.logs().toStdString();
        EXPECT_EQ(choice.preflightResults().constFirst(),
                  PreflightCheck::targetRow(m_state.clusterTarget()));
    }
    const QString chosen = m_state.kubeconfigPath();
    ASSERT_EQ(run(ClusterTools::installScriptCommand(), chosen).exitCode, 0);
    EXPECT_EQ(run(ClusterTools::releaseStatusCommand(), other.kubeconfigPath()).exitCode, 0);
    EXPECT_NE(run(kubectlLine(u"get namespace devtroncd"_s), m_emulator.kubeconfigPath()).exitCode,
              0);
    EXPECT_EQ(PrivateFile::readRegularFile(user).bytes.value_or(""), bytes);
    EXPECT_EQ(QFileInfo(user).lastModified(), before.lastModified());
    EXPECT_EQ(QFileInfo(user).permissions(), before.permissions());

    // A sandbox home whose ~/.kube/config holds cluster A: the command keeps it beside B's copy.
    const QString home = m_emulator.workDirectory() + u"/home"_s;
    QDir().mkpath(home + u"/.kube"_s);
    const QByteArray own = PrivateFile::readRegularFile(m_emulator.kubeconfigPath()).bytes.value();
    ASSERT_TRUE(PrivateFile::writeOwnerOnly(home + u"/.kube/config"_s, own));
    setVariable("HOME", home);
    CompletionController completion(m_state, u"test"_s, [] {});
    EXPECT_FALSE(completion.kubeconfigNote().isEmpty());
    const QString command = completion.commandText();
    const QString kubePart = command.mid(command.indexOf(u"mkdir -p ~/.kube"_s));
    const CommandResult copied = ShellUtils::runCommandWithEnv(kubePart, {{u"HOME"_s, home}});
    ASSERT_EQ(copied.exitCode, 0) << command.toStdString() << copied.error.toStdString();
    EXPECT_EQ(PrivateFile::readRegularFile(home + u"/.kube/config.~1~"_s).bytes, own);
    EXPECT_EQ(run(kubectlLine(u"get namespace devtroncd"_s), home + u"/.kube/config"_s).exitCode,
              0);
}
