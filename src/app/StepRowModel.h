#pragma once

#include "session/InstallationStep.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QList>
#include <QString>

// One row of the step list: what it shows and how it looks for the current step.
struct StepRowModel {
    int number = 0;
    QString title;
    bool isActive = false;
    bool isCompleted = false;
    // Passed over in this session: the installation, when an existing one's access data was read.
    bool isSkipped = false;

    // Blue while active, else green once completed, else faint grey.
    QColor badgeColour() const;
    QColor titleColour() const;
    QFont::Weight titleWeight() const;
    // The state the colours show, in words: "已完成", "当前步骤", "已跳过" or "未开始".
    QString stateText() const;
    // What a screen reader says for the row: the title and its state.
    QString accessibleName() const;

    // The rows for the current step, top to bottom: five with the service wait, four without.
    // With `readsExisting`, the installation step is skipped rather than done.
    static QList<StepRowModel> rowsFor(InstallationStep current, bool installDevtron,
                                       bool readsExisting = false);

    bool operator==(const StepRowModel& other) const = default;

    Q_DECLARE_TR_FUNCTIONS(StepRowModel)
};
