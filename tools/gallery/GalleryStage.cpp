#include "GalleryStage.h"

#include "app/ContentView.h"
#include "app/ErrorOverlay.h"
#include "app/MainWindow.h"
#include "app/StepListView.h"
#include "session/InstallationState.h"
#include "shell/AppPaths.h"
#include "shell/BackgroundJobs.h"
#include "views/choice/DevtronChoiceView.h"
#include "views/completion/CompletionController.h"
#include "views/completion/CompletionView.h"
#include "views/installation/InstallationController.h"
#include "views/installation/InstallationView.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"
#include "views/kubeconfig/KubeconfigStepController.h"
#include "views/logviewer/LogViewerController.h"
#include "views/logviewer/LogViewerView.h"
#include "views/removal/RemovalView.h"
#include "views/style/Palette.h"
#include "views/waiting/WaitingForServicesController.h"
#include "views/waiting/WaitingForServicesView.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThreadPool>
#include <QWindow>

namespace {

using Prompt = DevtronChoiceController::RepairPrompt;

constexpr int pollMilliseconds = 50;
// Quiet polls after the state is reached: layouts, deferred scrolling and the first paint.
constexpr int settlePolls = 8;

const char* const validKubeconfig = R"(apiVersion: v1
kind: Config
clusters:
- cluster:
    server: https://10.0.12.4:6443
  name: prod-cluster
contexts:
- context:
    cluster: prod-cluster
    user: admin
  name: prod
current-context: prod
users:
- name: admin
  user:
    token: gallery-token
)";

// How kubectl lists the contexts of the gallery's files: one, or three over two clusters.
const char* const oneContextJson =
    R"({"clusters":[{"name":"prod-cluster","cluster":{"server":"https://10.0.12.4:6443"}}],)"
    R"("contexts":[{"name":"prod","context":{"cluster":"prod-cluster","user":"admin"}}],)"
    R"("current-context":"prod"})";
const char* const threeContextsJson =
    R"({"clusters":[{"name":"a","cluster":{"server":"https://10.0.12.4:6443"}},)"
    R"({"name":"b","cluster":{"server":"https://staging.example.internal:443"}}],)"
    R"("contexts":[{"name":"work","context":{"cluster":"a","user":"admin"}},)"
    R"({"name":"staging","context":{"cluster":"b","user":"deployer"}},)"
    R"({"name":"staging-exec","context":{"cluster":"b","user":"sso-login"}}],)"
    R"("current-context":"work"})";

// Two of the five names a kubeconfig needs: too few to pass the check.
const char* const incompleteKubeconfig = "apiVersion: v1\nkind: Config\n";

// Answers "version" at once; holds everything else while the hold file exists and the gallery
// lives. Then answers the lookups of Devtron's address and password, fails "get" with the
// recorded error when one is given, else lists namespaces.
const char* const standInKubectl = R"sh(#!/bin/sh
here=$(dirname "$0")
if [ "$1" = version ] && [ "$2" != -o ]; then
    printf 'Client Version: v1.32.3\nKustomize Version: v5.5.0\n'
    exit 0
fi
if [ "$1" = config ]; then
    case "$*" in *contexts*) cat "$here/contexts.json" ;; *) cat "$here/context.json" ;; esac
    exit 0
fi
while [ -e "$here/hold" ] && kill -0 %1 2>/dev/null; do sleep 0.1; done
case "$1 $2" in
"version -o")
    minor=32; [ -e "$here/old-version" ] && minor=15
    printf '{"serverVersion":{"major":"1","minor":"%s"}}' "$minor"
    exit 0 ;;
"auth can-i")
    if grep -qx "$4" "$here/denied" 2>/dev/null; then echo no; exit 1; fi
    echo yes
    exit 0 ;;
"get storageclasses")
    default='"storageclass.kubernetes.io/is-default-class":"true"'
    [ -e "$here/no-default" ] && default=
    printf '{"items":[{"metadata":{"name":"standard","annotations":{%s}}}]}' "$default"
    exit 0 ;;
"get nodes")
    cpu=4; memory=16Gi; [ -e "$here/small-nodes" ] && cpu=1500m && memory=4Gi
    printf '{"items":[{"spec":{},"status":{"conditions":[{"type":"Ready","status":"True"}],'
    printf '"allocatable":{"cpu":"%s","memory":"%s"}}}]}' "$cpu" "$memory"
    exit 0 ;;
"get pods,persistentvolumeclaims,installers.installer.devtron.ai")
    if [ ! -e "$here/installer" ]; then
        echo 'error: the server doesn'"'"'t have a resource type "installers"' >&2
        exit 1
    fi
    cat "$here/status.json" 2>/dev/null || printf '{"items":[]}'
    exit 0 ;;
"get pods,persistentvolumeclaims")
    cat "$here/status.json" 2>/dev/null || printf '{"items":[]}'
    exit 0 ;;
"port-forward -n")
    echo "Forwarding from 127.0.0.1:${5%%:*} -> 8080"
    while kill -0 %1 2>/dev/null; do sleep 0.2; done
    exit 0 ;;
"get namespaces")
    if [ "$3" = -o ]; then
        printf '{"items":[{"metadata":{"name":"argo"}},{"metadata":{"name":"devtron-cd"}},'
        printf '{"metadata":{"name":"devtron-demo"}},{"metadata":{"name":"devtroncd"}}]}'
        exit 0
    fi ;;
"get customresourcedefinitions.apiextensions.k8s.io")
    echo customresourcedefinition.apiextensions.k8s.io/installers.installer.devtron.ai
    exit 0 ;;
"get namespace/"*)
    printf '{"items":[{"kind":"Namespace","metadata":{"name":"devtron-demo"},"spec":'
    printf '{"finalizers":["kubernetes"]},"status":{"phase":"Terminating","conditions":[{"type":'
    printf '"NamespaceFinalizersRemaining","status":"True","message":"Some content in the '
    printf 'namespace has finalizers remaining: demo.devtron.ai/cleanup in 1 resource instances"}]}}]}'
    exit 0 ;;
"delete "*)
    exit 0 ;;
"describe serviceexporter")
    printf 'Name:         devtron-itf\nNamespace:    devtroncd\nKind:         ServiceExporter\n'
    printf 'Status:\n  Message:  service exported\n  url: http://127.0.0.1:32080\n'
    exit 0 ;;
"get secrets")
    printf '{"items":[{"metadata":{"name":"sh.helm.release.v1.devtron.v3"}}]}'
    exit 0 ;;
"get secret")
    if [ -s "$here/secret.err" ]; then
        cat "$here/secret.err" >&2
        exit 1
    fi
    printf 'R2FsbGVyeS1QYXNzLTIwMjY='
    exit 0 ;;
esac
if [ -s "$here/get.err" ]; then
    cat "$here/get.err" >&2
    exit 1
fi
printf 'NAME          STATUS   AGE\ndefault       Active   3d\n'
)sh";

// Devtron's pods on their way up: the dashboard is ready, the database still starts; or stuck on
// a volume without a StorageClass; or, as Devtron's own installer leaves them, still applying.
const QByteArray podsStarting = QByteArrayLiteral(
    R"({"items":[{"kind":"Pod","metadata":{"name":"devtron-6d9f7c5b8-x2k4q"},"status":{"phase":)"
    R"("Running","conditions":[{"type":"Ready","status":"True"}]}},{"kind":"Pod","metadata":)"
    R"({"name":"postgresql-0"},"status":{"phase":"Pending","conditions":[{"type":"Ready",)"
    R"("status":"False"}]}}]})");
const QByteArray claimsPending = QByteArrayLiteral(
    R"({"items":[{"kind":"Pod","metadata":{"name":"devtron-6d9f7c5b8-x2k4q"},"status":{"phase":)"
    R"("Running","conditions":[{"type":"Ready","status":"True"}]}},{"kind":"Pod","metadata":)"
    R"({"name":"postgresql-0"},"status":{"phase":"Pending","conditions":[{"type":"Ready",)"
    R"("status":"False"}]}},{"kind":"PersistentVolumeClaim","metadata":{"name":)"
    R"("data-postgresql-0"},"spec":{},"status":{"phase":"Pending"}}]})");
const QByteArray installerApplying = QByteArrayLiteral(
    R"({"items":[{"kind":"Pod","metadata":{"name":"devtron-6d9f7c5b8-x2k4q"},"status":{"phase":)"
    R"("Running","conditions":[{"type":"Ready","status":"True"}]}},{"kind":"Installer",)"
    R"("metadata":{"name":"installer-devtron"},"status":{"sync":{"status":"Downloaded"}}}]})");

const QByteArray secretNotFound =
    QByteArrayLiteral("Error from server (NotFound): secrets \"devtron-secret\" not found\n");

// Holds the engine's tool check while the hold file exists and the gallery lives. The background
// pool itself cannot be held here: the raster painter needs it to draw the window. The release's
// history is the recorded one when given; its uninstall is refused as helm does a locked release.
const char* const standInHelm = R"sh(#!/bin/sh
here=$(dirname "$0")
while [ -e "$here/hold" ] && kill -0 %1 2>/dev/null; do sleep 0.1; done
if [ "$1" = history ] && [ -e "$here/history.json" ]; then
    cat "$here/history.json"
    exit 0
fi
if [ -e "$here/release" ] && [ "$1" = status ]; then
    printf '{"name":"devtron","info":{"status":"deployed"},"version":1}'
    exit 0
fi
if [ -e "$here/release" ] && [ "$1" = uninstall ]; then
    echo 'release "devtron" uninstalled'
    exit 0
fi
if [ "$1" = status ] || [ "$1" = history ]; then
    echo 'Error: release: not found' >&2
    exit 1
fi
if [ "$1" = uninstall ]; then
    echo 'Error: uninstall: another operation (install/upgrade/rollback) is in progress' >&2
    exit 1
fi
printf 'v3.17.2+gcc2a2c5\n'
)sh";

// A release left behind by an installation that never finished, as helm history -o json lists it.
QByteArray brokenHistory(const char* status) {
    return QByteArrayLiteral(R"([{"revision":3,"updated":"2026-12-06T21:14:05.361728913Z",)") +
           R"("status":")" + status +
           R"(","chart":"devtron-operator-0.22.74","app_version":"0.7.2","description":)"
           R"("Initial install underway"}])";
}

// What kubectl prints when nothing listens on the cluster's port: the recording when the source
// tree has it, else its last line.
QByteArray refusedConnectionError() {
    QFile recording(QStringLiteral(NIMBREL_GALLERY_FAULT_FILE));
    if (recording.open(QIODevice::ReadOnly)) {
        const QByteArray text = recording.readAll();
        // The first line is the recorded exit status.
        if (const qsizetype lineEnd = text.indexOf('\n'); lineEnd >= 0) {
            return text.mid(lineEnd + 1);
        }
    }
    return "The connection to the server 10.0.12.4:6443 was refused - did you specify the right "
           "host or port?\n";
}

// What the engine and the screens log in a demo walk up to the installation script's start.
const std::initializer_list<const char*> setupLines = {
    QT_TRANSLATE_NOOP("GalleryStage", "开始配置环境..."),
    QT_TRANSLATE_NOOP("GalleryStage", "Kubeconfig文件可读，将直接使用: ~/.kube/my-cluster.yaml"),
    QT_TRANSLATE_NOOP("GalleryStage", "已设置KUBECONFIG环境变量为: ~/.kube/my-cluster.yaml"),
    QT_TRANSLATE_NOOP("GalleryStage", "已设置工具执行权限"),
    QT_TRANSLATE_NOOP("GalleryStage", "kubectl工具可用: Client Version: v1.32.3"),
    QT_TRANSLATE_NOOP("GalleryStage", "helm工具可用: v3.17.2+gcc2a2c5"),
    QT_TRANSLATE_NOOP("GalleryStage", "环境配置完成 - 使用应用内置工具"),
};

const std::initializer_list<const char*> installLines = {
    QT_TRANSLATE_NOOP("GalleryStage", "检查集群中是否已安装Devtron并处于deployed状态..."),
    QT_TRANSLATE_NOOP("GalleryStage", "未找到名为devtron的Helm发布，可以安装Devtron"),
    QT_TRANSLATE_NOOP("GalleryStage",
                      "使用安装脚本: /opt/nimbrel/lib/nimbrel/tools/devtron-charts/install.sh"),
    QT_TRANSLATE_NOOP("GalleryStage",
                      "执行命令: cd /opt/nimbrel/lib/nimbrel/tools/devtron-charts && ./install.sh"),
    "Installing the local chart devtron-standin as release devtron in namespace devtroncd",
    "NAME: devtron",
    "NAMESPACE: devtroncd",
};

// The rest of a whole session, for the log viewer.
const std::initializer_list<const char*> laterLines = {
    "STATUS: deployed",
    QT_TRANSLATE_NOOP("GalleryStage", "Devtron安装成功完成！✓"),
    QT_TRANSLATE_NOOP("GalleryStage", "安装完成，状态: 成功"),
    QT_TRANSLATE_NOOP("GalleryStage", "安装完成，正在自动跳转到下一步..."),
    QT_TRANSLATE_NOOP("GalleryStage", "进入步骤: 等待服务启动"),
    QT_TRANSLATE_NOOP("GalleryStage", "开始等待服务就绪阶段"),
    QT_TRANSLATE_NOOP("GalleryStage", "等待Devtron服务启动，倒计时: 100秒"),
    QT_TRANSLATE_NOOP("GalleryStage", "等待中... 剩余50秒"),
    QT_TRANSLATE_NOOP("GalleryStage", "等待中... 剩余0秒"),
    QT_TRANSLATE_NOOP("GalleryStage", "等待时间结束，开始检索Devtron凭证"),
    QT_TRANSLATE_NOOP("GalleryStage", "正在获取Devtron凭证..."),
    QT_TRANSLATE_NOOP("GalleryStage", "执行Kubernetes命令获取Devtron信息"),
    QT_TRANSLATE_NOOP(
        "GalleryStage",
        "获取Devtron服务地址: kubectl describe serviceexporter devtron-itf -n devtroncd"),
    QT_TRANSLATE_NOOP("GalleryStage", "命令执行成功，正在解析输出..."),
    QT_TRANSLATE_NOOP("GalleryStage", "完整输出:"),
    ">> Name:         devtron-itf",
    ">> Namespace:    devtroncd",
    ">> Kind:         ServiceExporter",
    ">>   url: http://127.0.0.1:32080",
    QT_TRANSLATE_NOOP("GalleryStage", "从'url:'字段解析到URL: http://127.0.0.1:32080"),
    QT_TRANSLATE_NOOP("GalleryStage",
                      "获取Devtron管理员密码: kubectl get secret -n devtroncd devtron-secret -o "
                      "jsonpath={.data.ADMIN_PASSWORD}"),
    QT_TRANSLATE_NOOP("GalleryStage", "获取到编码密码: <已隐藏, 24 字符>"),
    QT_TRANSLATE_NOOP("GalleryStage", "Base64解码密码成功"),
    QT_TRANSLATE_NOOP("GalleryStage",
                      "成功获取Devtron凭证，URL: http://127.0.0.1:32080, 用户名: admin"),
    QT_TRANSLATE_NOOP("GalleryStage", "服务启动完成，可以进入下一步"),
    QT_TRANSLATE_NOOP("GalleryStage", "进入步骤: 安装完成"),
};

const QString devtronAddress = QStringLiteral("http://127.0.0.1:32080");
const QString devtronPassword = QStringLiteral("Gallery-Pass-2026");

} // namespace

GalleryStage::GalleryStage() {
    // The session writes its log under XDG_STATE_HOME and its private files under
    // XDG_RUNTIME_DIR: both must point here before the session exists. The terminal command
    // looks at ~/.kube/config: a home of the gallery's own.
    const QDir root(m_dir.path());
    root.mkpath(QStringLiteral("state"));
    root.mkpath(QStringLiteral("runtime"));
    root.mkpath(QStringLiteral("tools"));
    root.mkpath(QStringLiteral("home/.kube"));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A local chart, as the demo gives one: the pre-flight check never asks Devtron's repository.
    for (const auto& [name, folder] :
         {std::pair{"XDG_STATE_HOME", "state"}, std::pair{"XDG_RUNTIME_DIR", "runtime"},
          std::pair{"HOME", "home"}, std::pair{"DEVTRON_CHART", "tools"}}) {
        std::optional<QByteArray> old;
        if (qEnvironmentVariableIsSet(name)) {
            old = qgetenv(name);
        }
        m_savedEnvironment.emplace_back(name, old);
        qputenv(name, QFile::encodeName(root.filePath(QString::fromLatin1(folder))));
    }

    writeFile(QStringLiteral("home/.kube/my-cluster.yaml"), validKubeconfig);
    writeFile(QStringLiteral("home/.kube/incomplete.yaml"), incompleteKubeconfig);
    writeFile(QStringLiteral("home/.kube/contexts.yaml"), validKubeconfig);
    writeFile(QStringLiteral("tools/context.json"), oneContextJson);
    writeFile(QStringLiteral("tools/contexts.json"), threeContextsJson);
    writeStandInKubectl();
    AppPaths::setToolsDirectoryOverride(root.filePath(QStringLiteral("tools")));

    Palette::applyApplicationFont();
    Palette::applyApplicationPalette();
    m_state = std::make_unique<InstallationState>();
    m_window = std::make_unique<MainWindow>(*m_state);
    m_state->installEventFilter(this);

    m_poll.setInterval(pollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &GalleryStage::poll);
    // The sample lines speak the language the program was started in.
    if (QLocale().language() == QLocale::English &&
        m_sampleLines.load(QStringLiteral(":/translations/gallery_en.qm"))) {
        QCoreApplication::installTranslator(&m_sampleLines);
    }
}

GalleryStage::~GalleryStage() {
    QCoreApplication::removeTranslator(&m_sampleLines);
    release();
    m_window.reset();
    m_state.reset();
    AppPaths::setToolsDirectoryOverride({});
    for (const auto& [name, old] : m_savedEnvironment) {
        if (old) {
            qputenv(name.constData(), *old);
        } else {
            qunsetenv(name.constData());
        }
    }
}

QStringList GalleryStage::stateNames() {
    return {QStringLiteral("kubeconfig-empty"),
            QStringLiteral("kubeconfig-chosen"),
            QStringLiteral("kubeconfig-contexts"),
            QStringLiteral("kubeconfig-validating"),
            QStringLiteral("kubeconfig-error"),
            QStringLiteral("error-card-unknown"),
            QStringLiteral("choice-on"),
            QStringLiteral("choice-off"),
            QStringLiteral("choice-minimal-gitee"),
            QStringLiteral("choice-testing"),
            QStringLiteral("choice-alert"),
            QStringLiteral("choice-preflight-failed"),
            QStringLiteral("choice-preflight-warning"),
            QStringLiteral("choice-preflight-repository"),
            QStringLiteral("choice-repair"),
            QStringLiteral("choice-repair-confirm"),
            QStringLiteral("choice-repair-record"),
            QStringLiteral("installation-running"),
            QStringLiteral("installation-configuring"),
            QStringLiteral("installation-done"),
            QStringLiteral("waiting-countdown"),
            QStringLiteral("waiting-retrieving"),
            QStringLiteral("waiting-ready"),
            QStringLiteral("waiting-unread"),
            QStringLiteral("waiting-readiness"),
            QStringLiteral("completion-installed"),
            QStringLiteral("completion-unread"),
            QStringLiteral("completion-readiness-stuck"),
            QStringLiteral("completion-tunnel"),
            QStringLiteral("completion-dashboard-up"),
            QStringLiteral("completion-password-shown"),
            QStringLiteral("completion-tools-only"),
            QStringLiteral("completion-timed-out"),
            QStringLiteral("logviewer"),
            QStringLiteral("logviewer-search"),
            QStringLiteral("removal-preview"),
            QStringLiteral("removal-confirmed"),
            QStringLiteral("removal-running"),
            QStringLiteral("removal-result")};
}

QString GalleryStage::validKubeconfigPath() const {
    return m_dir.filePath(QStringLiteral("home/.kube/my-cluster.yaml"));
}

bool GalleryStage::stage(const QString& name) {
    const auto kubeconfigView = [this] { return qobject_cast<KubeconfigSelectionView*>(screen()); };
    const auto choiceView = [this] { return qobject_cast<DevtronChoiceView*>(screen()); };
    const auto installationView = [this] { return qobject_cast<InstallationView*>(screen()); };
    const auto waitingView = [this] { return qobject_cast<WaitingForServicesView*>(screen()); };
    const auto completionView = [this] { return qobject_cast<CompletionView*>(screen()); };
    const auto logViewer = [this] { return m_window->findChild<LogViewerView*>(); };
    const auto exposed = [](const QWidget* widget) {
        return widget != nullptr && widget->isVisible() && widget->windowHandle() != nullptr &&
               widget->windowHandle()->isExposed();
    };
    const auto visible = [this](const char* objectName) {
        const QWidget* found = screen() ? screen()->findChild<QWidget*>(objectName) : nullptr;
        return found != nullptr && found->isVisible();
    };
    const auto enabled = [this](const char* objectName) {
        const QWidget* found = screen() ? screen()->findChild<QWidget*>(objectName) : nullptr;
        return found != nullptr && found->isEnabled();
    };
    const auto errorCardShown = [this] {
        const ErrorOverlay* overlay = m_window->contentView()->errorOverlay();
        return m_state->isShowingError() && overlay != nullptr && overlay->isVisible();
    };
    const auto onChoiceStep = [this] {
        m_state->setKubeconfigPath(validKubeconfigPath(), validKubeconfigPath());
        m_state->setKubeconfigContext(QStringLiteral("prod"));
        m_state->setClusterServer(QStringLiteral("https://10.0.12.4:6443"));
        m_state->setCurrentStep(InstallationStep::devtronChoice);
    };

    std::vector<std::function<void()>> actions;
    if (name == QStringLiteral("kubeconfig-empty")) {
        m_reached = [=] { return kubeconfigView() && !enabled("nextButton"); };
    } else if (name == QStringLiteral("kubeconfig-chosen")) {
        actions = {[this] { choose(validKubeconfigPath()); }};
        m_reached = [=, this] {
            return kubeconfigView() && !m_state->kubeconfigPath().isEmpty() &&
                   visible("filePanel") && enabled("nextButton");
        };
    } else if (name == QStringLiteral("kubeconfig-contexts")) {
        actions = {[this] { choose(m_dir.filePath(QStringLiteral("home/.kube/contexts.yaml"))); }};
        // The list is read in the background: its second context is picked once it is there.
        m_reached = [=, this] {
            auto* second = screen() ? screen()->findChild<QAbstractButton*>("context1") : nullptr;
            if (kubeconfigView() && second != nullptr && !second->isChecked()) {
                second->click();
            }
            return second != nullptr && second->isChecked() && visible("context2");
        };
    } else if (name == QStringLiteral("kubeconfig-validating")) {
        actions = {[this] { choose(validKubeconfigPath()); },
                   [this] {
                       holdBackgroundPool();
                       click("nextButton");
                   }};
        m_reached = [=] {
            return kubeconfigView() && kubeconfigView()->controller().isValidating() &&
                   visible("busyIndicator");
        };
    } else if (name == QStringLiteral("kubeconfig-error")) {
        actions = {[this] { choose(m_dir.filePath(QStringLiteral("home/.kube/incomplete.yaml"))); },
                   [this] { click("nextButton"); }};
        m_reached = [=] { return kubeconfigView() && errorCardShown(); };
    } else if (name == QStringLiteral("error-card-unknown")) {
        // An error raised without any text.
        actions = {[this] {
            m_state->setErrorMessage(std::nullopt);
            m_state->setIsShowingError(true);
        }};
        m_reached = errorCardShown;
    } else if (name == QStringLiteral("choice-on")) {
        onChoiceStep();
        m_reached = [=] { return choiceView() && visible("featureBox"); };
    } else if (name == QStringLiteral("choice-minimal-gitee")) {
        onChoiceStep();
        actions = {[this] {
            m_state->setDevtronVariant(DevtronVariant::minimal);
            m_state->setManifestSource(ManifestSource::gitee);
        }};
        m_reached = [=, this] {
            return choiceView() && visible("choicesBox") &&
                   m_state->manifestSource() == ManifestSource::gitee;
        };
    } else if (name == QStringLiteral("choice-off")) {
        onChoiceStep();
        actions = {[this] { click("installDevtronSwitch"); }};
        m_reached = [=, this] {
            return choiceView() && !m_state->installDevtron() && !visible("featureBox") &&
                   m_window->contentView()->stepList()->rows().size() == 4;
        };
    } else if (name == QStringLiteral("choice-testing")) {
        onChoiceStep();
        writeFile(QStringLiteral("tools/hold"), {});
        actions = {[this] { click("nextButton"); }};
        m_reached = [=] {
            return choiceView() && choiceView()->controller().isTesting() &&
                   visible("progressRow") && !enabled("nextButton");
        };
    } else if (name == QStringLiteral("choice-alert")) {
        onChoiceStep();
        writeFile(QStringLiteral("tools/get.err"), refusedConnectionError());
        actions = {[this] { click("nextButton"); }};
        m_reached = [=] {
            if (!choiceView()) {
                return false;
            }
            return exposed(choiceView()->findChild<QMessageBox*>(QStringLiteral("testFailAlert")));
        };
    } else if (name.startsWith(QStringLiteral("choice-preflight-"))) {
        // A checklist with items in every state, or warnings only with the question.
        onChoiceStep();
        const bool failed = name == QStringLiteral("choice-preflight-failed");
        if (name == QStringLiteral("choice-preflight-repository")) {
            // No local chart: the repository is asked, at a closed local port, never the real one.
            m_savedEnvironment.emplace_back(
                "NIMBREL_CHART_REPO_URL",
                std::optional<QByteArray>(qgetenv("NIMBREL_CHART_REPO_URL")));
            qputenv("NIMBREL_CHART_REPO_URL", "https://127.0.0.1:9");
            qputenv("DEVTRON_CHART", "");
        }
        writeFile(QStringLiteral("tools/no-default"), {});
        writeFile(failed ? QStringLiteral("tools/denied") : QStringLiteral("tools/small-nodes"),
                  "customresourcedefinitions.apiextensions.k8s.io\n");
        actions = {[this] { click("nextButton"); }};
        m_reached = [=, this] {
            if (!choiceView() || choiceView()->controller().preflightResults().isEmpty()) {
                return false;
            }
            return failed ||
                   exposed(m_window->findChild<QMessageBox*>(QStringLiteral("preflightConfirm")));
        };
    } else if (name.startsWith(QStringLiteral("choice-repair"))) {
        // A release an earlier installation left behind: its item, the question before the
        // uninstall, and the one after helm refused to uninstall it.
        onChoiceStep();
        m_state->setKubeconfigContext(QStringLiteral("prod"));
        m_state->setClusterServer(QStringLiteral("https://10.0.12.4:6443"));
        writeFile(
            QStringLiteral("tools/history.json"),
            brokenHistory(name == QStringLiteral("choice-repair") ? "failed" : "pending-install"));
        actions = {[this] { click("nextButton"); }};
        const int answers = name == QStringLiteral("choice-repair-record") ? 1 : 0;
        const Prompt wanted = name == QStringLiteral("choice-repair") ? Prompt::none
                              : answers == 0                          ? Prompt::uninstall
                                                                      : Prompt::removeRecord;
        auto answered = std::make_shared<int>(0);
        m_reached = [=, this] {
            if (!choiceView()) {
                return false;
            }
            DevtronChoiceController& controller = choiceView()->controller();
            if (controller.isTesting() || controller.isCheckingPreflight() ||
                controller.isRepairing()) {
                return false;
            }
            auto* box = m_window->findChild<QMessageBox*>(QStringLiteral("repairAlert"));
            if (controller.preflightResults().isEmpty() || controller.repairPrompt() == wanted) {
                return !controller.preflightResults().isEmpty() &&
                       (wanted == Prompt::none || exposed(box));
            }
            if (controller.repairPrompt() == Prompt::none) {
                click("repairButton");
            } else if (exposed(box) && *answered < answers) {
                ++*answered;
                box->buttons().at(1)->click();
            }
            return false;
        };
    } else if (name.startsWith(QStringLiteral("installation-"))) {
        // The engine's run waits in the held tool check; the clock and the sweep are moved
        // by hand, then left running.
        const bool configureOnly = name == QStringLiteral("installation-configuring");
        writeFile(QStringLiteral("tools/hold"), {});
        onStep(InstallationStep::installation, !configureOnly);
        m_state->setInstallationStartTime(QDateTime::currentDateTime().addSecs(-83));
        m_state->setIsInstalling(true);
        actions = {[=, this] {
            InstallationController& controller = installationView()->controller();
            for (int second = 0; second < (configureOnly ? 4 : 83); ++second) {
                controller.timerTick();
            }
            for (int tick = 0; tick < 120; ++tick) {
                controller.progressTick();
            }
            controller.startTimer();
            controller.startProgressAnimation();
        }};
        if (name == QStringLiteral("installation-done")) {
            actions.emplace_back([=, this] {
                appendLogs({"STATUS: deployed",
                            QT_TRANSLATE_NOOP("GalleryStage", "Devtron安装成功完成！✓"),
                            QT_TRANSLATE_NOOP("GalleryStage", "安装完成，状态: 成功")});
                installationView()->controller().completeInstallation();
            });
            actions.emplace_back([this] { m_holdStep = true; });
        }
        m_reached = [=] {
            return installationView() && installationView()->controller().timer().isActive() &&
                   (name != QStringLiteral("installation-done") ||
                    installationView()->controller().isInstallationCompleted());
        };
    } else if (name.startsWith(QStringLiteral("waiting-"))) {
        // Counted down by hand; the lookup at the end is held, or answered by the stand-in.
        const bool counting = name == QStringLiteral("waiting-countdown") ||
                              name == QStringLiteral("waiting-readiness");
        const int seconds = counting ? 37 : 100;
        if (name == QStringLiteral("waiting-readiness")) {
            writeFile(QStringLiteral("tools/status.json"), podsStarting);
        }
        if (name == QStringLiteral("waiting-retrieving")) {
            writeFile(QStringLiteral("tools/hold"), {});
        } else if (name == QStringLiteral("waiting-unread")) {
            writeFile(QStringLiteral("tools/secret.err"), secretNotFound);
        }
        onStep(InstallationStep::waitingForServices);
        actions = {[=] {
            for (int second = 0; second < seconds; ++second) {
                waitingView()->controller().tick();
            }
        }};
        m_reached = [=] {
            if (!waitingView()) {
                return false;
            }
            WaitingForServicesController& controller = waitingView()->controller();
            if (name == QStringLiteral("waiting-readiness") &&
                !controller.readiness().report().has_value()) {
                return false;
            }
            return name == QStringLiteral("waiting-ready") ||
                           name == QStringLiteral("waiting-unread")
                       ? controller.isComplete()
                       : controller.remainingTime() == 100 - seconds;
        };
    } else if (name.startsWith(QStringLiteral("completion-")) ||
               name.startsWith(QStringLiteral("logviewer"))) {
        finishedInstallation();
        // A ~/.kube/config of the user's own, which the terminal command keeps.
        writeFile(QStringLiteral("home/.kube/config"), validKubeconfig);
        if (name == QStringLiteral("completion-tools-only")) {
            m_state->setInstallDevtron(false);
            m_state->setDevtronUrl({});
            m_state->setDevtronPassword({});
        } else if (name == QStringLiteral("completion-timed-out")) {
            m_state->setInstallationComplete(false);
        } else if (name == QStringLiteral("completion-readiness-stuck")) {
            writeFile(QStringLiteral("tools/status.json"), claimsPending);
            writeFile(QStringLiteral("tools/no-default"), {});
        } else if (name == QStringLiteral("completion-tunnel")) {
            writeFile(QStringLiteral("tools/installer"), {});
            writeFile(QStringLiteral("tools/status.json"), installerApplying);
            m_state->setDevtronUrl({});
            m_state->setDevtronUrlSource(AddressSource::tunnel);
            m_state->setDevtronPassword({});
            m_state->setIsPasswordPending(true);
        } else if (name == QStringLiteral("completion-dashboard-up")) {
            startDashboard();
        } else if (name == QStringLiteral("completion-unread")) {
            m_state->setDevtronPassword({});
            m_state->setDevtronPasswordFailure(QString::fromUtf8(secretNotFound).trimmed());
        }
        m_state->setCurrentStep(InstallationStep::completion);
        const auto controller = [=]() -> CompletionController& {
            return completionView()->controller();
        };
        if (name == QStringLiteral("completion-password-shown")) {
            actions = {[=] { controller().setPasswordVisible(true); }};
        } else if (name.startsWith(QStringLiteral("logviewer"))) {
            appendLogs(laterLines);
            actions = {[=] { controller().setShowingLogViewer(true); }};
            if (name == QStringLiteral("logviewer-search")) {
                actions.emplace_back([=] {
                    logViewer()->controller().setSearchText(QStringLiteral("devtron"));
                    logViewer()->controller().setSelectedLogLevel(LogFilter::LogLevel::result);
                });
            }
        }
        m_reached = [=] {
            if (!completionView()) {
                return false;
            }
            if (name.startsWith(QStringLiteral("logviewer"))) {
                return exposed(logViewer()) && !logViewer()->controller().isIndexing();
            }
            ReadinessWatcher& readiness = completionView()->controller().readiness();
            if (name == QStringLiteral("completion-readiness-stuck")) {
                return readiness.report().has_value() && !readiness.report()->reason.isEmpty();
            }
            if (name == QStringLiteral("completion-dashboard-up")) {
                return readiness.dashboard() == ReadinessWatcher::Dashboard::up;
            }
            if (name == QStringLiteral("completion-tunnel")) {
                return completionView()->controller().tunnel().isForwarding() &&
                       readiness.installerStatus().has_value();
            }
            return true;
        };
    } else if (name.startsWith(QStringLiteral("removal-"))) {
        // Asked for from "Devtron已安装"; the stand-ins hold a release, namespaces of Devtron's
        // and argo, and leave devtron-demo Terminating.
        onChoiceStep();
        m_state->setKubeconfigContext(QStringLiteral("prod"));
        m_state->setClusterServer(QStringLiteral("https://10.0.12.4:6443"));
        writeFile(QStringLiteral("tools/release"), {});
        const auto removal = [this] { return m_window->findChild<RemovalView*>(); };
        actions = {[=] { choiceView()->controller().requestRemoval(); }};
        if (name != QStringLiteral("removal-preview")) {
            actions.emplace_back([=] {
                DevtronRemoval::Limits limits;
                limits.namespaces = std::chrono::milliseconds(300);
                limits.pollInterval = std::chrono::milliseconds(100);
                removal()->controller().setLimits(limits);
                // As typed: insert() is an edit, setText() is not.
                removal()
                    ->findChild<QLineEdit*>(QStringLiteral("confirmField"))
                    ->insert(QStringLiteral("prod"));
            });
        }
        if (name == QStringLiteral("removal-running") || name == QStringLiteral("removal-result")) {
            if (name == QStringLiteral("removal-running")) {
                actions.emplace_back([this] { writeFile(QStringLiteral("tools/hold"), {}); });
            }
            actions.emplace_back([=] { removal()->controller().remove(); });
        }
        m_reached = [=] {
            using Phase = RemovalController::Phase;
            if (removal() == nullptr || !exposed(removal())) {
                return false;
            }
            const RemovalController& controller = removal()->controller();
            if (name == QStringLiteral("removal-preview")) {
                return controller.phase() == Phase::confirming;
            }
            if (name == QStringLiteral("removal-confirmed")) {
                return controller.canRemove();
            }
            if (name == QStringLiteral("removal-running")) {
                return controller.phase() == Phase::removing &&
                       !controller.progressStep().isEmpty();
            }
            return controller.phase() == Phase::finished;
        };
    } else {
        return false;
    }

    m_actions = std::move(actions);
    m_nextAction = 0;
    m_reachedPolls = 0;
    m_hasSettled = false;
    m_window->show();
    m_poll.start();
    return true;
}

void GalleryStage::poll() {
    const QWindow* handle = m_window->windowHandle();
    if (handle == nullptr || !handle->isExposed()) {
        return;
    }
    if (m_nextAction < m_actions.size()) {
        m_actions[m_nextAction++]();
        return;
    }
    if (!m_reached()) {
        m_reachedPolls = 0;
        return;
    }
    if (++m_reachedPolls < settlePolls) {
        return;
    }
    m_poll.stop();
    m_hasSettled = true;
    emit settled();
}

// Devtron's address answering: any HTTP answer will do.
void GalleryStage::startDashboard() {
    auto* server = new QTcpServer(this);
    connect(server, &QTcpServer::newConnection, server, [server] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    server->listen(QHostAddress::LocalHost);
    m_state->setDevtronUrl(QStringLiteral("http://127.0.0.1:%1").arg(server->serverPort()));
}

void GalleryStage::onStep(InstallationStep step, bool installDevtron) {
    m_state->setKubeconfigPath(validKubeconfigPath(), QStringLiteral("~/.kube/my-cluster.yaml"));
    m_state->setInstallDevtron(installDevtron);
    m_state->setCurrentStep(step);
}

// Sample lines are written as the program's own would be, in the language it speaks.
void GalleryStage::appendLogs(std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        m_state->appendLog(QCoreApplication::translate("GalleryStage", line));
    }
}

// The session as the service wait leaves it after a demo installation of 5 minutes 12 seconds.
void GalleryStage::finishedInstallation() {
    m_state->setKubeconfigPath(validKubeconfigPath(), QStringLiteral("~/.kube/my-cluster.yaml"));
    appendLogs({QT_TRANSLATE_NOOP("GalleryStage", "进入步骤: 选择是否安装Devtron"),
                QT_TRANSLATE_NOOP("GalleryStage", "进入步骤: 开始安装过程"),
                QT_TRANSLATE_NOOP("GalleryStage", "开始安装程序..."),
                QT_TRANSLATE_NOOP("GalleryStage", "开始安装Devtron...")});
    appendLogs(setupLines);
    appendLogs(installLines);
    m_state->setDevtronUrl(devtronAddress);
    m_state->setDevtronPassword(devtronPassword);
    m_state->setInstallationTime(312);
    m_state->setInstallationComplete(true);
    m_state->setIsInstalling(false);
}

bool GalleryStage::eventFilter(QObject* watched, QEvent* event) {
    // The session changes steps (and appends log lines) through queued calls to itself.
    if (m_holdStep && watched == m_state.get() && event->type() == QEvent::MetaCall) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QWidget* GalleryStage::screen() const {
    return m_window->contentView()->currentScreen();
}

void GalleryStage::choose(const QString& path) {
    auto* view = qobject_cast<KubeconfigSelectionView*>(screen());
    if (view == nullptr) {
        qWarning("screen_gallery: the kubeconfig screen is not shown");
        return;
    }
    view->setFilePicker([path](QWidget* /*parent*/) { return path; });
    click("browseButton");
}

void GalleryStage::click(const char* objectName) {
    auto* button = screen() ? screen()->findChild<QAbstractButton*>(objectName) : nullptr;
    if (button == nullptr) {
        qWarning("screen_gallery: no button named %s on the current screen", objectName);
        return;
    }
    button->click();
}

void GalleryStage::writeFile(const QString& relativePath, const QByteArray& content) const {
    QFile file(m_dir.filePath(relativePath));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size()) {
        qWarning("screen_gallery: cannot write %s: %s", qPrintable(file.fileName()),
                 qPrintable(file.errorString()));
    }
}

void GalleryStage::writeStandInKubectl() const {
    for (const auto& [name, text] :
         {std::pair{"tools/kubectl", standInKubectl}, std::pair{"tools/helm", standInHelm}}) {
        const QString script = QString::fromLatin1(text).arg(QCoreApplication::applicationPid());
        writeFile(QString::fromLatin1(name), script.toUtf8());
        QFile::setPermissions(m_dir.filePath(QString::fromLatin1(name)),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

void GalleryStage::holdBackgroundPool() {
    // One pool thread, kept busy: the work queued behind it waits until release().
    QThreadPool* pool = &BackgroundJobs::pool();
    m_savedMaxThreadCount = pool->maxThreadCount();
    pool->setMaxThreadCount(1);
    m_poolGate = std::make_shared<QSemaphore>();
    pool->start([gate = m_poolGate] { gate->acquire(); });
}

void GalleryStage::release() {
    if (m_released) {
        return;
    }
    m_released = true;
    m_poll.stop();
    // The stand-in kubectl stops waiting once the hold file is gone.
    QFile::remove(m_dir.filePath(QStringLiteral("tools/hold")));
    QThreadPool* pool = &BackgroundJobs::pool();
    if (m_poolGate) {
        // The held work is dropped: its results would only change a window that is closing.
        pool->clear();
        m_poolGate->release();
        pool->waitForDone();
        pool->setMaxThreadCount(m_savedMaxThreadCount);
        m_poolGate.reset();
    }
    pool->waitForDone();
}
