#pragma once

#include "cluster/ReadinessReport.h"
#include "shell/ServicesPlugin.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>

class InstallationState;

// Watches Devtron come up after an installation: every 5 seconds the pods of devtroncd (N/M
// ready, and what holds them back), and once an address is known whether Devtron answers there.
// Stops once it answers (announced once), when this object goes, or after 30 minutes. Lives on
// the GUI thread; each kubectl poll runs on the background pool with a time limit, and a poll
// never starts while the last one is still out.
class ReadinessWatcher : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isWatching READ isWatching NOTIFY changed)

public:
    enum class Dashboard { unknown, down, up };

    static constexpr std::chrono::milliseconds pollInterval{5000};
    static constexpr std::chrono::minutes watchLimit{30};
    static constexpr std::chrono::milliseconds commandTimeLimit{15000};
    static constexpr std::chrono::milliseconds probeTimeLimit{4000};

    explicit ReadinessWatcher(InstallationState& state, QObject* parent = nullptr);

    bool isWatching() const { return m_timer.isActive(); }
    // None before the first poll has come back.
    const std::optional<ReadinessReport>& report() const { return m_report; }
    Dashboard dashboard() const { return m_dashboard; }
    // The 30 minutes ran out before Devtron answered.
    bool hasGivenUp() const { return m_hasGivenUp; }
    // One line for the screen: "Pod就绪: N/M" and the reason, or whether Devtron answers.
    QString summary() const;

    // Whether each round also asks Devtron's address; off until the address is known to be the
    // one read from the cluster (the completion screen).
    void setProbesDashboard(bool probes) { m_probesDashboard = probes; }

    void start();
    void stop();
    // One round: the pods, then the address. The timer calls it; tests call it by hand.
    void poll();
    // Moves the 30-minute limit to now (tests).
    void expireWatchLimit() { m_deadline = QDeadlineTimer(0); }

signals:
    void changed();
    // Devtron answered at its address for the first time.
    void devtronAnswered();

private:
    void finishPoll(const ReadinessReport& report);
    void probeDashboard();
    void finishProbe(bool answered);

    InstallationState& m_state;
    QTimer m_timer;
    QDeadlineTimer m_deadline;
    std::unique_ptr<AddressProbe> m_probe;
    // Why the address cannot be probed here, once known; the watch then only polls.
    QString m_probeFailure;
    std::optional<ReadinessReport> m_report;
    Dashboard m_dashboard = Dashboard::unknown;
    bool m_pollOut = false;
    bool m_probeOut = false;
    bool m_hasGivenUp = false;
    bool m_probesDashboard = false;
};
