#include "views/logviewer/LogViewerController.h"

#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "views/logviewer/LogLinesModel.h"

#include "shell/GuiThread.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>

namespace {

void replaceClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace

LogViewerController::LogViewerController(InstallationState& state, QObject* parent)
    : QObject(parent), m_state(state), m_log(std::make_shared<const LogFilter>()),
      m_lines(new LogLinesModel(this)) {
    connect(&state, &InstallationState::logsChanged, this, &LogViewerController::reindex);
    reindex();
}

void LogViewerController::setSearchText(const QString& text) {
    m_searchText = text;
    emit searchTextChanged();
    refilter();
}

void LogViewerController::setSelectedLogLevel(LogLevel level) {
    m_selectedLogLevel = level;
    emit selectedLogLevelChanged();
    refilter();
}

void LogViewerController::clearFilters() {
    setSearchText({});
    setSelectedLogLevel(LogLevel::all);
}

QString LogViewerController::filteredLogs() const {
    if (m_isIndexing) {
        return LogFilter(m_state.logs()).filteredLogs(m_searchText, m_selectedLogLevel);
    }
    return m_lines->text();
}

void LogViewerController::copyToClipboard() const {
    replaceClipboardText(filteredLogs());
}

void LogViewerController::copyRows(const QList<int>& rows) const {
    replaceClipboardText(m_lines->text(rows));
}

void LogViewerController::reindex() {
    const quint64 generation = ++m_generation;
    setIsIndexing(true);
    QPointer<LogViewerController> self(this);
    BackgroundJobs::start([self, generation, logs = m_state.logs()] {
        auto log = std::make_shared<const LogFilter>(logs);
        postToGuiThread([self, generation, log = std::move(log)] {
            if (self) {
                self->adoptIndex(generation, log);
            }
        });
    });
}

void LogViewerController::adoptIndex(quint64 generation, std::shared_ptr<const LogFilter> log) {
    if (generation != m_generation) {
        return;
    }
    m_log = std::move(log);
    refilter();
    setIsIndexing(false);
}

void LogViewerController::setIsIndexing(bool indexing) {
    m_isIndexing = indexing;
    emit isIndexingChanged();
}

void LogViewerController::refilter() {
    m_lines->show(m_log, m_log->select(m_searchText, m_selectedLogLevel));
}
