#include "ClusterEmulator.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStringList>
#include <QThread>

namespace {
constexpr int startLimitMs = 30000;
constexpr int switchLimitMs = 10000;
} // namespace

ClusterEmulator::~ClusterEmulator() {
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool ClusterEmulator::start() {
    return start(Options{});
}

bool ClusterEmulator::start(const Options& options) {
    QStringList arguments{QStringLiteral(NIMBREL_EMULATOR_SCRIPT), QStringLiteral("--state-dir"),
                          m_dir.filePath(QStringLiteral("state")), QStringLiteral("--parent-pid"),
                          QString::number(QCoreApplication::applicationPid())};
    const auto add = [&arguments](const char* flag, const QString& value) {
        if (!value.isEmpty()) {
            arguments << QLatin1String(flag) << value;
        }
    };
    add("--flavour", options.flavour);
    add("--service-shape", options.serviceShape);
    if (options.installerAppliedAfterSeconds) {
        add("--installer-applied-after", QString::number(*options.installerAppliedAfterSeconds));
    }
    if (options.passwordAfterSeconds) {
        add("--password-after", QString::number(*options.passwordAfterSeconds));
    }
    if (options.refuseWebSocketPortForward) {
        arguments << QStringLiteral("--refuse-websocket-portforward");
    }
    if (options.fault != Fault::None) {
        add("--fault", faultName(options.fault));
    }
    add("--release", options.release);
    for (const QString& name : options.extraNamespaces) {
        add("--extra-namespace", name);
    }
    if (options.namespaceTerminationSeconds) {
        add("--namespace-termination-seconds",
            QString::number(*options.namespaceTerminationSeconds));
    }
    // Server errors reach the test's own output, where a failing case shows them.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(NIMBREL_PYTHON3), arguments);
    const QDeadlineTimer deadline(startLimitMs);
    while (!m_process.canReadLine()) {
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired()) {
            m_error = QStringLiteral("the emulator ended or stayed silent before it was ready");
            return false;
        }
        m_process.waitForReadyRead(200);
    }
    QJsonParseError parseError{};
    m_ready = QJsonDocument::fromJson(m_process.readLine().trimmed(), &parseError).object();
    if (parseError.error != QJsonParseError::NoError || !m_ready.value(u"ready").toBool()) {
        m_error = QStringLiteral("the emulator's ready line is not understood");
        return false;
    }
    return true;
}

QString ClusterEmulator::faultName(Fault fault) {
    // In the order of the enumeration.
    static const QStringList names =
        QStringLiteral("none unauthorized plain-http slow unavailable closed-port secret-missing "
                       "exporter-missing password-not-base64 helm-status-hang port-forward-drop "
                       "port-forward-refused release-locked namespace-stuck")
            .split(u' ');
    return names.at(static_cast<int>(fault));
}

bool ClusterEmulator::setFault(Fault fault) {
    return switchTo("controlFile", "appliedFile", faultName(fault));
}

bool ClusterEmulator::setScenario(const QString& scenario) {
    return switchTo("scenarioFile", "scenarioAppliedFile", scenario);
}

bool ClusterEmulator::setServiceShape(const QString& shape) {
    return switchTo("serviceShapeFile", "serviceShapeAppliedFile", shape);
}

bool ClusterEmulator::setRelease(const QString& state) {
    return switchTo("releaseFile", "releaseAppliedFile", state);
}

bool ClusterEmulator::switchTo(const char* controlKey, const char* appliedKey,
                               const QString& name) {
    // The serial tells this switch's acknowledgement apart from an earlier one of the same name.
    const QByteArray wanted = (name + u' ' + QString::number(++m_serial)).toUtf8();
    QSaveFile control(readyValue(controlKey));
    if (!control.open(QIODevice::WriteOnly) || control.write(wanted + '\n') < 0 ||
        !control.commit()) {
        m_error = QStringLiteral("cannot write the control file: ") + control.errorString();
        return false;
    }
    const QDeadlineTimer deadline(switchLimitMs);
    while (!deadline.hasExpired()) {
        QFile applied(readyValue(appliedKey));
        if (applied.open(QIODevice::ReadOnly) && applied.readAll().trimmed() == wanted) {
            return true;
        }
        QThread::msleep(20);
    }
    m_error = QStringLiteral("the emulator did not acknowledge ") + name;
    return false;
}
