#include "views/kubeconfig/KubeconfigStepController.h"

#include "session/InstallationState.h"
#include "shell/AppPaths.h"
#include "shell/BackgroundJobs.h"
#include "shell/GuiThread.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

KubeconfigStepController::KubeconfigStepController(InstallationState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    connect(&m_state, &InstallationState::kubeconfigPathChanged, this,
            &KubeconfigStepController::kubeconfigPathChanged);
    connect(&m_state, &InstallationState::kubeconfigDisplayPathChanged, this,
            &KubeconfigStepController::kubeconfigDisplayPathChanged);
    // Back from a later step the session works on the private copy of one context: the user's
    // own file is listed again, and the check makes a new copy of whichever context is chosen.
    const QString copy = AppPaths::privateTempDirectory() + KubeconfigContexts::copyFileName();
    if (!m_state.kubeconfigPath().isEmpty() && m_state.kubeconfigPath() == copy) {
        m_state.setKubeconfigPath(m_state.kubeconfigDisplayPath(), m_state.kubeconfigDisplayPath());
    }
    if (!m_state.kubeconfigPath().isEmpty()) {
        readContexts();
    }
}

QString KubeconfigStepController::kubeconfigPath() const {
    return m_state.kubeconfigPath();
}

QString KubeconfigStepController::kubeconfigDisplayPath() const {
    return m_state.kubeconfigDisplayPath();
}

bool KubeconfigStepController::canProceed() const {
    return !m_state.kubeconfigPath().isEmpty() && !m_isValidating;
}

void KubeconfigStepController::chooseFile(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    m_state.setKubeconfigPath(path, path);
    m_state.setKubeconfigContext(QString());
    m_state.setClusterServer(QString());
    m_state.appendLog(tr("用户选择了Kubeconfig文件: %1").arg(QFileInfo(path).fileName()));
    readContexts();
}

void KubeconfigStepController::clearChoice() {
    if (!m_isValidating) {
        m_state.setKubeconfigPath(QString(), QString());
        setContexts({});
    }
}

void KubeconfigStepController::chooseContext(int index) {
    if (index >= 0 && index < m_contexts.size() && !m_isValidating) {
        m_chosenContext = index;
        emit chosenContextChanged();
    }
}

void KubeconfigStepController::readContexts() {
    setContexts({});
    const QString path = m_state.kubeconfigPath();
    const QPointer<KubeconfigStepController> self(this);
    BackgroundJobs::start([self, path] {
        const KubeconfigContexts::List list =
            KubeconfigContexts::readDecodingBase64(path, AppPaths::privateTempDirectory());
        postToGuiThread([self, path, list] {
            if (self && self->m_state.kubeconfigPath() == path) {
                self->setContexts(list);
            }
        });
    });
}

void KubeconfigStepController::setContexts(const KubeconfigContexts::List& list) {
    m_contexts = list.contexts;
    m_contextsFailure = list.failure;
    m_chosenContext = m_contexts.isEmpty() ? -1 : 0;
    // Back from a later step, the context the session used stays chosen.
    for (int i = 0; i < m_contexts.size(); ++i) {
        if (m_contexts[i].name == m_state.kubeconfigContext()) {
            m_chosenContext = i;
        }
    }
    emit contextsChanged();
    emit chosenContextChanged();
}

void KubeconfigStepController::proceed() {
    if (!canProceed()) {
        return;
    }
    setIsValidating(true);
    validateKubeconfigFile();
}

void KubeconfigStepController::validateKubeconfigFile() {
    const QString path = m_state.kubeconfigPath();
    m_state.appendLog(tr("开始验证Kubeconfig文件: %1").arg(QFileInfo(path).fileName()));
    // The list may still be read: then the file's current context is taken, the one the list
    // would have offered first.
    const QString context = m_chosenContext >= 0 ? m_contexts[m_chosenContext].name : QString();
    const QString origin = QFileInfo(m_state.kubeconfigDisplayPath()).absolutePath();

    // Guards are copied into the job; the objects themselves are only touched on the GUI thread.
    const QPointer<KubeconfigStepController> self(this);
    BackgroundJobs::start([self, log = m_state.backgroundLogger(), path, context, origin] {
        const QString temp = AppPaths::privateTempDirectory();
        const KubeconfigValidator::Result result =
            KubeconfigValidator::validateKubeconfigFile(path, temp, log);
        std::optional<KubeconfigContexts::Copy> copy;
        if (result.verdict == KubeconfigValidator::Verdict::valid) {
            const QString adopted = result.decodedFilePath.value_or(path);
            QString name = context;
            if (name.isEmpty()) {
                const KubeconfigContexts::List list = KubeconfigContexts::read(adopted);
                name = list.contexts.isEmpty() ? QString() : list.contexts.constFirst().name;
                if (name.isEmpty()) {
                    // Left to the connection test, whose kubectl says what is wrong.
                    log(list.failure);
                }
            }
            if (!name.isEmpty()) {
                copy = KubeconfigContexts::writeSingleContextCopy(adopted, name, origin, temp);
            }
        }
        postToGuiThread([self, path, result, copy] {
            if (self) {
                self->deliver(result, copy, path);
            }
        });
    });
}

void KubeconfigStepController::deliver(const KubeconfigValidator::Result& result,
                                       const std::optional<KubeconfigContexts::Copy>& copy,
                                       const QString& validatedPath) {
    setIsValidating(false);
    // A result for a file that is no longer the chosen one would advance with the wrong file.
    if (m_state.kubeconfigPath() != validatedPath) {
        return;
    }
    if (result.decodedFilePath) {
        m_state.setKubeconfigPath(*result.decodedFilePath, m_state.kubeconfigDisplayPath());
    }
    switch (result.verdict) {
    case KubeconfigValidator::Verdict::valid:
        if (copy && copy->path.isEmpty()) {
            // Going on with the whole file would reach its current context, maybe not the chosen.
            m_state.showError(copy->failure);
            return;
        }
        if (copy) {
            m_state.setKubeconfigPath(copy->path, m_state.kubeconfigDisplayPath());
            m_state.setKubeconfigContext(copy->context.name);
            m_state.setClusterServer(copy->context.server);
            //: %1 is a kubeconfig context's name, %2 its cluster's server address.
            m_state.appendLog(
                tr("使用上下文: %1，集群: %2").arg(copy->context.name, copy->context.server));
        }
        m_state.appendLog(tr("Kubeconfig文件验证成功 ✓"));
        m_state.moveToNextStep();
        break;
    case KubeconfigValidator::Verdict::invalid:
        m_state.showError(KubeconfigValidator::invalidMessage(result.missingFields));
        break;
    case KubeconfigValidator::Verdict::readFailure:
        m_state.showError(KubeconfigValidator::readFailureMessage(result.failureDescription));
        break;
    }
}

void KubeconfigStepController::openURL(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return;
    }
    QDesktopServices::openUrl(url);
}

void KubeconfigStepController::setIsValidating(bool value) {
    m_isValidating = value;
    emit isValidatingChanged();
}
