#include "views/removal/RemovalController.h"

#include "keychain/Keychain.h"
#include "keychain/KeychainManager.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "shell/ClusterTools.h"
#include "shell/GuiThread.h"

#include <QPointer>

RemovalController::RemovalController(InstallationState& state, QString keychainService,
                                     QObject* parent)
    : QObject(parent), m_state(state), m_keychainService(std::move(keychainService)) {}

QString RemovalController::clusterTarget() const {
    return m_state.clusterTarget();
}

QString RemovalController::expectedConfirmation() const {
    return m_state.kubeconfigContext().isEmpty() ? m_state.clusterServer()
                                                 : m_state.kubeconfigContext();
}

void RemovalController::setConfirmationText(const QString& text) {
    m_confirmationText = text;
    emit confirmationTextChanged();
    if (canRemove() != m_couldRemove) {
        m_couldRemove = canRemove();
        emit canRemoveChanged();
    }
}

bool RemovalController::hasSomethingToRemove() const {
    return std::any_of(m_items.cbegin(), m_items.cend(), [](const DevtronRemoval::Item& item) {
        return item.fate == DevtronRemoval::Fate::remove;
    });
}

bool RemovalController::canRemove() const {
    // An empty name would make an empty field a confirmation.
    return m_phase == Phase::confirming && hasSomethingToRemove() &&
           !expectedConfirmation().isEmpty() && m_confirmationText == expectedConfirmation();
}

void RemovalController::loadPreview() {
    if (m_phase == Phase::removing) {
        return;
    }
    setPhase(Phase::reading);
    setItems({});
    m_previewFailure.clear();
    m_state.appendLog(tr("检查可卸载的Devtron资源，目标集群: %1").arg(clusterTarget()));
    const QPointer<RemovalController> self(this);
    BackgroundJobs::start([self, environment = ClusterTools::environment(m_state.kubeconfigPath()),
                           limits = m_limits, log = m_state.backgroundLogger()] {
        const DevtronRemoval::Preview preview = DevtronRemoval::preview(environment, limits, log);
        postToGuiThread([self, preview] {
            if (!self) {
                return;
            }
            self->m_previewFailure = preview.failure;
            self->setItems(preview.items);
            self->setPhase(preview.failure.isEmpty() ? Phase::confirming : Phase::unreadable);
        });
    });
}

void RemovalController::remove() {
    if (!canRemove()) {
        return;
    }
    m_state.appendLog(tr("用户确认卸载Devtron，目标集群: %1").arg(clusterTarget()));
    setPhase(Phase::removing);
    setProgress(QString(), 0.0);
    const QPointer<RemovalController> self(this);
    const auto progress = [self](const QString& step, double fraction) {
        postToGuiThread([self, step, fraction] {
            if (self) {
                self->setProgress(step, fraction);
            }
        });
    };
    BackgroundJobs::start([self, preview = m_items,
                           environment = ClusterTools::environment(m_state.kubeconfigPath()),
                           limits = m_limits, service = m_keychainService,
                           log = m_state.backgroundLogger(), progress] {
        const Outcome outcome = removeAll(preview, environment, limits, service, log, progress);
        postToGuiThread([self, outcome] {
            if (!self) {
                return;
            }
            self->m_keychainFailure = outcome.keychainFailure;
            self->setItems(outcome.items);
            self->setPhase(Phase::finished);
        });
    });
}

RemovalController::Outcome RemovalController::removeAll(const DevtronRemoval::Items& preview,
                                                        const EnvironmentOverlay& environment,
                                                        const DevtronRemoval::Limits& limits,
                                                        const QString& keychainService,
                                                        const DevtronRemoval::LineLogger& log,
                                                        const DevtronRemoval::Progress& progress) {
    Outcome outcome{DevtronRemoval::run(preview, environment, limits, log, progress), {}};
    // Saved access data belongs to the installation: it goes only once nothing of it is left.
    if (!DevtronRemoval::succeeded(outcome.items)) {
        log(tr("卸载未完成，保留钥匙串中的访问信息"));
        return outcome;
    }
    const KeychainManager keychain(keychainService);
    try {
        for (const QString& key : Keychain::devtronKeys) {
            keychain.deleteItem(key);
        }
        log(tr("已删除钥匙串中保存的Devtron访问信息 ✓"));
    } catch (const KeychainError& error) {
        outcome.keychainFailure = error.userMessage();
        log(tr("删除钥匙串中的访问信息失败: %1").arg(error.logText()));
    }
    return outcome;
}

void RemovalController::close() {
    if (m_phase == Phase::removing) {
        return;
    }
    emit closed();
}

void RemovalController::setPhase(Phase phase) {
    m_phase = phase;
    emit phaseChanged();
    if (canRemove() != m_couldRemove) {
        m_couldRemove = canRemove();
        emit canRemoveChanged();
    }
}

void RemovalController::setItems(const DevtronRemoval::Items& items) {
    m_items = items;
    emit itemsChanged();
}

void RemovalController::setProgress(const QString& step, double fraction) {
    m_progressStep = step;
    m_progress = fraction;
    emit progressChanged();
}
