#pragma once

#include "cluster/PreflightCheck.h"
#include "shell/ShellUtils.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class InstallationState;

// The install-choice step: the Devtron choice, and the gate behind "下一步" that a cluster must
// answer before the wizard goes on (test running, last outcome, failure alert). Lives on the GUI
// thread; the probes run on the shared background pool and their outcome comes back there.
class DevtronChoiceController : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool installDevtron READ installDevtron WRITE setInstallDevtron NOTIFY
                   installDevtronChanged)
    Q_PROPERTY(DevtronVariant devtronVariant READ devtronVariant WRITE setDevtronVariant NOTIFY
                   devtronVariantChanged)
    Q_PROPERTY(ManifestSource manifestSource READ manifestSource WRITE setManifestSource NOTIFY
                   manifestSourceChanged)
    Q_PROPERTY(bool isTesting READ isTesting NOTIFY isTestingChanged)
    Q_PROPERTY(bool showTestFailAlert READ showTestFailAlert WRITE setShowTestFailAlert NOTIFY
                   showTestFailAlertChanged)
    Q_PROPERTY(QString alertMessage READ alertMessage NOTIFY alertMessageChanged)
    Q_PROPERTY(bool isCheckingPreflight READ isCheckingPreflight NOTIFY isCheckingPreflightChanged)
    Q_PROPERTY(
        bool showPreflightConfirm READ showPreflightConfirm NOTIFY showPreflightConfirmChanged)
    Q_PROPERTY(bool showExistingReleaseAlert READ showExistingReleaseAlert NOTIFY
                   showExistingReleaseAlertChanged)
    Q_PROPERTY(bool isRepairing READ isRepairing NOTIFY isRepairingChanged)
    Q_PROPERTY(RepairPrompt repairPrompt READ repairPrompt NOTIFY repairPromptChanged)

public:
    // What the repair of a broken release asks or reports, one at a time: the uninstall, the
    // removal of a pending revision's record after helm refused, or what failed.
    enum class RepairPrompt { none, uninstall, removeRecord, failed };
    Q_ENUM(RepairPrompt)

    // Outcome of a finished test: success, or failure with the message kept for the alert.
    class TestResult {
    public:
        static TestResult success() { return TestResult(true, {}); }
        static TestResult failure(const QString& message) { return TestResult(false, message); }

        bool isSuccess() const { return m_success; }
        // Empty for a success.
        const QString& message() const { return m_message; }

        bool operator==(const TestResult& other) const = default;

    private:
        TestResult(bool success, const QString& message) : m_success(success), m_message(message) {}

        bool m_success;
        QString m_message;
    };

    using Completion = std::function<void(bool connected)>;

    explicit DevtronChoiceController(InstallationState& state, QObject* parent = nullptr);

    // The session's choice, which the switch writes directly.
    bool installDevtron() const;
    void setInstallDevtron(bool install);
    // The session's variant and source; each choice is logged.
    DevtronVariant devtronVariant() const;
    void setDevtronVariant(DevtronVariant variant);
    ManifestSource manifestSource() const;
    void setManifestSource(ManifestSource source);
    bool isTesting() const { return m_isTesting; }
    // None while a test runs and before the first one; announced by testResultChanged.
    const std::optional<TestResult>& testResult() const { return m_testResult; }
    bool showTestFailAlert() const { return m_showTestFailAlert; }
    const QString& alertMessage() const { return m_alertMessage; }

    // The pre-flight check of an installation, after a successful cluster test.
    bool isCheckingPreflight() const { return m_isCheckingPreflight; }
    // The last check's items; empty before the first and while one runs.
    const PreflightCheck::Results& preflightResults() const { return m_preflightResults; }
    // Warnings only: the user is asked once whether to install anyway.
    bool showPreflightConfirm() const { return m_showPreflightConfirm; }
    // Devtron is deployed already: "Devtron已安装", with the offer to read its access data.
    bool showExistingReleaseAlert() const { return m_showExistingReleaseAlert; }
    // The answer to the warnings' question; going on starts the installation.
    void confirmPreflightWarnings(bool goOn);
    // The answer to "Devtron已安装": read the existing installation's access data, or stay.
    void answerExistingRelease(bool readAccess);
    // The third answer to "Devtron已安装": remove it, on a screen of its own.
    void requestRemoval();
    // How long each pre-flight question may take.
    void setPreflightTimeLimit(std::chrono::milliseconds limit) { m_preflightTimeLimit = limit; }

    // A broken release is being cleared, or its check runs again.
    bool isRepairing() const { return m_isRepairing; }
    RepairPrompt repairPrompt() const { return m_repairPrompt; }
    // The shown prompt's text: what will happen and in which cluster, or what failed.
    const QString& repairMessage() const { return m_repairMessage; }
    // The command the prompt asks about, as a user would type it; empty for a failure.
    const QString& repairCommand() const { return m_repairCommand; }
    // "清理后重新安装" of a broken release item: asks before anything changes in the cluster.
    void repairBrokenRelease();
    // The answer to the shown prompt; no leaves the cluster as it is.
    void answerRepairPrompt(bool yes);
    // helm's own 5 minutes for the uninstall, and a little for helm to report.
    static constexpr std::chrono::seconds uninstallTimeLimit{330};

    // The alert was closed by one of its buttons.
    void setShowTestFailAlert(bool shown);
    // The screen was shown again: an earlier success no longer counts.
    void forgetTestResult();

    // Starts the probes unless a test is already running (then the completion is never called).
    // The completion runs on the GUI thread, and only while this object still exists.
    void testClusterConnection(Completion completion = {});
    // "下一步": hand over after a success, otherwise test first.
    void nextAction();
    // Hands over to the installation step; the tools themselves are set up there.
    void setupEnvironment();
    // "上一步" and the alert's "返回上一步".
    void goBackToKubeconfigSelection();

    // The message a failed "get namespaces" leaves in the screen state, from kubectl's error text.
    static QString classifyConnectionError(const QString& errorText);
    // The alert text for a kept failure message.
    static QString formatErrorMessageForAlert(const QString& message);

signals:
    void installDevtronChanged();
    void devtronVariantChanged();
    void manifestSourceChanged();
    void isTestingChanged();
    void testResultChanged();
    void showTestFailAlertChanged();
    void alertMessageChanged();
    void isCheckingPreflightChanged();
    void preflightResultsChanged();
    void showPreflightConfirmChanged();
    void showExistingReleaseAlertChanged();
    void isRepairingChanged();
    void repairPromptChanged();
    void removalRequested();

private:
    struct ProbeOutcome {
        enum class Kind { toolFailure, success, connectionFailure };
        Kind kind;
        // The tool probe's error text, the namespace listing, or the classified message.
        QString text;
    };

    using LineLogger = std::function<void(const QString&)>;

    struct RepairOutcome {
        enum class Kind { cleared, recordRemovable, recordRemoved, failed };
        Kind kind;
        // helm's or kubectl's error text for a refusal or failure.
        QString error;
    };

    static ProbeOutcome runProbes(const QString& versionCommand, const QString& namespacesCommand,
                                  const EnvironmentOverlay& environment, const LineLogger& log);
    static void logOutcome(InstallationState& state, const ProbeOutcome& outcome);
    void finishTest(const ProbeOutcome& outcome, const Completion& completion);
    // After a successful test: the pre-flight check when Devtron is to be installed.
    void proceedAfterTest();
    void runPreflight();
    void finishPreflight(const PreflightCheck::Results& results);
    bool isOnChoiceStep() const;
    bool isBusy() const;

    static RepairOutcome runUninstall(const ReleaseRecord& record,
                                      const EnvironmentOverlay& environment,
                                      std::chrono::milliseconds lookupLimit, const LineLogger& log);
    static RepairOutcome runRecordRemoval(const ReleaseRecord& record,
                                          const EnvironmentOverlay& environment,
                                          std::chrono::milliseconds limit, const LineLogger& log);
    // Runs `job` on the pool; its outcome is logged, and handled while this object exists.
    void startRepairJob(std::function<RepairOutcome()> job);
    static void logRepair(InstallationState& state, const ReleaseRecord& record,
                          const RepairOutcome& outcome);
    void finishRepair(const RepairOutcome& outcome);
    void setRepairPrompt(RepairPrompt prompt, const QString& message, const QString& command = {});
    void setIsRepairing(bool repairing);
    // The cluster named before anything changes in it.
    QString clusterName() const;

    void setIsTesting(bool testing);
    void setTestResult(const std::optional<TestResult>& result);
    void setAlertMessage(const QString& message);

    InstallationState& m_state;
    bool m_isTesting = false;
    std::optional<TestResult> m_testResult;
    bool m_showTestFailAlert = false;
    QString m_alertMessage;
    bool m_isCheckingPreflight = false;
    PreflightCheck::Results m_preflightResults;
    bool m_showPreflightConfirm = false;
    bool m_showExistingReleaseAlert = false;
    std::chrono::milliseconds m_preflightTimeLimit = PreflightCheck::defaultTimeLimit;
    bool m_isRepairing = false;
    RepairPrompt m_repairPrompt = RepairPrompt::none;
    QString m_repairMessage;
    QString m_repairCommand;
    // The broken release being repaired.
    std::optional<ReleaseRecord> m_repairedRelease;
};
