#include "session/LogFilter.h"

#include <QCoreApplication>

#include <numeric>

namespace {

constexpr std::uint8_t bit(LogFilter::LogLevel level) {
    return static_cast<std::uint8_t>(1U << static_cast<unsigned>(level));
}

// The marker substrings a line is sorted by, as bits of a line's marker set: the Chinese words
// and, in the lower-case copy, their translations.
enum Marker : std::uint8_t {
    errorWord = 1,       // "错误"
    failureWord = 2,     // "失败"
    commandWord = 4,     // "命令"
    executedCommand = 8, // "执行命令"
    outputMark = 16,     // ">>"
    errorOutputMark = 32 // "!!"
};

std::uint8_t levelsOf(std::uint8_t markers) {
    using Level = LogFilter::LogLevel;
    std::uint8_t levels = bit(Level::all);
    if ((markers & (errorWord | commandWord | outputMark | errorOutputMark)) == 0) {
        levels |= bit(Level::info);
    }
    if ((markers & (errorWord | failureWord | errorOutputMark)) != 0) {
        levels |= bit(Level::error);
    }
    if ((markers & executedCommand) != 0) {
        levels |= bit(Level::command);
    }
    if ((markers & (outputMark | errorOutputMark)) != 0) {
        levels |= bit(Level::result);
    }
    return levels;
}

// A monospace font draws East Asian characters two columns wide; counting everything from the
// Hangul block up as wide overestimates a few symbols, which only leaves some room to spare.
int columnsOf(QStringView line) {
    int wide = 0;
    for (const QChar c : line) {
        wide += c.unicode() >= 0x1100 ? 1 : 0;
    }
    return static_cast<int>(line.size()) + wide;
}

} // namespace

const std::array<LogFilter::LogLevel, 5>& LogFilter::levels() {
    static constexpr std::array<LogLevel, 5> all{LogLevel::all, LogLevel::info, LogLevel::error,
                                                 LogLevel::command, LogLevel::result};
    return all;
}

QString LogFilter::displayName(LogLevel level) {
    switch (level) {
    case LogLevel::all:
        return tr("全部");
    case LogLevel::info:
        return tr("信息");
    case LogLevel::error:
        return tr("错误");
    case LogLevel::command:
        return tr("命令");
    case LogLevel::result:
        return tr("结果");
    }
    return {};
}

bool LogFilter::belongsTo(QStringView line, LogLevel level) {
    const QString lower = line.toString().toLower();
    std::vector<Line> lines{{0, line.size(), 0, lower.size(), 0, 0}};
    markLines(line, lower, lines);
    return (lines.front().levels & bit(level)) != 0;
}

// Each marker is two characters, and "执行命令" is "命令" preceded by "执行". The whole text is
// searched once per marker's first character, a vectorised search, and every hit is given to
// its line by walking the line table forward; this beats looking at every character in turn.
void LogFilter::markLines(QStringView text, QStringView lower, std::vector<Line>& lines) {
    struct Probe {
        char16_t first;
        char16_t second;
        Marker marker;
    };
    static constexpr std::array<Probe, 5> probes{{{u'错', u'误', errorWord},
                                                  {u'失', u'败', failureWord},
                                                  {u'命', u'令', commandWord},
                                                  {u'>', u'>', outputMark},
                                                  {u'!', u'!', errorOutputMark}}};
    std::vector<std::uint8_t> markers(lines.size(), 0);
    for (const Probe& probe : probes) {
        std::size_t number = 0;
        for (qsizetype at = text.indexOf(QChar(probe.first)); at >= 0;
             at = text.indexOf(QChar(probe.first), at + 1)) {
            if (at + 1 == text.size() || text[at + 1] != probe.second) {
                continue;
            }
            while (lines[number].start + lines[number].length < at) {
                ++number;
            }
            markers[number] |= probe.marker;
            if (probe.marker == commandWord && at - 2 >= lines[number].start &&
                text[at - 2] == u'执' && text[at - 1] == u'行') {
                markers[number] |= executedCommand;
            }
        }
    }
    // The same words in the user's language, in the lower-case copy so that "Error" counts too.
    // They are looked up on every call, as the language can change while the wizard runs; without
    // a translator they are the Chinese words themselves, found above already.
    struct Word {
        struct {
            const char* source;
            const char* comment;
        } text;
        std::uint8_t marker;
    };
    static constexpr std::array<Word, 4> words{{
        {QT_TRANSLATE_NOOP3("LogFilter", "错误", "log marker"), errorWord},
        {QT_TRANSLATE_NOOP3("LogFilter", "失败", "log marker"), failureWord},
        {QT_TRANSLATE_NOOP3("LogFilter", "命令", "log marker"), commandWord},
        {QT_TRANSLATE_NOOP3("LogFilter", "执行命令", "log marker"), commandWord | executedCommand},
    }};
    for (const Word& word : words) {
        const QString needle =
            QCoreApplication::translate("LogFilter", word.text.source, word.text.comment).toLower();
        if (needle.isEmpty() || needle == QString::fromUtf8(word.text.source)) {
            continue;
        }
        // A line is marked by its first hit; the search goes on from the next line.
        std::size_t number = 0;
        qsizetype from = 0;
        while ((from = lower.indexOf(needle, from)) >= 0) {
            while (lines[number].lowerStart + lines[number].lowerLength < from) {
                ++number;
            }
            markers[number] |= word.marker;
            from = lines[number].lowerStart + lines[number].lowerLength + 1;
            if (++number == lines.size()) {
                break;
            }
        }
    }
    for (std::size_t number = 0; number < lines.size(); ++number) {
        lines[number].levels = levelsOf(markers[number]);
    }
}

LogFilter::LogFilter(const QString& logs) : m_logs(logs), m_lower(logs.toLower()) {
    // Lower-casing may change a line's length (one character can become two) but never adds or
    // removes a line feed, so the two texts are split side by side, line for line.
    const QStringView text(m_logs);
    const QStringView lower(m_lower);
    m_lines.reserve(static_cast<std::size_t>(text.count(u'\n') + 1));
    qsizetype start = 0;
    qsizetype lowerStart = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        qsizetype lowerEnd = lower.indexOf(u'\n', lowerStart);
        if (end < 0) {
            end = text.size();
            lowerEnd = lower.size();
        }
        m_lines.push_back({start, end - start, lowerStart, lowerEnd - lowerStart,
                           columnsOf(text.sliced(start, end - start)), 0});
        start = end + 1;
        lowerStart = lowerEnd + 1;
    }
    markLines(text, lower, m_lines);
}

QStringView LogFilter::line(qsizetype number) const {
    const Line& entry = m_lines[static_cast<std::size_t>(number)];
    return QStringView(m_logs).sliced(entry.start, entry.length);
}

LogFilter::Selection LogFilter::select(const QString& searchText, LogLevel level) const {
    Selection selection;
    if (searchText.isEmpty() && level == LogLevel::all) {
        selection.wholeLog = true;
        selection.lines.resize(m_lines.size());
        std::iota(selection.lines.begin(), selection.lines.end(), qsizetype{0});
        return selection;
    }

    const std::uint8_t wanted = bit(level);
    const QString needle = searchText.toLower();
    if (needle.isEmpty()) {
        for (std::size_t number = 0; number < m_lines.size(); ++number) {
            if (m_lines[number].length > 0 && (m_lines[number].levels & wanted) != 0) {
                selection.lines.push_back(static_cast<qsizetype>(number));
            }
        }
        return selection;
    }
    // No line holds a line feed; searching the whole text for one would match across lines.
    if (needle.contains(u'\n')) {
        return selection;
    }

    // Every hit lies inside one line: jump to that line, keep it, and go on from the next one.
    const QStringView lower(m_lower);
    std::size_t number = 0;
    qsizetype from = 0;
    while ((from = lower.indexOf(needle, from)) >= 0) {
        while (m_lines[number].lowerStart + m_lines[number].lowerLength < from) {
            ++number;
        }
        const Line& hit = m_lines[number];
        if ((hit.levels & wanted) != 0) {
            selection.lines.push_back(static_cast<qsizetype>(number));
        }
        from = hit.lowerStart + hit.lowerLength + 1;
        ++number;
        if (number == m_lines.size()) {
            break;
        }
    }
    return selection;
}

QString LogFilter::text(const Selection& selection) const {
    if (selection.wholeLog) {
        return m_logs;
    }
    qsizetype size = 0;
    for (const qsizetype number : selection.lines) {
        size += m_lines[static_cast<std::size_t>(number)].length + 1;
    }
    QString joined;
    joined.reserve(size);
    for (std::size_t i = 0; i < selection.lines.size(); ++i) {
        if (i > 0) {
            joined += u'\n';
        }
        joined += line(selection.lines[i]);
    }
    return joined;
}
