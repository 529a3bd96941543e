#pragma once

#include "views/common/WizardScreenView.h"

#include <QString>

#include <functional>

class ContextListView;
class InstallationState;
class KubeconfigStepController;
class LiveStatus;
class QLabel;
class QPushButton;
class QStackedWidget;

// The wizard's first screen: choose the kubeconfig file, replace it, and press on to its check.
class KubeconfigSelectionView : public WizardScreenView {
    Q_OBJECT

public:
    // Asks the user for a file and returns its path; empty when the user cancelled.
    using FilePicker = std::function<QString(QWidget* parent)>;

    explicit KubeconfigSelectionView(InstallationState& state, QWidget* parent = nullptr);

    KubeconfigStepController& controller() const { return *m_controller; }
    bool isFilePickerPresented() const { return m_isFilePickerPresented; }

    // Replaces the modal file dialog, so that tests and the gallery never block on it.
    void setFilePicker(FilePicker picker);
    // The modal open-file dialog the screen uses by default.
    static QString pickFileWithDialog(QWidget* parent);

    // Runs the file picker once the current event has been handled.
    void presentCustomFilePicker();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildEmptyPanel();
    QWidget* buildFilePanel();
    void browse();
    void refresh();
    void refreshContexts();
    void elidePath();

    KubeconfigStepController* m_controller;
    FilePicker m_filePicker;
    bool m_isFilePickerPresented = false;

    QStackedWidget* m_panels = nullptr;
    QWidget* m_emptyPanel = nullptr;
    QWidget* m_filePanel = nullptr;
    QLabel* m_fileIcon = nullptr;
    LiveStatus* m_fileNameLabel = nullptr;
    QLabel* m_filePathLabel = nullptr;
    QPushButton* m_browseButton = nullptr;
    QPushButton* m_registerButton = nullptr;
    QPushButton* m_changeButton = nullptr;
    ContextListView* m_contextList = nullptr;
};
