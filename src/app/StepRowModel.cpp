#include "app/StepRowModel.h"

#include "views/style/Palette.h"

QColor StepRowModel::badgeColour() const {
    if (isActive) {
        return Palette::blue();
    }
    if (isCompleted) {
        return Palette::green();
    }
    return Palette::withOpacity(Palette::grey(), 0.3);
}

QColor StepRowModel::titleColour() const {
    return isActive ? Palette::primaryText() : Palette::secondaryText();
}

QFont::Weight StepRowModel::titleWeight() const {
    return isActive ? QFont::Medium : QFont::Normal;
}

QString StepRowModel::stateText() const {
    if (isActive) {
        return QStringLiteral("当前步骤");
    }
    return isCompleted ? QStringLiteral("已完成") : QStringLiteral("未开始");
}

QString StepRowModel::accessibleName() const {
    return title + QStringLiteral("，") + stateText();
}

QList<StepRowModel> StepRowModel::rowsFor(InstallationStep current, bool installDevtron) {
    struct Entry {
        InstallationStep step;
        const char* title;
    };
    static const Entry entries[] = {
        {InstallationStep::kubeconfigSelection, "选择配置文件"},
        {InstallationStep::devtronChoice, "选择安装选项"},
        {InstallationStep::installation, "安装组件"},
        {InstallationStep::waitingForServices, "等待服务启动"},
        {InstallationStep::completion, "安装完成"},
    };

    QList<StepRowModel> rows;
    for (const Entry& entry : entries) {
        if (entry.step == InstallationStep::waitingForServices && !installDevtron) {
            continue;
        }
        StepRowModel row;
        row.number = static_cast<int>(rows.size()) + 1;
        row.title = QString::fromUtf8(entry.title);
        row.isActive = current == entry.step;
        // The last step is never shown as done: the wizard ends on it.
        row.isCompleted = entry.step != InstallationStep::completion &&
                          static_cast<int>(current) > static_cast<int>(entry.step);
        rows.append(row);
    }
    return rows;
}
