#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

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
    // Empty while no installation time was recorded.
    QString installationTimeText() const;
    QString commandText() const;
    // Dots until the eye button shows the password.
    QString passwordText() const;

    bool isPasswordVisible() const { return m_isPasswordVisible; }
    bool showSaveAlert() const { return m_showSaveAlert; }
    bool showingLogViewer() const { return m_showingLogViewer; }
    // The way out has been taken; further presses of the finishing buttons are ignored.
    bool isFinishing() const { return m_isFinishing; }

    void setPasswordVisible(bool visible);
    void togglePasswordVisible();
    void setShowSaveAlert(bool shown);
    void setShowingLogViewer(bool shown);

    // Puts the text on the clipboard and posts "已复制".
    void copyToClipboard(const QString& text);
    void copyCommand();
    void copyPassword();
    // "复制信息": copies the access data, then one second later stores it and quits.
    void copyAllInfo();
    // "完成": the save alert after a complete Devtron installation, else quits at once.
    void finish();
    // "直接完成": stores the access data and quits.
    void finishWithoutCopy();
    // Stores address, user name and password; a failure is printed and the caller goes on.
    void saveToKeychain();
    // Runs the delayed store-and-quit of copyAllInfo now (it would run by itself after a second).
    void firePendingFinish();
    bool hasPendingFinish() const { return m_pendingFinish.isActive(); }

    // The clipboard without a notification, as the info rows copy.
    static void putOnClipboard(const QString& text);
    // Opens an address that parses as a URL in the default handler; anything else does nothing.
    static bool openURL(const QString& text);
    // The terminal command that puts the bundled tools on the path and the kubeconfig in place.
    static QString composeCommand(const QString& toolsDirectory, const QString& kubeconfigPath);
    static QString accessInfoText(const QString& url, const QString& username,
                                  const QString& password);

signals:
    void layoutChanged();
    void isPasswordVisibleChanged();
    void showSaveAlertChanged();
    void showingLogViewerChanged();
    void isFinishingChanged();
    // A notification could not reach the desktop: the screen shows the title briefly.
    void inWindowNotice(const QString& title);

private:
    // False when the way out was already taken.
    bool beginFinishing();
    void storeAndQuit();
    void notify(const QString& title);

    InstallationState& m_state;
    QString m_keychainService;
    QuitAction m_quit;
    DesktopNotifier* m_notifier;
    QTimer m_pendingFinish;
    bool m_isPasswordVisible = false;
    bool m_showSaveAlert = false;
    bool m_showingLogViewer = false;
    bool m_isFinishing = false;
};
