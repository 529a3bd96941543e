#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DevtronInstaller;
class InstallationState;

// The installation step: drives one DevtronInstaller run, keeps the shared progress moving with a
// sweep until the engine reports, counts the elapsed seconds against a fixed time limit, and leaves
// the step on success, failure, time-out or an already installed Devtron. Lives on the GUI thread.
//
// The engine's blocking parts (environment set-up, release check) run on the shared pool; the
// screen's timers start only once they have returned, and engine reports that arrive meanwhile
// are handled after that, in their order. Reports that arrive once the run has ended (time-out,
// failure, going back) are ignored; reports for a destroyed controller are dropped.
class InstallationController : public QObject {
    Q_OBJECT
    Q_PROPERTY(double elapsedTime READ elapsedTime NOTIFY elapsedTimeChanged)
    Q_PROPERTY(bool isInstallationCompleted READ isInstallationCompleted NOTIFY
                   isInstallationCompletedChanged)
    Q_PROPERTY(bool progressDirection READ progressDirection NOTIFY progressDirectionChanged)
    Q_PROPERTY(bool isEngineBusy READ isEngineBusy NOTIFY isEngineBusyChanged)

public:
    static constexpr double installationTimeout = 420.0;
    static constexpr int timerIntervalMs = 1000;
    static constexpr int progressIntervalMs = 50;
    static constexpr double sweepStep = 0.003;
    static constexpr double sweepLow = 0.1;
    static constexpr double sweepHigh = 0.95;
    static constexpr int timeoutReturnDelayMs = 1000;
    static constexpr int successAdvanceDelayMs = 1500;
    static constexpr int failureReturnDelayMs = 2000;
    static constexpr int setupCompleteDelayMs = 2000;

    explicit InstallationController(InstallationState& state, QObject* parent = nullptr);
    ~InstallationController() override;

    double elapsedTime() const { return m_elapsedTime; }
    bool isInstallationCompleted() const { return m_isInstallationCompleted; }
    // true while the sweep rises.
    bool progressDirection() const { return m_progressDirection; }
    const QTimer& timer() const { return m_timer; }
    const QTimer& progressTimer() const { return m_progressTimer; }
    // Whether an engine call that blocks is still running on the pool: the set-up and the check
    // for an installed release, before the clock starts.
    bool isEngineBusy() const { return m_engineBusy; }
    bool isInstallMode() const { return m_installMode; }

    // The screen appeared: the run starts, then the clock and the sweep (once the engine's
    // blocking part has returned). A second call does nothing: one controller, one run.
    void screenShown();
    // The screen went away: both timers stop.
    void screenHidden();

    void startInstallation();
    void startTimer();
    void stopTimer();
    void startProgressAnimation();
    void stopProgressAnimation();
    // One tick of the clock and of the sweep.
    void timerTick();
    void progressTick();

    // The GUI-thread side of the engine's progress and completion callbacks.
    void handleProgress(double progress);
    void handleCompletion(bool success, const std::optional<QString>& message);

    void handleTimeout();
    void handleFailure(const QString& reason);
    void completeInstallation();
    void goBackToPreviousStep();
    void copyLogsToClipboard();
    // The "下一步" button: advances the wizard, once, after a successful run.
    void moveToNextStep();

    // The delayed action waiting on its timer, in milliseconds (none when nothing waits), and
    // running it now instead of waiting.
    std::optional<int> pendingDelay() const;
    void firePendingAction();

    // "mm:ss" of the whole seconds; minutes are not capped.
    static QString formatTime(double seconds);
    // The text a failure raises: the reason made readable, a short one completed from the log.
    static QString composeFailureMessage(const QString& reason, const QString& logs);

signals:
    void elapsedTimeChanged();
    void isInstallationCompletedChanged();
    void progressDirectionChanged();
    void isEngineBusyChanged();

private:
    void createInstaller();
    void runInstallOnPool();
    void runSetupOnPool();
    void installReturned();
    void setupReturned(bool ready);
    void startScreenTimers();
    // Runs a progress or completion report now, later (engine busy) or never (run ended).
    void deliver(std::function<void()> report);
    void after(int delayMs, void (InstallationController::*action)());
    void advanceAfterSuccess();
    bool isOnInstallationStep() const;
    void setElapsedTime(double seconds);
    void setIsInstallationCompleted(bool completed);
    void setProgressDirection(bool rising);
    void setEngineBusy(bool busy);

    InstallationState& m_state;
    QTimer m_timer;
    QTimer m_progressTimer;
    QTimer m_delay;
    void (InstallationController::*m_delayedAction)() = nullptr;
    double m_elapsedTime = 0.0;
    bool m_isInstallationCompleted = false;
    bool m_progressDirection = true;
    // Shared with the pool job that runs the engine's blocking call, which may outlive us.
    std::shared_ptr<DevtronInstaller> m_devtronInstaller;

    bool m_started = false;
    bool m_installMode = true;
    bool m_engineBusy = false;
    bool m_runOpen = false;
    bool m_advanced = false;
    std::vector<std::function<void()>> m_deferredReports;
};
