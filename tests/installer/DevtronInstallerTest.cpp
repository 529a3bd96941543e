#include "installer/DevtronInstaller.h"

#include "shell/BackgroundJobs.h"
#include "shell/ClusterTools.h"
#include "support/ScopedEnvironmentVariable.h"
#include "support/StandInTools.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <mutex>

using namespace Qt::StringLiterals;

namespace {

struct Recorder {
    std::mutex mutex;
    QStringList logs;
    QList<double> progress;
    QList<std::optional<QString>> failures; // nullopt: success
    std::optional<std::pair<QString, QString>> info;

    template <typename T> T read(T Recorder::*member) {
        const std::lock_guard lock(mutex);
        return this->*member;
    }
};

class Installer : public testing::Test {
protected:
    void SetUp() override {
        writeTextFile(kubeconfig, "apiVersion: v1\nkind: Config\n");
        tools.setTool("kubectl", {{"version", "v1.32"}});
        tools.setTool("helm",
                      {{"version", "v3.17"}, {"status", {}, "Error: release: not found\n", 1}});
    }
    void TearDown() override {
        tools.release();
        BackgroundJobs::waitForDone(std::chrono::milliseconds(30000));
        DevtronInstaller::setAlertHook({});
    }

    std::unique_ptr<DevtronInstaller> make(const QString& path) {
        auto rec = recorder = std::make_shared<Recorder>();
        const auto add = [rec](auto member, auto value) {
            const std::lock_guard lock(rec->mutex);
            ((*rec).*member).append(value);
        };
        return std::make_unique<DevtronInstaller>(
            path, [add](double p) { add(&Recorder::progress, p); },
            [add](const QString& m) { add(&Recorder::logs, m); },
            [add](bool ok, const std::optional<QString>& m) {
                add(&Recorder::failures, ok ? std::nullopt : m);
            });
    }
    std::unique_ptr<DevtronInstaller> make() { return make(kubeconfig); }

    QStringList logs() { return recorder->read(&Recorder::logs); }
    // The installation's end: nullopt for success, else the failure message.
    std::optional<QString> awaitEnd() {
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !recorder->read(&Recorder::failures).isEmpty(); }, 20000));
        const auto ends = recorder->read(&Recorder::failures);
        return ends.isEmpty() ? u"<none>"_s : ends.first();
    }
    std::pair<QString, QString> lookUpAccess(DevtronInstaller& installer) {
        auto rec = recorder;
        // A value not read shows as "!" and the reason.
        installer.retrieveDevtronInfo([rec](const DevtronAccess& access) {
            auto shown = [](const DevtronAccess::Value& value) {
                return value.text.value_or(QLatin1Char('!') + value.failure);
            };
            const std::lock_guard lock(rec->mutex);
            rec->info = {shown(access.address), shown(access.password)};
        });
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return recorder->read(&Recorder::info).has_value(); }, 20000));
        return recorder->read(&Recorder::info).value_or(std::pair<QString, QString>());
    }
    static QString logFile() {
        return qEnvironmentVariable("XDG_STATE_HOME") + u"/nimbrel/devtron_install.log"_s;
    }
    static QString privateFile(const QString& name) {
        return qEnvironmentVariable("XDG_RUNTIME_DIR") + u"/nimbrel/"_s + name;
    }

    StandInTools tools;
    QString kubeconfig = tools.scratchPath(u"kubeconfig"_s);
    std::shared_ptr<Recorder> recorder;
};

} // namespace

TEST_F(Installer, SetupStopsAtTheFirstFailingCheckWithItsLine) {
    const QString latin1 = tools.scratchPath(u"latin1"_s);
    writeTextFile(latin1, "name: caf\xe9\n");
    const QString missing = tools.scratchPath(u"missing"_s);
    struct Case {
        QString kubeconfig;
        QString tool; // answers with `replies`; with none, it is gone
        QList<Reply> replies;
        QString lastLine;
    };
    const QList<Case> cases = {
        {missing, {}, {}, "Kubeconfig文件不存在: " + missing},
        {latin1, {}, {}, "无法读取Kubeconfig文件: 文件内容不是有效的UTF-8文本"},
        {kubeconfig, "helm", {}, "应用内置工具不存在，请重新安装应用"},
        {kubeconfig, "kubectl", {{"version", {}, "boom\n", 1}}, "kubectl工具测试失败: boom\n"},
        {kubeconfig, "helm", {{"version", {}, "bad helm", 2}}, "helm工具测试失败: bad helm"},
    };
    for (const Case& c : cases) {
        SetUp();
        if (!c.tool.isEmpty()) {
            c.replies.isEmpty() ? tools.removeTool(c.tool) : tools.setTool(c.tool, c.replies);
        }
        auto installer = make(c.kubeconfig);
        installer->installDevtron();
        EXPECT_TRUE(logs().last().startsWith(c.lastLine)) << logs().last().toStdString();
        EXPECT_TRUE(
            awaitEnd().value_or(QString()).startsWith(u"环境配置失败：无法设置Kubernetes环境。"_s));
        EXPECT_TRUE(recorder->read(&Recorder::progress).isEmpty());
    }
}

TEST_F(Installer, ReleaseCheckDecidesWhetherTheScriptRuns) {
    struct Case {
        QString status;
        QString error;
        int code;
        QString expectedLine;
        QString end; // empty: the script runs
    };
    const QList<Case> cases = {
        {{}, "Error: release: not found\n", 1, "未找到名为devtron的Helm发布，可以安装Devtron", {}},
        {"NAME: devtron\nSTATUS: failed\nREVISION: 2\n", {}, 0, "实际状态: failed", {}},
        {"NAME: devtron\nSTATUS: pending-install",
         {},
         0,
         "Devtron Helm发布存在，但状态不是deployed",
         {}},
        {"NAME: devtron\nLAST STATUS: deployed\n",
         {},
         0,
         "安装已取消，集群中已存在Devtron",
         "NO_ALERT:集群中已经安装了Devtron"},
        {{},
         "Error: Kubernetes cluster unreachable: Unauthorized\n",
         1,
         "检查Devtron安装状态失败，退出代码: 1",
         "授权失败。请检查:"},
        {"hang", {}, 0, "检查Devtron安装状态失败，退出代码: 124", "命令超时："},
    };
    // Title, the text's last line and the default button.
    const QStringList existing{
        u"Devtron已安装"_s, u"kubeconfig有读取权限时，也可以直接从集群读取访问信息。"_s, u"确定"_s};
    QStringList alerts;
    DevtronInstaller::setAlertHook([&](const QString& m, const QString& i, const QStringList& b) {
        alerts << m << i.section(u'\n', -1) << b.value(0);
        return 0;
    });
    for (const Case& c : cases) {
        tools.setTool("helm", {{"version", "v3"}, {"status", c.status, c.error, c.code}},
                      c.status == "hang" ? "[ \"$1\" = status ] && sleep 30.0421" : "");
        alerts.clear();
        auto installer = make();
        installer->setReleaseCheckTimeLimit(std::chrono::milliseconds(300));
        installer->installDevtron();
        EXPECT_TRUE(alerts.isEmpty());
        const std::optional<QString> end = awaitEnd();
        EXPECT_TRUE(logs().contains(c.expectedLine)) << c.status.toStdString();
        EXPECT_EQ(logs().join('\n').contains(u"实际状态: "_s), c.status.contains(u"failed"_s));
        EXPECT_EQ(tools.commandCalls().last().startsWith(u"install.sh"_s), c.end.isEmpty());
        EXPECT_EQ(end.has_value(), !c.end.isEmpty());
        EXPECT_TRUE(end.value_or(QString()).startsWith(c.end)) << c.expectedLine.toStdString();
        EXPECT_EQ(alerts, c.end.startsWith("NO_ALERT") ? existing : QStringList());
        if (!c.end.isEmpty()) {
            EXPECT_FALSE(readTextFile(logFile()).contains(u"安装日志结束"_s));
        }
    }
}

TEST_F(Installer, SuccessfulScriptRunsInItsFolderWithTheClusterEnvironment) {
    const QString pwd = tools.scratchPath(u"pwd"_s);
    tools.setTool("install.sh", {{{}, "done", "harmless warning", 0}}, u"pwd > '%1'"_s.arg(pwd));
    const ScopedEnvironmentVariable elsewhere("KUBECONFIG", "/elsewhere");
    auto installer = make();
    ASSERT_TRUE(installer->setupEnvironment());
    EXPECT_TRUE(modeOf(tools.path("kubectl")).testFlag(QFileDevice::ExeOther));
    installer->installDevtron();
    EXPECT_EQ(awaitEnd(), std::nullopt);
    EXPECT_EQ(recorder->read(&Recorder::progress), (QList<double>{0.1, 0.2, 1.0}));
    EXPECT_EQ(logs().count(u"开始配置环境..."_s), 1);
    EXPECT_TRUE(logs().contains("执行命令: cd \"" + tools.directory() +
                                "/devtron-charts\" && /bin/bash install.sh"));
    EXPECT_EQ(readTextFile(pwd), tools.directory() + u"/devtron-charts\n"_s);
    const QStringList calls = tools.calls();
    const qsizetype at = calls.indexOf(QRegularExpression(u"install\\.sh.*"_s));
    ASSERT_GE(at, 0);
    EXPECT_EQ(calls.mid(at + 1, 3),
              QStringList({"env KUBECONFIG=" + kubeconfig, "env PATH=" + ClusterTools::searchPath(),
                           "env TLS=true"}));
    // Every command gets the kubeconfig through its own environment only.
    EXPECT_EQ(qgetenv("KUBECONFIG"), "/elsewhere");
    EXPECT_EQ(calls.filter("env KUBECONFIG=").count("env KUBECONFIG=" + kubeconfig), 6);
    const QString text = readTextFile(logFile());
    EXPECT_FALSE(text.contains(u"harmless warning"_s));
    EXPECT_TRUE(text.contains(u"Devtron 安装日志结束"_s));
}

TEST_F(Installer, FailedScriptLeavesAPrivateReportOnTheClipboard) {
    tools.setTool("install.sh", {{{}, "partial\n", "line one\nline two", 7}});
    auto installer = make();
    installer->installDevtron();
    EXPECT_EQ(awaitEnd(), "安装失败: line one\nline two\n\n详细错误已复制到剪贴板，"
                          "您可以直接粘贴查看或分享。\n\n完整日志: " +
                              logFile());
    const QString report = readTextFile(privateFile(u"devtron_install_error.log"_s));
    EXPECT_TRUE(QRegularExpression(
                    "^===== Devtron安装错误报告 =====\n时间: [^\n]+ \\+0000\n命令: cd [^\n]+ && "
                    "/bin/bash install.sh\n退出代码: 7\n\n错误输出:\nline one\nline two\n\n"
                    "标准输出:\npartial\n\n============================$")
                    .match(report)
                    .hasMatch())
        << report.toStdString();
    EXPECT_EQ(modeOf(privateFile("devtron_install_error.log")),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::clipboard()->text() == report; }));
    // The error text goes to the file only, under one time stamp.
    EXPECT_TRUE(readTextFile(logFile()).contains(u"] line one\nline two\n"_s));
    EXPECT_FALSE(logs().contains(u"line one\nline two"_s));
}

TEST_F(Installer, CancelledOrAbandonedScriptRunsOnBlocksNewRunsAndLogsItsLateEnd) {
    const QString gate = tools.scratchPath(u"gate"_s);
    const QString waitForGate = u"while [ ! -e '%1' ]; do sleep 0.02; done"_s.arg(gate);
    tools.setTool("install.sh", {}, waitForGate);
    auto installer = make();
    DevtronInstaller* const running = installer.get();
    BackgroundJobs::start([running] { running->installDevtron(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return running->isInstalling(); }, 20000));
    installer->cancelInstallation();
    installer->cancelInstallation();
    EXPECT_FALSE(installer->isInstalling());
    EXPECT_EQ(logs().count(u"请等待当前操作完成或重启应用..."_s), 1);
    writeTextFile(gate, {});
    EXPECT_EQ(awaitEnd(), std::nullopt);
    EXPECT_TRUE(logs().contains(u"先前的安装脚本已在后台结束：Devtron安装成功"_s));
    EXPECT_EQ(recorder->read(&Recorder::progress).last(), 1.0);
    EXPECT_EQ(readTextFile(logFile()).count(u"Devtron 安装日志结束"_s), 1);

    // Once the installer is gone, its script's end reaches only the log; until then, no second
    // helm install starts beside it.
    tools.setTool("install.sh", {}, waitForGate + u"; exit 3"_s);
    QFile::remove(gate);
    make()->installDevtron();
    const auto doomed = recorder;
    make()->installDevtron();
    EXPECT_EQ(awaitEnd(), u"无法开始安装：上一次的安装仍在后台运行，请等待它结束后再试"_s);
    recorder = doomed;
    writeTextFile(gate, {});
    ASSERT_TRUE(BackgroundJobs::waitForDone(std::chrono::milliseconds(20000)));
    EXPECT_TRUE(recorder->read(&Recorder::failures).isEmpty());
    EXPECT_EQ(logs().last(), u"先前的安装脚本已在后台结束：安装失败，退出代码: 3"_s);

    // Cancelled while the release check still runs, the run starts no script at all.
    const QString checking = tools.scratchPath(u"checking"_s);
    tools.setTool("helm", {{"version", "v3"}, {"status", {}, "Error: release: not found", 1}},
                  u"[ \"$1\" = status ] && touch '%1' && sleep 0.3"_s.arg(checking));
    auto early = make();
    BackgroundJobs::start([raw = early.get()] { raw->installDevtron(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(checking); }, 20000));
    early->cancelInstallation();
    ASSERT_TRUE(BackgroundJobs::waitForDone(std::chrono::milliseconds(20000)));
    EXPECT_FALSE(tools.commandCalls().last().startsWith(u"install.sh"_s));
    EXPECT_EQ(logs().last(), u"安装已取消，不再启动安装脚本"_s);
}

TEST_F(Installer, AccessLookupReadsBothValuesOrSaysWhyWithReports) {
    const QString urlReport = privateFile(u"devtron_url_error.log"_s);
    const QString infoReport = privateFile(u"devtron_info_error.log"_s);
    struct Case {
        QList<Reply> replies;
        std::pair<QString, QString> expected;
        QStringList lines;
        QString report;
    };
    const QList<Case> cases = {
        {{{"describe", "Name: x\n  URL:   https://d.example:22443  \nTail: x\n"},
          {"get secret", "  c2VjcmV0\n"}},
         {"https://d.example:22443", "secret"},
         {">> Name: x", "解析到URL: https://d.example:22443", "获取到编码密码: <已隐藏, 8 字符>"},
         {}},
        {{{"describe", "no address\n"}, {"get secret", "!!notbase64"}},
         {"!输出中没有Devtron地址", "!ADMIN_PASSWORD不是有效的Base64文本"},
         {"未找到Devtron URL", "无法解码Devtron密码", "未能获取完整的Devtron凭证"},
         {}},
        {{{"describe", {}, {}, 1}, {"get secret", {}, "forbidden\nby rbac", 1}},
         {"!无法连接到Kubernetes集群", "!forbidden\nby rbac"},
         {"!! forbidden", "!! by rbac", "无法获取Devtron密码"},
         infoReport},
        {{{"describe", {}, "unreachable", 4}, {"get secret", "a2Vsdm8="}},
         {"!unreachable", "kelvo"},
         {"!! unreachable", "成功解码密码"},
         urlReport},
    };
    for (const Case& c : cases) {
        QFile::remove(urlReport);
        QFile::remove(infoReport);
        tools.setTool("kubectl", c.replies);
        auto installer = make();
        EXPECT_EQ(lookUpAccess(*installer), c.expected);
        for (const QString& line : c.lines) {
            EXPECT_TRUE(logs().contains(line)) << line.toStdString();
        }
        EXPECT_FALSE(logs().contains(u">> Tail: x"_s));
        EXPECT_FALSE((logs().join('\n') + readTextFile(logFile())).contains("c2VjcmV0"));
        EXPECT_TRUE(readTextFile(logFile()).contains(u"Devtron 安装日志结束"_s));
        EXPECT_EQ(QFile::exists(urlReport), c.report == urlReport);
        EXPECT_EQ(QFile::exists(infoReport), c.report == infoReport);
        if (!c.report.isEmpty()) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return QGuiApplication::clipboard()->text() == readTextFile(c.report); }));
        }
    }
    EXPECT_EQ(readTextFile(urlReport), "===== Devtron URL获取错误 =====\n命令: \"" +
                                           tools.path("kubectl") +
                                           "\" describe serviceexporter devtron-itf -n devtroncd\n"
                                           "退出代码: 4\n\n错误输出:\nunreachable\n" +
                                           QString(28, '='));
}

TEST_F(Installer, ScriptGivesHelmExactlyTheDocumentedValuesOfEachChoice) {
    // The real script, with a helm that keeps the argument vector of its install.
    QFile::remove(tools.path("install.sh"));
    ASSERT_TRUE(QFile::copy(u"" NIMBREL_SOURCE_DIR "/resources/devtron-charts/install.sh"_s,
                            tools.path("install.sh")));
    const QString argv = tools.scratchPath(u"argv"_s);
    tools.setTool("helm", {{"version", "v3.17"}, {"status", {}, "Error: release: not found\n", 1}},
                  u"[ \"$1\" = install ] && printf '<%s>' \"$@\" > '%1'"_s.arg(argv));
    const QString modules = u"<--set><installer.modules={cicd}>"_s;
    const QString gitee = u"<--set><installer.source=gitee>"_s;
    const QString argoCd = u"<--set><argo-cd.enabled=true>"_s;
    using V = DevtronVariant;
    using S = ManifestSource;
    const struct {
        V variant;
        S source;
        QString values;
        QString chart = u"devtron/devtron-operator"_s; // DEVTRON_CHART when another
    } cases[] = {
        {V::minimal, S::github, {}},
        {V::minimal, S::gitee, gitee},
        {V::cicd, S::github, modules},
        {V::cicd, S::gitee, modules + gitee},
        {V::gitops, S::github, modules + argoCd},
        {V::gitops, S::gitee, modules + argoCd + gitee},
        // A chart of the user's own gets the same values.
        {V::gitops, S::gitee, modules + argoCd + gitee, tools.directory()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(DevtronChoices::summary(c.variant, c.source).toStdString());
        QFile::remove(argv);
        const ScopedEnvironmentVariable chart(
            "DEVTRON_CHART", c.chart == cases[0].chart ? QByteArray() : c.chart.toUtf8());
        auto installer = make();
        installer->setChartChoices(c.variant, c.source);
        installer->installDevtron();
        ASSERT_EQ(awaitEnd(), std::nullopt);
        EXPECT_EQ(readTextFile(argv), u"<install><devtron><%1><--create-namespace><--namespace>"
                                      "<devtroncd>"_s.arg(c.chart) +
                                          c.values);
        EXPECT_EQ(logs().filter(u">> Devtron variant "_s).size(), 1);
    }
    // A value the script does not know stops it before helm is asked anything.
    QFile::remove(argv);
    for (const char* name : {"DEVTRON_VARIANT", "DEVTRON_SOURCE"}) {
        const ScopedEnvironmentVariable unknown(name, "gitlab");
        const CommandResult run = ShellUtils::runCommandWithEnv(
            ClusterTools::installScriptCommand(), ClusterTools::environment(kubeconfig));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.error.startsWith(u"install.sh: unknown %1: gitlab"_s.arg(name)));
        EXPECT_FALSE(QFile::exists(argv));
    }
}
