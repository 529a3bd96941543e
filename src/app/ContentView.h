#pragma once

#include "app/ErrorOverlay.h"
#include "session/InstallationStep.h"

#include <QPointer>
#include <QWidget>

class InstallationState;
class QVBoxLayout;
class StepListView;

// The step list beside the current step's screen, and the error layers over both.
class ContentView : public QWidget {
    Q_OBJECT

public:
    explicit ContentView(InstallationState& state, QWidget* parent = nullptr);

    QWidget* currentScreen() const { return m_screen; }
    StepListView* stepList() const { return m_stepList; }
    // Present only while the session shows an error.
    ErrorOverlay* errorOverlay() const { return m_errorOverlay; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildSideColumn();
    void showStep(InstallationStep step);
    void updateErrorLayers();
    void updateErrorMessage();

    InstallationState& m_state;
    QWidget* m_sideColumn = nullptr;
    StepListView* m_stepList = nullptr;
    QWidget* m_screenArea = nullptr;
    QVBoxLayout* m_screenLayout = nullptr;
    QPointer<QWidget> m_screen;
    InstallationStep m_shownStep = InstallationStep::kubeconfigSelection;
    QPointer<ErrorOverlay> m_errorOverlay;
};
