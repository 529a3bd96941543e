#pragma once

#include "cluster/PreflightCheck.h"

#include <QWidget>

// One item of the pre-flight checklist: a symbol for its state, what was found, and below it
// what the user can do about it.
class PreflightRow : public QWidget {
    Q_OBJECT

public:
    PreflightRow(const PreflightCheck::Result& result, QWidget* parent = nullptr);

    const PreflightCheck::Result& result() const { return m_result; }

private:
    PreflightCheck::Result m_result;
};
