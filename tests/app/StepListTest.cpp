#include "app/StepListView.h"
#include "app/StepRow.h"
#include "app/StepRowModel.h"
#include "session/InstallationState.h"
#include "views/style/Palette.h"

#include <QLabel>

#include <cmath>

#include <gtest/gtest.h>

namespace {

// "<number> <title> <A active | C completed | - neither>" for each row.
QStringList describe(const QList<StepRowModel>& rows) {
    QStringList lines;
    for (const StepRowModel& row : rows) {
        EXPECT_FALSE(row.isActive && row.isCompleted);
        lines << QStringLiteral("%1 %2 %3")
                     .arg(row.number)
                     .arg(row.title)
                     .arg(row.isActive      ? 'A'
                          : row.isCompleted ? 'C'
                                            : '-');
    }
    return lines;
}

TEST(StepRowModel, RowsAndTheirStateForEveryStepWithAndWithoutTheServiceWait) {
    using S = InstallationStep;
    const struct {
        S step;
        bool installDevtron;
        QStringList rows;
    } cases[] = {
        {S::kubeconfigSelection,
         true,
         {"1 选择配置文件 A", "2 选择安装选项 -", "3 安装组件 -", "4 等待服务启动 -",
          "5 安装完成 -"}},
        {S::waitingForServices,
         true,
         {"1 选择配置文件 C", "2 选择安装选项 C", "3 安装组件 C", "4 等待服务启动 A",
          "5 安装完成 -"}},
        {S::completion,
         true,
         {"1 选择配置文件 C", "2 选择安装选项 C", "3 安装组件 C", "4 等待服务启动 C",
          "5 安装完成 A"}},
        {S::devtronChoice,
         false,
         {"1 选择配置文件 C", "2 选择安装选项 A", "3 安装组件 -", "4 安装完成 -"}},
        {S::completion,
         false,
         {"1 选择配置文件 C", "2 选择安装选项 C", "3 安装组件 C", "4 安装完成 A"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describe(StepRowModel::rowsFor(c.step, c.installDevtron)), c.rows)
            << static_cast<int>(c.step) << c.installDevtron;
    }

    const QList<StepRowModel> rows = StepRowModel::rowsFor(S::installation, true);
    const std::tuple<int, QColor, QColor, QFont::Weight> looks[] = {
        {0, Palette::green(), Palette::secondaryText(), QFont::Normal},
        {2, Palette::blue(), Palette::primaryText(), QFont::Medium},
        {3, Palette::withOpacity(Palette::grey(), 0.3), Palette::secondaryText(), QFont::Normal},
    };
    for (const auto& [at, badge, title, weight] : looks) {
        EXPECT_EQ(rows.at(at).badgeColour(), badge) << at;
        EXPECT_EQ(rows.at(at).titleColour(), title) << at;
        EXPECT_EQ(rows.at(at).titleWeight(), weight) << at;
    }
}

TEST(StepListView, FollowsTheInstallChoiceAndTheCurrentStep) {
    InstallationState state;
    StepListView list(state);
    const auto badge = [&](int at) {
        return list.rows().at(at)->findChild<QLabel*>(QStringLiteral("stepBadge"));
    };
    ASSERT_EQ(list.rows().size(), 5);
    state.setInstallDevtron(false);
    ASSERT_EQ(list.rows().size(), 4);
    EXPECT_EQ(badge(3)->text(), QStringLiteral("4"));
    state.setInstallDevtron(true);
    ASSERT_EQ(list.rows().size(), 5);
    EXPECT_EQ(badge(4)->text(), QStringLiteral("5"));

    list.setCurrentStep(InstallationStep::completion);
    for (int at = 0; at < 4; ++at) {
        EXPECT_TRUE(badge(at)->text().isEmpty()) << "a completed row shows the checkmark";
        EXPECT_FALSE(badge(at)->pixmap().isNull());
    }
    const QColor pixel = badge(4)->grab().toImage().pixelColor(3, 10);
    EXPECT_LT(std::abs(pixel.blue() - Palette::blue().blue()) +
                  std::abs(pixel.red() - Palette::blue().red()),
              24);
    const auto* title = list.rows().at(4)->findChild<QLabel*>(QStringLiteral("stepTitle"));
    EXPECT_EQ(title->palette().color(QPalette::WindowText), Palette::primaryText());
}

} // namespace
