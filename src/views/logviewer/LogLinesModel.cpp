#include "views/logviewer/LogLinesModel.h"

#include <algorithm>

LogLinesModel::LogLinesModel(QObject* parent)
    : QAbstractListModel(parent), m_log(std::make_shared<const LogFilter>()) {}

void LogLinesModel::show(std::shared_ptr<const LogFilter> log, LogFilter::Selection selection) {
    beginResetModel();
    m_log = std::move(log);
    m_selection = std::move(selection);
    m_widestColumns = 0;
    for (const qsizetype number : m_selection.lines) {
        m_widestColumns = std::max(m_widestColumns, m_log->columns(number));
    }
    endResetModel();
}

int LogLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_selection.lines.size());
}

QVariant LogLinesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    return m_log->line(m_selection.lines[static_cast<std::size_t>(index.row())]).toString();
}

QString LogLinesModel::text() const {
    return m_log->text(m_selection);
}

QString LogLinesModel::text(QList<int> rows) const {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    LogFilter::Selection chosen;
    for (const int row : rows) {
        if (row >= 0 && row < rowCount()) {
            chosen.lines.push_back(m_selection.lines[static_cast<std::size_t>(row)]);
        }
    }
    return m_log->text(chosen);
}
