#include "views/kubeconfig/KubeconfigStepController.h"

#include "session/InstallationState.h"
#include "shell/AppPaths.h"
#include "shell/BackgroundJobs.h"
#include "shell/GuiThread.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

KubeconfigStepController::KubeconfigStepController(InstallationState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    connect(&m_state, &InstallationState::kubeconfigPathChanged, this,
            &KubeconfigStepController::kubeconfigPathChanged);
    connect(&m_state, &InstallationState::kubeconfigDisplayPathChanged, this,
            &KubeconfigStepController::kubeconfigDisplayPathChanged);
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
    m_state.appendLog(tr("用户选择了Kubeconfig文件: %1").arg(QFileInfo(path).fileName()));
}

void KubeconfigStepController::clearChoice() {
    if (!m_isValidating) {
        m_state.setKubeconfigPath(QString(), QString());
    }
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

    // Guards are copied into the job; the objects themselves are only touched on the GUI thread.
    const QPointer<KubeconfigStepController> self(this);
    BackgroundJobs::start([self, log = m_state.backgroundLogger(), path] {
        const KubeconfigValidator::Result result = KubeconfigValidator::validateKubeconfigFile(
            path, AppPaths::privateTempDirectory(), log);
        postToGuiThread([self, path, result] {
            if (self) {
                self->deliver(result, path);
            }
        });
    });
}

void KubeconfigStepController::deliver(const KubeconfigValidator::Result& result,
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
