#include "FuzzCheck.h"

#include "session/LogFilter.h"

#include <QStringList>

#include <algorithm>
#include <cstdint>

// The first byte picks the level and how many of the following bytes form the search text; the
// rest is the log.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto level = LogFilter::levels()[data[0] % LogFilter::levels().size()];
    const std::size_t searchSize = std::min<std::size_t>(data[0] / 5 % 8, size - 1);
    const QString search = fuzzText(data + 1, searchSize);
    const QString logs = fuzzText(data + 1 + searchSize, size - 1 - searchSize);

    QStringList lines = logs.split(u'\n');
    if (logs.isEmpty() || logs.endsWith(u'\n')) {
        lines.removeLast();
    }
    const LogFilter filter(logs);
    fuzzCheck(filter.lineCount() == lines.size(), "one entry per log line", logs);
    for (qsizetype number = 0; number < lines.size(); ++number) {
        fuzzCheck(filter.line(number) == lines[number], "each line is the log's", lines[number]);
    }

    const LogFilter::Selection selection = filter.select(search, level);
    const QString shown = filter.text(selection);
    if (search.isEmpty() && level == LogFilter::LogLevel::all) {
        fuzzCheck(selection.wholeLog && shown == logs, "no filter shows the log itself");
        return 0;
    }
    const QString needle = search.toLower();
    QStringList expected;
    auto selected = selection.lines.cbegin();
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const QString& line = lines[number];
        const bool wanted =
            !line.isEmpty() && LogFilter::belongsTo(line, level) && line.toLower().contains(needle);
        const bool chosen = selected != selection.lines.cend() && *selected == number;
        fuzzCheck(wanted == chosen, "a line is shown exactly when it matches both filters", line);
        if (chosen) {
            expected.append(line);
            ++selected;
        }
    }
    fuzzCheck(selected == selection.lines.cend(), "the selection holds log lines in order");
    fuzzCheck(shown == expected.join(u'\n'), "the shown text is the selected lines");
    return 0;
}
