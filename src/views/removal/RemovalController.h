#pragma once

#include "cluster/DevtronRemoval.h"

#include <QObject>
#include <QString>
#include <QStringList>

class InstallationState;

// Removing Devtron from the session's cluster: what the cluster holds of it (the preview), the
// typed confirmation that names the cluster, the run with its progress, and what was removed and
// left. Lives on the GUI thread; the preview and the run are background jobs whose answers count
// only while this object exists. After a complete removal the access data the completion screen
// saved is removed from the keychain too.
class RemovalController : public QObject {
    Q_OBJECT
    Q_PROPERTY(Phase phase READ phase NOTIFY phaseChanged)
    Q_PROPERTY(QString confirmationText READ confirmationText WRITE setConfirmationText NOTIFY
                   confirmationTextChanged)
    Q_PROPERTY(bool canRemove READ canRemove NOTIFY canRemoveChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)

public:
    // `unreadable`: the preview could not say what exists; nothing can be removed.
    enum class Phase { reading, confirming, unreadable, removing, finished };
    Q_ENUM(Phase)

    RemovalController(InstallationState& state, QString keychainService, QObject* parent = nullptr);

    Phase phase() const { return m_phase; }
    // The cluster as the user knows it, and the name to be typed: the context, else the server.
    QString clusterTarget() const;
    QString expectedConfirmation() const;
    const QString& confirmationText() const { return m_confirmationText; }
    void setConfirmationText(const QString& text);
    // Confirming, something to remove, and the typed name matches exactly.
    bool canRemove() const;
    // The preview's items, then, once finished, the same items with their outcome.
    const DevtronRemoval::Items& items() const { return m_items; }
    bool hasSomethingToRemove() const;
    const QString& previewFailure() const { return m_previewFailure; }
    const QString& progressStep() const { return m_progressStep; }
    double progress() const { return m_progress; }
    bool succeeded() const {
        return m_phase == Phase::finished && DevtronRemoval::succeeded(m_items);
    }
    // Why the keychain items could not be removed; empty when they were, or were not touched.
    const QString& keychainFailure() const { return m_keychainFailure; }

    void setLimits(const DevtronRemoval::Limits& limits) { m_limits = limits; }
    // Asks the cluster what exists; the answer arrives as phaseChanged.
    void loadPreview();
    // Starts the run when canRemove(); does nothing otherwise.
    void remove();
    // The user leaves the screen; not while the run is under way.
    void close();

signals:
    void phaseChanged();
    void itemsChanged();
    void confirmationTextChanged();
    void canRemoveChanged();
    void progressChanged();
    void closed();

private:
    struct Outcome {
        DevtronRemoval::Items items;
        QString keychainFailure;
    };

    static Outcome removeAll(const DevtronRemoval::Items& preview,
                             const EnvironmentOverlay& environment,
                             const DevtronRemoval::Limits& limits, const QString& keychainService,
                             const DevtronRemoval::LineLogger& log,
                             const DevtronRemoval::Progress& progress);
    void setPhase(Phase phase);
    void setItems(const DevtronRemoval::Items& items);
    void setProgress(const QString& step, double fraction);

    InstallationState& m_state;
    QString m_keychainService;
    DevtronRemoval::Limits m_limits;
    Phase m_phase = Phase::reading;
    DevtronRemoval::Items m_items;
    QString m_previewFailure;
    QString m_confirmationText;
    bool m_couldRemove = false;
    QString m_progressStep;
    double m_progress = 0.0;
    QString m_keychainFailure;
};
