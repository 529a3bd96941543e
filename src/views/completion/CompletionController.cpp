#include "views/completion/CompletionController.h"

#include "keychain/Keychain.h"
#include "session/InstallationState.h"
#include "shell/AppPaths.h"
#include "shell/ClusterTools.h"
#include "shell/Console.h"
#include "views/completion/DesktopNotifier.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QUrl>

#include <algorithm>
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
    connect(&m_readiness, &ReadinessWatcher::changed, this, &CompletionController::followAddress);
    connect(&m_tunnel, &DashboardTunnel::changed, this, &CompletionController::followTunnel);
    for (auto field : {&InstallationState::devtronUrlSourceChanged,
                       &InstallationState::isPasswordPendingChanged}) {
        connect(&m_state, field, this, &CompletionController::accessChanged);
    }
    m_passwordReread.setInterval(passwordRereadInterval);
    m_passwordReread.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_passwordReread, &QTimer::timeout, this,
            &CompletionController::rereadPendingPassword);
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
    // Nothing was installed in this session.
    if (m_state.readsExistingInstallation()) {
        return tr("已读取集群中现有Devtron的访问信息");
    }
    return m_state.installDevtron() ? tr("Devtron和Kubernetes工具已安装配置完成")
                                    : tr("Kubernetes工具已完成配置");
}

QString CompletionController::devtronToolStatus() const {
    return m_state.installationComplete() ? tr("已安装") : tr("安装中断");
}

QString CompletionController::installedChoicesText() const {
    if (!m_state.installDevtron() || m_state.readsExistingInstallation()) {
        return {};
    }
    return DevtronChoices::summary(m_state.devtronVariant(), m_state.manifestSource());
}

QString CompletionController::installationTimeText() const {
    if (!(m_state.installationTime() > 0)) {
        return {};
    }
    return tr("安装用时: %1").arg(InstallationState::formatTime(m_state.installationTime()));
}

namespace {

QString userKubeconfig() {
    return QDir::homePath() + QStringLiteral("/.kube/config");
}

// The chosen file is ~/.kube/config itself (through any link or spelling of its path).
bool choseUserKubeconfig(const QString& displayPath) {
    const QString chosen = QFileInfo(displayPath).canonicalFilePath();
    return !chosen.isEmpty() && chosen == QFileInfo(userKubeconfig()).canonicalFilePath();
}

} // namespace

QString CompletionController::commandText() const {
    return composeCommand(ClusterTools::toolsDirectory(),
                          choseUserKubeconfig(m_state.kubeconfigDisplayPath())
                              ? QString()
                              : m_state.kubeconfigPath());
}

QString CompletionController::kubeconfigNote() const {
    if (choseUserKubeconfig(m_state.kubeconfigDisplayPath())) {
        return tr("所选文件就是~/.kube/config，命令不会改动它。");
    }
    const QString kept =
        QFileInfo::exists(userKubeconfig())
            ? tr("现有的~/.kube/config会保留为带编号的备份（如~/.kube/config.~1~）。")
            : QString();
    // The private folder lives in the login session's runtime folder (or the system's temporary
    // one): the copy outlives Nimbrel, but not the session, and the next run replaces it.
    const QString temp = AppPaths::privateTempDirectory();
    const QString source = !temp.isEmpty() && m_state.kubeconfigPath().startsWith(temp)
                               ? tr("命令复制的是临时副本，请在下次运行Nimbrel或注销之前执行。")
                               : QString();
    if (kept.isEmpty() || source.isEmpty()) {
        return kept + source;
    }
    //: Two sentences in a row.
    return tr("%1%2").arg(kept, source);
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
    QStringList lines = CredentialLookup::failureLines(m_state);
    if (!isAddressRead() && !m_tunnel.failure().isEmpty()) {
        lines.prepend(tr("无法建立本地隧道: %1").arg(m_tunnel.failure()));
    }
    return lines;
}

QString CompletionController::addressSourceText() const {
    if (!isAddressRead()) {
        return {};
    }
    switch (m_state.devtronUrlSource()) {
    case AddressSource::exporter:
        return tr("地址来源：ServiceExporter");
    case AddressSource::loadBalancer:
        return tr("地址来源：负载均衡器（LoadBalancer）");
    case AddressSource::nodePort:
        return tr("地址来源：节点端口（NodePort）");
    case AddressSource::tunnel:
        return tr("地址来源：本地隧道（kubectl port-forward）");
    case AddressSource::none:
        break;
    }
    return {};
}

QString CompletionController::tunnelNote() const {
    if (m_state.devtronUrlSource() != AddressSource::tunnel || !isAddressRead()) {
        return {};
    }
    return tr("此地址仅在Nimbrel打开时可用。以后可在终端中执行以下命令重新建立隧道：");
}

QString CompletionController::tunnelCommand() const {
    // Devtron's documentation forwards port 8000 until a port of our own is chosen.
    constexpr int documentedLocalPort = 8000;
    const int localPort = m_tunnel.localPort() > 0 ? m_tunnel.localPort() : documentedLocalPort;
    return CredentialLookup::manualTunnelCommand(m_state.kubeconfigPath(), localPort,
                                                 m_state.devtronServicePort());
}

bool CompletionController::isOpeningTunnel() const {
    return !isAddressRead() && m_state.devtronUrlSource() == AddressSource::tunnel &&
           unreadLines().isEmpty();
}

bool CompletionController::isPasswordPending() const {
    return !isPasswordRead() && m_state.isPasswordPending();
}

QStringList CompletionController::manualCommands() const {
    QStringList commands;
    const bool failed = !m_state.devtronUrlFailure().isEmpty() || !m_tunnel.failure().isEmpty();
    if (!isAddressRead() && m_state.devtronUrlSource() == AddressSource::tunnel) {
        // The exporter's command would only say that the cluster has no such type.
        if (failed) {
            commands << CredentialLookup::manualServiceCommand(m_state.kubeconfigPath())
                     << tunnelCommand();
        }
    } else if (!isAddressRead()) {
        commands << CredentialLookup::manualAddressCommand(m_state.kubeconfigPath());
    }
    // A password still to come is read again by itself.
    if (!isPasswordRead() && !isPasswordPending()) {
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

std::optional<KeychainError> CompletionController::saveToKeychain() {
    // Only what was read from the cluster is stored; the user name goes with it. Copies, and a
    // store of its own: the writes wait in a local event loop, during which the screen and this
    // controller may be closed.
    QList<std::pair<QString, QString>> items;
    // A tunnel's address ends with Nimbrel: it is not Devtron's address.
    const bool storesAddress =
        isAddressRead() && m_state.devtronUrlSource() != AddressSource::tunnel;
    if (storesAddress) {
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
    QStringList removed;
    try {
        for (const auto& [value, key] : items) {
            keychain.set(value, key);
        }
        // An item an earlier run stored would pair its value with this run's: a password of one
        // installation with the address of another.
        for (const QString& key : Keychain::devtronKeys) {
            const bool stored = std::any_of(items.cbegin(), items.cend(), [&key](const auto& item) {
                return item.second == key;
            });
            if (!items.isEmpty() && !stored && keychain.get(key)) {
                keychain.remove(key);
                removed.append(key);
            }
        }
    } catch (const KeychainError& error) {
        writeConsoleLine(tr("保存到钥匙串失败: %1").arg(error.toString()));
        return error;
    }
    if (self) {
        for (const QString& key : removed) {
            //: %1 is the keychain item's key, e.g. devtronPassword.
            m_state.appendLog(tr("已删除钥匙串中上次保存的%1：本次未读取").arg(key));
        }
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
    if (layout() != Layout::complete) {
        return;
    }
    m_readiness.start();
    m_passwordReread.start();
    followAddress();
}

void CompletionController::rereadPendingPassword() {
    // Devtron may answer before it has its password: the reads go on until the password comes or
    // the watch gives up.
    if (!isPasswordPending() || m_readiness.hasGivenUp()) {
        m_passwordReread.stop();
        return;
    }
    if (m_isRereadingPassword || m_isRetrievingCredentials) {
        return;
    }
    m_isRereadingPassword = true;
    CredentialLookup::startPassword(
        m_state, m_commandTimeLimit, this, [this](const DevtronAccess& found) {
            m_isRereadingPassword = false;
            // Meanwhile read by "重新读取", or still not there: nothing to do.
            if (!isPasswordPending() || found.password.pending) {
                return;
            }
            m_state.setIsPasswordPending(false);
            m_state.setDevtronPassword(found.password.text.value_or(QString()));
            m_state.setDevtronPasswordFailure(found.password.failure);
            if (found.password.isRead()) {
                m_state.appendLog(tr("Devtron管理员密码已生成并读取"));
                emit inWindowNotice(tr("已读取密码"));
            }
        });
}

void CompletionController::followAddress() {
    if (layout() != Layout::complete) {
        return;
    }
    const AddressSource source = m_state.devtronUrlSource();
    if (source == AddressSource::tunnel && m_state.devtronUrlFailure().isEmpty()) {
        m_tunnel.start(m_state.devtronServicePort());
        return;
    }
    // An address the cluster gives that does not answer once Devtron's pods are all ready will
    // not answer from here: a firewall, or a private network.
    const bool direct = source == AddressSource::loadBalancer || source == AddressSource::nodePort;
    const auto& report = m_readiness.report();
    if (direct && m_readiness.dashboard() == ReadinessWatcher::Dashboard::down && report &&
        report->isReady()) {
        switchToTunnel();
    }
}

void CompletionController::switchToTunnel() {
    m_state.appendLog(tr("Devtron在%1没有应答，改用本地隧道").arg(m_state.devtronUrl()));
    m_state.setDevtronUrlSource(AddressSource::tunnel);
    m_state.setDevtronUrl(QString());
    m_tunnel.start(m_state.devtronServicePort());
}

void CompletionController::followTunnel() {
    if (m_tunnel.isForwarding() && m_state.devtronUrl() != m_tunnel.address()) {
        m_state.setDevtronUrl(m_tunnel.address());
    }
    emit accessChanged();
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
    const std::optional<KeychainError> failure = saveToKeychain();
    if (!self) {
        return;
    }
    if (failure) {
        // The password would be gone with the window: stay, and say why.
        m_state.appendLog(tr("保存到钥匙串失败: %1").arg(failure->logText()));
        m_isFinishing = false;
        emit isFinishingChanged();
        setSaveFailure(failure->userMessage());
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
    QString tools = QStringLiteral("sudo mkdir -p /usr/local/bin && sudo cp ") +
                    ShellUtils::quotePath(toolsDirectory + QStringLiteral("/kubectl")) + u' ' +
                    ShellUtils::quotePath(toolsDirectory + QStringLiteral("/helm")) +
                    QStringLiteral(" /usr/local/bin/");
    if (kubeconfigPath.isEmpty()) {
        return tools;
    }
    // GNU cp renames an existing file to config.~N~ before it copies: the user's clusters stay.
    return tools + QStringLiteral(" && mkdir -p ~/.kube && cp --backup=numbered ") +
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
