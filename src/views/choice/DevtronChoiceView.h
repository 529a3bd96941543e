#pragma once

#include "views/choice/DevtronChoiceController.h"
#include "views/common/WizardScreenView.h"

#include <QPointer>

class InstallationState;
class LiveStatus;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QMessageBox;

// The install-choice step: the Devtron switch, what will be installed and configured, the
// running cluster test, and the way on (after a successful test) or back.
class DevtronChoiceView : public WizardScreenView {
    Q_OBJECT

public:
    using TestResult = DevtronChoiceController::TestResult;

    explicit DevtronChoiceView(InstallationState& state, QWidget* parent = nullptr);

    DevtronChoiceController& controller() const { return *m_controller; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildChoicesBox(QWidget* parent);
    // A named row of radio buttons, one per (id, text); the group's ids are the choices.
    QButtonGroup* addRadioGroup(QWidget* box, const QString& name,
                                const QList<std::pair<int, QString>>& choices);
    void updateChoices();
    QWidget* buildFeatureBox(QWidget* parent);
    QWidget* buildToolsBox(QWidget* parent);
    QWidget* buildProgressRow(QWidget* parent);
    QWidget* buildChecklist(QWidget* parent);
    void updateChecklist();
    void updatePreflightConfirm();
    void updateExistingReleaseAlert();
    void updateRepairPrompt();
    void updateSwitch();
    void updateTesting();
    void showTesting(bool testing);
    void updateAlert();

    DevtronChoiceController* m_controller;
    QCheckBox* m_switch = nullptr;
    QWidget* m_choicesBox = nullptr;
    QButtonGroup* m_variantGroup = nullptr;
    QButtonGroup* m_sourceGroup = nullptr;
    QWidget* m_featureBox = nullptr;
    QWidget* m_progressRow = nullptr;
    QWidget* m_checklist = nullptr;
    LiveStatus* m_testingStatus = nullptr;
    QPointer<QMessageBox> m_alert;
};
