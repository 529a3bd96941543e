#pragma once

#include "views/common/WizardScreenView.h"
#include "views/waiting/WaitingForServicesController.h"

#include <optional>

class InstallationState;
class LiveStatus;
class QLabel;
class ProgressBar;

// The service-wait step: the countdown with its bar, the running lookup, the ready mark, and the
// way on once the access data is in the session.
class WaitingForServicesView : public WizardScreenView {
    Q_OBJECT

public:
    explicit WaitingForServicesView(InstallationState& state, QWidget* parent = nullptr);

    WaitingForServicesController& controller() const { return *m_controller; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildStatusBox(QWidget* parent);
    QWidget* buildDevtronBox(QWidget* parent);
    void refresh();

    WaitingForServicesController* m_controller;
    QWidget* m_countdownRow = nullptr;
    LiveStatus* m_countdownLabel = nullptr;
    ProgressBar* m_waitBar = nullptr;
    QWidget* m_retrievingRow = nullptr;
    LiveStatus* m_retrievingText = nullptr;
    QWidget* m_readyRow = nullptr;
    LiveStatus* m_readyText = nullptr;
    QWidget* m_unreadRow = nullptr;
    LiveStatus* m_unreadText = nullptr;
    std::optional<WaitingForServicesController::Status> m_shownStatus;
    QWidget* m_devtronBox = nullptr;
    QLabel* m_devtronText = nullptr;
    QLabel* m_readinessText = nullptr;
    QLabel* m_footerText = nullptr;
};
