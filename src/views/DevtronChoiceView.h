#pragma once

#include "views/ClusterConnectionTest.h"

#include <QWidget>

class InstallationState;
class QAbstractButton;
class QCheckBox;
class QFrame;
class QMessageBox;
class QPushButton;
class QScrollArea;

// The install-choice step: the Devtron switch, what will be installed and configured, the
// running cluster test, and the way on (after a successful test) or back.
class DevtronChoiceView : public QWidget {
    Q_OBJECT

public:
    using TestResult = ClusterConnectionTest::TestResult;

    explicit DevtronChoiceView(InstallationState& state, QWidget* parent = nullptr);

    const ClusterConnectionTest& connectionTest() const { return *m_test; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildFeatureBox();
    QWidget* buildToolsBox();
    QWidget* buildProgressRow();
    QWidget* buildNavigation();
    void updateSwitch();
    void updateTesting();
    void updateAlert();
    void ensureAlert();

    InstallationState& m_state;
    ClusterConnectionTest* m_test;
    QCheckBox* m_switch = nullptr;
    QWidget* m_featureBox = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_progressRow = nullptr;
    QPushButton* m_backButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QMessageBox* m_alert = nullptr;
    QAbstractButton* m_alertBackButton = nullptr;
};
