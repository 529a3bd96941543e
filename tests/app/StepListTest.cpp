#include "app/StepListView.h"
#include "app/StepRow.h"
#include "app/StepRowModel.h"
#include "session/InstallationState.h"

#include <QAccessible>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

// Each row's state, top to bottom: A active, C completed, - neither; titles joined by spaces.
// S skipped.
std::pair<QString, QString> describe(InstallationStep step, bool installDevtron,
                                     bool readsExisting = false) {
    QString states;
    QStringList titles;
    for (const StepRowModel& row : StepRowModel::rowsFor(step, installDevtron, readsExisting)) {
        EXPECT_FALSE(row.isActive && row.isCompleted);
        EXPECT_EQ(row.number, states.size() + 1);
        states += row.isActive ? 'A' : (row.isCompleted ? 'C' : (row.isSkipped ? 'S' : '-'));
        titles << row.title;
    }
    return {states, titles.join(' ')};
}

TEST(StepRowModel, RowsAndTheirStateForEveryStepWithAndWithoutTheServiceWait) {
    using S = InstallationStep;
    const QString all = QStringLiteral("选择配置文件 选择安装选项 安装组件 等待服务启动 安装完成");
    const QString withoutWait = QStringLiteral("选择配置文件 选择安装选项 安装组件 安装完成");
    const std::tuple<S, bool, const char*> cases[] = {
        {S::kubeconfigSelection, true, "A----"}, {S::waitingForServices, true, "CCCA-"},
        {S::completion, true, "CCCCA"},          {S::devtronChoice, false, "CA--"},
        {S::completion, false, "CCCA"},
    };
    for (const auto& [step, installDevtron, states] : cases) {
        EXPECT_EQ(describe(step, installDevtron),
                  std::pair(QString::fromLatin1(states), installDevtron ? all : withoutWait))
            << static_cast<int>(step) << installDevtron;
    }
    // Reading an existing installation's access data installs nothing.
    EXPECT_EQ(describe(S::completion, true, true).first, QStringLiteral("CCSCA"));
}

TEST(StepListView, FollowsTheInstallChoiceAndTheCurrentStep) {
    InstallationState state;
    StepListView list(state);
    // What the eye sees on the badges, and what a reader hears of each row as a whole.
    QStringList heard;
    const auto badges = [&] {
        QStringList texts;
        heard.clear();
        for (StepRow* row : list.rows()) {
            const auto* badge = row->findChild<QLabel*>(QStringLiteral("stepBadge"));
            texts << (badge->pixmap().isNull() ? badge->text() : QStringLiteral("✓"));
            QAccessibleInterface* item = QAccessible::queryAccessibleInterface(row);
            EXPECT_EQ(item->role(), QAccessible::ListItem);
            EXPECT_EQ(item->childCount(), 0);
            heard << item->text(QAccessible::Name);
        }
        return texts.join(' ');
    };
    state.setInstallDevtron(false);
    list.setCurrentStep(InstallationStep::devtronChoice);
    EXPECT_EQ(badges(), QStringLiteral("✓ 2 3 4"));
    EXPECT_EQ(heard, (QStringList{"选择配置文件，已完成", "选择安装选项，当前步骤",
                                  "安装组件，未开始", "安装完成，未开始"}));
    state.setInstallDevtron(true);
    list.setCurrentStep(InstallationStep::completion);
    EXPECT_EQ(badges(), QStringLiteral("✓ ✓ ✓ ✓ 5"));
    EXPECT_EQ(heard.last(), QStringLiteral("安装完成，当前步骤"));
}

} // namespace
