#include "session/LogFilter.h"

#include "shell/UiLanguage.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using Level = LogFilter::LogLevel;

// Every kind of line the level picker tells apart, an empty line, a line whose lower-case form
// is longer ("İ" becomes two characters) and a message that spans two lines.
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

TEST(LogFilter, ShowsExactlyTheMatchingLines) {
    const struct {
        QString search;
        Level level;
        QString shown;
    } cases[] = {
        {{}, Level::all, sessionLog},
        {QStringLiteral("ERROR"), Level::all,
         lines({"11] !! Error: release not found", "15] ✓ kubectl error budget ok"})},
        {QStringLiteral("错误"), Level::error, lines({"14] 错误: 连接失败"})},
        {QStringLiteral("status:deployed"), Level::all, {}},
        {QStringLiteral("deployed"), Level::all, lines({"10] >> STATUS: deployed"})},
        {QStringLiteral("i\u0307ngress 已"), Level::all, lines({"08] İİİİİİİİİİİİNGRESS 已就绪"})},
        {QStringLiteral("SECOND"), Level::info, lines({"  second line of a message"})},
        {QStringLiteral("deployed\n[2026"), Level::all, {}},
        {{},
         Level::info,
         lines({"07] === 安装开始 ===", "08] İİİİİİİİİİİİNGRESS 已就绪", "13] 安装失败: timeout",
                "15] ✓ kubectl error budget ok", "  second line of a message"})},
        {{},
         Level::error,
         lines({"11] !! Error: release not found", "13] 安装失败: timeout", "14] 错误: 连接失败"})},
        {{}, Level::command, lines({"09] 执行命令: helm status devtron"})},
        {{}, Level::result, lines({"10] >> STATUS: deployed", "11] !! Error: release not found"})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LogFilter(sessionLog).filteredLogs(c.search, c.level).toStdString(),
                  c.shown.toStdString())
            << c.search.toStdString() << ' ' << LogFilter::displayName(c.level).toStdString();
    }
}

TEST(LogFilter, LevelsOfSingleLinesFollowTheirMarkers) {
    // The same line in Chinese and as the English translation writes it.
    const std::tuple<const char*, const char*, std::vector<Level>> cases[] = {
        {"!! x", "!! x", {Level::all, Level::error, Level::result}},
        {">> x", ">> x", {Level::all, Level::result}},
        {"执行命令: x", "RUNNING COMMAND: x", {Level::all, Level::command}},
        {"执行 命令", "Running a command", {Level::all}},
        {"失败", "x failed", {Level::all, Level::info, Level::error}},
        {"错误", "İ Error", {Level::all, Level::error}},
        {"> > ! ! 错 误 执行命 令",
         "> > ! ! err or running comm and fai l",
         {Level::all, Level::info}},
        {"", "", {Level::all, Level::info}},
    };
    for (const auto language : {UiLanguage::Language::chinese, UiLanguage::Language::english}) {
        const UiLanguage shown(language);
        for (const auto& [chinese, english, levels] : cases) {
            const char* line = language == UiLanguage::Language::english ? english : chinese;
            std::vector<Level> found;
            for (const Level level : LogFilter::levels()) {
                if (LogFilter::belongsTo(QString::fromUtf8(line), level)) {
                    found.push_back(level);
                }
            }
            EXPECT_EQ(found, levels) << line;
        }
    }
}

} // namespace
