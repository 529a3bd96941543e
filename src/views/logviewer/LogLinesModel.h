#pragma once

#include "session/LogFilter.h"

#include <QAbstractListModel>
#include <QList>

#include <memory>

// The lines a filter selected, one row each, for a list view that draws only the rows in sight:
// a log of hundreds of thousands of lines is shown without building one huge text.
class LogLinesModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit LogLinesModel(QObject* parent = nullptr);

    // Shows the selection; the model keeps the indexed log alive for as long as it shows it.
    void show(std::shared_ptr<const LogFilter> log, LogFilter::Selection selection);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The text of every row, exactly as the filter gives it.
    QString text() const;
    // The given rows' lines in row order, joined by "\n".
    QString text(QList<int> rows) const;
    // The widest row in monospace columns, so that a view can scroll to the end of long lines.
    int widestColumns() const { return m_widestColumns; }

private:
    std::shared_ptr<const LogFilter> m_log;
    LogFilter::Selection m_selection;
    int m_widestColumns = 0;
};
