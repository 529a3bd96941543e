#pragma once

#include "views/removal/RemovalController.h"

#include <QDialog>

class BusyIndicator;
class InstallationState;
class LiveStatus;
class ProgressBar;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

// The window-modal sheet over the choice screen that removes Devtron: the cluster named, the list
// of what will be removed and kept, the name to type, the run's progress, then what was removed
// and left. It cannot be closed while the run is under way.
class RemovalView : public QDialog {
    Q_OBJECT

public:
    RemovalView(InstallationState& state, const QString& keychainService,
                QWidget* parent = nullptr);

    RemovalController& controller() const { return *m_controller; }

    // Escape and the sheet's close button wait for the run to end.
    void reject() override;

protected:
    // Quitting the application is never held up: only the user's own close waits for the run.
    void closeEvent(QCloseEvent* event) override;

private:
    void updatePhase();
    void updateItems();

    RemovalController* m_controller;
    LiveStatus* m_status = nullptr;
    BusyIndicator* m_busy = nullptr;
    QScrollArea* m_listArea = nullptr;
    QLabel* m_list = nullptr;
    QLabel* m_prompt = nullptr;
    QLineEdit* m_confirmField = nullptr;
    ProgressBar* m_progressBar = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_retryButton = nullptr;
    QPushButton* m_doneButton = nullptr;
};
