#pragma once

#include "session/LogFilter.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class InstallationState;
class LogLinesModel;

// The log viewer's state: the search text and the level that narrow the session log, the lines
// they leave, and the copying of those lines. Follows the session log as lines are added while
// it is open. Lives on the GUI thread. Indexing a long log takes a while, so it runs on the shared
// background pool; filtering the index is fast enough to run on every keystroke.
class LogViewerController : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(LogFilter::LogLevel selectedLogLevel READ selectedLogLevel WRITE setSelectedLogLevel
                   NOTIFY selectedLogLevelChanged)
    Q_PROPERTY(bool isIndexing READ isIndexing NOTIFY isIndexingChanged)

public:
    using LogLevel = LogFilter::LogLevel;

    explicit LogViewerController(InstallationState& state, QObject* parent = nullptr);

    QString searchText() const { return m_searchText; }
    void setSearchText(const QString& text);
    LogLevel selectedLogLevel() const { return m_selectedLogLevel; }
    void setSelectedLogLevel(LogLevel level);
    // True from a change of the log until its index is back; the lines shown are those of the
    // previous index meanwhile.
    bool isIndexing() const { return m_isIndexing; }
    // Back to an empty search and every level, as when the viewer is first shown.
    void clearFilters();

    // The lines shown, refreshed on every change of the filters or the log.
    LogLinesModel* lines() const { return m_lines; }
    // The text shown and copied; while indexing, that of the log as it is now.
    QString filteredLogs() const;

    // Replaces the clipboard's content with the shown text; the clipboard's answer is not checked.
    void copyToClipboard() const;
    // The same with the lines of the given rows only (the user's selection in the list).
    void copyRows(const QList<int>& rows) const;

signals:
    void searchTextChanged();
    void selectedLogLevelChanged();
    void isIndexingChanged();

private:
    void reindex();
    void adoptIndex(quint64 generation, std::shared_ptr<const LogFilter> log);
    void setIsIndexing(bool indexing);
    void refilter();

    InstallationState& m_state;
    // Counts the log's changes: an index built from an older text is dropped when it arrives.
    quint64 m_generation = 0;
    bool m_isIndexing = false;
    std::shared_ptr<const LogFilter> m_log;
    LogLinesModel* m_lines;
    QString m_searchText;
    LogLevel m_selectedLogLevel = LogLevel::all;
};
