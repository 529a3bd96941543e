#pragma once

#include "session/InstallationStep.h"

class InstallationState;
class QWidget;

// A fresh screen for the step, owned by the parent.
QWidget* createStepScreen(InstallationStep step, InstallationState& state, QWidget* parent);
