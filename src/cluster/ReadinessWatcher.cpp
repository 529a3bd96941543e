#include "cluster/ReadinessWatcher.h"

#include "cluster/CredentialLookup.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/GuiThread.h"
#include "shell/Services.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

ReadinessWatcher::ReadinessWatcher(InstallationState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    m_timer.setInterval(pollInterval);
    // A coarse timer: the polls need no precision, and the machine may sleep between them.
    m_timer.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReadinessWatcher::poll);
}

namespace {

// installer-devtron's .status.sync.status; empty while it has none or does not exist yet.
QString installerStatusOf(const QString& installers) {
    const QJsonArray list =
        QJsonDocument::fromJson(installers.toUtf8()).object()[QLatin1String("items")].toArray();
    for (const QJsonValue installer : list) {
        if (installer[QLatin1String("metadata")][QLatin1String("name")].toString() ==
            QLatin1String("installer-devtron")) {
            return installer[QLatin1String("status")][QLatin1String("sync")]
                            [QLatin1String("status")]
                                .toString();
        }
    }
    return {};
}

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

bool ReadinessWatcher::isInstallerApplied() const {
    return m_installerStatus == QLatin1String("Applied");
}

QString ReadinessWatcher::installerLine() const {
    if (!m_installerStatus) {
        return {};
    }
    if (m_installerStatus->isEmpty()) {
        return tr("Devtron安装器：尚未开始");
    }
    if (*m_installerStatus == QLatin1String("Downloaded")) {
        return tr("Devtron安装器：已下载，正在应用（Downloaded）");
    }
    if (isInstallerApplied()) {
        return tr("Devtron安装器：已完成（Applied）");
    }
    //: %1 is the installer object's status as the cluster reports it.
    return tr("Devtron安装器：%1").arg(*m_installerStatus);
}

QString ReadinessWatcher::summary() const {
    QStringList lines;
    if (const QString installer = installerLine(); !installer.isEmpty()) {
        lines << installer;
    }
    if (m_hasAnnounced) {
        lines << tr("Devtron已可以访问");
        return lines.join(u'\n');
    }
    lines << (m_report ? describe(*m_report) : tr("正在检查Devtron的Pod..."));
    if (m_hasGivenUp) {
        //: %1 is a number of minutes.
        lines << tr("已等待%1分钟，停止检查，请稍后手动确认Devtron的状态").arg(watchLimit.count());
    } else if (m_dashboard == Dashboard::down) {
        lines << tr("Devtron暂时还无法访问");
    } else if (m_dashboard == Dashboard::up) {
        lines << tr("Devtron已可以访问，安装器仍在进行");
    }
    return lines.join(u'\n');
}

void ReadinessWatcher::start() {
    if (m_timer.isActive() || m_hasAnnounced) {
        return;
    }
    m_deadline = QDeadlineTimer(watchLimit);
    m_quietFrom = QDeadlineTimer(quietAfter);
    m_timer.setInterval(pollInterval);
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
        m_state.appendLog(tr("已等待%1分钟，停止检查Devtron的状态").arg(watchLimit.count()));
        stop();
        return;
    }
    if (m_pollOut) {
        return;
    }
    m_pollOut = true;
    const EnvironmentOverlay environment = ClusterTools::environment(m_state.kubeconfigPath());
    const QPointer<ReadinessWatcher> self(this);
    const bool asksInstaller = !m_installerTypeMissing;
    BackgroundJobs::start([self, environment, asksInstaller] {
        const auto run = [&environment](const QString& command) {
            return ShellUtils::runCommandWithEnv(command, environment, commandTimeLimit);
        };
        Round round;
        CommandResult listed = run(ClusterTools::devtronStatusCommand(asksInstaller));
        if (asksInstaller && CredentialLookup::isMissingType(listed)) {
            round.installerTypeMissing = true;
            listed = run(ClusterTools::devtronStatusCommand(false));
        }
        if (listed.exitCode != 0) {
            round.report.reason =
                tr("无法读取Pod状态: %1").arg(ClusterErrors::classify(listed.error.trimmed()));
        } else {
            const QString claims = ReadinessReport::itemsOfKind(
                listed.output, QStringLiteral("PersistentVolumeClaim"));
            QString classes;
            if (ReadinessReport::hasPendingClaim(claims)) {
                classes = run(ClusterTools::storageClassesCommand()).output;
            }
            round.report = ReadinessReport::fromLists(
                ReadinessReport::itemsOfKind(listed.output, QStringLiteral("Pod")), claims,
                classes);
            if (asksInstaller && !round.installerTypeMissing) {
                round.installerStatus = installerStatusOf(
                    ReadinessReport::itemsOfKind(listed.output, QStringLiteral("Installer")));
            }
        }
        postToGuiThread([self, round] {
            if (self) {
                self->finishPoll(round);
            }
        });
    });
}

void ReadinessWatcher::finishPoll(const Round& round) {
    m_pollOut = false;
    const ReadinessReport& report = round.report;
    bool changedNow = false;
    // The session log keeps each change, so that it tells later why Devtron did not come up.
    if (!m_report || describe(*m_report) != describe(report)) {
        m_state.appendLog(tr("Devtron状态: %1").arg(describe(report)));
        changedNow = true;
    }
    m_report = report;
    if (round.installerTypeMissing) {
        m_installerTypeMissing = true;
    }
    // A round that could not read the object keeps the last state it did read.
    if (round.installerStatus && round.installerStatus != m_installerStatus) {
        m_installerStatus = round.installerStatus;
        m_state.appendLog(installerLine());
        changedNow = true;
    }
    if (changedNow) {
        m_quietFrom = QDeadlineTimer(quietAfter);
        m_timer.setInterval(pollInterval);
    } else if (m_quietFrom.hasExpired()) {
        m_timer.setInterval(quietPollInterval);
    }
    emit changed();
    finishIfDone();
    probeDashboard();
}

void ReadinessWatcher::finishIfDone() {
    const bool installerDone = m_installerTypeMissing || isInstallerApplied();
    if (m_hasAnnounced || m_dashboard != Dashboard::up || !installerDone || !isWatching()) {
        return;
    }
    m_hasAnnounced = true;
    m_state.appendLog(m_installerStatus ? tr("Devtron已安装完成并可以访问，停止检查")
                                        : tr("Devtron已可以访问，停止检查"));
    m_timer.stop();
    emit devtronAnswered();
    emit changed();
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
    const Dashboard before = m_dashboard;
    m_dashboard = answered ? Dashboard::up : Dashboard::down;
    if (answered && before != Dashboard::up) {
        m_state.appendLog(tr("Devtron已可以访问: %1").arg(m_state.devtronUrl()));
    }
    emit changed();
    finishIfDone();
}
