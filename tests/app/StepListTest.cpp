#include "app/StepListView.h"
#include "app/StepRow.h"
#include "app/StepRowModel.h"
#include "session/InstallationState.h"
#include "views/Palette.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

// One letter per row: A active, C completed, - neither.
QString states(const QList<StepRowModel>& rows) {
    QString result;
    for (const StepRowModel& row : rows) {
        EXPECT_FALSE(row.isActive && row.isCompleted) << row.title.toStdString();
        result += row.isActive      ? QLatin1Char('A')
                  : row.isCompleted ? QLatin1Char('C')
                                    : QLatin1Char('-');
    }
    return result;
}

QStringList titles(const QList<StepRowModel>& rows) {
    QStringList result;
    for (const StepRowModel& row : rows) {
        result << QStringLiteral("%1 %2").arg(row.number).arg(row.title);
    }
    return result;
}

QLabel* badgeOf(StepRow* row) {
    return row->findChild<QLabel*>(QStringLiteral("stepBadge"));
}
QLabel* titleOf(StepRow* row) {
    return row->findChild<QLabel*>(QStringLiteral("stepTitle"));
}

bool badgeShows(StepRow* row, const QColor& colour) {
    const QColor pixel = badgeOf(row)->grab().toImage().pixelColor(3, 10);
    return std::abs(pixel.red() - colour.red()) < 12 &&
           std::abs(pixel.green() - colour.green()) < 12 &&
           std::abs(pixel.blue() - colour.blue()) < 12;
}

} // namespace

TEST(StepRowModel, FiveRowsWithTheServiceWaitAndTheirStateForEveryStep) {
    const QStringList expectedTitles{QStringLiteral("1 选择配置文件"),
                                     QStringLiteral("2 选择安装选项"), QStringLiteral("3 安装组件"),
                                     QStringLiteral("4 等待服务启动"),
                                     QStringLiteral("5 安装完成")};
    const std::pair<InstallationStep, QString> expected[] = {
        {InstallationStep::kubeconfigSelection, QStringLiteral("A----")},
        {InstallationStep::devtronChoice, QStringLiteral("CA---")},
        {InstallationStep::installation, QStringLiteral("CCA--")},
        {InstallationStep::waitingForServices, QStringLiteral("CCCA-")},
        {InstallationStep::completion, QStringLiteral("CCCCA")},
    };
    for (const auto& [step, rowStates] : expected) {
        const QList<StepRowModel> rows = StepRowModel::rowsFor(step, true);
        EXPECT_EQ(titles(rows), expectedTitles);
        EXPECT_EQ(states(rows), rowStates) << static_cast<int>(step);
    }
}

TEST(StepRowModel, FourRowsWithoutTheServiceWaitAndTheLastRenumbered) {
    const QStringList expectedTitles{QStringLiteral("1 选择配置文件"),
                                     QStringLiteral("2 选择安装选项"), QStringLiteral("3 安装组件"),
                                     QStringLiteral("4 安装完成")};
    const std::pair<InstallationStep, QString> expected[] = {
        {InstallationStep::kubeconfigSelection, QStringLiteral("A---")},
        {InstallationStep::devtronChoice, QStringLiteral("CA--")},
        {InstallationStep::installation, QStringLiteral("CCA-")},
        {InstallationStep::completion, QStringLiteral("CCCA")},
    };
    for (const auto& [step, rowStates] : expected) {
        const QList<StepRowModel> rows = StepRowModel::rowsFor(step, false);
        EXPECT_EQ(titles(rows), expectedTitles);
        EXPECT_EQ(states(rows), rowStates) << static_cast<int>(step);
    }
}

TEST(StepRowModel, ActiveRowsAreBlueAndBoldCompletedGreenAndTheRestFaint) {
    const QList<StepRowModel> rows = StepRowModel::rowsFor(InstallationStep::installation, true);
    const StepRowModel& done = rows.at(0);
    const StepRowModel& active = rows.at(2);
    const StepRowModel& pending = rows.at(3);

    EXPECT_EQ(active.badgeColour(), Palette::blue());
    EXPECT_EQ(active.titleColour(), Palette::primaryText());
    EXPECT_EQ(active.titleWeight(), QFont::Medium);

    EXPECT_EQ(done.badgeColour(), Palette::green());
    EXPECT_EQ(done.titleColour(), Palette::secondaryText());
    EXPECT_EQ(done.titleWeight(), QFont::Normal);

    EXPECT_EQ(pending.badgeColour(), Palette::withOpacity(Palette::grey(), 0.3));
    EXPECT_EQ(pending.titleColour(), Palette::secondaryText());
    EXPECT_EQ(pending.titleWeight(), QFont::Normal);
}

TEST(StepListView, FollowsTheInstallChoiceAndTheCurrentStep) {
    InstallationState state;
    StepListView list(state);
    ASSERT_EQ(list.rows().size(), 5);
    EXPECT_EQ(titleOf(list.rows().at(3))->text(), QStringLiteral("等待服务启动"));

    state.setInstallDevtron(false);
    ASSERT_EQ(list.rows().size(), 4);
    EXPECT_EQ(titleOf(list.rows().at(3))->text(), QStringLiteral("安装完成"));
    EXPECT_EQ(badgeOf(list.rows().at(3))->text(), QStringLiteral("4"));

    state.setInstallDevtron(true);
    ASSERT_EQ(list.rows().size(), 5);
    EXPECT_EQ(titleOf(list.rows().at(3))->text(), QStringLiteral("等待服务启动"));
    EXPECT_EQ(badgeOf(list.rows().at(3))->text(), QStringLiteral("4"));
    EXPECT_EQ(badgeOf(list.rows().at(4))->text(), QStringLiteral("5"));

    list.setCurrentStep(InstallationStep::completion);
    const QList<StepRow*> rows = list.rows();
    ASSERT_EQ(rows.size(), 5);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(badgeOf(rows.at(i))->text().isEmpty()) << "a completed row shows the checkmark";
        EXPECT_FALSE(badgeOf(rows.at(i))->pixmap().isNull());
        EXPECT_TRUE(badgeShows(rows.at(i), Palette::green()));
        EXPECT_EQ(titleOf(rows.at(i))->palette().color(QPalette::WindowText),
                  Palette::secondaryText());
    }
    EXPECT_EQ(badgeOf(rows.at(4))->text(), QStringLiteral("5"));
    EXPECT_TRUE(badgeShows(rows.at(4), Palette::blue()));
    EXPECT_EQ(titleOf(rows.at(4))->palette().color(QPalette::WindowText), Palette::primaryText());
    EXPECT_EQ(titleOf(rows.at(4))->font().weight(), QFont::Medium);
}
