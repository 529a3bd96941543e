#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <chrono>

class InstallationState;

// A local tunnel to Devtron's dashboard, for a cluster that gives no address this machine can
// reach: the bundled kubectl forwards 127.0.0.1:<free port> to devtron-service for as long as
// this object lives. When kubectl ends, it is started again after 1 s, 2 s, 4 s … (at most 30 s
// apart), on the same local port, so that the address the user has stays good. Lives on the GUI
// thread; kubectl leads a process group of its own, ended with this object or when the program
// quits.
class DashboardTunnel : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds firstRestartDelay{1000};
    static constexpr std::chrono::milliseconds longestRestartDelay{30000};

    explicit DashboardTunnel(InstallationState& state, QObject* parent = nullptr);
    ~DashboardTunnel() override;

    DashboardTunnel(const DashboardTunnel&) = delete;
    DashboardTunnel& operator=(const DashboardTunnel&) = delete;

    // Forwards a free local port to the Service's port; nothing when already started.
    void start(int servicePort);
    // Ends kubectl's process group and every restart.
    void stop();

    bool isStarted() const { return m_servicePort > 0; }
    // kubectl said it is forwarding, and has not ended since.
    bool isForwarding() const { return m_isForwarding; }
    int localPort() const { return m_localPort; }
    int servicePort() const { return m_servicePort; }
    // "http://127.0.0.1:<port>", once a port is chosen.
    QString address() const;
    // Why the last kubectl ended, in the user's words; empty while it forwards.
    QString failure() const { return m_failure; }
    // The wait before the next start, while one is scheduled.
    std::chrono::milliseconds restartDelay() const { return m_restartTimer.intervalAsDuration(); }
    bool hasPendingRestart() const { return m_restartTimer.isActive(); }
    // Runs a scheduled restart now (tests).
    void restartNow();

signals:
    void changed();

private:
    void launch();
    void readOutput();
    void finished();
    void endProcess();

    InstallationState& m_state;
    QProcess* m_process = nullptr;
    qint64 m_group = 0;
    QTimer m_restartTimer;
    QByteArray m_output;
    QByteArray m_errorTail;
    QString m_failure;
    std::chrono::milliseconds m_delay = firstRestartDelay;
    int m_servicePort = 0;
    int m_localPort = 0;
    int m_starts = 0;
    bool m_isForwarding = false;
};
