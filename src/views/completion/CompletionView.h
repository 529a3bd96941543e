#pragma once

#include "views/common/WizardScreenView.h"

class CompletionController;
class CompletionInfoRow;
class InstalledToolRow;
class FloatingNotice;
class LiveStatus;
class QLabel;
class QMessageBox;
class QPushButton;
class QTimer;

// The completion step: the summary, the access data, the terminal command, the installed tools,
// the way to the session log, and "完成". Draws its controller's state; decides nothing itself.
class CompletionView : public WizardScreenView {
    Q_OBJECT

public:
    // Takes the controller over as its child.
    explicit CompletionView(CompletionController* controller, QWidget* parent = nullptr);

    CompletionController& controller() const { return *m_controller; }

protected:
    void showEvent(QShowEvent* event) override;

signals:
    // "查看安装日志": the window opens the log viewer.
    void logViewerRequested();

private:
    QWidget* buildTimeoutNotice();
    QWidget* buildAccessSection();
    QWidget* buildPasswordRow(QWidget* parent);
    QWidget* buildUnreadBox(QWidget* parent);
    // A command in a grey box with its copy button.
    QWidget* commandLine(const QString& command, const QString& name, const QString& copyName,
                         QWidget* parent);
    QWidget* buildCommandSection();
    QWidget* buildToolsSection();
    QWidget* buildLogButton();
    QWidget* buildTimeRow();
    void ensureSaveAlert();
    void updateLayout();
    void updateAccess();
    void updatePassword();
    void updateTime();
    void updateSaveAlert();
    void updateSaveFailure();
    void showNotice(const QString& title);

    CompletionController* m_controller;
    QWidget* m_timeoutNotice = nullptr;
    QWidget* m_accessSection = nullptr;
    QWidget* m_accessRows = nullptr;
    CompletionInfoRow* m_addressRow = nullptr;
    QWidget* m_unreadBox = nullptr;
    QLabel* m_unreadReasons = nullptr;
    QWidget* m_manualCommands = nullptr;
    QPushButton* m_rereadButton = nullptr;
    QWidget* m_rereadBusy = nullptr;
    QWidget* m_timeRow = nullptr;
    QLabel* m_timeText = nullptr;
    QLabel* m_choicesText = nullptr;
    QLabel* m_readinessText = nullptr;
    QWidget* m_accessTimeout = nullptr;
    QWidget* m_keepWarning = nullptr;
    QLabel* m_addressSource = nullptr;
    QWidget* m_tunnelBox = nullptr;
    QLabel* m_tunnelNote = nullptr;
    QWidget* m_tunnelCommand = nullptr;
    QString m_shownTunnelCommand;
    InstalledToolRow* m_devtronRow = nullptr;
    QLabel* m_password = nullptr;
    QPushButton* m_eyeButton = nullptr;
    QPushButton* m_copyPassword = nullptr;
    QMessageBox* m_saveAlert = nullptr;
    FloatingNotice* m_notice = nullptr;
};
