#include "shell/AppPaths.h"
#include "shell/ShellUtils.h"

#include "ShellTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Stands in for polkit: records how it was called and what the script looked like, then lets the
// script run, refuses or is dismissed, as NIMBREL_PKEXEC_MODE says.
const QByteArray fakePkexec = R"(#!/bin/bash
record=$NIMBREL_PKEXEC_RECORD
printf '%s\n' "$@" > "$record.args"
cp "$2" "$record.script"
stat -c %a "$2" > "$record.mode"
case "$NIMBREL_PKEXEC_MODE" in
    allow) NIMBREL_ELEVATED=1 exec "$@" ;;
    refuse) echo "Error executing command as another user: Not authorized" >&2; exit 126 ;;
    *) echo "Error executing command as another user: Request dismissed" >&2; exit 126 ;;
esac
)";

class RequestSudo : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("bin")));
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("runtime")));
        ASSERT_TRUE(QFile::setPermissions(m_root.filePath(QStringLiteral("runtime")),
                                          QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner));
        ASSERT_TRUE(writeExecutable(m_root.filePath(QStringLiteral("bin/pkexec")), fakePkexec));
        m_runtime.emplace("XDG_RUNTIME_DIR",
                          QFile::encodeName(m_root.filePath(QStringLiteral("runtime"))));
        m_path.emplace("PATH", QFile::encodeName(m_root.filePath(QStringLiteral("bin"))) + ':' +
                                   qgetenv("PATH"));
        m_record.emplace("NIMBREL_PKEXEC_RECORD", QFile::encodeName(record()));
        ASSERT_FALSE(AppPaths::privateTempDirectory().isEmpty());
    }

    QString record() const { return m_root.filePath(QStringLiteral("pkexec")); }
    QString output() const { return m_root.filePath(QStringLiteral("it's out")); }

    // Fails without privileges, and carries quotes that must reach the script unchanged.
    QString command() const {
        return QStringLiteral("test -n \"$NIMBREL_ELEVATED\" && echo \"it's \\\"quoted\\\"\" > ") +
               ShellUtils::quotePath(output());
    }

    QStringList leftoverScripts() const {
        return QDir(AppPaths::privateTempDirectory())
            .entryList({QStringLiteral("sudo_script_*")}, QDir::Files);
    }

    QString runCapturing(const QString& commandLine, bool& result) {
        testing::internal::CaptureStdout();
        result = ShellUtils::requestSudo(commandLine);
        return QString::fromUtf8(testing::internal::GetCapturedStdout());
    }

    QTemporaryDir m_root;
    std::optional<ScopedEnvironmentVariable> m_runtime;
    std::optional<ScopedEnvironmentVariable> m_path;
    std::optional<ScopedEnvironmentVariable> m_record;
};

} // namespace

TEST_F(RequestSudo, CommandThatNeedsNoPrivilegesWritesNoScript) {
    const ScopedEnvironmentVariable mode("NIMBREL_PKEXEC_MODE", "allow");
    bool result = false;
    const QString console = runCapturing(QStringLiteral("true"), result);
    EXPECT_TRUE(result);
    EXPECT_EQ(console, QStringLiteral("命令执行成功，无需管理员权限\n"));
    EXPECT_FALSE(QFileInfo::exists(record() + QStringLiteral(".args")));
    EXPECT_TRUE(leftoverScripts().isEmpty());
}

TEST_F(RequestSudo, ApprovedPromptRunsThePrivateScriptAndRemovesIt) {
    const ScopedEnvironmentVariable mode("NIMBREL_PKEXEC_MODE", "allow");
    bool result = false;
    const QString console = runCapturing(command(), result);
    EXPECT_TRUE(result) << console.toStdString();
    EXPECT_EQ(console,
              QStringLiteral("普通权限执行失败，尝试使用管理员权限\n管理员权限命令执行成功\n"));
    EXPECT_EQ(readAll(output()), QByteArray("it's \"quoted\"\n"));

    const QStringList args = QString::fromUtf8(readAll(record() + QStringLiteral(".args")))
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(args.size(), 2);
    EXPECT_EQ(args[0], QStringLiteral("/bin/bash"));
    const QRegularExpression scriptName(
        QStringLiteral("^") + QRegularExpression::escape(AppPaths::privateTempDirectory()) +
        QStringLiteral(
            "sudo_script_[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.sh$"));
    EXPECT_TRUE(scriptName.match(args[1]).hasMatch()) << args[1].toStdString();
    EXPECT_EQ(QString::fromUtf8(readAll(record() + QStringLiteral(".script"))),
              QStringLiteral("#!/bin/bash\n# 临时脚本用于以管理员权限执行命令\n") + command());
    EXPECT_EQ(readAll(record() + QStringLiteral(".mode")), QByteArray("700\n"));
    EXPECT_FALSE(QFileInfo::exists(args[1]));
    EXPECT_TRUE(leftoverScripts().isEmpty());
}

TEST_F(RequestSudo, RefusedOrDismissedPromptFailsWithItsTextAndLeavesNoScript) {
    for (const char* modeName : {"refuse", "cancel"}) {
        const ScopedEnvironmentVariable mode("NIMBREL_PKEXEC_MODE", modeName);
        bool result = true;
        const QString console = runCapturing(command(), result);
        EXPECT_FALSE(result) << modeName;
        const QString reason = qstrcmp(modeName, "refuse") == 0
                                   ? QStringLiteral("Not authorized")
                                   : QStringLiteral("Request dismissed");
        EXPECT_EQ(console, QStringLiteral("普通权限执行失败，尝试使用管理员权限\n"
                                          "管理员权限命令失败: Error executing command as another "
                                          "user: ") +
                               reason + QStringLiteral("\n\n"))
            << modeName;
        EXPECT_FALSE(QFileInfo::exists(output()));
        EXPECT_TRUE(leftoverScripts().isEmpty()) << modeName;
    }
}

TEST(InstallScript, MissingLocalChartFailsWithTheReasonOnStandardError) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString calls = folder.filePath(QStringLiteral("calls"));
    // Stand-in tools that only record their arguments.
    const QByteArray recorder = "#!/bin/bash\necho \"$(basename \"$0\") $*\" >> \"" +
                                QFile::encodeName(calls) + "\"\nexit 0\n";
    ASSERT_TRUE(writeExecutable(folder.filePath(QStringLiteral("helm")), recorder));
    ASSERT_TRUE(writeExecutable(folder.filePath(QStringLiteral("kubectl")), recorder));

    const QString script = QStringLiteral(NIMBREL_TOOLS_BUILD_DIR "/devtron-charts/install.sh");
    ASSERT_TRUE(QFileInfo::exists(script));
    const QString line = QStringLiteral("cd ") + ShellUtils::quotePath(QFileInfo(script).path()) +
                         QStringLiteral(" && /bin/bash install.sh");
    const QString toolsPath = folder.path() + QStringLiteral(":/usr/bin:/bin:/usr/sbin:/sbin");

    const QString missing = folder.filePath(QStringLiteral("no-such-chart"));
    const CommandResult failed = ShellUtils::runCommandWithEnv(
        line, {{QStringLiteral("PATH"), toolsPath}, {QStringLiteral("DEVTRON_CHART"), missing}});
    EXPECT_NE(failed.exitCode, 0);
    EXPECT_TRUE(failed.error.contains(missing)) << failed.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(calls));

    const QString chart = folder.filePath(QStringLiteral("chart"));
    ASSERT_TRUE(QDir().mkpath(chart));
    const CommandResult installed = ShellUtils::runCommandWithEnv(
        line, {{QStringLiteral("PATH"), toolsPath}, {QStringLiteral("DEVTRON_CHART"), chart}});
    EXPECT_EQ(installed.exitCode, 0) << installed.error.toStdString();
    EXPECT_TRUE(readAll(calls).startsWith("helm install devtron " + QFile::encodeName(chart)))
        << readAll(calls).toStdString();
}
