#include "views/logviewer/LogFilter.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using Level = LogFilter::LogLevel;

// A session log with every kind of line the level picker tells apart, an empty line, a line
// whose lower-case form is longer by more than the next line's last word ("İ" becomes two
// characters) and a message that spans two lines.
const QString sessionLog = QStringLiteral("[2026-12-05 14:03:07] === 安装开始 ===\n"
                                          "[2026-12-05 14:03:08] İİİİİİİİİİİİNGRESS 已就绪\n"
                                          "[2026-12-05 14:03:09] 执行命令: helm status devtron\n"
                                          "[2026-12-05 14:03:10] >> STATUS: deployed\n"
                                          "[2026-12-05 14:03:11] !! Error: release not found\n"
                                          "\n"
                                          "[2026-12-05 14:03:12] 命令行工具已配置\n"
                                          "[2026-12-05 14:03:13] 安装失败: timeout\n"
                                          "[2026-12-05 14:03:14] 错误: 连接失败\n"
                                          "[2026-12-05 14:03:15] ✓ kubectl error budget ok\n"
                                          "  second line of a message\n");

QString lines(const QStringList& texts) {
    QStringList stamped;
    for (const QString& text : texts) {
        stamped << (text.startsWith(' ') ? text : QStringLiteral("[2026-12-05 14:03:") + text);
    }
    return stamped.join('\n');
}

struct FilterCase {
    const char* name;
    QString search;
    Level level;
    QString shown;

    friend void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.name; }
};

class LogFilterCases : public ::testing::TestWithParam<FilterCase> {};

TEST_P(LogFilterCases, ShowsExactlyTheMatchingLines) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(LogFilter(sessionLog).filteredLogs(c.search, c.level).toStdString(),
              c.shown.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    LogViewer, LogFilterCases,
    ::testing::Values(
        FilterCase{"UnfilteredIsTheLogItself", {}, Level::all, sessionLog},
        FilterCase{"SearchIgnoresLetterCase", QStringLiteral("ERROR"), Level::all,
                   lines({"11] !! Error: release not found", "15] ✓ kubectl error budget ok"})},
        FilterCase{"SearchAndLevelTogether", QStringLiteral("错误"), Level::error,
                   lines({"14] 错误: 连接失败"})},
        FilterCase{
            "SearchKeepsSpacesAndPunctuation", QStringLiteral("status:deployed"), Level::all, {}},
        FilterCase{"SearchPastALongerLowerCaseLine", QStringLiteral("deployed"), Level::all,
                   lines({"10] >> STATUS: deployed"})},
        FilterCase{"SearchFindsTheLowerCaseOfAWideningLetter", QStringLiteral("i\u0307ngress 已"),
                   Level::all, lines({"08] İİİİİİİİİİİİNGRESS 已就绪"})},
        FilterCase{"SearchMatchesLinesWithoutTimestamp", QStringLiteral("SECOND"), Level::info,
                   lines({"  second line of a message"})},
        FilterCase{
            "LineFeedInSearchMatchesNothing", QStringLiteral("deployed\n[2026"), Level::all, {}},
        FilterCase{"NothingMatches", QStringLiteral("kubeadm"), Level::all, {}},
        FilterCase{
            "InfoHasNoErrorCommandOrOutputLines",
            {},
            Level::info,
            lines({"07] === 安装开始 ===", "08] İİİİİİİİİİİİNGRESS 已就绪", "13] 安装失败: timeout",
                   "15] ✓ kubectl error budget ok", "  second line of a message"})},
        FilterCase{"ErrorHasErrorWordsFailuresAndErrorOutput",
                   {},
                   Level::error,
                   lines({"11] !! Error: release not found", "13] 安装失败: timeout",
                          "14] 错误: 连接失败"})},
        FilterCase{"CommandNeedsExecutedCommand",
                   {},
                   Level::command,
                   lines({"09] 执行命令: helm status devtron"})},
        FilterCase{"ResultHasOutputAndErrorOutput",
                   {},
                   Level::result,
                   lines({"10] >> STATUS: deployed", "11] !! Error: release not found"})}),
    [](const auto& info) { return std::string(info.param.name); });

struct LineCase {
    const char* line;
    std::vector<Level> levels;
};

TEST(LogFilter, LevelsOfSingleLinesFollowTheirMarkers) {
    const std::vector<LineCase> cases{
        {"!! x", {Level::all, Level::error, Level::result}},
        {">> x", {Level::all, Level::result}},
        {"执行命令: x", {Level::all, Level::command}},
        {"命令", {Level::all}},
        {"执行 命令", {Level::all}},
        {"失败", {Level::all, Level::info, Level::error}},
        {"错误", {Level::all, Level::error}},
        {"> > ! ! 错 误 执行命 令", {Level::all, Level::info}},
        {"", {Level::all, Level::info}},
    };
    for (const LineCase& c : cases) {
        std::vector<Level> found;
        for (const Level level : LogFilter::levels()) {
            if (LogFilter::belongsTo(QString::fromUtf8(c.line), level)) {
                found.push_back(level);
            }
        }
        EXPECT_EQ(found, c.levels) << c.line;
    }
}

TEST(LogFilter, PickerListsTheLevelsInOrderWithTheirNames) {
    QStringList names;
    for (const Level level : LogFilter::levels()) {
        names << LogFilter::displayName(level);
    }
    EXPECT_EQ(names.join(' '), QStringLiteral("全部 信息 错误 命令 结果"));
}

TEST(LogFilter, LongestLineCountsWideCharactersTwice) {
    const LogFilter filter(QStringLiteral("ab\n安装 x\n"));
    ASSERT_EQ(filter.lineCount(), 2);
    EXPECT_EQ(filter.columns(0), 2);
    EXPECT_EQ(filter.columns(1), 6);
}

} // namespace
