#pragma once

#include <QWidget>

class InstallationState;
class QLabel;
class QPushButton;
class ProgressBar;
class WaitingForServicesController;

// The service-wait step: the countdown with its bar, the running lookup, the ready mark, and the
// way on once the access data is in the session.
class WaitingForServicesView : public QWidget {
    Q_OBJECT

public:
    explicit WaitingForServicesView(InstallationState& state, QWidget* parent = nullptr);

    WaitingForServicesController& controller() const { return *m_controller; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildStatusBox();
    QWidget* buildDevtronBox();
    QWidget* buildBottomBar();
    void refresh();

    WaitingForServicesController* m_controller;
    QWidget* m_countdownRow = nullptr;
    QLabel* m_countdownLabel = nullptr;
    ProgressBar* m_waitBar = nullptr;
    QWidget* m_retrievingRow = nullptr;
    QWidget* m_readyRow = nullptr;
    QWidget* m_unreadRow = nullptr;
    QLabel* m_unreadText = nullptr;
    QWidget* m_devtronBox = nullptr;
    QLabel* m_devtronText = nullptr;
    QLabel* m_readinessText = nullptr;
    QLabel* m_footerText = nullptr;
    QPushButton* m_nextButton = nullptr;
};
