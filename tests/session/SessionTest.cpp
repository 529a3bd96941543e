#include "session/InstallationState.h"
#include "session/InstallationStep.h"
#include "shell/UiLanguage.h"

#include "support/ScopedEnvironmentVariable.h"
#include "support/StandInTools.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString stamp = QStringLiteral(R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\] )");

void runPostedWork() {
    for (int round = 0; round < 8; ++round) {
        QCoreApplication::sendPostedEvents();
    }
}

class Session : public testing::Test {
protected:
    // The messages logged since the last call, without their time stamps.
    QStringList newMessages(InstallationState& state) {
        runPostedWork();
        const QStringList lines =
            state.logs().mid(m_seen).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        m_seen = state.logs().size();
        QStringList messages;
        for (const QString& line : lines) {
            messages.append(line.mid(22));
        }
        return messages;
    }
    QString logPath() const { return m_home.path() + u"/nimbrel/devtron_install.log"_s; }

    QTemporaryDir m_home;
    ScopedEnvironmentVariable m_xdg{"XDG_STATE_HOME", QFile::encodeName(m_home.path())};
    qsizetype m_seen = 0;
};

} // namespace

TEST_F(Session, LogLinesGoToMemoryAndAPrivateFileThatLaterRunsAppendTo) {
    {
        InstallationState first;
        first.appendLog(u"第一行\n第二行"_s);
        first.appendLog(QString());
        EXPECT_TRUE(first.logs().isEmpty());
        runPostedWork();
        const QRegularExpression expected(
            u"^"_s + stamp + u"=== Nimbrel 安装日志 ===\n"_s + stamp + u"日志文件位置: "_s +
            QRegularExpression::escape(logPath()) + '\n' + stamp + u"安装会话开始\n"_s + stamp +
            u"第一行\n第二行\n"_s + stamp + u"\n$"_s);
        EXPECT_TRUE(expected.match(first.logs()).hasMatch()) << first.logs().toStdString();
        EXPECT_EQ(readTextFile(logPath()), first.logs());
        EXPECT_EQ(first.exportLogs(), QUrl::fromLocalFile(logPath()));
    }
    QFile::setPermissions(logPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ReadOther);
    const QString firstRun = readTextFile(logPath());
    InstallationState second;
    runPostedWork();
    EXPECT_EQ(modeOf(logPath()), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readTextFile(logPath()), firstRun + second.logs());
}

TEST_F(Session, ConcurrentLinesAreAllKeptInEachThreadsOrder) {
    InstallationState state;
    newMessages(state);
    {
        std::vector<std::jthread> writers;
        for (int t = 0; t < 4; ++t) {
            writers.emplace_back([&state, t] {
                for (int i = 0; i < 2000; ++i) {
                    state.appendLog(u"%1 %2"_s.arg(t).arg(i));
                }
            });
        }
    }
    const QStringList messages = newMessages(state);
    ASSERT_EQ(messages.size(), 8000);
    std::vector<int> next(4, 0);
    for (const QString& message : messages) {
        const auto t = static_cast<size_t>(message.section(' ', 0, 0).toInt());
        ASSERT_EQ(message.section(' ', 1).toInt(), next[t]++);
    }
    EXPECT_EQ(readTextFile(logPath()), state.logs());
}

TEST_F(Session, LogFileTroubleGoesToTheConsoleAndTheLogStaysInMemory) {
    InstallationState state;
    runPostedWork();
    ASSERT_TRUE(QFile::remove(logPath()));
    EXPECT_TRUE(capturedStdout([&] {
                    state.appendLog(u"after removal"_s);
                    runPostedWork();
                }).startsWith(u"写入日志文件失败: "_s));
    EXPECT_FALSE(QFileInfo::exists(logPath()));
    EXPECT_FALSE(state.exportLogs().has_value());
    EXPECT_TRUE(state.logs().endsWith(u"] after removal\n"_s));
}

TEST_F(Session, StepsAdvanceByTheTableOnTheGuiThread) {
    InstallationState state;
    newMessages(state);
    struct Row {
        InstallationStep from;
        bool installDevtron;
        InstallationStep to;
        bool installingAfter;
        QString message;
    };
    using S = InstallationStep;
    const QList<Row> table = {
        {S::kubeconfigSelection, true, S::devtronChoice, false, "进入步骤: 选择是否安装Devtron"},
        {S::devtronChoice, true, S::installation, true, "进入步骤: 开始安装过程"},
        {S::installation, true, S::waitingForServices, true, "进入步骤: 等待服务启动"},
        {S::installation, false, S::completion, false, "未安装Devtron，跳过等待服务启动步骤"},
        {S::waitingForServices, true, S::completion, false, "进入步骤: 安装完成"},
    };
    for (const Row& row : table) {
        state.setCurrentStep(row.from);
        state.setInstallDevtron(row.installDevtron);
        state.setIsInstalling(row.from != S::kubeconfigSelection);
        state.setInstallationStartTime(QDateTime::currentDateTime().addMSecs(-61'500));
        state.moveToNextStep();
        EXPECT_EQ(state.currentStep(), row.from);
        const QStringList messages = newMessages(state);
        EXPECT_EQ(state.currentStep(), row.to) << row.message.toStdString();
        EXPECT_EQ(state.isInstalling(), row.installingAfter) << row.message.toStdString();
        ASSERT_FALSE(messages.isEmpty());
        EXPECT_EQ(messages.first(), row.message);
        // Reaching completion records the total time since the start.
        EXPECT_EQ(messages.size() > 1 && messages[1].startsWith(u"总安装时间: 1分"_s),
                  row.to == S::completion);
    }
    EXPECT_GT(state.installationTime(), 61.0);
}

TEST_F(Session, CompletionWrapsToAResetSessionAndCallsKeepTheirOrder) {
    InstallationState state;
    state.setKubeconfigPath(u"/tmp/decoded"_s, u"~/集群.yaml"_s);
    state.setInstallDevtron(false);
    state.setInstallationProgress(1.0);
    state.setDevtronPassword(u"secret"_s);
    state.setCurrentStep(InstallationStep::completion);
    newMessages(state);

    QSignalSpy raised(&state, &InstallationState::isShowingErrorChanged);
    state.moveToNextStep();
    state.moveToNextStep();
    state.showError(u"集群无法访问"_s);
    EXPECT_EQ(raised.count(), 0);
    EXPECT_EQ(newMessages(state),
              QStringList({"=== 新安装会话开始 ===", "进入步骤: 选择是否安装Devtron",
                           "错误: 集群无法访问"}));
    EXPECT_EQ(state.currentStep(), InstallationStep::devtronChoice);
    EXPECT_TRUE(state.kubeconfigPath().isEmpty() && state.kubeconfigDisplayPath().isEmpty());
    EXPECT_TRUE(state.installDevtron() && state.isShowingError());
    EXPECT_EQ(state.installationProgress(), 0.0);
    EXPECT_TRUE(state.devtronPassword().isEmpty());
}

TEST_F(Session, StepLinesAndDurationsSpeakTheChosenLanguage) {
    const UiLanguage english(UiLanguage::Language::english);
    InstallationState state;
    newMessages(state);
    state.setCurrentStep(InstallationStep::waitingForServices);
    state.setInstallationStartTime(QDateTime::currentDateTime().addMSecs(-61'100));
    state.moveToNextStep();
    EXPECT_EQ(newMessages(state),
              QStringList({"Entering step: Finished", "Total installation time: 1 min 1 s"}));
}

TEST(FormatTime, WholeMinutesAndSecondsTruncatedAndNonsenseAsZero) {
    const QList<std::pair<double, QString>> cases = {
        {61.99, "1分1秒"},
        {86400.5, "1440分0秒"},
        {std::numeric_limits<double>::quiet_NaN(), "0分0秒"},
        {1e300, "0分0秒"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(InstallationState::formatTime(seconds), text) << seconds;
    }
    EXPECT_FALSE(installationStepFromRaw(5).has_value());
}
