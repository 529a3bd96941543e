#include "shell/ShellUtils.h"

#include "ShellTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace {

constexpr qsizetype sixtyFourMiB = qsizetype{64} * 1024 * 1024;

class ShellPathOverride {
public:
    explicit ShellPathOverride(const QString& path) : m_old(ShellUtils::shellPath()) {
        ShellUtils::setShellPath(path);
    }
    ~ShellPathOverride() { ShellUtils::setShellPath(m_old); }
    ShellPathOverride(const ShellPathOverride&) = delete;
    ShellPathOverride& operator=(const ShellPathOverride&) = delete;

private:
    QString m_old;
};

struct AsyncOutcome {
    CommandResult result;
    bool onMainThread = true;
};

// Runs one async variant and waits for its completion.
template <typename Start> AsyncOutcome awaitCompletion(Start start) {
    AsyncOutcome outcome;
    QSemaphore done;
    QThread* const mainThread = QCoreApplication::instance()->thread();
    start([&](const QString& output, const QString& error, int exitCode) {
        outcome.result = {output, error, exitCode};
        outcome.onMainThread = QThread::currentThread() == mainThread;
        done.release();
    });
    done.acquire();
    return outcome;
}

} // namespace

TEST(CommandRunner, ReturnsStreamsUntrimmedAndTheExitStatus) {
    const CommandResult word = ShellUtils::runCommand(QStringLiteral("echo hello"));
    EXPECT_EQ(word.output, QStringLiteral("hello\n"));
    EXPECT_EQ(word.error, QString());
    EXPECT_EQ(word.exitCode, 0);

    const CommandResult failing =
        ShellUtils::runCommand(QStringLiteral("print -u2 '连接被拒绝'; exit 3"));
    EXPECT_EQ(failing.output, QString());
    EXPECT_EQ(failing.error, QStringLiteral("连接被拒绝\n"));
    EXPECT_EQ(failing.exitCode, 3);

    // A child ended by a signal must not look like success.
    const CommandResult killed = ShellUtils::runCommand(QStringLiteral("kill -KILL $$"));
    EXPECT_EQ(killed.exitCode, 128 + 9);
}

TEST(CommandRunner, DrainsBothLargeStreamsWhileTheChildRuns) {
    // Both writers run at once; a runner that reads one pipe at a time leaves the other writer
    // blocked on a full pipe and never returns.
    const CommandResult result = ShellUtils::runCommand(QStringLiteral(
        "head -c 67108864 /dev/zero | tr '\\0' o & head -c 67108864 /dev/zero | tr '\\0' e >&2; "
        "wait"));
    ASSERT_EQ(result.exitCode, 0);
    ASSERT_EQ(result.output.size(), sixtyFourMiB);
    ASSERT_EQ(result.error.size(), sixtyFourMiB);
    EXPECT_EQ(result.output.count(QLatin1Char('o')), sixtyFourMiB);
    EXPECT_EQ(result.error.count(QLatin1Char('e')), sixtyFourMiB);
}

TEST(CommandRunner, InvalidUtf8EmptiesOnlyThatStream) {
    const CommandResult badOutput =
        ShellUtils::runCommand(QStringLiteral("printf 'ab\\377cd'; printf 'still here' >&2"));
    EXPECT_EQ(badOutput.output, QString());
    EXPECT_EQ(badOutput.error, QStringLiteral("still here"));
    EXPECT_EQ(badOutput.exitCode, 0);

    // A multi-byte sequence cut off at the very end is invalid too.
    const CommandResult truncated =
        ShellUtils::runCommand(QStringLiteral("printf 'ok'; printf '\\344\\275' >&2; exit 4"));
    EXPECT_EQ(truncated.output, QStringLiteral("ok"));
    EXPECT_EQ(truncated.error, QString());
    EXPECT_EQ(truncated.exitCode, 4);
}

TEST(CommandRunner, MultiByteTextSurvivesBeingReadInPieces) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // Megabytes of 2-, 3- and 4-byte sequences: the pipe hands them over in pieces that end
    // inside a character.
    const QString text = QStringLiteral("\uFEFF") + QStringLiteral("中文😀é;").repeated(300'000);
    QFile file(folder.filePath(QStringLiteral("text")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();

    const QString cat = QStringLiteral("cat ") + ShellUtils::quotePath(file.fileName());
    const CommandResult whole = ShellUtils::runCommand(cat + QStringLiteral(" >&2; ") + cat);
    EXPECT_EQ(whole.output, text);
    EXPECT_EQ(whole.error, text);

    // The same text cut inside its last character is not valid UTF-8.
    const CommandResult cut = ShellUtils::runCommand(cat + QStringLiteral("; printf '\\360\\237'"));
    EXPECT_EQ(cut.output, QString());
}

TEST(CommandRunner, ChildInheritsWorkingFolderAndStandardInput) {
    const CommandResult pwd = ShellUtils::runCommand(QStringLiteral("pwd -P"));
    EXPECT_EQ(pwd.output.trimmed(), QDir(QDir::currentPath()).canonicalPath());

    const CommandResult input = ShellUtils::runCommand(QStringLiteral("readlink /proc/$$/fd/0"));
    EXPECT_EQ(input.output.trimmed(), QFile::symLinkTarget(QStringLiteral("/proc/self/fd/0")));
}

TEST(CommandRunner, ReturnsWhenTheChildEndsEvenIfABackgroundJobKeepsThePipes) {
    const CommandResult result =
        ShellUtils::runCommand(QStringLiteral("(sleep 3; echo late) & echo done"));
    EXPECT_EQ(result.output, QStringLiteral("done\n"));
    EXPECT_EQ(result.exitCode, 0);
}

TEST(CommandRunner, StartFailureIsReportedInTheResultByEveryVariant) {
    const ShellPathOverride missingShell(QStringLiteral("/nonexistent/nimbrel/zsh"));
    const QString prefix = QStringLiteral("Failed to execute command: ");

    const CommandResult sync = ShellUtils::runCommand(QStringLiteral("echo never"));
    EXPECT_EQ(sync.output, QString());
    EXPECT_TRUE(sync.error.startsWith(prefix)) << sync.error.toStdString();
    EXPECT_GT(sync.error.size(), prefix.size());
    EXPECT_EQ(sync.exitCode, 1);

    const CommandResult withEnv = ShellUtils::runCommandWithEnv(
        QStringLiteral("echo never"), {{QStringLiteral("A"), QStringLiteral("b")}});
    EXPECT_EQ(withEnv.output, QString());
    EXPECT_TRUE(withEnv.error.startsWith(prefix));
    EXPECT_EQ(withEnv.exitCode, 1);

    const AsyncOutcome async = awaitCompletion([](CommandCompletion completion) {
        ShellUtils::runCommandAsync(QStringLiteral("echo never"), std::move(completion));
    });
    EXPECT_EQ(async.result.output, QString());
    EXPECT_TRUE(async.result.error.startsWith(prefix));
    EXPECT_EQ(async.result.exitCode, 1);

    const AsyncOutcome asyncEnv = awaitCompletion([](CommandCompletion completion) {
        ShellUtils::runCommandAsyncWithEnv(QStringLiteral("echo never"),
                                           {{QStringLiteral("A"), QStringLiteral("b")}},
                                           std::move(completion));
    });
    EXPECT_EQ(asyncEnv.result.output, QString());
    EXPECT_TRUE(asyncEnv.result.error.startsWith(prefix));
    EXPECT_EQ(asyncEnv.result.exitCode, 1);
}

TEST(CommandRunner, AsyncVariantsCompleteOnABackgroundThread) {
    const AsyncOutcome plain = awaitCompletion([](CommandCompletion completion) {
        ShellUtils::runCommandAsync(QStringLiteral("echo out; echo err >&2; exit 5"),
                                    std::move(completion));
    });
    EXPECT_FALSE(plain.onMainThread);
    EXPECT_EQ(plain.result.output, QStringLiteral("out\n"));
    EXPECT_EQ(plain.result.error, QStringLiteral("err\n"));
    EXPECT_EQ(plain.result.exitCode, 5);

    const AsyncOutcome overlaid = awaitCompletion([](CommandCompletion completion) {
        ShellUtils::runCommandAsyncWithEnv(
            QStringLiteral("printf %s \"$KUBECONFIG\""),
            {{QStringLiteral("KUBECONFIG"), QStringLiteral("/tmp/集群/config")}},
            std::move(completion));
    });
    EXPECT_FALSE(overlaid.onMainThread);
    EXPECT_EQ(overlaid.result.output, QStringLiteral("/tmp/集群/config"));
}

TEST(EnvironmentOverlay, ReplacesAndAddsForTheChildOnly) {
    const ScopedEnvironmentVariable existing("NIMBREL_TEST_EXISTING", "old value");
    const ScopedEnvironmentVariable untouched("NIMBREL_TEST_UNTOUCHED", "kept");
    qunsetenv("NIMBREL_TEST_ADDED");

    const CommandResult result = ShellUtils::runCommandWithEnv(
        QStringLiteral("printf '%s|%s|%s' \"$NIMBREL_TEST_EXISTING\" \"$NIMBREL_TEST_ADDED\" "
                       "\"$NIMBREL_TEST_UNTOUCHED\""),
        {{QStringLiteral("NIMBREL_TEST_EXISTING"), QStringLiteral("new value")},
         {QStringLiteral("NIMBREL_TEST_ADDED"), QStringLiteral("/home/用户/.kube/config")}});
    EXPECT_EQ(result.output, QStringLiteral("new value|/home/用户/.kube/config|kept"));

    EXPECT_EQ(qgetenv("NIMBREL_TEST_EXISTING"), QByteArray("old value"));
    EXPECT_FALSE(qEnvironmentVariableIsSet("NIMBREL_TEST_ADDED"));
}

TEST(EnvironmentOverlay, EmptyOverlayPassesTheWholeEnvironment) {
    const ScopedEnvironmentVariable marker("NIMBREL_TEST_MARKER", "x=y z");
    const CommandResult result =
        ShellUtils::runCommandWithEnv(QStringLiteral("env -0"), EnvironmentOverlay{});
    ASSERT_EQ(result.exitCode, 0);

    QProcessEnvironment seen;
    for (const QString& entry : result.output.split(QChar(0), Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        seen.insert(entry.left(eq), entry.mid(eq + 1));
    }
    // The shell itself maintains these.
    const QStringList shellOwned = {QStringLiteral("_"), QStringLiteral("SHLVL"),
                                    QStringLiteral("PWD"), QStringLiteral("OLDPWD")};
    const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
    for (const QString& name : own.keys()) {
        if (shellOwned.contains(name)) {
            continue;
        }
        EXPECT_EQ(seen.value(name, QStringLiteral("<missing>")), own.value(name))
            << name.toStdString();
    }
    EXPECT_EQ(seen.value(QStringLiteral("NIMBREL_TEST_MARKER")), QStringLiteral("x=y z"));
}

TEST(EnvironmentOverlay, MalformedNamesAreSkippedNotPassedOn) {
    const CommandResult result = ShellUtils::runCommandWithEnv(
        QStringLiteral("printf %s \"$NIMBREL_OK\"; env | grep -c '^=' "),
        {{QString(), QStringLiteral("empty name")},
         {QStringLiteral("NIMBREL_OK=injected"), QStringLiteral("x")},
         {QStringLiteral("NIMBREL_OK"), QStringLiteral("fine")}});
    EXPECT_EQ(result.output, QStringLiteral("fine0\n"));
}

TEST(SetEnvironmentVariable, SetsTheVariableForThisProcessAndLaterChildren) {
    const ScopedEnvironmentVariable restore("NIMBREL_TEST_SET", "before");
    testing::internal::CaptureStdout();
    const bool set = ShellUtils::setEnvironmentVariable(QStringLiteral("NIMBREL_TEST_SET"),
                                                        QStringLiteral("/a b/配置"));
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(set);
    EXPECT_EQ(QString::fromUtf8(console),
              QStringLiteral("成功设置环境变量 NIMBREL_TEST_SET=/a b/配置 (仅当前进程)\n"));
    EXPECT_EQ(qEnvironmentVariable("NIMBREL_TEST_SET"), QStringLiteral("/a b/配置"));
    EXPECT_EQ(ShellUtils::runCommand(QStringLiteral("printf %s \"$NIMBREL_TEST_SET\"")).output,
              QStringLiteral("/a b/配置"));
}

TEST(SetEnvironmentVariable, RejectedNameFailsWithoutRunningItThroughTheShell) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString marker = folder.filePath(QStringLiteral("ran"));
    testing::internal::CaptureStdout();
    const bool set = ShellUtils::setEnvironmentVariable(
        QStringLiteral("BAD=NAME;touch ") + marker + QStringLiteral(";X"), QStringLiteral("v"));
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(set);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(
        QString::fromUtf8(console).startsWith(QStringLiteral("设置环境变量失败: BAD=NAME")));
}

TEST(DecodeBase64, StrictStandardBase64OfUtf8Only) {
    // "管理员密码: s3cret!" encoded with padding.
    const QString text = QStringLiteral("566h55CG5ZGY5a+G56CBOiBzM2NyZXQh");
    EXPECT_EQ(ShellUtils::decodeBase64(text), QStringLiteral("管理员密码: s3cret!"));
    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral("YWJjZA==")), QStringLiteral("abcd"));
    EXPECT_EQ(ShellUtils::decodeBase64(QString()), QString());

    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral("YWJjZA")), std::nullopt);
    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral("YWJjZA=")), std::nullopt);
    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral("YWJj\nZA==")), std::nullopt);
    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral("YWJjZA==\n")), std::nullopt);
    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral("YWJjZA==\r\n")), std::nullopt);
    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral(" YWJjZA==")), std::nullopt);
    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral("YW-jZA__")), std::nullopt);
    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral("YWJjZ€==")), std::nullopt);
    // 0xFF 0xFE is not UTF-8.
    EXPECT_EQ(ShellUtils::decodeBase64(QStringLiteral("//4=")), std::nullopt);
}

TEST(CommandRunner, TimeLimitEndsTheChildAndEverythingItStarted) {
    const CommandResult result = ShellUtils::runCommandWithEnv(
        QStringLiteral("echo started; sleep 30 & sleep 30"), {}, std::chrono::milliseconds(300));
    EXPECT_EQ(result.exitCode, 124);
    EXPECT_EQ(result.output, QStringLiteral("started\n"));
    EXPECT_TRUE(result.error.contains(QStringLiteral("命令超时")));
    // Nothing of the killed group is left running.
    EXPECT_NE(ShellUtils::runCommand(QStringLiteral("pgrep -f 'sleep 30'")).exitCode, 0);
}
