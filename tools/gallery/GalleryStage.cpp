#include "GalleryStage.h"

#include "app/ContentView.h"
#include "app/ErrorOverlay.h"
#include "app/MainWindow.h"
#include "app/StepListView.h"
#include "session/InstallationState.h"
#include "shell/AppPaths.h"
#include "views/choice/DevtronChoiceView.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"
#include "views/kubeconfig/KubeconfigStepController.h"
#include "views/style/Palette.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSemaphore>
#include <QThreadPool>
#include <QWindow>

namespace {

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

// Two of the five names a kubeconfig needs: too few to pass the check.
const char* const incompleteKubeconfig = "apiVersion: v1\nkind: Config\n";

// Answers "version" at once; holds "get" while the hold file exists and the gallery lives, then
// fails with the recorded error when one is given, else lists namespaces.
const char* const standInKubectl = R"sh(#!/bin/sh
here=$(dirname "$0")
if [ "$1" = version ]; then
    printf 'Client Version: v1.32.3\nKustomize Version: v5.5.0\n'
    exit 0
fi
while [ -e "$here/hold" ] && kill -0 %1 2>/dev/null; do sleep 0.1; done
if [ -s "$here/get.err" ]; then
    cat "$here/get.err" >&2
    exit 1
fi
printf 'NAME          STATUS   AGE\ndefault       Active   3d\n'
)sh";

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

} // namespace

GalleryStage::GalleryStage() {
    // The session writes its log under XDG_STATE_HOME and its private files under
    // XDG_RUNTIME_DIR: both must point here before the session exists.
    const QDir root(m_dir.path());
    root.mkpath(QStringLiteral("state"));
    root.mkpath(QStringLiteral("runtime"));
    root.mkpath(QStringLiteral("tools"));
    root.mkpath(QStringLiteral("home/.kube"));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const auto& [name, folder] :
         {std::pair{"XDG_STATE_HOME", "state"}, std::pair{"XDG_RUNTIME_DIR", "runtime"}}) {
        std::optional<QByteArray> old;
        if (qEnvironmentVariableIsSet(name)) {
            old = qgetenv(name);
        }
        m_savedEnvironment.emplace_back(name, old);
        qputenv(name, QFile::encodeName(root.filePath(QString::fromLatin1(folder))));
    }

    writeFile(QStringLiteral("home/.kube/my-cluster.yaml"), validKubeconfig);
    writeFile(QStringLiteral("home/.kube/incomplete.yaml"), incompleteKubeconfig);
    writeStandInKubectl();
    AppPaths::setToolsDirectoryOverride(root.filePath(QStringLiteral("tools")));

    Palette::applyApplicationFont();
    Palette::applyApplicationPalette();
    m_state = std::make_unique<InstallationState>();
    m_window = std::make_unique<MainWindow>(*m_state);

    m_poll.setInterval(pollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &GalleryStage::poll);
}

GalleryStage::~GalleryStage() {
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
            QStringLiteral("kubeconfig-validating"),
            QStringLiteral("kubeconfig-error"),
            QStringLiteral("error-card-unknown"),
            QStringLiteral("choice-on"),
            QStringLiteral("choice-off"),
            QStringLiteral("choice-testing"),
            QStringLiteral("choice-alert")};
}

QString GalleryStage::validKubeconfigPath() const {
    return m_dir.filePath(QStringLiteral("home/.kube/my-cluster.yaml"));
}

bool GalleryStage::stage(const QString& name) {
    const auto kubeconfigView = [this] { return qobject_cast<KubeconfigSelectionView*>(screen()); };
    const auto choiceView = [this] { return qobject_cast<DevtronChoiceView*>(screen()); };
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
            const auto* alert =
                choiceView()->findChild<QMessageBox*>(QStringLiteral("testFailAlert"));
            return alert != nullptr && alert->isVisible() && alert->windowHandle() != nullptr &&
                   alert->windowHandle()->isExposed();
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
    const QString script =
        QString::fromLatin1(standInKubectl).arg(QCoreApplication::applicationPid());
    writeFile(QStringLiteral("tools/kubectl"), script.toUtf8());
    QFile::setPermissions(m_dir.filePath(QStringLiteral("tools/kubectl")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void GalleryStage::holdBackgroundPool() {
    // One pool thread, kept busy: the work queued behind it waits until release().
    QThreadPool* pool = QThreadPool::globalInstance();
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
    QThreadPool* pool = QThreadPool::globalInstance();
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
