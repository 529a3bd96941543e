#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

// The session log indexed once for the log viewer: where each line starts, which coarse levels it
// shows under (recognised from the log's marker substrings, as lines carry no level field) and a
// lower-case copy of the text for the search. Filtering then costs one pass over the line table,
// or one pass of the search over the lower-case text, whatever the search or the level.
class LogFilter {
    Q_GADGET
    Q_DECLARE_TR_FUNCTIONS(LogFilter)

public:
    enum class LogLevel { all, info, error, command, result };
    Q_ENUM(LogLevel)

    // Line numbers of the log, empty lines counted, in the log's order.
    struct Selection {
        std::vector<qsizetype> lines;
        // Nothing is filtered: the text is the log itself, final line feed and empty lines kept.
        bool wholeLog = false;
    };

    // Every level in the order the picker shows them.
    static const std::array<LogLevel, 5>& levels();
    static QString displayName(LogLevel level);
    static bool belongsTo(QStringView line, LogLevel level);

    explicit LogFilter(const QString& logs = {});

    const QString& logs() const { return m_logs; }
    qsizetype lineCount() const { return static_cast<qsizetype>(m_lines.size()); }
    QStringView line(qsizetype number) const;
    // Width of a line in monospace columns; wide (CJK) characters take two.
    int columns(qsizetype number) const {
        return m_lines[static_cast<std::size_t>(number)].columns;
    }

    // The lines whose lower-case text contains the lower-case search text and that belong to the
    // level. Empty lines are dropped as soon as either filter is set.
    Selection select(const QString& searchText, LogLevel level) const;
    // The selected lines joined by "\n", without a final line feed; the log itself when unfiltered.
    QString text(const Selection& selection) const;
    QString filteredLogs(const QString& searchText, LogLevel level) const {
        return text(select(searchText, level));
    }

private:
    struct Line {
        qsizetype start;
        qsizetype length;
        qsizetype lowerStart;
        qsizetype lowerLength;
        int columns;
        std::uint8_t levels;
    };
    // Sets each line's levels from the markers it holds; `lower` is the text lower-cased, which
    // the lines' lower-case offsets point into.
    static void markLines(QStringView text, QStringView lower, std::vector<Line>& lines);

    QString m_logs;
    QString m_lower;
    std::vector<Line> m_lines;
};
