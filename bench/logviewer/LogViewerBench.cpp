// Times the log viewer's filter on session logs of 20 000 and 200 000 lines: indexing the log
// once, then filtering by level and by search text, and building the text that is copied.
#include "session/LogFilter.h"

#include "support/MedianTime.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int rounds = 5;

// Lines in the shapes the wizard writes: phase banners, commands, their output and error output,
// passed checks, failures and plain progress messages, with an occasional multi-line message.
QString sessionLog(int lineCount) {
    const QString stamp = QStringLiteral("[2026-12-05 14:03:07] ");
    QString log;
    log.reserve(qsizetype{lineCount} * 72);
    for (int i = 0; i < lineCount; ++i) {
        const QString n = QString::number(i);
        QString message;
        switch (i % 10) {
        case 0:
            message = QStringLiteral("=== 环境配置 ") + n + QStringLiteral(" ===");
            break;
        case 1:
            message =
                QStringLiteral("执行命令: helm status devtron -n devtroncd --kube-context ctx-") +
                n;
            break;
        case 2:
        case 3:
        case 4:
            message = QStringLiteral(">> deployment.apps/devtron-") + n +
                      QStringLiteral(" condition met in namespace devtroncd");
            break;
        case 5:
            message =
                QStringLiteral("!! Error: release devtron-") + n + QStringLiteral(" not found");
            break;
        case 6:
            message = QStringLiteral("✓ kubectl 可用: Client Version: v1.32.3 (") + n + ')';
            break;
        case 7:
            message = QStringLiteral("等待服务启动，剩余 ") + n + QStringLiteral(" 秒");
            break;
        case 8:
            message = QStringLiteral("错误: 安装失败，退出码 ") + n;
            break;
        default:
            message =
                QStringLiteral("Pod devtron-") + n + QStringLiteral(" is Running\n  ready 1/1");
            ++i;
            break;
        }
        log += stamp + message + '\n';
    }
    return log;
}

struct Figures {
    double index;
    double level;
    double search;
    double rareSearch;
    double copyText;
    std::size_t levelLines;
    std::size_t searchLines;
};

Figures measure(int lineCount) {
    const QString log = sessionLog(lineCount);
    Figures figures{};
    std::unique_ptr<LogFilter> filter;
    figures.index = medianMs(rounds, [&] { filter = std::make_unique<LogFilter>(log); });
    figures.level = medianMs(rounds, [&] {
        figures.levelLines = filter->select({}, LogFilter::LogLevel::result).lines.size();
    });
    figures.search = medianMs(rounds, [&] {
        figures.searchLines =
            filter->select(QStringLiteral("DEVTRON"), LogFilter::LogLevel::all).lines.size();
    });
    figures.rareSearch = medianMs(rounds, [&] {
        filter->select(QStringLiteral("退出码 12345"), LogFilter::LogLevel::error);
    });
    const LogFilter::Selection selection = filter->select({}, LogFilter::LogLevel::result);
    figures.copyText = medianMs(rounds, [&] { filter->text(selection); });
    return figures;
}

void print(int lineCount, const Figures& f) {
    std::printf("%d lines (median of %d runs)\n", lineCount, rounds);
    std::printf("  index the log:                %8.2f ms\n", f.index);
    std::printf("  level \"结果\":                 %8.2f ms (%zu lines)\n", f.level, f.levelLines);
    std::printf("  search \"DEVTRON\":             %8.2f ms (%zu lines)\n", f.search,
                f.searchLines);
    std::printf("  search rare text + level:     %8.2f ms\n", f.rareSearch);
    std::printf("  copied text of level \"结果\":  %8.2f ms\n", f.copyText);
}

double ratio(double large, double small) {
    return small > 0 ? large / small : 0.0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Figures small = measure(20000);
    const Figures large = measure(200000);
    print(20000, small);
    print(200000, large);
    std::printf(
        "ratio 200 000 / 20 000 lines (10 is linear; goal <= 100 ms per filter at 200 000)\n");
    std::printf("  index %.1f, level %.1f, search %.1f, rare search %.1f, copied text %.1f\n",
                ratio(large.index, small.index), ratio(large.level, small.level),
                ratio(large.search, small.search), ratio(large.rareSearch, small.rareSearch),
                ratio(large.copyText, small.copyText));
    return 0;
}
