#pragma once

#include "app/StepRowModel.h"

#include <QWidget>

class QLabel;

// A numbered badge and the step's title.
class StepRow : public QWidget {
    Q_OBJECT

public:
    explicit StepRow(const StepRowModel& model, QWidget* parent = nullptr);

    const StepRowModel& model() const { return m_model; }

private:
    StepRowModel m_model;
};
