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

// Watches Devtron come up after an installation: every 5 seconds Devtron's installer object (where
// the cluster has that type), the pods of devtroncd (N/M ready, and what holds them back), and once
// an address is known whether Devtron answers there. Stops once Devtron is done (its installer
// Applied, where there is one) and answers, which is announced once; when this object goes; or
// after 45 minutes, the time Devtron's own documentation allows an installation. Lives on
// the GUI thread; each kubectl poll runs on the background pool with a time limit, and a poll
// never starts while the last one is still out.
class ReadinessWatcher : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isWatching READ isWatching NOTIFY changed)

public:
    enum class Dashboard { unknown, down, up };

    static constexpr std::chrono::milliseconds pollInterval{5000};
    // Once nothing has changed for quietAfter, the polls come this far apart, until the next
    // change: each kubectl costs tens of milliseconds of CPU.
    static constexpr std::chrono::milliseconds quietPollInterval{15000};
    static constexpr std::chrono::seconds quietAfter{60};
    static constexpr std::chrono::minutes watchLimit{45};
    static constexpr std::chrono::milliseconds commandTimeLimit{15000};
    static constexpr std::chrono::milliseconds probeTimeLimit{4000};

    explicit ReadinessWatcher(InstallationState& state, QObject* parent = nullptr);

    bool isWatching() const { return m_timer.isActive(); }
    // None before the first poll has come back.
    const std::optional<ReadinessReport>& report() const { return m_report; }
    Dashboard dashboard() const { return m_dashboard; }
    // The 45 minutes ran out before Devtron answered.
    bool hasGivenUp() const { return m_hasGivenUp; }
    // Devtron's installer object's .status.sync.status ("Downloaded", "Applied"); empty while it
    // has none. None while unknown, or when the cluster has no installer type.
    const std::optional<QString>& installerStatus() const { return m_installerStatus; }
    bool isInstallerApplied() const;
    // For the screen: the installer's state where there is one, then "Pod就绪: N/M" and the
    // reason, or whether Devtron answers.
    QString summary() const;
    QString installerLine() const;

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
    // Devtron is done and answered at its address, for the first time.
    void devtronAnswered();

private:
    struct Round {
        ReadinessReport report;
        std::optional<QString> installerStatus;
        bool installerTypeMissing = false;
    };
    void finishPoll(const Round& round);
    void finishIfDone();
    void probeDashboard();
    void finishProbe(bool answered);

    InstallationState& m_state;
    QTimer m_timer;
    QDeadlineTimer m_deadline;
    QDeadlineTimer m_quietFrom;
    std::unique_ptr<AddressProbe> m_probe;
    // Why the address cannot be probed here, once known; the watch then only polls.
    QString m_probeFailure;
    std::optional<ReadinessReport> m_report;
    std::optional<QString> m_installerStatus;
    bool m_installerTypeMissing = false;
    bool m_hasAnnounced = false;
    Dashboard m_dashboard = Dashboard::unknown;
    bool m_pollOut = false;
    bool m_probeOut = false;
    bool m_hasGivenUp = false;
    bool m_probesDashboard = false;
};
