#pragma once

#include "views/common/WizardScreenView.h"

class BusyIndicator;
class FloatingNotice;
class InstallationController;
class InstallationState;
class LiveStatus;
class ProgressBar;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The installation step's screen: title, elapsed time, progress bar, status, the growing session
// log and the way on after success. Layout and bindings only; the run is the controller's.
class InstallationView : public WizardScreenView {
    Q_OBJECT

public:
    explicit InstallationView(InstallationState& state, QWidget* parent = nullptr);

    InstallationController& controller() const { return *m_controller; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildProgressBlock(QWidget* parent);
    QWidget* buildLogBlock(QWidget* parent);
    void updateTitle();
    void updateElapsed();
    void updateProgress();
    void updateCompleted();
    void appendNewLogText();

    InstallationState& m_state;
    InstallationController* m_controller;
    LiveStatus* m_elapsed = nullptr;
    ProgressBar* m_progressBar = nullptr;
    BusyIndicator* m_spinner = nullptr;
    QLabel* m_doneIcon = nullptr;
    LiveStatus* m_statusText = nullptr;
    QPushButton* m_copyButton = nullptr;
    QPlainTextEdit* m_logArea = nullptr;
    qsizetype m_shownLogLength = 0;
    QLabel* m_warning = nullptr;
    FloatingNotice* m_notice = nullptr;
};
