#include "app/StepRowModel.h"

#include "views/style/Palette.h"

QColor StepRowModel::badgeColour() const {
    if (isActive) {
        return Palette::blue();
    }
    if (isCompleted) {
        return Palette::green();
    }
    return Palette::badgeFill();
}

QColor StepRowModel::titleColour() const {
    return isActive ? Palette::primaryText() : Palette::secondaryText();
}

QFont::Weight StepRowModel::titleWeight() const {
    return isActive ? QFont::Medium : QFont::Normal;
}

QString StepRowModel::stateText() const {
    if (isActive) {
        return tr("当前步骤");
    }
    if (isSkipped) {
        return tr("已跳过");
    }
    return isCompleted ? tr("已完成") : tr("未开始");
}

QString StepRowModel::accessibleName() const {
    //: A step's row as a screen reader says it: %1 is the step's title, %2 its state.
    return tr("%1，%2").arg(title, stateText());
}

QList<StepRowModel> StepRowModel::rowsFor(InstallationStep current, bool installDevtron,
                                          bool readsExisting) {
    struct Entry {
        InstallationStep step;
        const char* title;
    };
    static const Entry entries[] = {
        {InstallationStep::kubeconfigSelection, QT_TRANSLATE_NOOP("StepRowModel", "选择配置文件")},
        {InstallationStep::devtronChoice, QT_TRANSLATE_NOOP("StepRowModel", "选择安装选项")},
        {InstallationStep::installation, QT_TRANSLATE_NOOP("StepRowModel", "安装组件")},
        {InstallationStep::waitingForServices, QT_TRANSLATE_NOOP("StepRowModel", "等待服务启动")},
        {InstallationStep::completion, QT_TRANSLATE_NOOP("StepRowModel", "安装完成")},
    };

    QList<StepRowModel> rows;
    for (const Entry& entry : entries) {
        if (entry.step == InstallationStep::waitingForServices && !installDevtron) {
            continue;
        }
        StepRowModel row;
        row.number = static_cast<int>(rows.size()) + 1;
        row.title = tr(entry.title);
        row.isActive = current == entry.step;
        // The last step is never shown as done: the wizard ends on it.
        row.isCompleted = entry.step != InstallationStep::completion &&
                          static_cast<int>(current) > static_cast<int>(entry.step);
        if (readsExisting && entry.step == InstallationStep::installation && row.isCompleted) {
            row.isCompleted = false;
            row.isSkipped = true;
        }
        rows.append(row);
    }
    return rows;
}
