#include "session/InstallationState.h"

#include "shell/AppPaths.h"
#include "shell/Console.h"
#include "shell/GuiThread.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>

#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

InstallationState::InstallationState(QObject* parent) : QObject(parent) {
    createLogFile();
}

void InstallationState::setCurrentStep(InstallationStep step) {
    m_currentStep = step;
    emit currentStepChanged();
}

void InstallationState::setKubeconfigPathField(const QString& path) {
    m_kubeconfigPath = path;
    emit kubeconfigPathChanged();
}

void InstallationState::setKubeconfigDisplayPath(const QString& path) {
    m_kubeconfigDisplayPath = path;
    emit kubeconfigDisplayPathChanged();
}

void InstallationState::setInstallDevtron(bool value) {
    m_installDevtron = value;
    emit installDevtronChanged();
}

void InstallationState::setDevtronVariant(DevtronVariant value) {
    m_devtronVariant = value;
    emit devtronVariantChanged();
}

void InstallationState::setManifestSource(ManifestSource value) {
    m_manifestSource = value;
    emit manifestSourceChanged();
}

void InstallationState::setInstallationProgress(double value) {
    m_installationProgress = value;
    emit installationProgressChanged();
}

void InstallationState::setInstallationStartTime(const std::optional<QDateTime>& value) {
    m_installationStartTime = value;
    emit installationStartTimeChanged();
}

void InstallationState::setErrorMessage(const std::optional<QString>& value) {
    m_errorMessage = value;
    emit errorMessageChanged();
}

void InstallationState::setIsShowingError(bool value) {
    m_isShowingError = value;
    emit isShowingErrorChanged();
}

void InstallationState::setIsInstalling(bool value) {
    m_isInstalling = value;
    emit isInstallingChanged();
}

void InstallationState::setDevtronUrl(const QString& value) {
    m_devtronUrl = value;
    emit devtronUrlChanged();
}

void InstallationState::setDevtronUsername(const QString& value) {
    m_devtronUsername = value;
    emit devtronUsernameChanged();
}

void InstallationState::setDevtronPassword(const QString& value) {
    m_devtronPassword = value;
    emit devtronPasswordChanged();
}

void InstallationState::setDevtronUrlFailure(const QString& value) {
    m_devtronUrlFailure = value;
    emit devtronUrlFailureChanged();
}

void InstallationState::setDevtronPasswordFailure(const QString& value) {
    m_devtronPasswordFailure = value;
    emit devtronPasswordFailureChanged();
}

void InstallationState::setDevtronUrlSource(AddressSource value) {
    m_devtronUrlSource = value;
    emit devtronUrlSourceChanged();
}

void InstallationState::setDevtronServicePort(int value) {
    m_devtronServicePort = value;
    emit devtronServicePortChanged();
}

void InstallationState::setIsPasswordPending(bool value) {
    m_isPasswordPending = value;
    emit isPasswordPendingChanged();
}

void InstallationState::setInstallationTime(double value) {
    m_installationTime = value;
    emit installationTimeChanged();
}

void InstallationState::setInstallationComplete(bool value) {
    m_installationComplete = value;
    emit installationCompleteChanged();
}

void InstallationState::setKubeconfigContext(const QString& value) {
    m_kubeconfigContext = value;
    emit kubeconfigContextChanged();
}

void InstallationState::setClusterServer(const QString& value) {
    m_clusterServer = value;
    emit clusterServerChanged();
}

QString InstallationState::clusterTarget() const {
    if (m_kubeconfigContext.isEmpty()) {
        return m_clusterServer;
    }
    //: %1 is a kubeconfig context's name, %2 its cluster's server address.
    return tr("上下文“%1”（%2）").arg(m_kubeconfigContext, m_clusterServer);
}

void InstallationState::setReadsExistingInstallation(bool value) {
    m_readsExistingInstallation = value;
    emit readsExistingInstallationChanged();
}

void InstallationState::setKubeconfigPath(const QString& path,
                                          const std::optional<QString>& displayPath) {
    setKubeconfigPathField(path);
    setKubeconfigDisplayPath(displayPath.value_or(path));
    appendLog(tr("设置Kubeconfig路径"));
}

void InstallationState::moveToNextStep() {
    QMetaObject::invokeMethod(
        this, [this] { advanceStep(); }, Qt::QueuedConnection);
}

void InstallationState::advanceStep() {
    switch (m_currentStep) {
    case InstallationStep::kubeconfigSelection:
        appendLog(tr("进入步骤: 选择是否安装Devtron"));
        setCurrentStep(InstallationStep::devtronChoice);
        break;
    case InstallationStep::devtronChoice:
        appendLog(tr("进入步骤: 开始安装过程"));
        setCurrentStep(InstallationStep::installation);
        setInstallationStartTime(QDateTime::currentDateTime());
        // An earlier run's duration must not show for this one.
        setInstallationTime(0.0);
        setReadsExistingInstallation(false);
        setIsInstalling(true);
        break;
    case InstallationStep::installation:
        if (m_installDevtron) {
            appendLog(tr("进入步骤: 等待服务启动"));
            setCurrentStep(InstallationStep::waitingForServices);
        } else {
            appendLog(tr("未安装Devtron，跳过等待服务启动步骤"));
            setCurrentStep(InstallationStep::completion);
            setIsInstalling(false);
            recordTotalTime();
        }
        break;
    case InstallationStep::waitingForServices:
        appendLog(tr("进入步骤: 安装完成"));
        setCurrentStep(InstallationStep::completion);
        setIsInstalling(false);
        recordTotalTime();
        break;
    case InstallationStep::completion:
        resetState();
        setCurrentStep(InstallationStep::kubeconfigSelection);
        break;
    }
}

void InstallationState::readExistingInstallation() {
    appendLog(tr("读取现有Devtron安装的访问信息"));
    setReadsExistingInstallation(true);
    setInstallationComplete(true);
    setCurrentStep(InstallationStep::waitingForServices);
}

void InstallationState::recordTotalTime() {
    if (!m_installationStartTime) {
        return;
    }
    const qint64 elapsedMs = m_installationStartTime->msecsTo(QDateTime::currentDateTime());
    setInstallationTime(static_cast<double>(elapsedMs) / 1000.0);
    appendLog(tr("总安装时间: %1").arg(formatTime(m_installationTime)));
}

void InstallationState::resetState() {
    setKubeconfigPathField(QString());
    setKubeconfigDisplayPath(QString());
    setKubeconfigContext(QString());
    setClusterServer(QString());
    setInstallDevtron(true);
    setDevtronVariant(DevtronVariant::cicd);
    setManifestSource(ManifestSource::github);
    setInstallationProgress(0.0);
    setInstallationStartTime(std::nullopt);
    setErrorMessage(std::nullopt);
    setIsShowingError(false);
    setIsInstalling(false);
    setDevtronUrl(QString());
    setDevtronPassword(QString());
    setDevtronUrlFailure(QString());
    setDevtronPasswordFailure(QString());
    setDevtronUrlSource(AddressSource::none);
    setDevtronServicePort(80);
    setIsPasswordPending(false);
    setReadsExistingInstallation(false);
    appendLog(tr("=== 新安装会话开始 ==="));
}

void InstallationState::showError(const QString& message) {
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            setErrorMessage(message);
            setIsShowingError(true);
            appendLog(tr("错误: %1").arg(message));
        },
        Qt::QueuedConnection);
}

QString InstallationState::formatTime(double seconds) {
    // Durations come from two clock readings; anything else is shown as nothing elapsed rather
    // than converted with undefined behaviour.
    constexpr double limit = 9.2e18;
    const auto whole = std::isfinite(seconds) && std::fabs(seconds) < limit
                           ? static_cast<qint64>(seconds)
                           : qint64{0};
    //: Minutes (%1) and seconds (%2).
    return tr("%1分%2秒").arg(QString::number(whole / 60), QString::number(whole % 60));
}

void InstallationState::appendLog(const QString& message) {
    const QString line =
        QLatin1Char('[') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
        QStringLiteral("] ") + message;
    QMetaObject::invokeMethod(
        this,
        [this, line] {
            m_logs += line + QLatin1Char('\n');
            emit logsChanged();
            writeToLogFile(line);
        },
        Qt::QueuedConnection);
}

std::optional<QUrl> InstallationState::exportLogs() const {
    if (m_logFilePath.isEmpty() || !QFileInfo::exists(m_logFilePath)) {
        return std::nullopt;
    }
    return QUrl::fromLocalFile(m_logFilePath);
}

void InstallationState::createLogFile() {
    const QString path = AppPaths::logFilePath();
    const QString directory = QFileInfo(path).path();
    if (!QFileInfo::exists(directory)) {
        std::error_code error;
        std::filesystem::create_directories(QFile::encodeName(directory).toStdString(), error);
        if (error) {
            writeConsoleLine(
                tr("创建日志文件失败: %1").arg(QString::fromStdString(error.message())));
            return;
        }
    }

    // The log names the cluster and its tools: keep it private, also when an older run left it
    // open.
    if (QFileInfo::exists(path)) {
        QFile::setPermissions(path, ownerOnly);
    } else {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly);
    }

    m_logFilePath = path;
    emit logFilePathChanged();

    appendLog(tr("=== Nimbrel 安装日志 ==="));
    appendLog(tr("日志文件位置: %1").arg(m_logFilePath));
    appendLog(tr("安装会话开始"));
}

void InstallationState::writeToLogFile(const QString& line) {
    if (m_logFilePath.isEmpty()) {
        return;
    }
    // ExistingOnly: a log file removed behind our back stays removed.
    QFile file(m_logFilePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly)) {
        writeConsoleLine(tr("写入日志文件失败: %1").arg(file.errorString()));
        return;
    }
    const QByteArray bytes = line.toUtf8() + '\n';
    if (file.write(bytes) != bytes.size()) {
        writeConsoleLine(tr("写入日志文件失败: %1").arg(file.errorString()));
    }
}

std::function<void(const QString&)> InstallationState::backgroundLogger() {
    const QPointer<InstallationState> self(this);
    return [self](const QString& line) {
        postToGuiThread([self, line] {
            if (self) {
                self->appendLog(line);
            }
        });
    };
}
