#pragma once

#include "session/InstallationStep.h"

#include <QWidget>

// Stands in for a step whose screen does not exist yet: an empty area with no text.
class PendingStepPlaceholder : public QWidget {
    Q_OBJECT

public:
    explicit PendingStepPlaceholder(InstallationStep step, QWidget* parent = nullptr);

    InstallationStep step() const { return m_step; }

private:
    InstallationStep m_step;
};
