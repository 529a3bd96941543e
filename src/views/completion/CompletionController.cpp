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
constexpr int savedNoticeWaitMs = 1000;

} // namespace

CompletionController::CompletionController(InstallationState& state, QString keychainService,
                                           QuitAction quit, QObject* parent)
    : QObject(parent), m_state(state), m_keychainService(std::move(keychainService)),
      m_quit(std::move(quit)), m_notifier(new DesktopNotifier(this)) {
    m_pendingFinish.setSingleShot(true);
    m_pendingFinish.setInterval(pendingFinishMs);
    connect(&m_pendingFinish, &QTimer::timeout, this, &CompletionController::storeAndQuit);
    m_savedNoticeWait.setSingleShot(true);
    m_savedNoticeWait.setInterval(savedNoticeWaitMs);
    connect(&m_savedNoticeWait, &QTimer::timeout, this, &CompletionController::quitOnce);
    connect(m_notifier, &DesktopNotifier::unavailable, this, &CompletionController::inWindowNotice);
    // Whichever answer comes, the notice has had its chance: the program may go.
    for (auto answer : {&DesktopNotifier::delivered, &DesktopNotifier::unavailable}) {
        connect(m_notifier, answer, this, [this] {
            if (m_savedNoticeWait.isActive()) {
                m_savedNoticeWait.stop();
                quitOnce();
            }
        });
    }
    for (auto field :
         {&InstallationState::devtronUrlChanged, &InstallationState::devtronPasswordChanged,
          &InstallationState::devtronUrlFailureChanged,
          &InstallationState::devtronPasswordFailureChanged}) {
        connect(&m_state, field, this, &CompletionController::accessChanged);
    }
    connect(&m_state, &InstallationState::installationTimeChanged, this,
            &CompletionController::installationTimeChanged);
    m_readiness.setProbesDashboard(true);
    connect(&m_readiness, &ReadinessWatcher::devtronAnswered, this,
            [this] { notify(tr("Devtron已可以访问")); });
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
        return tr("安装未能完全完成，部分功能可能不可用");
    }
    return m_state.installDevtron() ? tr("Devtron和Kubernetes工具已安装配置完成")
                                    : tr("Kubernetes工具已完成配置");
}

QString CompletionController::devtronToolStatus() const {
    return m_state.installationComplete() ? tr("已安装") : tr("安装中断");
}

QString CompletionController::installationTimeText() const {
    if (!(m_state.installationTime() > 0)) {
        return {};
    }
    return tr("安装用时: %1").arg(InstallationState::formatTime(m_state.installationTime()));
}

QString CompletionController::commandText() const {
    return composeCommand(ClusterTools::toolsDirectory(), m_state.kubeconfigPath());
}

QString CompletionController::passwordText() const {
    if (!isPasswordRead()) {
        return {};
    }
    return m_isPasswordVisible ? m_state.devtronPassword() : passwordDots;
}

bool CompletionController::isAddressRead() const {
    return !m_state.devtronUrl().isEmpty();
}

bool CompletionController::isPasswordRead() const {
    return !m_state.devtronPassword().isEmpty();
}

QStringList CompletionController::unreadLines() const {
    return CredentialLookup::failureLines(m_state);
}

QStringList CompletionController::manualCommands() const {
    QStringList commands;
    if (!isAddressRead()) {
        commands << CredentialLookup::manualAddressCommand(m_state.kubeconfigPath());
    }
    if (!isPasswordRead()) {
        commands << CredentialLookup::manualPasswordCommand(m_state.kubeconfigPath());
    }
    return commands;
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
    // Said in the window, where the copy happened: a desktop bubble for each copy would be read
    // out a second time, and comes nowhere near the button.
    emit inWindowNotice(tr("已复制"));
}

void CompletionController::copyCommand() {
    copyToClipboard(commandText());
}

void CompletionController::copyPassword() {
    if (isPasswordRead()) {
        copyToClipboard(m_state.devtronPassword());
    }
}

void CompletionController::copyAllInfo() {
    if (!beginFinishing()) {
        return;
    }
    putOnClipboard(
        accessInfoText(m_state.devtronUrl(), m_state.devtronUsername(), m_state.devtronPassword()));
    notify(tr("已复制所有访问信息"));
    m_pendingFinish.start();
}

void CompletionController::finish() {
    if (m_isFinishing) {
        return;
    }
    if (layout() == Layout::complete && (isAddressRead() || isPasswordRead())) {
        setShowSaveAlert(true);
        return;
    }
    beginFinishing();
    quitOnce();
}

void CompletionController::finishWithoutCopy() {
    if (!beginFinishing()) {
        return;
    }
    storeAndQuit();
}

std::optional<QString> CompletionController::saveToKeychain() {
    // Only what was read from the cluster is stored; the user name goes with it. Copies, and a
    // store of its own: the writes wait in a local event loop, during which the screen and this
    // controller may be closed.
    QList<std::pair<QString, QString>> items;
    if (isAddressRead()) {
        items.append({m_state.devtronUrl(), QStringLiteral("devtronUrl")});
    }
    if (isAddressRead() || isPasswordRead()) {
        items.append({m_state.devtronUsername(), QStringLiteral("devtronUsername")});
    }
    if (isPasswordRead()) {
        items.append({m_state.devtronPassword(), QStringLiteral("devtronPassword")});
    }
    const QPointer<CompletionController> self(this);
    Keychain keychain(m_keychainService);
    try {
        for (const auto& [value, key] : items) {
            keychain.set(value, key);
        }
    } catch (const KeychainError& error) {
        writeConsoleLine(tr("保存到钥匙串失败: %1").arg(error.toString()));
        return error.userMessage();
    }
    if (self) {
        notify(tr("已保存"));
    }
    return std::nullopt;
}

void CompletionController::retrySave() {
    setSaveFailure({});
    if (beginFinishing()) {
        storeAndQuit();
    }
}

void CompletionController::quitWithoutSaving() {
    setSaveFailure({});
    beginFinishing();
    quitOnce();
}

void CompletionController::dismissSaveFailure() {
    setSaveFailure({});
}

void CompletionController::startWatching() {
    if (layout() == Layout::complete) {
        m_readiness.start();
    }
}

void CompletionController::retrieveDevtronCredentials() {
    if (m_isRetrievingCredentials) {
        return;
    }
    setIsRetrievingCredentials(true);
    m_state.appendLog(tr("正在获取Devtron凭证..."));
    CredentialLookup::start(m_state, m_commandTimeLimit, this, [this](DevtronAccess access) {
        // A value read before stays when this attempt cannot read it again.
        if (!access.address.isRead() && isAddressRead()) {
            access.address = DevtronAccess::Value::read(m_state.devtronUrl());
        }
        if (!access.password.isRead() && isPasswordRead()) {
            access.password = DevtronAccess::Value::read(m_state.devtronPassword());
        }
        CredentialLookup::store(m_state, access);
        setIsRetrievingCredentials(false);
    });
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
    const std::optional<QString> failure = saveToKeychain();
    if (!self) {
        return;
    }
    if (failure) {
        // The password would be gone with the window: stay, and say why.
        m_state.appendLog(tr("保存到钥匙串失败: %1").arg(*failure));
        m_isFinishing = false;
        emit isFinishingChanged();
        setSaveFailure(*failure);
        return;
    }
    m_savedNoticeWait.start();
}

void CompletionController::quitOnce() {
    if (m_hasQuit) {
        return;
    }
    m_hasQuit = true;
    m_quit();
}

void CompletionController::setSaveFailure(const QString& failure) {
    m_saveFailure = failure;
    emit saveFailureChanged();
}

void CompletionController::setIsRetrievingCredentials(bool retrieving) {
    m_isRetrievingCredentials = retrieving;
    emit isRetrievingCredentialsChanged();
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
    // A value that was not read is left out rather than copied as Devtron's.
    QString text = tr("Devtron访问信息:");
    if (!url.isEmpty()) {
        text += u'\n' + tr("地址: %1").arg(url);
    }
    text += u'\n' + tr("用户名: %1").arg(username);
    if (!password.isEmpty()) {
        text += u'\n' + tr("密码: %1").arg(password);
    }
    return text + QStringLiteral("\n\n") +
           tr("请妥善保管此信息，这些信息丢失后需要重新安装才能恢复。");
}
