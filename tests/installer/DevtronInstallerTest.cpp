#include "installer/DevtronInstaller.h"
#include "shell/AppPaths.h"
#include "shell/ShellUtils.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <mutex>

#include <sys/stat.h>

namespace {

// What a stand-in tool prints and returns when its arguments start with `match`.
struct Reply {
    Reply(QString match = {}, QString out = {}, QString err = {}, int code = 0)
        : match(std::move(match)), out(std::move(out)), err(std::move(err)), code(code) {}
    QString match;
    QString out;
    QString err;
    int code;
};

struct Recorder {
    std::mutex mutex;
    QStringList logs;
    QList<double> progress;
    QList<std::pair<bool, std::optional<QString>>> completions;
    std::optional<std::pair<QString, QString>> info;
    bool logClosedBeforeInfo = false;

    QStringList logLines() {
        const std::lock_guard lock(mutex);
        return logs;
    }
    qsizetype completionCount() {
        const std::lock_guard lock(mutex);
        return completions.size();
    }
    std::optional<std::pair<QString, QString>> infoResult() {
        const std::lock_guard lock(mutex);
        return info;
    }
};

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class DevtronInstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        qputenv("XDG_STATE_HOME", QFile::encodeName(root.filePath(QStringLiteral("state"))));
        QDir(root.path()).mkdir(QStringLiteral("runtime"));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.filePath(QStringLiteral("runtime"))));
        // A blank in the folder name checks that every command line quotes its paths.
        tools = root.filePath(QStringLiteral("app tools"));
        QDir().mkpath(tools + QStringLiteral("/devtron-charts"));
        AppPaths::setToolsDirectoryOverride(tools);
        calls = root.filePath(QStringLiteral("calls.log"));
        kubeconfig = root.filePath(QStringLiteral("kubeconfig"));
        writeFile(kubeconfig, "apiVersion: v1\nkind: Config\n");
        setTool(QStringLiteral("kubectl"), {{QStringLiteral("version"), QStringLiteral("v1.32")}});
        setTool(QStringLiteral("helm"),
                {{QStringLiteral("version"), QStringLiteral("v3.17")},
                 {QStringLiteral("status"), {}, QStringLiteral("not found"), 1}});
        setScript({});
    }

    void TearDown() override {
        QThreadPool::globalInstance()->waitForDone(30000);
        AppPaths::setToolsDirectoryOverride({});
        DevtronInstaller::setAlertHook({});
        DevtronInstaller::setPhysicalMemoryOverride({});
    }

    // A bash stand-in that records its arguments and answers from canned replies (else exit 0).
    void setTool(const QString& name, const QList<Reply>& replies, const QString& preamble = {}) {
        QString script = QStringLiteral("#!/bin/bash\nprintf '%s %s\\n' '%1' \"$*\" >> '%2'\n%3\n")
                             .arg(name, calls, preamble);
        script += QStringLiteral("case \"$*\" in\n");
        for (qsizetype i = 0; i < replies.size(); ++i) {
            const QString base = root.filePath(QStringLiteral("%1-%2").arg(name).arg(i));
            writeFile(base + QStringLiteral(".out"), replies[i].out.toUtf8());
            writeFile(base + QStringLiteral(".err"), replies[i].err.toUtf8());
            script += QStringLiteral("  \"%1\"*) cat '%2.out'; cat '%2.err' >&2; exit %3;;\n")
                          .arg(replies[i].match, base)
                          .arg(replies[i].code);
        }
        script += QStringLiteral("esac\n");
        const QString path =
            name == QStringLiteral("install.sh") ? scriptPath() : tools + '/' + name;
        writeFile(path, script.toUtf8());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
    }

    QString scriptPath() const { return tools + QStringLiteral("/devtron-charts/install.sh"); }

    // The script notes where and with what it ran, may wait for a gate file, then replies.
    void setScript(const Reply& reply, bool gated = false) {
        QString preamble =
            QStringLiteral(
                "printf 'pwd=%s\\nPATH=%s\\nKUBECONFIG=%s\\nTLS=%s\\n' \"$PWD\" \"$PATH\" "
                "\"$KUBECONFIG\" \"$KUBE_INSECURE_SKIP_TLS_VERIFY\" >> '%1'\n")
                .arg(calls);
        if (gated) {
            preamble += QStringLiteral("while [ ! -e '%1' ]; do sleep 0.02; done\n").arg(gate());
        }
        setTool(QStringLiteral("install.sh"), {{QString(), reply.out, reply.err, reply.code}},
                preamble);
    }

    QString gate() const { return root.filePath(QStringLiteral("gate")); }

    std::unique_ptr<DevtronInstaller> make(const QString& path) {
        auto rec = recorder;
        return std::make_unique<DevtronInstaller>(
            path,
            [rec](double p) {
                const std::lock_guard lock(rec->mutex);
                rec->progress.append(p);
            },
            [rec](const QString& m) {
                const std::lock_guard lock(rec->mutex);
                rec->logs.append(m);
            },
            [rec](bool ok, const std::optional<QString>& m) {
                const std::lock_guard lock(rec->mutex);
                rec->completions.append({ok, m});
            });
    }
    std::unique_ptr<DevtronInstaller> make() { return make(kubeconfig); }

    std::optional<std::pair<QString, QString>> lookUpAccess(DevtronInstaller& installer) {
        auto rec = recorder;
        const QString path = logFile();
        installer.retrieveDevtronInfo([rec, path](const QString& url, const QString& password) {
            const bool closed = readAll(path).contains(QStringLiteral("安装日志结束"));
            const std::lock_guard lock(rec->mutex);
            rec->info = {url, password};
            rec->logClosedBeforeInfo = closed;
        });
        if (!QTest::qWaitFor([&] { return recorder->infoResult().has_value(); }, 20000)) {
            return std::nullopt;
        }
        return recorder->infoResult();
    }

    bool waitForCompletion(qsizetype count = 1) {
        return QTest::qWaitFor([&] { return recorder->completionCount() >= count; }, 20000);
    }

    QString logFile() const {
        return root.filePath(QStringLiteral("state/nimbrel/devtron_install.log"));
    }
    QString privateFile(const QString& name) const {
        return root.filePath(QStringLiteral("runtime/nimbrel/") + name);
    }

    QTemporaryDir root;
    QString tools;
    QString calls;
    QString kubeconfig;
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

TEST_F(DevtronInstallerTest, SetupSucceedsTwiceAndProbesTheBundledTools) {
    auto installer = make();
    ASSERT_TRUE(installer->setupEnvironment());
    EXPECT_TRUE(installer->isSetupCompleted());
    EXPECT_EQ(qEnvironmentVariable("KUBECONFIG"), kubeconfig);
    const QStringList logs = recorder->logLines();
    const QString kubectl = tools + QStringLiteral("/kubectl");
    EXPECT_TRUE(logs.contains(QStringLiteral("kubectl 已在应用内置工具目录中找到: ") + kubectl));
    EXPECT_TRUE(logs.contains(kubectl + QStringLiteral(" 版本: v1.32")));
    EXPECT_TRUE(logs.contains(tools + QStringLiteral("/helm 版本: v3.17")));
    EXPECT_TRUE(logs.contains(QStringLiteral("kubectl工具可用: ") + kubectl));
    EXPECT_EQ(logs.last(), QStringLiteral("环境配置完成 - 使用应用内置工具"));
    EXPECT_TRUE(QFileInfo(kubectl).permissions().testFlag(QFileDevice::ExeOther));

    EXPECT_TRUE(installer->setupEnvironment());
    EXPECT_EQ(recorder->logLines().count(QStringLiteral("开始配置环境...")), 2);
}

TEST_F(DevtronInstallerTest, SetupRejectsUnusableKubeconfigsWithAClearLine) {
    const QString folder = root.filePath(QStringLiteral("folder"));
    QDir().mkdir(folder);
    const QString latin1 = root.filePath(QStringLiteral("latin1"));
    writeFile(latin1, "name: caf\xe9\n");
    const QString fifo = root.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = root.filePath(QStringLiteral("huge"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64{17} * 1024 * 1024));
    }
    const QString missing = root.filePath(QStringLiteral("missing"));
    const QList<std::pair<QString, QString>> cases = {
        {missing, QStringLiteral("Kubeconfig文件不存在: ") + missing},
        {folder, QStringLiteral("无法读取Kubeconfig文件: ")},
        {latin1, QStringLiteral("无法读取Kubeconfig文件: ")},
        {fifo, QStringLiteral("无法读取Kubeconfig文件: ")},
        {huge, QStringLiteral("无法读取Kubeconfig文件: ")},
    };
    for (const auto& [path, expected] : cases) {
        recorder->logs.clear();
        auto installer = make(path);
        EXPECT_FALSE(installer->setupEnvironment()) << path.toStdString();
        EXPECT_TRUE(recorder->logLines().last().startsWith(expected)) << path.toStdString();
        EXPECT_FALSE(installer->isSetupCompleted());
    }
}

TEST_F(DevtronInstallerTest, SetupFailsOnAMissingToolWithoutTouchingPermissions) {
    QFile::remove(tools + QStringLiteral("/helm"));
    const QString kubectl = tools + QStringLiteral("/kubectl");
    auto installer = make();
    EXPECT_FALSE(installer->setupEnvironment());
    EXPECT_EQ(recorder->logLines().last(), QStringLiteral("应用内置工具不存在，请重新安装应用"));
    // The probes' "chmod +x" ran, the set-up's 755 did not.
    EXPECT_FALSE(QFileInfo(kubectl).permissions().testFlag(QFileDevice::ReadGroup));
}

TEST_F(DevtronInstallerTest, SetupStopsAtTheFirstFailingProbe) {
    setTool(QStringLiteral("kubectl"),
            {{QStringLiteral("version"), {}, QStringLiteral("boom\n"), 1}});
    auto installer = make();
    EXPECT_FALSE(installer->setupEnvironment());
    EXPECT_EQ(recorder->logLines().last(), QStringLiteral("kubectl工具测试失败: boom\n"));
    // Only the system information probed helm; the set-up never got to it.
    EXPECT_EQ(readAll(calls).count(QStringLiteral("helm version")), 1);
    EXPECT_FALSE(installer->isSetupCompleted());

    setTool(QStringLiteral("kubectl"), {{QStringLiteral("version"), QStringLiteral("v1")}});
    setTool(QStringLiteral("helm"),
            {{QStringLiteral("version"), {}, QStringLiteral("bad helm"), 2}});
    EXPECT_FALSE(installer->setupEnvironment());
    EXPECT_EQ(recorder->logLines().last(), QStringLiteral("helm工具测试失败: bad helm"));
}

TEST_F(DevtronInstallerTest, MemoryIsLoggedInWholeGibibytes) {
    const std::uint64_t eightGiB = std::uint64_t{8} << 30;
    for (const auto& [bytes, line] : {std::pair{eightGiB, QStringLiteral("物理内存: 8 GB")},
                                      std::pair{eightGiB - 1, QStringLiteral("物理内存: 7 GB")}}) {
        DevtronInstaller::setPhysicalMemoryOverride(bytes);
        auto installer = make();
        installer->setupEnvironment();
        EXPECT_TRUE(recorder->logLines().contains(line));
    }
}

TEST_F(DevtronInstallerTest, LogFileHasHeaderStampsAndIsStartedAfreshByEachInstaller) {
    auto first = make();
    first->isRunningSandboxed();
    auto second = make();
    EXPECT_EQ(second->getLogFilePath(), logFile());
    // Lines written by the session log in between must survive the installer's next write.
    {
        QFile session(logFile());
        ASSERT_TRUE(session.open(QIODevice::Append));
        session.write("[2026-01-01 00:00:00] session line\n");
    }
    second->isRunningSandboxed();
    const QString text = readAll(logFile());
    const QRegularExpression layout(QStringLiteral(
        R"(^\[[^\]]+\] ===================================\nDevtron 安装日志 - 开始于 )"
        R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \+0000\n===================================\n\n)"
        R"(\[[^\]]+\] 完整安装日志文件位置: [^\n]+\n)"
        R"(\[2026-01-01 00:00:00\] session line\n\[[^\]]+\] 应用运行环境: 非沙箱\n$)"));
    EXPECT_TRUE(layout.match(text).hasMatch()) << text.toStdString();
    EXPECT_EQ(recorder->logLines().first(), QStringLiteral("完整安装日志文件位置: ") + logFile());
}

TEST_F(DevtronInstallerTest, ClosingTwiceOrLoggingAfterCloseIsHarmless) {
    auto installer = make();
    installer->cancelInstallation();
    installer->closeLogFile();
    installer->isRunningSandboxed();
    const QString text = readAll(logFile());
    EXPECT_EQ(text.count(QStringLiteral("Devtron 安装日志结束 - ")), 1);
    EXPECT_TRUE(text.trimmed().endsWith(QStringLiteral("===================================")));
    const QStringList logs = recorder->logLines();
    EXPECT_EQ(logs.count(QStringLiteral("日志文件已关闭: ") + logFile()), 1);
    EXPECT_FALSE(logs.join('\n').contains(QStringLiteral("安装进程取消请求已记录")));
}

TEST_F(DevtronInstallerTest, UncreatableLogFolderFallsBackToThePrivateTempFolder) {
    const QString blocker = root.filePath(QStringLiteral("blocker"));
    writeFile(blocker, "x");
    qputenv("XDG_STATE_HOME", QFile::encodeName(blocker));
    auto installer = make();
    EXPECT_EQ(installer->getLogFilePath(), privateFile(QStringLiteral("devtron_install.log")));
    EXPECT_TRUE(readAll(installer->getLogFilePath()).contains(QStringLiteral("Devtron 安装日志")));
}

TEST_F(DevtronInstallerTest, ReleaseCheckDecidesWhetherTheScriptRuns) {
    struct Case {
        QString status;
        int code;
        QStringList expected;
        bool actualStatusLine;
    };
    const QList<Case> cases = {
        {QString(), 1, {QStringLiteral("未找到名为devtron的Helm发布，可以安装Devtron")}, false},
        {QStringLiteral("NAME: devtron\nSTATUS: failed\nREVISION: 2\n"),
         0,
         {QStringLiteral("Devtron Helm发布存在，但状态不是deployed"),
          QStringLiteral("实际状态: failed")},
         true},
        {QStringLiteral("NAME: devtron\nSTATUS: pending-install"),
         0,
         {QStringLiteral("Devtron Helm发布存在，但状态不是deployed")},
         false},
    };
    for (const Case& c : cases) {
        setTool(QStringLiteral("helm"), {{QStringLiteral("version"), QStringLiteral("v3")},
                                         {QStringLiteral("status"), c.status, {}, c.code}});
        QFile::remove(calls);
        recorder = std::make_shared<Recorder>();
        auto installer = make();
        installer->installDevtron();
        ASSERT_TRUE(waitForCompletion());
        const QStringList logs = recorder->logLines();
        const qsizetype at = logs.indexOf(c.expected.first());
        ASSERT_GE(at, 0) << c.status.toStdString();
        EXPECT_EQ(logs.mid(at, c.expected.size()), c.expected);
        EXPECT_EQ(logs.join('\n').contains(QStringLiteral("实际状态: ")), c.actualStatusLine);
        EXPECT_TRUE(readAll(calls).contains(QStringLiteral("install.sh")));
    }
}

TEST_F(DevtronInstallerTest, DeployedReleaseIsRefusedThroughTheAlert) {
    setTool(QStringLiteral("helm"),
            {{QStringLiteral("version"), QStringLiteral("v3")},
             {QStringLiteral("status"), QStringLiteral("NAME: devtron\nLAST STATUS: deployed\n")}});
    QStringList alerts;
    DevtronInstaller::setAlertHook(
        [&](const QString& message, const QString& info) { alerts << message << info; });
    auto installer = make();
    installer->installDevtron();
    EXPECT_TRUE(alerts.isEmpty());
    ASSERT_TRUE(waitForCompletion());
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[0], QStringLiteral("Devtron已安装"));
    EXPECT_TRUE(alerts[1].startsWith(QStringLiteral("您的集群中已经安装了Devtron。\n\n")));
    EXPECT_EQ(recorder->completions.first(),
              std::pair(false, std::optional(QStringLiteral("NO_ALERT:集群中已经安装了Devtron"))));
    EXPECT_EQ(recorder->logLines().last(), QStringLiteral("安装已取消，集群中已存在Devtron"));
    EXPECT_FALSE(readAll(calls).contains(QStringLiteral("install.sh")));
    EXPECT_FALSE(readAll(logFile()).contains(QStringLiteral("安装日志结束")));
    installer->isRunningSandboxed();
    EXPECT_TRUE(readAll(logFile()).endsWith(QStringLiteral("应用运行环境: 非沙箱\n")));
}

TEST_F(DevtronInstallerTest, SuccessfulScriptRunsInItsFolderWithTheToolsFirstOnPath) {
    setScript({QString(), QStringLiteral("done"), QStringLiteral("harmless warning"), 0});
    auto installer = make();
    ASSERT_TRUE(installer->setupEnvironment());
    recorder->logs.clear();
    installer->installDevtron();
    ASSERT_TRUE(waitForCompletion());
    EXPECT_EQ(recorder->completions.first(), std::pair(true, std::optional<QString>()));
    EXPECT_EQ(recorder->progress, (QList<double>{0.1, 0.2, 1.0}));
    const QStringList logs = recorder->logLines();
    EXPECT_FALSE(logs.contains(QStringLiteral("开始配置环境...")));
    EXPECT_TRUE(logs.contains(QStringLiteral("执行命令: cd \"") + tools +
                              QStringLiteral("/devtron-charts\" && /bin/bash install.sh")));
    const QString ran = readAll(calls);
    EXPECT_TRUE(ran.contains(QStringLiteral("pwd=") + tools + QStringLiteral("/devtron-charts\n")));
    EXPECT_TRUE(ran.contains(QStringLiteral("PATH=") + tools + QStringLiteral(":/usr/bin:/bin:")));
    EXPECT_TRUE(
        ran.contains(QStringLiteral("KUBECONFIG=") + kubeconfig + QStringLiteral("\nTLS=true")));
    EXPECT_FALSE(installer->isInstalling());
    const QString text = readAll(logFile());
    EXPECT_TRUE(text.contains(QStringLiteral("Devtron安装成功完成！✓")));
    EXPECT_FALSE(text.contains(QStringLiteral("harmless warning")));
    EXPECT_TRUE(text.contains(QStringLiteral("Devtron 安装日志结束")));
}

TEST_F(DevtronInstallerTest, FailedScriptLeavesAPrivateReportAndCopiesIt) {
    setScript({QString(), QStringLiteral("partial\n"), QStringLiteral("line one\nline two"), 7});
    auto installer = make();
    installer->installDevtron();
    ASSERT_TRUE(waitForCompletion());
    const QString reportPath = privateFile(QStringLiteral("devtron_install_error.log"));
    EXPECT_EQ(recorder->completions.first().second,
              QStringLiteral("安装失败: line one\nline two\n\n详细错误已复制到剪贴板，"
                             "您可以直接粘贴查看或分享。\n\n完整日志: ") +
                  logFile());
    const QStringList report = readAll(reportPath).split('\n');
    ASSERT_EQ(report.size(), 13);
    EXPECT_EQ(report[0], QStringLiteral("===== Devtron安装错误报告 ====="));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral(R"(^时间: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d \+0000$)"))
            .match(report[1])
            .hasMatch());
    EXPECT_EQ(report[2], QStringLiteral("命令: cd \"") + tools +
                             QStringLiteral("/devtron-charts\" && /bin/bash install.sh"));
    EXPECT_EQ(report.mid(3), (QStringList{QStringLiteral("退出代码: 7"),
                                          {},
                                          QStringLiteral("错误输出:"),
                                          QStringLiteral("line one"),
                                          QStringLiteral("line two"),
                                          {},
                                          QStringLiteral("标准输出:"),
                                          QStringLiteral("partial"),
                                          {},
                                          QStringLiteral("============================")}));
    EXPECT_EQ(QFileInfo(reportPath).permissions().toInt() & 0x0077, 0);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QGuiApplication::clipboard()->text() == readAll(reportPath); }, 5000));
    // The error text goes to the file only, under one time stamp.
    EXPECT_TRUE(readAll(logFile()).contains(QStringLiteral("] line one\nline two\n")));
    EXPECT_FALSE(recorder->logLines().contains(QStringLiteral("line one\nline two")));

    setScript({QString(), {}, QStringLiteral("second"), 3});
    auto again = make();
    again->installDevtron();
    ASSERT_TRUE(waitForCompletion(2));
    EXPECT_TRUE(readAll(reportPath).contains(QStringLiteral("错误输出:\nsecond\n")));
    EXPECT_FALSE(readAll(reportPath).contains(QStringLiteral("line one")));
}

TEST_F(DevtronInstallerTest, FailureWithoutErrorTextOrReportStillComposesTheMessage) {
    setScript({QString(), {}, {}, 1});
    QDir().mkpath(privateFile(QStringLiteral("devtron_install_error.log")));
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    auto installer = make();
    installer->installDevtron();
    ASSERT_TRUE(waitForCompletion());
    EXPECT_TRUE(recorder->completions.first().second->startsWith(
        QStringLiteral("安装失败: \n\n详细错误已复制到剪贴板")));
    const QStringList logs = recorder->logLines();
    EXPECT_FALSE(logs.contains(QStringLiteral("错误输出:")));
    EXPECT_TRUE(logs.join('\n').contains(QStringLiteral("无法保存错误报告: ")));
    QCoreApplication::processEvents();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
}

TEST_F(DevtronInstallerTest, SetupFailureIsReportedThroughTheCompletion) {
    auto installer = make(root.filePath(QStringLiteral("absent")));
    installer->installDevtron();
    ASSERT_EQ(recorder->completionCount(), 1);
    EXPECT_TRUE(recorder->completions.first().second->startsWith(
        QStringLiteral("环境配置失败：无法设置Kubernetes环境。")));
    EXPECT_TRUE(recorder->progress.isEmpty());
}

TEST_F(DevtronInstallerTest, CancelledRunStillCompletesAndADestroyedInstallerStaysSilent) {
    setScript({QString(), {}, {}, 0}, true);
    auto installer = make();
    installer->installDevtron();
    ASSERT_TRUE(installer->isInstalling());
    installer->cancelInstallation();
    EXPECT_FALSE(installer->isInstalling());
    EXPECT_TRUE(recorder->logLines().contains(QStringLiteral("请等待当前操作完成或重启应用...")));
    writeFile(gate(), "go");
    ASSERT_TRUE(waitForCompletion());
    EXPECT_TRUE(recorder->completions.first().first);
    EXPECT_EQ(recorder->progress.last(), 1.0);
    EXPECT_EQ(readAll(logFile()).count(QStringLiteral("Devtron 安装日志结束")), 1);

    QFile::remove(gate());
    auto doomed = make();
    doomed->installDevtron();
    doomed.reset();
    writeFile(gate(), "go");
    ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(20000));
    EXPECT_EQ(recorder->completionCount(), 1);
    EXPECT_FALSE(readAll(logFile()).contains(QStringLiteral("安装日志结束")));
}

TEST_F(DevtronInstallerTest, AccessLookupParsesTheAddressAndHidesThePassword) {
    setTool(QStringLiteral("kubectl"),
            {{QStringLiteral("describe"),
              QStringLiteral("Name: devtron-itf\n\nStatus:\n  "
                             "URL:   https://d.example:22443  \nTail: x\n")},
             {QStringLiteral("get secret"), QStringLiteral("  c2VjcmV0\n")}});
    auto installer = make();
    const auto result = lookUpAccess(*installer);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result,
              std::pair(QStringLiteral("https://d.example:22443"), QStringLiteral("secret")));
    EXPECT_TRUE(recorder->logClosedBeforeInfo);
    const QStringList logs = recorder->logLines();
    EXPECT_TRUE(logs.contains(QStringLiteral("解析到URL: https://d.example:22443")));
    EXPECT_FALSE(logs.contains(QStringLiteral(">> Tail: x")));
    EXPECT_TRUE(logs.contains(QStringLiteral("获取到编码密码: <已隐藏, 8 字符>")));
    const QString everything = logs.join('\n') + readAll(logFile());
    EXPECT_FALSE(everything.contains(QStringLiteral("c2VjcmV0")));
    EXPECT_FALSE(everything.contains(QStringLiteral("secret\n")));
}

TEST_F(DevtronInstallerTest, AccessLookupFallsBackToDefaultsAndReportsErrors) {
    const QString kubectl = ShellUtils::quotePath(tools + QStringLiteral("/kubectl"));
    const QString urlReport = privateFile(QStringLiteral("devtron_url_error.log"));
    const QString infoReport = privateFile(QStringLiteral("devtron_info_error.log"));
    struct Case {
        Reply address;
        Reply secret;
        QString expectedUrl;
        QStringList expectedLines;
        QString reportPath;
        QString reportText;
    };
    const QString defaultUrl = DevtronInstaller::defaultDevtronUrl();
    const QList<Case> cases = {
        {{QStringLiteral("describe"), QStringLiteral("a\nXURL:http://mid\n")},
         {QStringLiteral("get secret"), QStringLiteral("!!notbase64")},
         QStringLiteral("http://mid"),
         {QStringLiteral(">> a"), QStringLiteral("无法解码Devtron密码，使用默认值")},
         {},
         {}},
        {{QStringLiteral("describe"), QStringLiteral("no address\n")},
         {QStringLiteral("get secret"), {}, {}, 0},
         defaultUrl,
         {QStringLiteral(">> no address"),
          QStringLiteral("未找到Devtron URL，使用默认值: ") + defaultUrl,
          QStringLiteral("无法获取Devtron密码，使用默认值")},
         {},
         {}},
        {{QStringLiteral("describe"), {}, {}, 1},
         {QStringLiteral("get secret"), {}, QStringLiteral("forbidden\nby rbac"), 1},
         defaultUrl,
         {QStringLiteral("!! forbidden"), QStringLiteral("!! by rbac")},
         infoReport,
         QStringLiteral("===== Devtron信息获取错误 =====\n命令: ") + kubectl +
             QStringLiteral(" get secret -n devtroncd devtron-secret -o "
                            "jsonpath={.data.ADMIN_PASSWORD}\n退出代码: 1\n\n错误输出:\n"
                            "forbidden\nby rbac\n=============================")},
        {{QStringLiteral("describe"), {}, QStringLiteral("unreachable"), 4},
         {QStringLiteral("get secret"), QStringLiteral("a2Vsdm8=")},
         defaultUrl,
         {QStringLiteral("!! unreachable"), QStringLiteral("成功解码密码")},
         urlReport,
         QStringLiteral("===== Devtron URL获取错误 =====\n命令: ") + kubectl +
             QStringLiteral(" describe serviceexporter devtron-itf -n devtroncd\n退出代码: 4\n\n"
                            "错误输出:\nunreachable\n============================")},
    };
    for (const Case& c : cases) {
        QFile::remove(urlReport);
        QFile::remove(infoReport);
        setTool(QStringLiteral("kubectl"), {c.address, c.secret});
        recorder = std::make_shared<Recorder>();
        auto installer = make();
        const auto result = lookUpAccess(*installer);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, std::pair(c.expectedUrl, DevtronInstaller::defaultDevtronPassword()));
        const QStringList logs = recorder->logLines();
        for (const QString& line : c.expectedLines) {
            EXPECT_TRUE(logs.contains(line)) << line.toStdString();
        }
        EXPECT_EQ(QFile::exists(urlReport), c.reportPath == urlReport);
        EXPECT_EQ(QFile::exists(infoReport), c.reportPath == infoReport);
        if (!c.reportPath.isEmpty()) {
            EXPECT_EQ(readAll(c.reportPath), c.reportText);
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return QGuiApplication::clipboard()->text() == c.reportText; }, 5000));
        }
    }
}

} // namespace
