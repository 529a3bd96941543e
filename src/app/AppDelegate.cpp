#include "app/AppDelegate.h"

#include "session/InstallationState.h"

AppDelegate::AppDelegate(QObject* parent) : QObject(parent) {}

void AppDelegate::setInstallationState(InstallationState* state) {
    m_installationState = state;
}

void AppDelegate::applicationStateChanged(Qt::ApplicationState applicationState) {
    if (m_installationState.isNull()) {
        return;
    }
    if (applicationState == Qt::ApplicationInactive) {
        m_snapshot.capture(*m_installationState);
    } else if (applicationState == Qt::ApplicationActive) {
        m_snapshot.restore(*m_installationState);
    }
}
