#pragma once

#include "session/InstallationStep.h"

#include <QList>
#include <QWidget>

class InstallationState;
class QVBoxLayout;
class StepRow;

// The wizard's steps with their state, beside the current screen.
class StepListView : public QWidget {
    Q_OBJECT

public:
    explicit StepListView(InstallationState& state, QWidget* parent = nullptr);

    InstallationStep currentStep() const { return m_currentStep; }
    void setCurrentStep(InstallationStep step);

    QList<StepRow*> rows() const { return m_rows; }

private:
    void rebuild();

    InstallationState& m_state;
    InstallationStep m_currentStep;
    QVBoxLayout* m_layout;
    QList<StepRow*> m_rows;
};
