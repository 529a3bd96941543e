#pragma once

#include "views/logviewer/LogViewerController.h"

#include <QDialog>

class FloatingNotice;
class InstallationState;
class LiveStatus;
class QButtonGroup;
class QLineEdit;
class QListView;

// The session log in a window-modal sheet of 800 × 600: a search field and a level picker narrow
// it, the list shows what is left, and the footer button copies that to the clipboard.
class LogViewerView : public QDialog {
    Q_OBJECT

public:
    using LogLevel = LogFilter::LogLevel;

    explicit LogViewerView(InstallationState& state, QWidget* parent = nullptr);

    LogViewerController& controller() const { return *m_controller; }

    // Closing drops the search and the level, so that the next showing starts afresh.
    void done(int result) override;

private:
    QWidget* buildHeader();
    QWidget* buildFilterBar();
    QWidget* buildLogArea();
    QWidget* buildFooter();
    // "没有符合条件的日志" over the list while nothing is left to show.
    void updateEmptyNote();

    LogViewerController* m_controller;
    QLineEdit* m_searchField = nullptr;
    QButtonGroup* m_levelGroup = nullptr;
    QListView* m_list = nullptr;
    LiveStatus* m_emptyNote = nullptr;
    // The number of lines shown, spoken after each change of the search or the level.
    LiveStatus* m_count = nullptr;
    bool m_countPending = false;
    FloatingNotice* m_notice = nullptr;
};
