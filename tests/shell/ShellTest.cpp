#include "shell/AppPaths.h"
#include "shell/ClusterErrors.h"
#include "shell/ShellUtils.h"

#include "support/ChildSession.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/StandInTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

void write(const QString& path, const QByteArray& bytes, QFileDevice::Permissions mode) {
    writeTextFile(path, bytes);
    ASSERT_TRUE(QFile::setPermissions(path, mode));
}

// Runs one asynchronous variant; the result, and whether it arrived on the GUI thread.
std::pair<CommandResult, bool> awaitAsync(const std::function<void(CommandCompletion)>& start) {
    std::pair<CommandResult, bool> outcome;
    QSemaphore done;
    start([&](const QString& output, const QString& error, int exitCode) {
        outcome = {{output, error, exitCode},
                   QThread::currentThread() == QCoreApplication::instance()->thread()};
        done.release();
    });
    done.acquire();
    return outcome;
}

} // namespace

TEST(CommandRunner, ReturnsBothStreamsUntrimmedWithTheStatus) {
    const QList<std::pair<QString, CommandResult>> cases = {
        {"echo hello", {"hello\n", "", 0}},
        {"print -u2 '连接被拒绝'; exit 3", {"", "连接被拒绝\n", 3}},
        {"kill -KILL $$", {"", "", 128 + 9}},
        {"printf 'ab\\377cd'; printf 'still here' >&2", {"", "still here", 0}},
        {"printf 'ok'; printf '\\344\\275' >&2; exit 4", {"ok", "", 4}},
        {"(sleep 3; echo late) & echo done", {"done\n", "", 0}},
        {"pwd -P", {QDir(QDir::currentPath()).canonicalPath() + '\n', "", 0}},
    };
    for (const auto& [command, expected] : cases) {
        const CommandResult result = ShellUtils::runCommand(command);
        EXPECT_EQ(result.output, expected.output) << command.toStdString();
        EXPECT_EQ(result.error, expected.error) << command.toStdString();
        EXPECT_EQ(result.exitCode, expected.exitCode) << command.toStdString();
    }
}

TEST(CommandRunner, LargeStreamsAndCharactersSplitAcrossReadsArriveWhole) {
    // Both writers run at once: reading one pipe at a time would leave the other blocked.
    const CommandResult zeros = ShellUtils::runCommand(
        u"head -c 16777216 /dev/zero | tr '\\0' o & head -c 16777216 /dev/zero | tr '\\0' e >&2; "
        "wait"_s);
    EXPECT_EQ(zeros.output.count(QLatin1Char('o')), 16777216);
    EXPECT_EQ(zeros.error.count(QLatin1Char('e')), 16777216);

    QTemporaryDir folder;
    const QString text = u"\uFEFF"_s + u"中文😀é;"_s.repeated(300'000);
    writeTextFile(folder.filePath(u"text"_s), text.toUtf8());
    const QString cat = u"cat "_s + ShellUtils::quotePath(folder.filePath("text"));
    const CommandResult whole = ShellUtils::runCommand(cat + u" >&2; "_s + cat);
    EXPECT_EQ(whole.output, text);
    EXPECT_EQ(whole.error, text);
    EXPECT_EQ(ShellUtils::runCommand(cat + u"; printf '\\360\\237'"_s).output, QString());
}

// Every variant runs through one launcher: a synchronous start failure stands for them all.
TEST(CommandRunner, AStartFailureIsReportedAndAsyncRunsCompleteInTheBackground) {
    const QString shell = ShellUtils::shellPath();
    ShellUtils::setShellPath(u"/nonexistent/zsh"_s);
    const CommandResult failed = ShellUtils::runCommand(u"echo never"_s);
    ShellUtils::setShellPath(shell);
    EXPECT_EQ(failed.output, QString());
    EXPECT_TRUE(failed.error.startsWith(u"Failed to execute command: /"_s))
        << failed.error.toStdString();
    EXPECT_EQ(failed.exitCode, 1);

    const auto [result, onGuiThread] = awaitAsync([](CommandCompletion done) {
        ShellUtils::runCommandAsyncWithEnv(u"printf %s \"$KUBECONFIG\"; exit 5"_s,
                                           {{u"KUBECONFIG"_s, "/tmp/集群"}}, std::move(done));
    });
    EXPECT_FALSE(onGuiThread);
    EXPECT_EQ(result.output, u"/tmp/集群"_s);
    EXPECT_EQ(result.exitCode, 5);
}

TEST(CommandRunner, OverlayReplacesAndAddsForTheChildOnly) {
    const ScopedEnvironmentVariable existing("NIMBREL_EXISTING", "old");
    const ScopedEnvironmentVariable untouched("NIMBREL_UNTOUCHED", "x=y z");
    const CommandResult result = ShellUtils::runCommandWithEnv(
        u"printf '%s|%s|%s|' \"$NIMBREL_EXISTING\" \"$NIMBREL_ADDED\" "
        "\"$NIMBREL_UNTOUCHED\"; env | grep -c '^='"_s,
        {{u"NIMBREL_EXISTING"_s, u"new"_s},
         {u"NIMBREL_ADDED"_s, u"/home/用户/.kube/config"_s},
         {QString(), u"empty name"_s},
         {u"NIMBREL_UNTOUCHED=injected"_s, u"x"_s}});
    EXPECT_EQ(result.output, u"new|/home/用户/.kube/config|x=y z|0\n"_s);
    EXPECT_EQ(qgetenv("NIMBREL_EXISTING"), QByteArray("old"));
    EXPECT_FALSE(qEnvironmentVariableIsSet("NIMBREL_ADDED"));
}

TEST(CommandRunner, TimeLimitEndsTheChildAndEverythingItStartedWhateverItDoesWithItsOutput) {
    for (const char* command : {"echo started; sleep 30.0417 & sleep 30.0417",
                                "echo started; exec >&- 2>&-; sleep 30.0417"}) {
        QElapsedTimer clock;
        clock.start();
        const CommandResult result =
            ShellUtils::runCommandWithEnv(command, {}, std::chrono::milliseconds(300));
        EXPECT_LT(clock.elapsed(), 5000) << command;
        EXPECT_EQ(result.exitCode, 124);
        EXPECT_TRUE(result.output.startsWith(u"started\n"_s));
        EXPECT_TRUE(result.error.contains(u"命令超时"_s));
        EXPECT_NE(ShellUtils::runCommand(u"pgrep -f 'sleep 30.0417'"_s).exitCode, 0);
    }
}

TEST(ShellUtils, QuotedPathPastedIntoAnInteractiveShellIsThePath) {
    QTemporaryDir folder;
    const QString pasted = folder.filePath(u"pasted"_s);
    const std::pair<QString, QString> cases[] = {
        {"/home/用户/a b/kubectl", "\"/home/用户/a b/kubectl\""},
        {"/tmp/it's $HOME", "'/tmp/it'\\''s $HOME'"},
        {"/tmp/hi!there", "'/tmp/hi!there'"},
    };
    for (const auto& [path, quoted] : cases) {
        const QString shown = ShellUtils::quotePath(path);
        EXPECT_EQ(shown, quoted);
        writeTextFile(pasted, "printf '%s|' " + shown.toUtf8() + '\n');
        for (const QString shell : {"bash --norc -i <", "zsh -f -i <"}) {
            EXPECT_EQ(ShellUtils::runCommand(shell + ShellUtils::quotePath(pasted) + " 2>/dev/null")
                          .output,
                      path + '|')
                << shell.toStdString();
        }
    }
}

TEST(ShellUtils, SetEnvironmentVariableSetsItHereAndRefusesShellSyntaxInNames) {
    const ScopedEnvironmentVariable restore("NIMBREL_SET", "before");
    EXPECT_EQ(capturedStdout([] {
                  EXPECT_TRUE(ShellUtils::setEnvironmentVariable("NIMBREL_SET", "/a b/配置"));
              }),
              u"成功设置环境变量 NIMBREL_SET=/a b/配置 (仅当前进程)\n"_s);
    EXPECT_EQ(ShellUtils::runCommand(u"printf %s \"$NIMBREL_SET\""_s).output, u"/a b/配置"_s);

    QTemporaryDir folder;
    const QString marker = folder.filePath(u"ran"_s);
    capturedStdout([&] {
        EXPECT_FALSE(ShellUtils::setEnvironmentVariable("BAD;touch " + marker + ";X=", "v"));
    });
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(ShellUtils, DecodeBase64IsStrictStandardBase64OfUtf8) {
    const QList<std::pair<QString, std::optional<QString>>> cases = {
        {"566h55CG5ZGY5a+G56CBOiBzM2NyZXQh", u"管理员密码: s3cret!"_s},
        {"YWJjZA==", u"abcd"_s},
        {"", QString()},
        {"YWJjZA", std::nullopt},
        {"YWJj\nZA==", std::nullopt},
        {"YWJjZA==\n", std::nullopt},
        {" YWJjZA==", std::nullopt},
        {"YW-jZA__", std::nullopt},
        {"//4=", std::nullopt},
        {"Z5==", std::nullopt},
        {"YWJ=", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ShellUtils::decodeBase64(text), expected) << text.toStdString();
    }
}

TEST(FileUtilities, CopyKeepsABackupFallsBackToTheShellAndEndsOwnerOnly) {
    QTemporaryDir folder;
    const QString marker = folder.filePath(u"pwned"_s);
    const ScopedEnvironmentVariable markerVariable("NIMBREL_MARKER", QFile::encodeName(marker));
    const QString nasty = u" x\"$(touch $NIMBREL_MARKER)\"`touch $NIMBREL_MARKER`'"_s;
    const QString source = folder.filePath(u"src"_s + nasty);
    const QString target = folder.filePath(u"dst"_s + nasty);
    write(source, "new", ownerOnly | QFileDevice::ReadOther);
    write(target, "old", ownerOnly | QFileDevice::ReadOther);

    const QString said = capturedStdout([&] { EXPECT_TRUE(ShellUtils::copyFile(source, target)); });
    EXPECT_EQ(readTextFile(target), u"new"_s);
    EXPECT_EQ(modeOf(target), ownerOnly);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(said.endsWith(u"使用shell命令复制文件成功\n"_s)) << said.toStdString();
    const QStringList backups = QDir(folder.path()).entryList({"dst*.backup.*"}, QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(readTextFile(folder.filePath(backups.front())), u"old"_s);

    const QString deep = folder.filePath(u"a/b/config"_s);
    EXPECT_TRUE(capturedStdout([&] {
                    EXPECT_TRUE(ShellUtils::copyFile(source, deep));
                }).startsWith(u"已创建目标目录: "_s + folder.filePath("a/b")));
    EXPECT_EQ(modeOf(deep), ownerOnly);

    const QString missing = folder.filePath(u"absent"_s);
    EXPECT_EQ(capturedStdout(
                  [&] { EXPECT_FALSE(ShellUtils::copyFile(missing, folder.filePath("c/d"))); }),
              u"源文件不存在: "_s + missing + '\n');
    EXPECT_FALSE(QFile::exists(folder.filePath(u"c"_s)));
}

TEST(Privilege, RequestSudoRunsAPrivateScriptThroughPkexecAndRemovesIt) {
    QTemporaryDir root;
    const QString record = root.filePath(u"record"_s);
    // Stands in for polkit: records the script and its mode, then allows or refuses.
    write(root.filePath(u"pkexec"_s),
          "#!/bin/bash\nshift; cp \"$2\" '" + QFile::encodeName(record) +
              "'; stat -c %a \"$2\" >> '" + QFile::encodeName(record) +
              "'\n[ \"$NIMBREL_ALLOW\" = 1 ] && NIMBREL_ELEVATED=1 "
              "exec \"$@\"\necho 'Not authorized' >&2; exit 126\n",
          ownerOnly | QFileDevice::ExeOwner);
    const ScopedEnvironmentVariable path("PATH",
                                         QFile::encodeName(root.path()) + ':' + qgetenv("PATH"));
    const QString output = root.filePath(u"it's out"_s);
    const QString command =
        "test -n \"$NIMBREL_ELEVATED\" && echo \"it's\" > " + ShellUtils::quotePath(output);
    const auto scripts = [] {
        return QDir(AppPaths::privateTempDirectory()).entryList({"sudo_script_*"}, QDir::Files);
    };

    EXPECT_EQ(capturedStdout([] { EXPECT_TRUE(ShellUtils::requestSudo(u"true"_s)); }),
              u"命令执行成功，无需管理员权限\n"_s);
    EXPECT_FALSE(QFile::exists(record));

    const ScopedEnvironmentVariable refuse("NIMBREL_ALLOW", "0");
    EXPECT_EQ(capturedStdout([&] { EXPECT_FALSE(ShellUtils::requestSudo(command)); }),
              u"普通权限执行失败，尝试使用管理员权限\n管理员权限命令失败: "
              "Not authorized\n\n"_s);
    EXPECT_TRUE(scripts().isEmpty());

    const ScopedEnvironmentVariable allow("NIMBREL_ALLOW", "1");
    QFile::remove(record);
    EXPECT_TRUE(capturedStdout([&] {
                    EXPECT_TRUE(ShellUtils::requestSudo(command));
                }).endsWith(u"管理员权限命令执行成功\n"_s));
    EXPECT_EQ(readTextFile(output), u"it's\n"_s);
    EXPECT_EQ(readTextFile(record),
              u"#!/bin/bash\n# 临时脚本用于以管理员权限执行命令\n"_s + command + u"700\n"_s);
    EXPECT_TRUE(scripts().isEmpty());
}

// Started from a terminal, Nimbrel is in the terminal's foreground process group and its children
// are not: a child that reads the terminal would be stopped by it and hang until its time limit.
TEST(CommandRunner, NoChildWaitsOnTheTerminalNimbrelWasStartedFrom) {
    if (!ChildSession::isChild()) {
        ChildSession::rerun(ChildSession::Kind::terminal);
        return;
    }
    ASSERT_TRUE(::isatty(STDIN_FILENO));
    QTemporaryDir root;
    // Asks on the terminal as an interactive cloud login does, then gives up in its own words.
    const QString plugin = root.filePath(u"cloud login"_s);
    write(plugin,
          "#!/bin/bash\nread -r a </dev/tty; read -r b\necho 'session expired, run cloud login' "
          ">&2; exit 1\n",
          ownerOnly | QFileDevice::ExeOwner);
    const QString kubeconfig = root.filePath(u"config"_s);
    writeTextFile(kubeconfig,
                  "apiVersion: v1\nkind: Config\ncurrent-context: c\nclusters:\n- name: "
                  "c\n  cluster: {server: 'https://127.0.0.1:9'}\ncontexts:\n- name: "
                  "c\n  context: {cluster: c, user: u}\nusers:\n- name: u\n  user:\n"
                  "    exec:\n      apiVersion: client.authentication.k8s.io/v1\n"
                  "      command: '" +
                      QFile::encodeName(plugin) + "'\n      interactiveMode: IfAvailable\n");
    const CommandResult kubectl = CommandRunner::runWithEnv(
        ShellUtils::quotePath(QStringLiteral(NIMBREL_TOOLS_BUILD_DIR "/kubectl")) +
            u" get namespaces --kubeconfig "_s + ShellUtils::quotePath(kubeconfig),
        {}, std::chrono::seconds(30));
    EXPECT_THAT(ClusterErrors::classify(kubectl.error).toStdString(),
                ::testing::AllOf(::testing::HasSubstr("session expired, run cloud login"),
                                 ::testing::HasSubstr("请先用云服务商的工具重新登录")));

    // pkexec as it answers without a graphical polkit agent: its own text agent asks on the
    // controlling terminal unless told not to.
    write(root.filePath(u"pkexec"_s),
          "#!/bin/bash\nif [ \"$1\" != --disable-internal-agent ]; then\n  exec 3</dev/tty || { "
          "echo 'Error creating textual authentication agent' >&2; exit 127; }\n  read -r p <&3\n"
          "fi\necho 'Error executing command as another user: No authentication agent found.' "
          ">&2; exit 127\n",
          ownerOnly | QFileDevice::ExeOwner);
    const ScopedEnvironmentVariable path("PATH",
                                         QFile::encodeName(root.path()) + ':' + qgetenv("PATH"));
    EXPECT_THAT(
        capturedStdout([] { EXPECT_FALSE(ShellUtils::requestSudo(u"false"_s)); }).toStdString(),
        ::testing::HasSubstr("没有可用的图形化授权代理（polkit）"));
}

TEST(ClusterErrors, ARejectedCredentialAndAMissingPluginReadAsWhatTheyAre) {
    const QString rejected = ClusterErrors::classify(QStringLiteral("Unauthorized"));
    const QString helm =
        QStringLiteral("Error: Kubernetes cluster unreachable: the server has asked "
                       "for the client to provide credentials");
    EXPECT_EQ(ClusterErrors::classify(helm), rejected);
    EXPECT_EQ(ClusterErrors::classifyRejection(helm), rejected);
    // kubectl 1.32's words, as it prints them for a kubeconfig whose plugin is nowhere on PATH.
    const QString kubectl = QStringLiteral(
        "E1207 19:24:08.258445   24380 memcache.go:265] \"Unhandled Error\" err=<\n"
        "\tcouldn't get current server API group list: Get \"https://127.0.0.1:9/api\": getting "
        "credentials: exec: executable cloud-auth-plugin not found\n\t\n"
        "\tIt looks like you are trying to use a client-go credential plugin that is not "
        "installed.\n\tInstall cloud-auth-plugin by following\n"
        "\t  https://example.invalid/install\n >\n"
        "Unable to connect to the server: getting credentials: exec: executable cloud-auth-plugin "
        "not found\n");
    const QString missing = ClusterErrors::classify(kubectl);
    EXPECT_EQ(missing,
              QStringLiteral("凭证插件cloud-auth-plugin未安装或不在PATH中。请安装它，或将它所在的"
                             "文件夹加入PATH，然后重试。\n\nInstall cloud-auth-plugin by "
                             "following\nhttps://example.invalid/install"));
    EXPECT_EQ(ClusterErrors::formatForAlert(missing), missing);
}
