#include "ClusterTestFixture.h"
#include "cluster/PreflightCheck.h"
#include "cluster/ReadinessWatcher.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/Services.h"
#include "views/choice/DevtronChoiceController.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;

// Whether Devtron can come up on the cluster before the installation, and how far it has come
// after it, asked with the real kubectl and helm of the emulator's scenarios.
class ReadyForDevtron : public ClusterTestFixture {
protected:
    void SetUp() override {
        ClusterTestFixture::SetUp();
        m_state.setKubeconfigPath(m_emulator.kubeconfigPath());
    }
    void TearDown() override {
        BackgroundJobs::waitForDone();
        ClusterTestFixture::TearDown();
    }

    InstallationState m_state;
};

// Each item as one letter (passed, warning, failed) in the order of PreflightCheck::Item.
static std::string letters(const PreflightCheck::Results& results) {
    std::string text;
    for (const PreflightCheck::Result& result : results) {
        text += "PWF"[static_cast<int>(result.state)];
    }
    return text;
}

TEST_F(ReadyForDevtron, PreflightJudgesEachClusterShape) {
    using Item = PreflightCheck::Item;
    const struct {
        const char* scenario;
        bool installed;
        const char* states;
        Item item;
        QString cause;
        DevtronVariant variant = DevtronVariant::cicd;
    } cases[] = {
        // Only the Ready, untainted worker counts; the default class is not the first one listed.
        {"healthy", false, "PPPPP", Item::capacity,
         u"1个可调度节点，可用 CPU 3.92 核、内存 15.6 GB"_s},
        {"healthy", false, "PPPPP", Item::storage, u"默认StorageClass: standard"_s},
        {"old-version", false, "FPPPP", Item::version, u"集群版本 v1.15 低于Devtron要求的 v1.16"_s},
        {"crd-denied", false, "PFPPP", Item::permissions,
         u"当前用户无权创建: customresourcedefinitions"_s},
        {"no-default-storage", false, "PPWPP", Item::storage,
         u"没有默认StorageClass，Devtron的数据库卷将一直处于Pending状态"_s},
        // A big worker is cordoned and another is lost: neither makes up for the small one.
        {"small-nodes", false, "PPPWP", Item::capacity,
         u"1个可调度节点，可用 CPU 0.94 核、内存 2.0 GB，低于Devtron（CI/CD）建议的 2 核、"
         "6.0 GB"_s},
        // Enough for the dashboard alone, not for the CI/CD module.
        {"two-cpus-4gb", false, "PPPWP", Item::capacity,
         u"1个可调度节点，可用 CPU 2 核、内存 4.3 GB，低于Devtron（CI/CD）建议的 2 核、6.0 GB"_s},
        {"two-cpus-4gb", false, "PPPPP", Item::capacity,
         u"1个可调度节点，可用 CPU 2 核、内存 4.3 GB"_s, DevtronVariant::minimal},
        {"nodes-forbidden", false, "PPPWP", Item::capacity,
         u"无法列出节点: Error from server (Forbidden): nodes is forbidden: User "
         "\"nimbrel-emulator\" cannot list resource \"nodes\" in API group \"\" "
         "at the cluster scope"_s},
        {"healthy", true, "PPPPW", Item::release, u"集群中已经部署了Devtron"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        ASSERT_TRUE(m_emulator.setScenario(QString::fromLatin1(c.scenario)))
            << m_emulator.errorText().toStdString();
        if (c.installed) {
            installStandIn();
        }
        QStringList log;
        const PreflightCheck::Results results = PreflightCheck::run(
            ClusterTools::environment(m_emulator.kubeconfigPath()),
            PreflightCheck::defaultTimeLimit, [&](const QString& line) { log << line; }, c.variant);
        ASSERT_EQ(results.size(), 5) << log.join(u'\n').toStdString();
        EXPECT_EQ(letters(results), c.states) << log.join(u'\n').toStdString();
        EXPECT_EQ(results[static_cast<int>(c.item)].cause.toStdString(), c.cause.toStdString());
        EXPECT_EQ(PreflightCheck::foundExistingRelease(results), c.installed);
    }
}

TEST_F(ReadyForDevtron, ReadinessNamesWhatHoldsDevtronBack) {
    installStandIn();
    const CommandResult pod = run(ShellUtils::quotePath(ClusterTools::kubectlPath()) +
                                      u" get pods -n devtroncd -l app=devtron -o "
                                      "'jsonpath={.items[0].metadata.name}'"_s,
                                  m_emulator.kubeconfigPath());
    ASSERT_FALSE(pod.output.isEmpty()) << pod.error.toStdString();
    const struct {
        const char* scenario;
        QString summary;
    } cases[] = {
        {"healthy", u"Pod就绪: 2/2"_s},
        {"pods-unschedulable-cpu",
         u"Pod就绪: 1/2，Pod %1 无法调度：节点的CPU不足"_s.arg(pod.output)},
        {"pvc-pending", u"Pod就绪: 1/2，存储卷 devtron-postgresql-data "
                        "处于Pending状态：集群没有可用的默认StorageClass"_s},
        {"image-pull",
         u"Pod就绪: 1/2，无法拉取镜像 quay.io/devtron/hyperion:stand-in："
         "ImagePullBackOff: Back-off pulling image \"quay.io/devtron/hyperion:stand-in\""_s},
        {"crash-loop", u"Pod就绪: 1/2，容器 devtron（Pod %1）反复崩溃"_s.arg(pod.output)},
    };
    ReadinessWatcher watcher(m_state);
    watcher.start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        ASSERT_TRUE(m_emulator.setScenario(QString::fromLatin1(c.scenario)))
            << m_emulator.errorText().toStdString();
        // A poll that was already out may still bring the last scenario's pods, and the healthy
        // ones take a few seconds to start.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                watcher.poll();
                return watcher.summary() == c.summary;
            },
            30000))
            << watcher.summary().toStdString();
    }
}

TEST_F(ReadyForDevtron, DashboardIsUpWhenAnythingAnswersOverHttp) {
    QTcpServer reserved;
    ASSERT_TRUE(reserved.listen(QHostAddress::LocalHost));
    const QString closed = u"http://127.0.0.1:%1/"_s.arg(reserved.serverPort());
    reserved.close();
    // The emulator answers 401 with a certificate of its own CA, which the probe does not trust.
    for (const auto& [address, expected] :
         {std::pair{m_emulator.serverUrl(), ReadinessWatcher::Dashboard::up},
          std::pair{closed, ReadinessWatcher::Dashboard::down}}) {
        SCOPED_TRACE(address.toStdString());
        m_state.setDevtronUrl(address);
        ReadinessWatcher watcher(m_state);
        watcher.setProbesDashboard(true);
        QSignalSpy answered(&watcher, &ReadinessWatcher::devtronAnswered);
        watcher.start();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return watcher.dashboard() != ReadinessWatcher::Dashboard::unknown; }, 30000));
        // Later rounds neither probe again once it answered nor announce it twice.
        watcher.poll();
        QTest::qWait(1500);
        EXPECT_EQ(watcher.dashboard(), expected);
        EXPECT_EQ(answered.count(), expected == ReadinessWatcher::Dashboard::up ? 1 : 0);
        EXPECT_EQ(watcher.isWatching(), expected == ReadinessWatcher::Dashboard::down);
    }
}

TEST_F(ReadyForDevtron, WithoutTheNetworkComponentTheDashboardStaysUnknownAndSaysWhy) {
    Services::setPluginPathOverride(u"/nonexistent/libnimbrel_services.so"_s);
    m_state.setDevtronUrl(m_emulator.serverUrl());
    ReadinessWatcher watcher(m_state);
    watcher.setProbesDashboard(true);
    watcher.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_state.logs().contains(u"无法检查Devtron地址: "_s); },
                                30000));
    watcher.poll();
    QTest::qWait(1500);
    EXPECT_EQ(watcher.dashboard(), ReadinessWatcher::Dashboard::unknown);
    EXPECT_TRUE(watcher.isWatching()) << "the pods are still watched";
    EXPECT_EQ(m_state.logs().count(u"无法检查Devtron地址"_s), 1) << "said once";
}

TEST_F(ReadyForDevtron, WarningsAskOnceAndAnExistingReleaseIsRead) {
    ASSERT_TRUE(m_emulator.setScenario(u"no-default-storage"_s));
    m_state.setInstallDevtron(true);
    m_state.setCurrentStep(InstallationStep::devtronChoice);
    DevtronChoiceController choice(m_state);
    QSignalSpy asked(&choice, &DevtronChoiceController::showPreflightConfirmChanged);
    choice.nextAction();
    ASSERT_TRUE(QTest::qWaitFor([&] { return choice.showPreflightConfirm(); }, 60000))
        << m_state.logs().toStdString();
    EXPECT_EQ(letters(choice.preflightResults()), "PPWPP");
    EXPECT_EQ(m_state.currentStep(), InstallationStep::devtronChoice);
    choice.confirmPreflightWarnings(true);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return m_state.currentStep() == InstallationStep::installation; }, 5000));
    EXPECT_EQ(asked.count(), 2); // shown once, closed once
    EXPECT_TRUE(m_state.logs().contains(u"用户确认安装前检查的警告，继续安装"_s));

    installStandIn(u"minimal"_s, u"gitee"_s);
    EXPECT_EQ(installedValues(), u"|gitee|"_s);
    ASSERT_TRUE(m_emulator.setScenario(u"healthy"_s));
    m_state.setCurrentStep(InstallationStep::devtronChoice);
    choice.nextAction();
    ASSERT_TRUE(QTest::qWaitFor([&] { return choice.showExistingReleaseAlert(); }, 60000))
        << m_state.logs().toStdString();
    EXPECT_FALSE(choice.showPreflightConfirm());
    choice.answerExistingRelease(true);
    EXPECT_EQ(m_state.currentStep(), InstallationStep::waitingForServices);
    EXPECT_TRUE(m_state.readsExistingInstallation());
}

TEST_F(ReadyForDevtron, BrokenReleaseIsClearedOnlyAfterYesAndThenInstalls) {
    using Prompt = DevtronChoiceController::RepairPrompt;
    // The last: helm refuses to touch a pending release, so its record goes instead.
    const std::pair<const char*, bool> cases[] = {
        {"failed", false},           {"pending-install", false}, {"pending-upgrade", false},
        {"pending-rollback", false}, {"uninstalling", false},    {"pending-install", true}};
    m_state.setInstallDevtron(true);
    m_state.setKubeconfigContext(u"work"_s);
    m_state.setClusterServer(m_emulator.serverUrl());
    const QString records = kubectlLine(u"get secrets -n devtroncd -l owner=helm -o name"_s);
    for (const auto& [release, locked] : cases) {
        SCOPED_TRACE(release);
        ASSERT_TRUE(m_emulator.setRelease(QString::fromLatin1(release)));
        ASSERT_TRUE(m_emulator.setFault(locked ? ClusterEmulator::Fault::ReleaseLocked
                                               : ClusterEmulator::Fault::None));
        m_state.setCurrentStep(InstallationStep::devtronChoice);
        DevtronChoiceController choice(m_state);
        const auto idle = [&] {
            return !choice.isTesting() && !choice.isCheckingPreflight() && !choice.isRepairing();
        };
        choice.nextAction();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return idle() && !choice.preflightResults().isEmpty(); }, 60000));
        ASSERT_EQ(letters(choice.preflightResults()), "PPPPPF") << m_state.logs().toStdString();

        const QString before = run(records, m_emulator.kubeconfigPath()).output;
        choice.repairBrokenRelease();
        ASSERT_EQ(choice.repairPrompt(), Prompt::uninstall);
        EXPECT_TRUE(choice.repairMessage().contains(m_state.clusterTarget()));
        EXPECT_EQ(choice.repairCommand(),
                  u"helm uninstall devtron -n devtroncd --wait --timeout 5m"_s);
        choice.answerRepairPrompt(false);
        EXPECT_TRUE(idle());
        EXPECT_EQ(run(records, m_emulator.kubeconfigPath()).output, before);

        choice.repairBrokenRelease();
        choice.answerRepairPrompt(true);
        if (locked) {
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return idle() && choice.repairPrompt() == Prompt::removeRecord; }, 60000))
                << m_state.logs().toStdString();
            EXPECT_EQ(choice.repairCommand(),
                      u"kubectl delete secret sh.helm.release.v1.devtron.v1 -n devtroncd"_s);
            choice.answerRepairPrompt(true);
        }
        // Checked again and clean: on to the installation, which now succeeds.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return m_state.currentStep() == InstallationStep::installation; }, 120000))
            << m_state.logs().toStdString();
        EXPECT_EQ(letters(choice.preflightResults()), "PPPPPP");
        // The operation that held the lock is gone with its record.
        ASSERT_TRUE(m_emulator.setFault(ClusterEmulator::Fault::None));
        installStandIn();
    }
}
