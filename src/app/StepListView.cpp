#include "app/StepListView.h"

#include "app/StepRow.h"
#include "session/InstallationState.h"
#include "views/common/AccessibleWidgets.h"

#include <QVBoxLayout>

StepListView::StepListView(InstallationState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_currentStep(state.currentStep()),
      m_layout(new QVBoxLayout(this)) {
    AccessibleWidgets::setRole(this, QAccessible::List);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(18);
    m_layout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(&m_state, &InstallationState::installDevtronChanged, this, &StepListView::rebuild);
    connect(&m_state, &InstallationState::readsExistingInstallationChanged, this,
            &StepListView::rebuild);
    rebuild();
}

void StepListView::setCurrentStep(InstallationStep step) {
    m_currentStep = step;
    rebuild();
}

void StepListView::rebuild() {
    const QList<StepRowModel> models = StepRowModel::rowsFor(
        m_currentStep, m_state.installDevtron(), m_state.readsExistingInstallation());
    // Rows are plain labels with no pending events of their own, so they can go at once.
    qDeleteAll(m_rows);
    m_rows.clear();
    for (const StepRowModel& model : models) {
        auto* row = new StepRow(model, this);
        m_layout->addWidget(row);
        m_rows.append(row);
    }
}
