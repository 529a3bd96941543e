#pragma once

#include "cluster/CredentialLookup.h"
#include "cluster/DashboardTunnel.h"
#include "cluster/ReadinessWatcher.h"
#include "keychain/KeychainError.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class DesktopNotifier;
class InstallationState;

// The completion step: which sections the screen shows, the texts it draws, the copy and open
// actions, and the way out of the program (with the offer to keep the access data and the store
// into the keychain). Lives on the GUI thread; the program ends through the injected quit action.
class CompletionController : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isPasswordVisible READ isPasswordVisible WRITE setPasswordVisible NOTIFY
                   isPasswordVisibleChanged)
    Q_PROPERTY(
        bool showSaveAlert READ showSaveAlert WRITE setShowSaveAlert NOTIFY showSaveAlertChanged)
    Q_PROPERTY(bool showingLogViewer READ showingLogViewer WRITE setShowingLogViewer NOTIFY
                   showingLogViewerChanged)
    Q_PROPERTY(bool isFinishing READ isFinishing NOTIFY isFinishingChanged)
    Q_PROPERTY(bool isRetrievingCredentials READ isRetrievingCredentials NOTIFY
                   isRetrievingCredentialsChanged)
    Q_PROPERTY(QString saveFailure READ saveFailure NOTIFY saveFailureChanged)

public:
    // Which sections the screen shows, from installDevtron and installationComplete.
    enum class Layout { toolsOnly, complete, timedOut };
    Q_ENUM(Layout)

    using QuitAction = std::function<void()>;

    static inline const QString passwordDots = QStringLiteral("••••••");

    // `keychainService` names the store the access data goes to; `quit` ends the program.
    CompletionController(InstallationState& state, QString keychainService, QuitAction quit,
                         QObject* parent = nullptr);

    const InstallationState& state() const { return m_state; }
    Layout layout() const;
    // The orange header line of an unfinished installation.
    bool isIncomplete() const;
    QString subtitle() const;
    QString devtronToolStatus() const;
    // The variant and source of a Devtron this session installed; empty otherwise.
    QString installedChoicesText() const;
    // Empty while no installation time was recorded.
    QString installationTimeText() const;
    QString commandText() const;
    // What the command does with an existing ~/.kube/config, and how long its source lasts; empty
    // when there is nothing to say.
    QString kubeconfigNote() const;
    // Dots until the eye button shows the password.
    QString passwordText() const;
    // Whether each value was read from the cluster; only a read value is shown, copied or stored.
    bool isAddressRead() const;
    bool isPasswordRead() const;
    // What could not be read and why, a line per value.
    QStringList unreadLines() const;
    // The terminal commands that read the missing values by hand.
    QStringList manualCommands() const;
    // One line on where the shown address came from; empty while there is none.
    QString addressSourceText() const;
    // For an address through the local tunnel: that it lasts while Nimbrel is open, and the
    // command that opens the same tunnel later. Empty otherwise.
    QString tunnelNote() const;
    QString tunnelCommand() const;
    // The address is to come through the tunnel, and nothing has failed on the way.
    bool isOpeningTunnel() const;
    // The password is still to come; it is read again every 15 s until it comes or the watch
    // gives up.
    bool isPasswordPending() const;

    bool isPasswordVisible() const { return m_isPasswordVisible; }
    bool showSaveAlert() const { return m_showSaveAlert; }
    bool showingLogViewer() const { return m_showingLogViewer; }
    // The way out has been taken; further presses of the finishing buttons are ignored.
    bool isFinishing() const { return m_isFinishing; }
    bool isRetrievingCredentials() const { return m_isRetrievingCredentials; }
    // Why the last store into the keychain failed; empty when it did not. While it is set the
    // program stays, so that the access data can still be copied.
    QString saveFailure() const { return m_saveFailure; }

    void setPasswordVisible(bool visible);
    void togglePasswordVisible();
    void setShowSaveAlert(bool shown);
    void setShowingLogViewer(bool shown);

    // Puts the text on the clipboard and has the window show "已复制".
    void copyToClipboard(const QString& text);
    void copyCommand();
    void copyPassword();
    // "复制信息": copies the access data, then one second later stores it and quits.
    void copyAllInfo();
    // "完成": the save alert after a complete Devtron installation, else quits at once.
    void finish();
    // "直接完成": stores the access data and quits.
    void finishWithoutCopy();
    // Stores what was read of the access data (with the user name); gives the failure, if any.
    std::optional<KeychainError> saveToKeychain();
    // The save-failure alert's choices: store again (then quit), quit without storing, or stay.
    void retrySave();
    void quitWithoutSaving();
    void dismissSaveFailure();
    // Whether Devtron comes up, watched while the screen is shown after an installation; its
    // first answer is announced on the desktop.
    ReadinessWatcher& readiness() { return m_readiness; }
    DashboardTunnel& tunnel() { return m_tunnel; }
    // Watches Devtron, opens the tunnel where the address calls for one, and reads a password
    // that is not there yet again until it is.
    void startWatching();
    static constexpr std::chrono::milliseconds passwordRereadInterval{15000};
    // One re-read of a password still to come; the timer calls it, tests call it by hand.
    void rereadPendingPassword();
    // Reads the missing access data again: the same bounded lookup as after the countdown.
    void retrieveDevtronCredentials();
    // How long each kubectl lookup may take before it counts as failed.
    void setCommandTimeLimit(std::chrono::milliseconds limit) { m_commandTimeLimit = limit; }
    // Runs the delayed store-and-quit of copyAllInfo now (it would run by itself after a second).
    void firePendingFinish();
    bool hasPendingFinish() const { return m_pendingFinish.isActive(); }

    // The clipboard alone, without the notice.
    static void putOnClipboard(const QString& text);
    // Opens an address that parses as a URL in the default handler; anything else does nothing.
    static bool openURL(const QString& text);
    // The terminal command that puts the bundled tools on the path and the kubeconfig in place;
    // an ~/.kube/config already there is kept as a numbered backup. Without a kubeconfig path the
    // command copies the tools only.
    static QString composeCommand(const QString& toolsDirectory, const QString& kubeconfigPath);
    static QString accessInfoText(const QString& url, const QString& username,
                                  const QString& password);

signals:
    void layoutChanged();
    void isPasswordVisibleChanged();
    void showSaveAlertChanged();
    void showingLogViewerChanged();
    void isFinishingChanged();
    void isRetrievingCredentialsChanged();
    void saveFailureChanged();
    // The access data or the installation time in the session changed.
    void accessChanged();
    void installationTimeChanged();
    // A short notice for the window to show and speak: "已复制" after a copy, or the title of a
    // notification that could not reach the desktop.
    void inWindowNotice(const QString& title);

private:
    // False when the way out was already taken.
    bool beginFinishing();
    void storeAndQuit();
    void quitOnce();
    void notify(const QString& title);
    void setSaveFailure(const QString& failure);
    void setIsRetrievingCredentials(bool retrieving);
    void followAddress();
    void switchToTunnel();
    void followTunnel();

    InstallationState& m_state;
    QString m_keychainService;
    QuitAction m_quit;
    DesktopNotifier* m_notifier;
    QTimer m_pendingFinish;
    // Holds the quit until the desktop has taken the "已保存" notification, or this runs out.
    QTimer m_savedNoticeWait;
    std::chrono::milliseconds m_commandTimeLimit = CredentialLookup::defaultTimeLimit;
    ReadinessWatcher m_readiness{m_state};
    DashboardTunnel m_tunnel{m_state};
    QTimer m_passwordReread;
    bool m_isRereadingPassword = false;
    QString m_saveFailure;
    bool m_isRetrievingCredentials = false;
    bool m_hasQuit = false;
    bool m_isPasswordVisible = false;
    bool m_showSaveAlert = false;
    bool m_showingLogViewer = false;
    bool m_isFinishing = false;
};
