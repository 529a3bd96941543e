#include "cluster/DashboardTunnel.h"

#include "session/InstallationState.h"
#include "shell/ChildProcesses.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/CommandRunner.h"

#include <QProcessEnvironment>

#include <algorithm>
#include <csignal>

#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port of 127.0.0.1 that nobody listens on now; 0 when none can be had.
int freeLocalPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

constexpr qsizetype errorTailBytes = 4096;
constexpr int endGraceMs = 2000;

} // namespace

DashboardTunnel::DashboardTunnel(InstallationState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    m_restartTimer.setSingleShot(true);
    connect(&m_restartTimer, &QTimer::timeout, this, &DashboardTunnel::launch);
    // Before the program's last look for children, which no longer runs the event loop that
    // would reap this one.
    if (QCoreApplication::instance() != nullptr) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &DashboardTunnel::stop);
    }
}

DashboardTunnel::~DashboardTunnel() {
    // Whoever listens may be half destroyed already: its member, or its screen's child.
    blockSignals(true);
    stop();
}

QString DashboardTunnel::address() const {
    return m_localPort > 0 ? QStringLiteral("http://127.0.0.1:%1").arg(m_localPort) : QString();
}

void DashboardTunnel::start(int servicePort) {
    if (isStarted()) {
        return;
    }
    m_servicePort = servicePort;
    m_delay = firstRestartDelay;
    launch();
}

void DashboardTunnel::stop() {
    m_restartTimer.stop();
    endProcess();
    if (m_isForwarding) {
        m_isForwarding = false;
        emit changed();
    }
}

void DashboardTunnel::restartNow() {
    if (m_restartTimer.isActive()) {
        m_restartTimer.stop();
        launch();
    }
}

void DashboardTunnel::launch() {
    if (m_localPort == 0) {
        m_localPort = freeLocalPort();
    }
    ++m_starts;
    const QString command = ClusterTools::tunnelCommand(m_localPort, m_servicePort);
    if (m_starts == 1) {
        m_state.appendLog(tr("建立本地隧道: %1").arg(command));
    } else {
        m_state.appendLog(tr("重新建立本地隧道（第%1次）").arg(m_starts - 1));
    }
    m_output.clear();
    m_errorTail.clear();

    m_process = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const EnvironmentOverlay overlay = ClusterTools::environment(m_state.kubeconfigPath());
    for (auto it = overlay.cbegin(); it != overlay.cend(); ++it) {
        environment.insert(it.key(), it.value());
    }
    m_process->setProcessEnvironment(environment);
    m_process->setStandardInputFile(QProcess::nullDevice());
    // A session and group of its own, like every child, so that quitting ends kubectl with its
    // shell and no terminal can stop it; and ended by the kernel should Nimbrel die first.
    m_process->setChildProcessModifier([] {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    connect(m_process, &QProcess::readyReadStandardOutput, this, &DashboardTunnel::readOutput);
    connect(m_process, &QProcess::readyReadStandardError, this, [this] {
        m_errorTail += m_process->readAllStandardError();
        m_errorTail = m_errorTail.right(errorTailBytes);
    });
    connect(m_process, &QProcess::finished, this, &DashboardTunnel::finished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            m_errorTail = m_process->errorString().toUtf8();
            finished();
        }
    });
    m_process->start(CommandRunner::shellPath(), {QStringLiteral("-c"), command});
    if (m_process->state() != QProcess::NotRunning) {
        m_group = m_process->processId();
        ChildProcesses::add(static_cast<pid_t>(m_group));
    }
}

void DashboardTunnel::readOutput() {
    m_output += m_process->readAllStandardOutput();
    // "Forwarding from 127.0.0.1:PORT -> 8080", then a line for each connection it handles.
    if (!m_isForwarding && m_output.contains("Forwarding from")) {
        m_isForwarding = true;
        m_failure.clear();
        m_delay = firstRestartDelay;
        m_state.appendLog(tr("本地隧道已建立: %1").arg(address()));
        emit changed();
    }
    if (m_isForwarding) {
        m_output.clear();
    }
}

void DashboardTunnel::finished() {
    if (m_process == nullptr) {
        return;
    }
    m_errorTail += m_process->readAllStandardError();
    endProcess();
    // kubectl's last line says why it ended; the lines before it are its log's detail.
    const QStringList lines = QString::fromUtf8(m_errorTail).split(u'\n', Qt::SkipEmptyParts);
    const QString error = lines.isEmpty() ? QString() : lines.last().trimmed();
    m_failure = ClusterErrors::classify(error.isEmpty() ? tr("kubectl已退出") : error);
    m_isForwarding = false;
    // Someone else took the port while kubectl was away: the next start picks another.
    if (error.contains(QLatin1String("unable to listen on"))) {
        m_localPort = 0;
    }
    m_state.appendLog(tr("本地隧道已断开: %1").arg(m_failure));
    //: %1 is a number of seconds.
    m_state.appendLog(tr("%1秒后重新建立本地隧道")
                          .arg(std::chrono::duration_cast<std::chrono::seconds>(m_delay).count()));
    m_restartTimer.start(m_delay);
    m_delay = std::min(m_delay * 2, longestRestartDelay);
    emit changed();
}

void DashboardTunnel::endProcess() {
    if (m_process == nullptr) {
        return;
    }
    QProcess* process = m_process;
    m_process = nullptr;
    process->disconnect(this);
    if (process->state() != QProcess::NotRunning && m_group > 0) {
        ::kill(static_cast<pid_t>(-m_group), SIGTERM);
        if (!process->waitForFinished(endGraceMs)) {
            ::kill(static_cast<pid_t>(-m_group), SIGKILL);
            process->waitForFinished(endGraceMs);
        }
    }
    if (m_group > 0) {
        // The shell may have left kubectl behind in the group.
        ::kill(static_cast<pid_t>(-m_group), SIGKILL);
        ChildProcesses::remove(static_cast<pid_t>(m_group));
        m_group = 0;
    }
    process->deleteLater();
}
