#include "KubeconfigFiles.h"
#include "support/ScreenTest.h"

#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "views/kubeconfig/KubeconfigStepController.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

using namespace screen_test;

namespace {

class KubeconfigStepControllerTest : public KubeconfigFiles {
protected:
    ~KubeconfigStepControllerTest() override { BackgroundJobs::waitForDone(); }

    InstallationState m_state;
    std::unique_ptr<KubeconfigStepController> m_controller =
        std::make_unique<KubeconfigStepController>(m_state);
};

TEST_F(KubeconfigStepControllerTest, EachOutcomeAdvancesOrRaisesItsError) {
    // A valid file, decoded or not, is worked on through the copy of its one context.
    const QString copy = QDir(qEnvironmentVariable("XDG_RUNTIME_DIR"))
                             .filePath(QStringLiteral("nimbrel/kubeconfig-context"));
    // An empty error means the step moves on.
    const struct {
        const char* label;
        QByteArray bytes;
        bool deleted;
        QString error;
        bool usesContextCopy;
    } cases[] = {
        {"complete", completeKubeconfig, false, {}, true},
        {"Base64", completeKubeconfig.toBase64() + '\n', false, {}, true},
        {"two names", "apiVersion: v1\nkind: Config\n", false,
         QStringLiteral("无效的Kubeconfig文件。请确保包含所有必要字段: "
                        "clusters, contexts, current-context。"),
         false},
        {"deleted after the pick", completeKubeconfig, true,
         QStringLiteral("无法读取Kubeconfig文件: 文件不存在"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        InstallationState state;
        KubeconfigStepController controller(state);
        const QString chosen = file(QString::fromLatin1(c.label), c.bytes);
        controller.chooseFile(chosen);
        // A Base64 file's contexts are listed as well, from its decoded text.
        EXPECT_TRUE(!c.usesContextCopy ||
                    eventually([&] { return controller.contexts().size() == 1; }));
        if (c.deleted) {
            QFile::remove(chosen);
        }
        QSignalSpy validating(&controller, &KubeconfigStepController::isValidatingChanged);
        controller.proceed();
        EXPECT_TRUE(controller.isValidating());
        EXPECT_FALSE(controller.canProceed());
        // A second press while the check runs starts nothing.
        controller.proceed();
        ASSERT_TRUE(eventually([&] { return !controller.isValidating(); }));
        EXPECT_EQ(validating.count(), 2);
        // The session applies a step change and an error on the next turn of the event loop.
        ASSERT_TRUE(settleLog(state));
        const bool valid = c.error.isEmpty();
        EXPECT_EQ(state.currentStep(),
                  valid ? InstallationStep::devtronChoice : InstallationStep::kubeconfigSelection);
        EXPECT_EQ(state.errorMessage().value_or(QString()), c.error);
        EXPECT_EQ(state.kubeconfigPath(), c.usesContextCopy ? copy : chosen);
        EXPECT_EQ(state.clusterTarget(),
                  c.usesContextCopy ? QStringLiteral("上下文“prod”（https://203.0.113.10:6443）")
                                    : QString());
        EXPECT_EQ(state.kubeconfigDisplayPath(), chosen);
        EXPECT_EQ(state.logs().count(QStringLiteral("开始验证Kubeconfig文件: ")), 1);
        EXPECT_EQ(logged(state, QStringLiteral("Kubeconfig文件验证成功 ✓")), valid);
    }
}

// A check's outcome reaches the GUI thread only through the event loop, so whatever happens
// before the next wait happens while the check runs.
TEST_F(KubeconfigStepControllerTest, CheckForAFileNoLongerChosenIsDropped) {
    const QString chosen = file(QStringLiteral("config"), completeKubeconfig);
    m_controller->chooseFile(chosen);
    m_controller->proceed();
    m_controller->clearChoice();
    EXPECT_EQ(m_state.kubeconfigPath(), chosen) << "the choice stays while its check runs";
    // Restoring after a focus change may still swap the file underneath.
    m_state.setKubeconfigPath(QStringLiteral("/elsewhere"), QStringLiteral("/elsewhere"));
    ASSERT_TRUE(eventually([&] { return !m_controller->isValidating(); }));
    ASSERT_TRUE(settleLog(m_state));
    EXPECT_EQ(m_state.kubeconfigPath(), QStringLiteral("/elsewhere"));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
}

TEST_F(KubeconfigStepControllerTest, ControllerGoneDuringTheCheckIsSafe) {
    m_controller->chooseFile(file(QStringLiteral("config"), completeKubeconfig));
    m_controller->proceed();
    m_controller.reset();
    ASSERT_TRUE(eventually(
        [&] { return logged(m_state, QStringLiteral("检测到集群名称: prod-cluster")); }));
    ASSERT_TRUE(settleLog(m_state));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
}

} // namespace
