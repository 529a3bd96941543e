#pragma once

#include "session/AddressSource.h"
#include "session/DevtronChoices.h"
#include "session/InstallationStep.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// The one session model of the wizard. Lives on the GUI thread; every field announces each
// assignment (also of an equal value) through its change signal, right after the value is stored.
class InstallationState : public QObject {
    Q_OBJECT
    Q_PROPERTY(InstallationStep currentStep READ currentStep WRITE setCurrentStep NOTIFY
                   currentStepChanged)
    Q_PROPERTY(QString kubeconfigPath READ kubeconfigPath WRITE setKubeconfigPathField NOTIFY
                   kubeconfigPathChanged)
    Q_PROPERTY(QString kubeconfigDisplayPath READ kubeconfigDisplayPath WRITE
                   setKubeconfigDisplayPath NOTIFY kubeconfigDisplayPathChanged)
    Q_PROPERTY(bool installDevtron READ installDevtron WRITE setInstallDevtron NOTIFY
                   installDevtronChanged)
    Q_PROPERTY(DevtronVariant devtronVariant READ devtronVariant WRITE setDevtronVariant NOTIFY
                   devtronVariantChanged)
    Q_PROPERTY(ManifestSource manifestSource READ manifestSource WRITE setManifestSource NOTIFY
                   manifestSourceChanged)
    Q_PROPERTY(double installationProgress READ installationProgress WRITE setInstallationProgress
                   NOTIFY installationProgressChanged)
    Q_PROPERTY(std::optional<QDateTime> installationStartTime READ installationStartTime WRITE
                   setInstallationStartTime NOTIFY installationStartTimeChanged)
    Q_PROPERTY(std::optional<QString> errorMessage READ errorMessage WRITE setErrorMessage NOTIFY
                   errorMessageChanged)
    Q_PROPERTY(bool isShowingError READ isShowingError WRITE setIsShowingError NOTIFY
                   isShowingErrorChanged)
    Q_PROPERTY(bool isInstalling READ isInstalling WRITE setIsInstalling NOTIFY isInstallingChanged)
    Q_PROPERTY(QString devtronUrl READ devtronUrl WRITE setDevtronUrl NOTIFY devtronUrlChanged)
    Q_PROPERTY(QString devtronUsername READ devtronUsername WRITE setDevtronUsername NOTIFY
                   devtronUsernameChanged)
    Q_PROPERTY(QString devtronPassword READ devtronPassword WRITE setDevtronPassword NOTIFY
                   devtronPasswordChanged)
    Q_PROPERTY(QString devtronUrlFailure READ devtronUrlFailure WRITE setDevtronUrlFailure NOTIFY
                   devtronUrlFailureChanged)
    Q_PROPERTY(QString devtronPasswordFailure READ devtronPasswordFailure WRITE
                   setDevtronPasswordFailure NOTIFY devtronPasswordFailureChanged)
    Q_PROPERTY(AddressSource devtronUrlSource READ devtronUrlSource WRITE setDevtronUrlSource NOTIFY
                   devtronUrlSourceChanged)
    Q_PROPERTY(int devtronServicePort READ devtronServicePort WRITE setDevtronServicePort NOTIFY
                   devtronServicePortChanged)
    Q_PROPERTY(bool isPasswordPending READ isPasswordPending WRITE setIsPasswordPending NOTIFY
                   isPasswordPendingChanged)
    Q_PROPERTY(double installationTime READ installationTime WRITE setInstallationTime NOTIFY
                   installationTimeChanged)
    Q_PROPERTY(bool installationComplete READ installationComplete WRITE setInstallationComplete
                   NOTIFY installationCompleteChanged)
    Q_PROPERTY(bool readsExistingInstallation READ readsExistingInstallation WRITE
                   setReadsExistingInstallation NOTIFY readsExistingInstallationChanged)
    Q_PROPERTY(QString kubeconfigContext READ kubeconfigContext WRITE setKubeconfigContext NOTIFY
                   kubeconfigContextChanged)
    Q_PROPERTY(
        QString clusterServer READ clusterServer WRITE setClusterServer NOTIFY clusterServerChanged)
    Q_PROPERTY(QString logs READ logs NOTIFY logsChanged)
    Q_PROPERTY(QString logFilePath READ logFilePath NOTIFY logFilePathChanged)

public:
    // Prepares the session log file; its three header lines reach `logs` once the event loop runs.
    explicit InstallationState(QObject* parent = nullptr);

    InstallationStep currentStep() const { return m_currentStep; }
    QString kubeconfigPath() const { return m_kubeconfigPath; }
    QString kubeconfigDisplayPath() const { return m_kubeconfigDisplayPath; }
    bool installDevtron() const { return m_installDevtron; }
    // What the chart is to install, and where its installer fetches from: CI/CD from GitHub unless
    // the user chooses otherwise.
    DevtronVariant devtronVariant() const { return m_devtronVariant; }
    ManifestSource manifestSource() const { return m_manifestSource; }
    double installationProgress() const { return m_installationProgress; }
    std::optional<QDateTime> installationStartTime() const { return m_installationStartTime; }
    std::optional<QString> errorMessage() const { return m_errorMessage; }
    bool isShowingError() const { return m_isShowingError; }
    bool isInstalling() const { return m_isInstalling; }
    QString devtronUrl() const { return m_devtronUrl; }
    QString devtronUsername() const { return m_devtronUsername; }
    QString devtronPassword() const { return m_devtronPassword; }
    // Why the address or the password could not be read from the cluster; empty when it was read
    // or no lookup has ended yet. A value that was not read is empty text, never a stand-in.
    QString devtronUrlFailure() const { return m_devtronUrlFailure; }
    QString devtronPasswordFailure() const { return m_devtronPasswordFailure; }
    // `tunnel` with an empty address: the cluster gives none this machine can reach, and Devtron's
    // service port (devtronServicePort) is to be forwarded to a local port.
    AddressSource devtronUrlSource() const { return m_devtronUrlSource; }
    int devtronServicePort() const { return m_devtronServicePort; }
    // The secret is there but Devtron has not filled in the password yet.
    bool isPasswordPending() const { return m_isPasswordPending; }
    double installationTime() const { return m_installationTime; }
    bool installationComplete() const { return m_installationComplete; }
    // The user chose to read the access data of a Devtron that was already deployed: there is no
    // installation run and no countdown, only the lookup.
    bool readsExistingInstallation() const { return m_readsExistingInstallation; }
    // The context of the user's kubeconfig that every command of the session reaches, and its
    // cluster's server; empty until a kubeconfig has been checked.
    QString kubeconfigContext() const { return m_kubeconfigContext; }
    QString clusterServer() const { return m_clusterServer; }
    // The cluster as the user knows it, for every sentence that asks before something changes in
    // it.
    QString clusterTarget() const;
    QString logs() const { return m_logs; }
    QString logFilePath() const { return m_logFilePath; }

    void setCurrentStep(InstallationStep step);
    void setKubeconfigPathField(const QString& path);
    void setKubeconfigDisplayPath(const QString& path);
    void setInstallDevtron(bool value);
    void setDevtronVariant(DevtronVariant value);
    void setManifestSource(ManifestSource value);
    void setInstallationProgress(double value);
    void setInstallationStartTime(const std::optional<QDateTime>& value);
    void setErrorMessage(const std::optional<QString>& value);
    void setIsShowingError(bool value);
    void setIsInstalling(bool value);
    void setDevtronUrl(const QString& value);
    void setDevtronUsername(const QString& value);
    void setDevtronPassword(const QString& value);
    void setDevtronUrlFailure(const QString& value);
    void setDevtronPasswordFailure(const QString& value);
    void setDevtronUrlSource(AddressSource value);
    void setDevtronServicePort(int value);
    void setIsPasswordPending(bool value);
    void setInstallationTime(double value);
    void setInstallationComplete(bool value);
    void setReadsExistingInstallation(bool value);
    void setKubeconfigContext(const QString& value);
    void setClusterServer(const QString& value);

    // Stores the path, and the display path (the path itself when none is given); logs one line.
    void setKubeconfigPath(const QString& path, const std::optional<QString>& displayPath = {});
    // Posted to the GUI thread; advances by the step table.
    void moveToNextStep();
    void resetState();
    // Leaves for the access data of a Devtron that was already deployed: the service wait, with
    // no installation run and no countdown.
    void readExistingInstallation();
    // Posted to the GUI thread: stores the message, raises the error card and logs it.
    void showError(const QString& message);
    // The whole minutes and seconds, in the current language.
    static QString formatTime(double seconds);

    // Callable from any thread: the time stamp is taken now, the line is stored on the GUI thread.
    void appendLog(const QString& message);
    // For a background job: a line logger that hands each line to this session on the GUI thread
    // and drops it once the session is gone. Make it on the GUI thread, before the job starts.
    std::function<void(const QString&)> backgroundLogger();
    // The session log file's location when it exists.
    std::optional<QUrl> exportLogs() const;

signals:
    void currentStepChanged();
    void kubeconfigPathChanged();
    void kubeconfigDisplayPathChanged();
    void installDevtronChanged();
    void devtronVariantChanged();
    void manifestSourceChanged();
    void installationProgressChanged();
    void installationStartTimeChanged();
    void errorMessageChanged();
    void isShowingErrorChanged();
    void isInstallingChanged();
    void devtronUrlChanged();
    void devtronUsernameChanged();
    void devtronPasswordChanged();
    void devtronUrlFailureChanged();
    void devtronPasswordFailureChanged();
    void devtronUrlSourceChanged();
    void devtronServicePortChanged();
    void isPasswordPendingChanged();
    void installationTimeChanged();
    void installationCompleteChanged();
    void readsExistingInstallationChanged();
    void kubeconfigContextChanged();
    void clusterServerChanged();
    void logsChanged();
    void logFilePathChanged();

private:
    void createLogFile();
    void writeToLogFile(const QString& line);
    void advanceStep();
    void recordTotalTime();

    InstallationStep m_currentStep = InstallationStep::kubeconfigSelection;
    QString m_kubeconfigPath;
    QString m_kubeconfigDisplayPath;
    QString m_kubeconfigContext;
    QString m_clusterServer;
    bool m_installDevtron = true;
    DevtronVariant m_devtronVariant = DevtronVariant::cicd;
    ManifestSource m_manifestSource = ManifestSource::github;
    double m_installationProgress = 0.0;
    std::optional<QDateTime> m_installationStartTime;
    std::optional<QString> m_errorMessage;
    bool m_isShowingError = false;
    bool m_isInstalling = false;
    QString m_devtronUrl;
    QString m_devtronUsername = QStringLiteral("admin");
    QString m_devtronPassword;
    QString m_devtronUrlFailure;
    QString m_devtronPasswordFailure;
    AddressSource m_devtronUrlSource = AddressSource::none;
    int m_devtronServicePort = 80;
    bool m_isPasswordPending = false;
    double m_installationTime = 0.0;
    bool m_installationComplete = true;
    bool m_readsExistingInstallation = false;
    QString m_logs;
    QString m_logFilePath;
};
