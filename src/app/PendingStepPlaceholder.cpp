#include "app/PendingStepPlaceholder.h"

PendingStepPlaceholder::PendingStepPlaceholder(InstallationStep step, QWidget* parent)
    : QWidget(parent), m_step(step) {}
