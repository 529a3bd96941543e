#pragma once

#include "cluster/CredentialLookup.h"
#include "cluster/ReadinessWatcher.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

class InstallationState;

// The service-wait step: a 100-second countdown after a fresh installation, then Devtron's
// address and administrator password read back from the cluster into the session. Lives on the
// GUI thread; the two kubectl lookups run on the background pool, each with a time limit, and
// their outcome counts only while this object exists and the wizard is still on this step. What
// could not be read is reported as such, never replaced by a stand-in.
class WaitingForServicesController : public QObject {
    Q_OBJECT
    Q_PROPERTY(int remainingTime READ remainingTime NOTIFY remainingTimeChanged)
    Q_PROPERTY(bool isTimerRunning READ isTimerRunning NOTIFY isTimerRunningChanged)
    Q_PROPERTY(bool isComplete READ isComplete NOTIFY isCompleteChanged)
    Q_PROPERTY(bool isRetrievingCredentials READ isRetrievingCredentials NOTIFY
                   isRetrievingCredentialsChanged)

public:
    // What the screen's status box shows. `unread`: the lookup ended without the whole access
    // data; the session's failure fields say what is missing and why.
    enum class Status { counting, retrieving, complete, unread, none };

    static constexpr int waitSeconds = 100;
    // The countdown's length: waitSeconds, unless NIMBREL_SERVICE_WAIT_SECONDS gives a shorter
    // one, which only the click-through walks do so as not to sit out the whole wait each time.
    static int countdownSeconds();
    static constexpr std::chrono::milliseconds skipDelay{2000};
    static constexpr std::chrono::milliseconds commandTimeLimit =
        CredentialLookup::defaultTimeLimit;

    explicit WaitingForServicesController(InstallationState& state, QObject* parent = nullptr);

    int remainingTime() const { return m_remainingTime; }
    bool isTimerRunning() const { return m_timer.isActive(); }
    bool isComplete() const { return m_isComplete; }
    bool isRetrievingCredentials() const { return m_isRetrievingCredentials; }
    // False when only the tools were configured: the wait is then skipped.
    bool isInstallMode() const;
    Status status() const;
    // What could not be read and why, a line per value; empty unless the status is `unread`.
    QString unreadText() const;
    // The countdown's share done, 0 to 1.
    double waitProgress() const;

    // How far Devtron's pods have come, watched while the screen is shown in install mode.
    ReadinessWatcher& readiness() { return m_readiness; }
    // The screen was shown: announce the wait and count down, or skip it in configure-only mode.
    void start();
    void startTimer();
    // The screen is gone from view.
    void stopTimer();
    // One second of the countdown; the lookup starts when it reaches 0.
    void tick();
    void retrieveDevtronCredentials();
    // The "下一步" button; a second press before the step has changed does nothing.
    void moveToNextStep();
    // Runs a pending configure-only skip now instead of after its delay.
    void firePendingSkip();
    // How long each kubectl lookup may take before it counts as failed.
    void setCommandTimeLimit(std::chrono::milliseconds limit) { m_commandTimeLimit = limit; }

signals:
    void remainingTimeChanged();
    void isTimerRunningChanged();
    void isCompleteChanged();
    void isRetrievingCredentialsChanged();

private:
    void completeSkip();
    void finishLookup(const DevtronAccess& access);
    bool isOnWaitStep() const;
    void setRemainingTime(int seconds);
    void setIsComplete(bool complete);
    void setIsRetrievingCredentials(bool retrieving);

    InstallationState& m_state;
    int m_countdownSeconds = countdownSeconds();
    int m_remainingTime = m_countdownSeconds;
    bool m_isComplete = false;
    bool m_isRetrievingCredentials = false;
    bool m_hasMovedOn = false;
    QTimer m_timer;
    QTimer m_skipTimer;
    ReadinessWatcher m_readiness{m_state};
    std::chrono::milliseconds m_commandTimeLimit = commandTimeLimit;
};
