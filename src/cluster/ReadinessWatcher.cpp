#include "cluster/ReadinessWatcher.h"

#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/GuiThread.h"
#include "shell/Services.h"

#include <QUrl>

ReadinessWatcher::ReadinessWatcher(InstallationState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    m_timer.setInterval(pollInterval);
    // A coarse timer: the polls need no precision, and the machine may sleep between them.
    m_timer.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReadinessWatcher::poll);
}

namespace {

QString describe(const ReadinessReport& report) {
    if (report.reason.isEmpty()) {
        return QCoreApplication::translate("ReadinessWatcher", "Pod就绪: %1/%2")
            .arg(report.ready)
            .arg(report.total);
    }
    //: %1/%2 are the ready and all pods, %3 what holds the rest back.
    return QCoreApplication::translate("ReadinessWatcher", "Pod就绪: %1/%2，%3")
        .arg(QString::number(report.ready), QString::number(report.total), report.reason);
}

} // namespace

QString ReadinessWatcher::summary() const {
    if (m_dashboard == Dashboard::up) {
        return tr("Devtron已可以访问");
    }
    QString text;
    if (m_report) {
        text = describe(*m_report);
    } else {
        text = tr("正在检查Devtron的Pod...");
    }
    if (m_hasGivenUp) {
        text += u'\n' + tr("已等待30分钟，停止检查，请稍后手动确认Devtron的状态");
    } else if (m_dashboard == Dashboard::down) {
        text += u'\n' + tr("Devtron暂时还无法访问");
    }
    return text;
}

void ReadinessWatcher::start() {
    if (m_timer.isActive() || m_dashboard == Dashboard::up) {
        return;
    }
    m_deadline = QDeadlineTimer(watchLimit);
    m_hasGivenUp = false;
    m_timer.start();
    poll();
    emit changed();
}

void ReadinessWatcher::stop() {
    m_timer.stop();
    emit changed();
}

void ReadinessWatcher::poll() {
    if (m_deadline.hasExpired()) {
        m_hasGivenUp = true;
        m_state.appendLog(tr("已等待30分钟，停止检查Devtron的状态"));
        stop();
        return;
    }
    if (m_pollOut) {
        return;
    }
    m_pollOut = true;
    const EnvironmentOverlay environment = ClusterTools::environment(m_state.kubeconfigPath());
    const QPointer<ReadinessWatcher> self(this);
    BackgroundJobs::start([self, environment] {
        const CommandResult pods = ShellUtils::runCommandWithEnv(ClusterTools::devtronPodsCommand(),
                                                                 environment, commandTimeLimit);
        ReadinessReport report;
        if (pods.exitCode != 0) {
            report.reason =
                tr("无法读取Pod状态: %1").arg(ClusterErrors::classify(pods.error.trimmed()));
        } else {
            const CommandResult claims = ShellUtils::runCommandWithEnv(
                ClusterTools::devtronClaimsCommand(), environment, commandTimeLimit);
            report = ReadinessReport::fromLists(pods.output, claims.output);
        }
        postToGuiThread([self, report] {
            if (self) {
                self->finishPoll(report);
            }
        });
    });
}

void ReadinessWatcher::finishPoll(const ReadinessReport& report) {
    m_pollOut = false;
    // The session log keeps each change, so that it tells later why Devtron did not come up.
    if (!m_report || describe(*m_report) != describe(report)) {
        m_state.appendLog(tr("Devtron状态: %1").arg(describe(report)));
    }
    m_report = report;
    emit changed();
    probeDashboard();
}

void ReadinessWatcher::probeDashboard() {
    const QUrl address(m_state.devtronUrl(), QUrl::StrictMode);
    if (!m_probesDashboard || m_probeOut || !m_probeFailure.isEmpty() || !address.isValid() ||
        address.scheme().isEmpty() || !isWatching()) {
        return;
    }
    // Made on the first probe only: the wait step's watch never asks the address.
    if (m_probe == nullptr) {
        ServicesPlugin* services = Services::plugin(&m_probeFailure);
        if (services == nullptr) {
            m_state.appendLog(tr("无法检查Devtron地址: %1").arg(m_probeFailure));
            return;
        }
        m_probe = services->createAddressProbe();
    }
    m_probeOut = true;
    // The probe is ours: destroying it with the watch drops the callback.
    m_probe->probe(address, probeTimeLimit, [this](bool answered) { finishProbe(answered); });
}

void ReadinessWatcher::finishProbe(bool answered) {
    m_probeOut = false;
    m_dashboard = answered ? Dashboard::up : Dashboard::down;
    if (answered) {
        m_state.appendLog(tr("Devtron已可以访问: %1").arg(m_state.devtronUrl()));
        m_timer.stop();
        emit devtronAnswered();
    }
    emit changed();
}
