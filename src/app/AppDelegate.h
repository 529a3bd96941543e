#pragma once

#include "app/FocusSnapshotModel.h"
#include "session/InstallationState.h"

#include <QObject>
#include <QPointer>

// Keeps part of the session across focus changes. It never keeps the session alive.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(QObject* parent = nullptr);

    InstallationState* installationState() const { return m_installationState; }
    void setInstallationState(InstallationState* state);

    const FocusSnapshotModel& snapshot() const { return m_snapshot; }

public slots:
    // Inactive takes a snapshot, active restores it; other states change nothing.
    void applicationStateChanged(Qt::ApplicationState applicationState);

private:
    QPointer<InstallationState> m_installationState;
    FocusSnapshotModel m_snapshot;
};
