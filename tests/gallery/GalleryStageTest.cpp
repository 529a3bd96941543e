#include "GalleryStage.h"

#include "app/ContentView.h"
#include "app/ErrorOverlay.h"
#include "app/MainWindow.h"
#include "app/StepListView.h"
#include "session/InstallationState.h"
#include "views/DetailedErrorView.h"
#include "views/DevtronChoiceView.h"
#include "views/KubeconfigSelectionView.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QThreadPool>

#include <gtest/gtest.h>

namespace {

// Generous: the stand-in kubectl is a shell script on a shared machine.
constexpr int settleDeadlineMilliseconds = 60000;

bool reach(GalleryStage& stage, const QString& name) {
    QSignalSpy settled(&stage, &GalleryStage::settled);
    return stage.stage(name) && (!settled.isEmpty() || settled.wait(settleDeadlineMilliseconds));
}

QWidget* screen(GalleryStage& stage) {
    return stage.window().contentView()->currentScreen();
}

template <typename Widget> Widget* part(GalleryStage& stage, const char* objectName) {
    auto* found = screen(stage)->findChild<Widget*>(QString::fromLatin1(objectName));
    EXPECT_NE(found, nullptr) << objectName;
    return found;
}

QString errorCardText(GalleryStage& stage) {
    const ErrorOverlay* overlay = stage.window().contentView()->errorOverlay();
    return overlay != nullptr ? overlay->card()->errorMessage() : QString();
}

} // namespace

TEST(ScreenGallery, KubeconfigStatesShowWhatTheirNamesSay) {
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("kubeconfig-empty")));
        EXPECT_TRUE(stage.state().kubeconfigPath().isEmpty());
        EXPECT_FALSE(part<QAbstractButton>(stage, "nextButton")->isEnabled());
    }
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("kubeconfig-chosen")));
        EXPECT_EQ(part<QLabel>(stage, "fileNameLabel")->text(), QStringLiteral("my-cluster.yaml"));
        EXPECT_EQ(part<QLabel>(stage, "filePathLabel")->toolTip(), stage.validKubeconfigPath());
        EXPECT_TRUE(part<QAbstractButton>(stage, "nextButton")->isEnabled());
        EXPECT_FALSE(stage.state().isShowingError());
    }
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("kubeconfig-validating")));
        EXPECT_TRUE(qobject_cast<KubeconfigSelectionView*>(screen(stage))->isValidating());
        EXPECT_FALSE(part<QAbstractButton>(stage, "nextButton")->isEnabled());
        EXPECT_EQ(stage.state().currentStep(), InstallationStep::kubeconfigSelection);
        EXPECT_FALSE(stage.state().isShowingError());
    }
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("kubeconfig-error")));
        const QString message = errorCardText(stage);
        for (const char* missing : {"clusters", "contexts", "current-context"}) {
            EXPECT_TRUE(message.contains(QLatin1String(missing))) << message.toStdString();
        }
        EXPECT_FALSE(message.contains(QStringLiteral("apiVersion"))) << message.toStdString();
        EXPECT_EQ(stage.state().currentStep(), InstallationStep::kubeconfigSelection);
    }
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("error-card-unknown")));
        EXPECT_EQ(errorCardText(stage), QStringLiteral("未知错误"));
    }
}

TEST(ScreenGallery, ChoiceStatesShowWhatTheirNamesSay) {
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("choice-on")));
        EXPECT_TRUE(stage.state().installDevtron());
        EXPECT_EQ(stage.window().contentView()->stepList()->rows().size(), 5);
        EXPECT_TRUE(part<QWidget>(stage, "featureBox")->isVisible());
        EXPECT_FALSE(part<QWidget>(stage, "progressRow")->isVisible());
    }
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("choice-off")));
        EXPECT_FALSE(stage.state().installDevtron());
        EXPECT_EQ(stage.window().contentView()->stepList()->rows().size(), 4);
        EXPECT_FALSE(part<QWidget>(stage, "featureBox")->isVisible());
    }
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("choice-testing")));
        EXPECT_TRUE(part<QWidget>(stage, "progressRow")->isVisible());
        EXPECT_FALSE(part<QAbstractButton>(stage, "nextButton")->isEnabled());
        EXPECT_TRUE(part<QAbstractButton>(stage, "backButton")->isEnabled());
        EXPECT_EQ(stage.state().currentStep(), InstallationStep::devtronChoice);
    }
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("choice-alert")));
        const auto* alert = part<QMessageBox>(stage, "testFailAlert");
        ASSERT_NE(alert, nullptr);
        EXPECT_TRUE(alert->isVisible());
        // The recorded refusal reads as an unreachable server, wrapped as the details.
        EXPECT_TRUE(alert->informativeText().startsWith(QStringLiteral("连接Kubernetes集群失败")))
            << alert->informativeText().toStdString();
        EXPECT_TRUE(
            alert->informativeText().contains(QStringLiteral("无法连接到Kubernetes服务器")));
        EXPECT_EQ(stage.state().currentStep(), InstallationStep::devtronChoice);
    }
}

TEST(ScreenGallery, KnowsEveryStateByNameAndRefusesOthers) {
    const QStringList names = GalleryStage::stateNames();
    EXPECT_EQ(names.size(), 9);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size());

    GalleryStage stage;
    EXPECT_FALSE(stage.stage(QStringLiteral("choice-maybe")));
    EXPECT_FALSE(stage.window().isVisible());
}

TEST(ScreenGallery, LetsHeldWorkGoAndLeavesNothingBehind) {
    QThreadPool* pool = QThreadPool::globalInstance();
    const int maxThreads = pool->maxThreadCount();
    const QByteArray runtimeDirectory = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray stateDirectory = qgetenv("XDG_STATE_HOME");
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("kubeconfig-validating")));
        EXPECT_NE(qgetenv("XDG_RUNTIME_DIR"), runtimeDirectory);
        stage.release();
        EXPECT_EQ(pool->maxThreadCount(), maxThreads);
        EXPECT_EQ(pool->activeThreadCount(), 0);
        // The dropped check leaves the screen as it was.
        QCoreApplication::processEvents();
        EXPECT_EQ(stage.state().currentStep(), InstallationStep::kubeconfigSelection);
        EXPECT_FALSE(stage.state().isShowingError());
    }
    {
        GalleryStage stage;
        ASSERT_TRUE(reach(stage, QStringLiteral("choice-testing")));
        stage.release();
        // The held stand-in kubectl has ended, and with it the probe's pool thread.
        EXPECT_EQ(pool->activeThreadCount(), 0);
    }
    EXPECT_EQ(qgetenv("XDG_RUNTIME_DIR"), runtimeDirectory);
    EXPECT_EQ(qgetenv("XDG_STATE_HOME"), stateDirectory);
}
