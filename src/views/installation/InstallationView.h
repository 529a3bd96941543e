#pragma once

#include <QWidget>

class BusyIndicator;
class InstallationController;
class InstallationState;
class LiveStatus;
class ProgressBar;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The installation step's screen: title, elapsed time, progress bar, status, the growing session
// log and the way on after success. Layout and bindings only; the run is the controller's.
class InstallationView : public QWidget {
    Q_OBJECT

public:
    explicit InstallationView(InstallationState& state, QWidget* parent = nullptr);

    InstallationController& controller() const { return *m_controller; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildProgressBlock();
    QWidget* buildLogBlock();
    QWidget* buildBottomRow();
    void updateTitle();
    void updateElapsed();
    void updateProgress();
    void updateCompleted();
    void appendNewLogText();

    InstallationState& m_state;
    InstallationController* m_controller;
    QLabel* m_title = nullptr;
    LiveStatus* m_elapsed = nullptr;
    ProgressBar* m_progressBar = nullptr;
    BusyIndicator* m_spinner = nullptr;
    QLabel* m_doneIcon = nullptr;
    LiveStatus* m_statusText = nullptr;
    QPushButton* m_copyButton = nullptr;
    QPlainTextEdit* m_logArea = nullptr;
    qsizetype m_shownLogLength = 0;
    QLabel* m_warning = nullptr;
    QPushButton* m_nextButton = nullptr;
};
