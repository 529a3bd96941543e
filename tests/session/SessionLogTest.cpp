#include "session/InstallationState.h"

#include "SessionTestSupport.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include <sys/stat.h>

namespace {

unsigned modeOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return 0;
    }
    return info.st_mode & 07777U;
}

const QString timeStamp = QStringLiteral(R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\] )");

class SessionLog : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_stateHome.isValid()); }

    QString expectedLogPath() const {
        return m_stateHome.path() + QStringLiteral("/nimbrel/devtron_install.log");
    }

    QTemporaryDir m_stateHome;
    ScopedEnvironmentVariable m_xdg{"XDG_STATE_HOME", QFile::encodeName(m_stateHome.path())};
};

} // namespace

TEST_F(SessionLog, HeaderLinesGoToMemoryAndAPrivateFile) {
    InstallationState state;
    EXPECT_EQ(state.logFilePath(), expectedLogPath());
    EXPECT_EQ(modeOf(state.logFilePath()), 0600U);
    runPostedWork();

    const QRegularExpression header(
        QStringLiteral("^") + timeStamp + QStringLiteral("=== Nimbrel 安装日志 ===\n") + timeStamp +
        QStringLiteral("日志文件位置: ") + QRegularExpression::escape(expectedLogPath()) +
        QStringLiteral("\n") + timeStamp + QStringLiteral("安装会话开始\n$"));
    EXPECT_TRUE(header.match(state.logs()).hasMatch()) << state.logs().toStdString();
    EXPECT_EQ(QString::fromUtf8(fileBytes(state.logFilePath())), state.logs());
    EXPECT_EQ(state.exportLogs(), QUrl::fromLocalFile(expectedLogPath()));
}

TEST_F(SessionLog, LinesAreStoredAsGivenWithOneTimeStamp) {
    InstallationState state;
    runPostedWork();
    const qsizetype headerSize = state.logs().size();
    const QByteArray fileHeader = fileBytes(state.logFilePath());

    state.appendLog(QStringLiteral("第一行\n第二行"));
    state.appendLog(QString());
    EXPECT_EQ(state.logs().size(), headerSize);
    runPostedWork();

    const QString added = state.logs().mid(headerSize);
    const QRegularExpression lines(QStringLiteral("^") + timeStamp +
                                   QStringLiteral("第一行\n第二行\n") + timeStamp +
                                   QStringLiteral("\n$"));
    EXPECT_TRUE(lines.match(added).hasMatch()) << added.toStdString();
    EXPECT_EQ(fileBytes(state.logFilePath()), fileHeader + added.toUtf8());
}

TEST_F(SessionLog, SecondRunAppendsAndTightensAnOpenFile) {
    {
        InstallationState first;
        runPostedWork();
        first.appendLog(QStringLiteral("first run"));
        runPostedWork();
    }
    ASSERT_TRUE(QFile::setPermissions(expectedLogPath(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QByteArray firstRun = fileBytes(expectedLogPath());

    InstallationState second;
    runPostedWork();
    EXPECT_EQ(modeOf(expectedLogPath()), 0600U);
    const QByteArray both = fileBytes(expectedLogPath());
    EXPECT_TRUE(both.startsWith(firstRun));
    EXPECT_EQ(both.count("=== Nimbrel 安装日志 ==="), 2);
    EXPECT_EQ(QString::fromUtf8(both.mid(firstRun.size())), second.logs());
}

TEST_F(SessionLog, ManyThreadsAtOnceLoseNothingAndKeepEachThreadsOrder) {
    InstallationState state;
    runPostedWork();
    const qsizetype headerSize = state.logs().size();
    const QByteArray fileHeader = fileBytes(state.logFilePath());

    constexpr int threadCount = 8;
    constexpr int linesPerThread = 12'500;
    constexpr qsizetype totalLines = qsizetype{threadCount} * linesPerThread;
    std::vector<std::thread> writers;
    writers.reserve(threadCount);
    for (int t = 0; t < threadCount; ++t) {
        writers.emplace_back([&state, t] {
            for (int i = 0; i < linesPerThread; ++i) {
                state.appendLog(QStringLiteral("t%1 %2").arg(t).arg(i));
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const auto lineCount = [&] { return state.logs().mid(headerSize).count(QLatin1Char('\n')); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return lineCount() >= totalLines; }, 120'000));
    runPostedWork();

    const QString added = state.logs().mid(headerSize);
    EXPECT_EQ(fileBytes(state.logFilePath()), fileHeader + added.toUtf8());

    const QStringList lines = added.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), totalLines);
    std::vector<int> next(threadCount, 0);
    const QRegularExpression shape(QStringLiteral("^") + timeStamp +
                                   QStringLiteral(R"(t(\d) (\d+)$)"));
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = shape.match(line);
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        const int thread = match.captured(1).toInt();
        ASSERT_LT(thread, threadCount);
        ASSERT_EQ(match.captured(2).toInt(), next[static_cast<size_t>(thread)]) << thread;
        ++next[static_cast<size_t>(thread)];
    }
}

TEST_F(SessionLog, UncreatableFolderKeepsTheLogInMemoryOnly) {
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    const QString blocker = other.filePath(QStringLiteral("not-a-folder"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const ScopedEnvironmentVariable underAFile("XDG_STATE_HOME",
                                               QFile::encodeName(blocker + "/state"));

    testing::internal::CaptureStdout();
    InstallationState state;
    state.appendLog(QStringLiteral("still collected"));
    runPostedWork();
    const QString console = QString::fromUtf8(testing::internal::GetCapturedStdout());

    EXPECT_TRUE(state.logFilePath().isEmpty());
    EXPECT_FALSE(state.exportLogs().has_value());
    EXPECT_TRUE(console.startsWith(QStringLiteral("创建日志文件失败: ")));
    EXPECT_EQ(console.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^") + timeStamp + QStringLiteral("still collected\n$"))
            .match(state.logs())
            .hasMatch())
        << state.logs().toStdString();
}

TEST_F(SessionLog, DeletedFileIsNotRecreated) {
    InstallationState state;
    runPostedWork();
    ASSERT_TRUE(QFile::remove(state.logFilePath()));
    EXPECT_FALSE(state.exportLogs().has_value());

    testing::internal::CaptureStdout();
    state.appendLog(QStringLiteral("after removal"));
    state.appendLog(QStringLiteral("and again"));
    runPostedWork();
    const QString console = QString::fromUtf8(testing::internal::GetCapturedStdout());

    EXPECT_FALSE(QFileInfo::exists(state.logFilePath()));
    EXPECT_EQ(console.count(QStringLiteral("写入日志文件失败: ")), 2);
    EXPECT_TRUE(state.logs().contains(QStringLiteral("] after removal\n")));
    EXPECT_TRUE(state.logs().contains(QStringLiteral("] and again\n")));

    // A file recreated by someone else (the installer does) is appended to again.
    QFile recreated(state.logFilePath());
    ASSERT_TRUE(recreated.open(QIODevice::WriteOnly));
    recreated.write("installer header\n");
    recreated.close();
    state.appendLog(QStringLiteral("back on disk"));
    runPostedWork();
    const QByteArray onDisk = fileBytes(state.logFilePath());
    EXPECT_TRUE(onDisk.startsWith("installer header\n["));
    EXPECT_TRUE(onDisk.endsWith("] back on disk\n"));
}
