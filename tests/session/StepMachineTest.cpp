#include "session/InstallationState.h"

#include "SessionTestSupport.h"

#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

namespace {

class StepMachine : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_stateHome.isValid());
        m_state.emplace();
        runPostedWork();
    }

    InstallationState& state() { return *m_state; }

    // The lines logged since the last call, without their time stamps.
    QStringList newMessages() {
        const QString all = state().logs();
        const QStringList lines = all.mid(m_seen).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        m_seen = all.size();
        QStringList messages;
        for (const QString& line : lines) {
            messages.append(line.mid(QStringLiteral("[yyyy-MM-dd HH:mm:ss] ").size()));
        }
        return messages;
    }

    // One moveToNextStep: nothing changes before the GUI thread runs the posted work.
    void advanceFrom(InstallationStep step) {
        state().setCurrentStep(step);
        newMessages();
        state().moveToNextStep();
        EXPECT_EQ(state().currentStep(), step);
        runPostedWork();
    }

    QTemporaryDir m_stateHome;
    ScopedEnvironmentVariable m_xdg{"XDG_STATE_HOME", QFile::encodeName(m_stateHome.path())};
    std::optional<InstallationState> m_state;
    qsizetype m_seen = 0;
};

} // namespace

TEST_F(StepMachine, FreshSessionHasItsInitialValues) {
    InstallationState fresh;
    EXPECT_EQ(fresh.currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_TRUE(fresh.kubeconfigPath().isEmpty());
    EXPECT_TRUE(fresh.kubeconfigDisplayPath().isEmpty());
    EXPECT_TRUE(fresh.installDevtron());
    EXPECT_EQ(fresh.installationProgress(), 0.0);
    EXPECT_FALSE(fresh.installationStartTime().has_value());
    EXPECT_FALSE(fresh.errorMessage().has_value());
    EXPECT_FALSE(fresh.isShowingError());
    EXPECT_FALSE(fresh.isInstalling());
    EXPECT_TRUE(fresh.devtronUrl().isEmpty());
    EXPECT_EQ(fresh.devtronUsername(), QStringLiteral("admin"));
    EXPECT_TRUE(fresh.devtronPassword().isEmpty());
    EXPECT_EQ(fresh.installationTime(), 0.0);
    EXPECT_TRUE(fresh.installationComplete());
    // The header lines are posted, so they are not there yet.
    EXPECT_TRUE(fresh.logs().isEmpty());
    EXPECT_FALSE(fresh.logFilePath().isEmpty());
}

TEST_F(StepMachine, EveryAssignmentIsAnnouncedEvenWhenTheValueIsEqual) {
    const QMetaObject* meta = state().metaObject();
    int writable = 0;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isWritable()) {
            continue;
        }
        ++writable;
        ASSERT_TRUE(property.hasNotifySignal()) << property.name();
        QSignalSpy spy(&state(), property.notifySignal());
        ASSERT_TRUE(property.write(&state(), property.read(&state()))) << property.name();
        EXPECT_EQ(spy.count(), 1) << property.name();
    }
    EXPECT_EQ(writable, 14);
}

TEST_F(StepMachine, KubeconfigPathTakesTheDisplayPathOrThePathItself) {
    state().setKubeconfigPath(QStringLiteral("/run/user/1000/nimbrel/kubeconfig"));
    EXPECT_EQ(state().kubeconfigPath(), QStringLiteral("/run/user/1000/nimbrel/kubeconfig"));
    EXPECT_EQ(state().kubeconfigDisplayPath(), QStringLiteral("/run/user/1000/nimbrel/kubeconfig"));

    state().setKubeconfigPath(QStringLiteral("/tmp/decoded"), QStringLiteral("~/下载/集群.yaml"));
    EXPECT_EQ(state().kubeconfigPath(), QStringLiteral("/tmp/decoded"));
    EXPECT_EQ(state().kubeconfigDisplayPath(), QStringLiteral("~/下载/集群.yaml"));

    newMessages();
    runPostedWork();
    EXPECT_EQ(newMessages(), QStringList({QStringLiteral("设置Kubeconfig路径")}) +
                                 QStringList({QStringLiteral("设置Kubeconfig路径")}));
}

TEST_F(StepMachine, StepTableRowByRow) {
    advanceFrom(InstallationStep::kubeconfigSelection);
    EXPECT_EQ(state().currentStep(), InstallationStep::devtronChoice);
    EXPECT_EQ(newMessages(), QStringList{QStringLiteral("进入步骤: 选择是否安装Devtron")});

    const QDateTime before = QDateTime::currentDateTime();
    advanceFrom(InstallationStep::devtronChoice);
    EXPECT_EQ(state().currentStep(), InstallationStep::installation);
    ASSERT_TRUE(state().installationStartTime().has_value());
    EXPECT_GE(*state().installationStartTime(), before);
    EXPECT_LE(*state().installationStartTime(), QDateTime::currentDateTime());
    EXPECT_TRUE(state().isInstalling());
    EXPECT_EQ(newMessages(), QStringList{QStringLiteral("进入步骤: 开始安装过程")});

    state().setInstallDevtron(true);
    advanceFrom(InstallationStep::installation);
    EXPECT_EQ(state().currentStep(), InstallationStep::waitingForServices);
    EXPECT_TRUE(state().isInstalling());
    EXPECT_EQ(state().installationTime(), 0.0);
    EXPECT_EQ(newMessages(), QStringList{QStringLiteral("进入步骤: 等待服务启动")});

    state().setInstallationStartTime(QDateTime::currentDateTime().addMSecs(-125'500));
    advanceFrom(InstallationStep::waitingForServices);
    EXPECT_EQ(state().currentStep(), InstallationStep::completion);
    EXPECT_FALSE(state().isInstalling());
    EXPECT_GE(state().installationTime(), 125.5);
    EXPECT_LT(state().installationTime(), 185.0);
    const QStringList waited = newMessages();
    ASSERT_EQ(waited.size(), 2);
    EXPECT_EQ(waited[0], QStringLiteral("进入步骤: 安装完成"));
    EXPECT_EQ(waited[1], QStringLiteral("总安装时间: ") +
                             InstallationState::formatTime(state().installationTime()));
    EXPECT_TRUE(waited[1].startsWith(QStringLiteral("总安装时间: 2分")));
}

TEST_F(StepMachine, WithoutDevtronTheWaitIsSkipped) {
    state().setInstallDevtron(false);
    state().setIsInstalling(true);
    state().setInstallationStartTime(QDateTime::currentDateTime().addSecs(-61));
    advanceFrom(InstallationStep::installation);
    EXPECT_EQ(state().currentStep(), InstallationStep::completion);
    EXPECT_FALSE(state().isInstalling());
    EXPECT_GE(state().installationTime(), 61.0);
    const QStringList messages = newMessages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], QStringLiteral("未安装Devtron，跳过等待服务启动步骤"));
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("总安装时间: 1分")));
}

TEST_F(StepMachine, CompletionWithoutStartTimeRecordsNoTotal) {
    state().setInstallationTime(42.0);
    state().setIsInstalling(true);
    advanceFrom(InstallationStep::waitingForServices);
    EXPECT_EQ(state().currentStep(), InstallationStep::completion);
    EXPECT_FALSE(state().isInstalling());
    EXPECT_EQ(state().installationTime(), 42.0);
    EXPECT_EQ(newMessages(), QStringList{QStringLiteral("进入步骤: 安装完成")});
}

TEST_F(StepMachine, CompletionWrapsToANewSessionWithAReset) {
    state().setKubeconfigPath(QStringLiteral("/k"), QStringLiteral("~/k"));
    state().setInstallDevtron(false);
    state().setInstallationProgress(1.0);
    state().setInstallationStartTime(QDateTime::currentDateTime());
    state().setErrorMessage(QStringLiteral("坏了"));
    state().setIsShowingError(true);
    state().setIsInstalling(true);
    state().setDevtronUrl(QStringLiteral("http://10.0.0.1:22443"));
    state().setDevtronPassword(QStringLiteral("secret"));
    state().setDevtronUsername(QStringLiteral("root"));
    state().setInstallationTime(77.0);
    state().setInstallationComplete(false);
    runPostedWork();
    const QString logsBefore = state().logs();

    advanceFrom(InstallationStep::completion);
    EXPECT_EQ(state().currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_TRUE(state().kubeconfigPath().isEmpty());
    EXPECT_TRUE(state().kubeconfigDisplayPath().isEmpty());
    EXPECT_TRUE(state().installDevtron());
    EXPECT_EQ(state().installationProgress(), 0.0);
    EXPECT_FALSE(state().installationStartTime().has_value());
    EXPECT_FALSE(state().errorMessage().has_value());
    EXPECT_FALSE(state().isShowingError());
    EXPECT_FALSE(state().isInstalling());
    EXPECT_TRUE(state().devtronUrl().isEmpty());
    EXPECT_TRUE(state().devtronPassword().isEmpty());
    // What carries over into the new session.
    EXPECT_EQ(state().devtronUsername(), QStringLiteral("root"));
    EXPECT_EQ(state().installationTime(), 77.0);
    EXPECT_FALSE(state().installationComplete());
    EXPECT_TRUE(state().logs().startsWith(logsBefore));
    EXPECT_EQ(newMessages(), QStringList{QStringLiteral("=== 新安装会话开始 ===")});
}

TEST_F(StepMachine, CallsInARowAreCarriedOutInOrder) {
    state().moveToNextStep();
    state().moveToNextStep();
    state().showError(QStringLiteral("集群无法访问"));
    EXPECT_EQ(state().currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_FALSE(state().isShowingError());
    newMessages();
    runPostedWork();
    EXPECT_EQ(state().currentStep(), InstallationStep::installation);
    EXPECT_TRUE(state().isInstalling());
    EXPECT_EQ(newMessages(), QStringList({QStringLiteral("进入步骤: 选择是否安装Devtron"),
                                          QStringLiteral("进入步骤: 开始安装过程"),
                                          QStringLiteral("错误: 集群无法访问")}));
}

TEST_F(StepMachine, ShowErrorRaisesTheCardOnTheGuiThread) {
    QSignalSpy raised(&state(), &InstallationState::isShowingErrorChanged);
    state().showError(QStringLiteral("kubectl 未找到"));
    EXPECT_FALSE(state().errorMessage().has_value());
    EXPECT_EQ(raised.count(), 0);
    newMessages();
    runPostedWork();
    EXPECT_EQ(state().errorMessage(), QStringLiteral("kubectl 未找到"));
    EXPECT_TRUE(state().isShowingError());
    EXPECT_EQ(raised.count(), 1);
    EXPECT_EQ(newMessages(), QStringList{QStringLiteral("错误: kubectl 未找到")});
}

TEST(FormatTime, WholeMinutesAndSecondsTruncated) {
    EXPECT_EQ(InstallationState::formatTime(0), QStringLiteral("0分0秒"));
    EXPECT_EQ(InstallationState::formatTime(59), QStringLiteral("0分59秒"));
    EXPECT_EQ(InstallationState::formatTime(61.99), QStringLiteral("1分1秒"));
    EXPECT_EQ(InstallationState::formatTime(125.9), QStringLiteral("2分5秒"));
    EXPECT_EQ(InstallationState::formatTime(3600), QStringLiteral("60分0秒"));
    EXPECT_EQ(InstallationState::formatTime(86400.5), QStringLiteral("1440分0秒"));
    // Not durations a clock can produce, but they must not crash or be undefined.
    EXPECT_EQ(InstallationState::formatTime(std::numeric_limits<double>::quiet_NaN()),
              QStringLiteral("0分0秒"));
    EXPECT_EQ(InstallationState::formatTime(std::numeric_limits<double>::infinity()),
              QStringLiteral("0分0秒"));
    EXPECT_EQ(InstallationState::formatTime(1e300), QStringLiteral("0分0秒"));
}
