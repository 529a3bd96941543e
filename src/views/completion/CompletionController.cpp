#include "views/completion/CompletionController.h"

#include "keychain/Keychain.h"
#include "session/InstallationState.h"
#include "shell/ClusterTools.h"
#include "shell/Console.h"
#include "views/completion/DesktopNotifier.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QPointer>
#include <QUrl>

#include <utility>

namespace {

constexpr int pendingFinishMs = 1000;

} // namespace

CompletionController::CompletionController(InstallationState& state, QString keychainService,
                                           QuitAction quit, QObject* parent)
    : QObject(parent), m_state(state), m_keychainService(std::move(keychainService)),
      m_quit(std::move(quit)), m_notifier(new DesktopNotifier(this)) {
    m_pendingFinish.setSingleShot(true);
    m_pendingFinish.setInterval(pendingFinishMs);
    connect(&m_pendingFinish, &QTimer::timeout, this, &CompletionController::storeAndQuit);
    connect(m_notifier, &DesktopNotifier::unavailable, this, &CompletionController::inWindowNotice);
    connect(&m_state, &InstallationState::installDevtronChanged, this,
            &CompletionController::layoutChanged);
    connect(&m_state, &InstallationState::installationCompleteChanged, this,
            &CompletionController::layoutChanged);
}

CompletionController::Layout CompletionController::layout() const {
    if (!m_state.installDevtron()) {
        return Layout::toolsOnly;
    }
    return m_state.installationComplete() ? Layout::complete : Layout::timedOut;
}

bool CompletionController::isIncomplete() const {
    return !m_state.installationComplete();
}

QString CompletionController::subtitle() const {
    if (isIncomplete()) {
        return QStringLiteral("安装未能完全完成，部分功能可能不可用");
    }
    return m_state.installDevtron() ? QStringLiteral("Devtron和Kubernetes工具已安装配置完成")
                                    : QStringLiteral("Kubernetes工具已完成配置");
}

QString CompletionController::devtronToolStatus() const {
    return m_state.installationComplete() ? QStringLiteral("已安装") : QStringLiteral("安装中断");
}

QString CompletionController::installationTimeText() const {
    if (!(m_state.installationTime() > 0)) {
        return {};
    }
    return QStringLiteral("安装用时: ") + InstallationState::formatTime(m_state.installationTime());
}

QString CompletionController::commandText() const {
    return composeCommand(ClusterTools::toolsDirectory(), m_state.kubeconfigPath());
}

QString CompletionController::passwordText() const {
    return m_isPasswordVisible ? m_state.devtronPassword() : passwordDots;
}

void CompletionController::setPasswordVisible(bool visible) {
    m_isPasswordVisible = visible;
    emit isPasswordVisibleChanged();
}

void CompletionController::togglePasswordVisible() {
    setPasswordVisible(!m_isPasswordVisible);
}

void CompletionController::setShowSaveAlert(bool shown) {
    m_showSaveAlert = shown;
    emit showSaveAlertChanged();
}

void CompletionController::setShowingLogViewer(bool shown) {
    m_showingLogViewer = shown;
    emit showingLogViewerChanged();
}

void CompletionController::copyToClipboard(const QString& text) {
    putOnClipboard(text);
    notify(QStringLiteral("已复制"));
}

void CompletionController::copyCommand() {
    copyToClipboard(commandText());
}

void CompletionController::copyPassword() {
    copyToClipboard(m_state.devtronPassword());
}

void CompletionController::copyAllInfo() {
    if (!beginFinishing()) {
        return;
    }
    putOnClipboard(
        accessInfoText(m_state.devtronUrl(), m_state.devtronUsername(), m_state.devtronPassword()));
    notify(QStringLiteral("已复制所有访问信息"));
    m_pendingFinish.start();
}

void CompletionController::finish() {
    if (m_isFinishing) {
        return;
    }
    if (layout() == Layout::complete) {
        setShowSaveAlert(true);
        return;
    }
    beginFinishing();
    m_quit();
}

void CompletionController::finishWithoutCopy() {
    if (!beginFinishing()) {
        return;
    }
    storeAndQuit();
}

void CompletionController::saveToKeychain() {
    // Copies, and a store of its own: the writes wait in a local event loop, during which the
    // screen and this controller may be closed.
    const QString values[] = {m_state.devtronUrl(), m_state.devtronUsername(),
                              m_state.devtronPassword()};
    const QString keys[] = {QStringLiteral("devtronUrl"), QStringLiteral("devtronUsername"),
                            QStringLiteral("devtronPassword")};
    const QPointer<CompletionController> self(this);
    Keychain keychain(m_keychainService);
    try {
        for (int i = 0; i < 3; ++i) {
            keychain.set(values[i], keys[i]);
        }
    } catch (const KeychainError& error) {
        writeConsoleLine(QStringLiteral("保存到钥匙串失败: ") + error.toString());
        return;
    }
    if (self) {
        notify(QStringLiteral("已保存"));
    }
}

void CompletionController::firePendingFinish() {
    if (m_pendingFinish.isActive()) {
        m_pendingFinish.stop();
        storeAndQuit();
    }
}

bool CompletionController::beginFinishing() {
    if (m_isFinishing) {
        return false;
    }
    m_isFinishing = true;
    m_showSaveAlert = false;
    emit showSaveAlertChanged();
    emit isFinishingChanged();
    return true;
}

void CompletionController::storeAndQuit() {
    const QPointer<CompletionController> self(this);
    saveToKeychain();
    if (self) {
        m_quit();
    }
}

void CompletionController::notify(const QString& title) {
    m_notifier->notify(title);
}

void CompletionController::putOnClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

bool CompletionController::openURL(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return false;
    }
    return QDesktopServices::openUrl(url);
}

QString CompletionController::composeCommand(const QString& toolsDirectory,
                                             const QString& kubeconfigPath) {
    return QStringLiteral("sudo mkdir -p /usr/local/bin && sudo cp ") +
           ShellUtils::quotePath(toolsDirectory + QStringLiteral("/kubectl")) + u' ' +
           ShellUtils::quotePath(toolsDirectory + QStringLiteral("/helm")) +
           QStringLiteral(" /usr/local/bin/ && mkdir -p ~/.kube && cp ") +
           ShellUtils::quotePath(kubeconfigPath) + QStringLiteral(" ~/.kube/config");
}

QString CompletionController::accessInfoText(const QString& url, const QString& username,
                                             const QString& password) {
    return QStringLiteral("Devtron访问信息:\n地址: ") + url + QStringLiteral("\n用户名: ") +
           username + QStringLiteral("\n密码: ") + password +
           QStringLiteral("\n\n请妥善保管此信息，这些信息丢失后需要重新安装才能恢复。");
}
