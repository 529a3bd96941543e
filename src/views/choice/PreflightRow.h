#pragma once

#include "cluster/PreflightCheck.h"

#include <QWidget>

class QPushButton;

// One item of the pre-flight checklist: a symbol for its state, what was found, and below it
// what the user can do about it; for a broken release, the button that clears it.
class PreflightRow : public QWidget {
    Q_OBJECT

public:
    PreflightRow(const PreflightCheck::Result& result, QWidget* parent = nullptr);

    const PreflightCheck::Result& result() const { return m_result; }
    // "清理后重新安装"; null unless the item reports a broken release.
    QPushButton* repairButton() const { return m_repairButton; }

signals:
    void repairRequested();

private:
    PreflightCheck::Result m_result;
    QPushButton* m_repairButton = nullptr;
};
