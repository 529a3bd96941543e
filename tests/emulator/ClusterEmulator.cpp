#include "ClusterEmulator.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QThread>

namespace {
constexpr int startLimitMs = 30000;
constexpr int switchLimitMs = 10000;
} // namespace

ClusterEmulator::ClusterEmulator()
    : m_dir(std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                            QStringLiteral("/nimbrel-emulator-XXXXXX"))) {}

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

QString ClusterEmulator::workDirectory() const {
    return m_dir->path();
}

bool ClusterEmulator::start() {
    if (!m_dir->isValid()) {
        m_error = QStringLiteral("no temporary folder: ") + m_dir->errorString();
        return false;
    }
    m_stateDir = m_dir->filePath(QStringLiteral("state"));
    // Server errors reach the test's own output, where a failing case shows them.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(NIMBREL_PYTHON3),
                    {QStringLiteral(NIMBREL_EMULATOR_SCRIPT), QStringLiteral("--state-dir"),
                     m_stateDir, QStringLiteral("--parent-pid"),
                     QString::number(QCoreApplication::applicationPid())});
    if (!m_process.waitForStarted(startLimitMs)) {
        m_error = QStringLiteral("cannot start the emulator: ") + m_process.errorString();
        return false;
    }
    return readReadyLine();
}

bool ClusterEmulator::readReadyLine() {
    const QDeadlineTimer deadline(startLimitMs);
    while (!m_process.canReadLine()) {
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired()) {
            m_error = QStringLiteral("the emulator ended or stayed silent before it was ready");
            return false;
        }
        m_process.waitForReadyRead(200);
    }
    QJsonParseError parseError{};
    const QJsonObject ready =
        QJsonDocument::fromJson(m_process.readLine().trimmed(), &parseError).object();
    if (parseError.error != QJsonParseError::NoError || !ready.value(u"ready").toBool()) {
        m_error = QStringLiteral("the emulator's ready line is not understood");
        return false;
    }
    m_port = ready.value(u"port").toInt();
    m_kubeconfig = ready.value(u"kubeconfig").toString();
    m_kubeconfigNoCa = ready.value(u"kubeconfigNoCa").toString();
    m_controlFile = ready.value(u"controlFile").toString();
    m_appliedFile = ready.value(u"appliedFile").toString();
    return true;
}

QString ClusterEmulator::faultName(Fault fault) {
    switch (fault) {
    case Fault::None:
        return QStringLiteral("none");
    case Fault::Unauthorized:
        return QStringLiteral("unauthorized");
    case Fault::PlainHttp:
        return QStringLiteral("plain-http");
    case Fault::Slow:
        return QStringLiteral("slow");
    case Fault::Unavailable:
        return QStringLiteral("unavailable");
    case Fault::ClosedPort:
        return QStringLiteral("closed-port");
    }
    return QStringLiteral("none");
}

bool ClusterEmulator::setFault(Fault fault) {
    // The serial tells this switch's acknowledgement apart from an earlier one of the same mode.
    const QByteArray wanted = (faultName(fault) + u' ' + QString::number(++m_serial)).toUtf8();
    QSaveFile control(m_controlFile);
    if (!control.open(QIODevice::WriteOnly) || control.write(wanted + '\n') < 0 ||
        !control.commit()) {
        m_error = QStringLiteral("cannot write the control file: ") + control.errorString();
        return false;
    }
    const QDeadlineTimer deadline(switchLimitMs);
    while (!deadline.hasExpired()) {
        QFile applied(m_appliedFile);
        if (applied.open(QIODevice::ReadOnly) && applied.readAll().trimmed() == wanted) {
            return true;
        }
        QThread::msleep(20);
    }
    m_error = QStringLiteral("the emulator did not acknowledge the fault ") + faultName(fault);
    return false;
}
