#include "views/logviewer/LogViewerView.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "support/AccessibilityRecorder.h"
#include "support/ScreenTest.h"
#include "views/logviewer/LogLinesModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

class LogViewerSheet : public ::testing::Test, protected screen_test::Parts {
protected:
    LogViewerSheet() {
        for (const char* line : {"执行命令: helm status devtron", ">> STATUS: deployed",
                                 "!! Error: release not found", "安装完成"}) {
            state.appendLog(QString::fromUtf8(line));
        }
        // The lines and the session's header reach the log once the event loop has run.
        QTest::qWait(0);
        view = std::make_unique<LogViewerView>(state, &window);
        window.show();
        view->open();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
        waitForIndex();
    }

    void waitForIndex() const {
        QTest::qWait(0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !view->controller().isIndexing(); }, 5000));
    }

    const QWidget* screen() const override { return view.get(); }
    // The shown rows without their time stamps.
    QStringList shownMessages() const {
        QStringList messages;
        const QAbstractItemModel* model = child<QListView>("logList")->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            messages << model->index(row, 0).data().toString().section(QStringLiteral("] "), 1);
        }
        return messages;
    }
    void pickLevel(const QString& name) const {
        for (QAbstractButton* segment : child("logLevelPicker")->findChildren<QAbstractButton*>()) {
            if (segment->text() == name) {
                QTest::mouseClick(segment, Qt::LeftButton);
                return;
            }
        }
        FAIL() << "no level " << name.toStdString();
    }

    InstallationState state;
    QWidget window;
    std::unique_ptr<LogViewerView> view;
};

// Return in the search field presses no button; Escape closes and forgets the search.
TEST_F(LogViewerSheet, EscapeClosesAndForgetsTheSearch) {
    QTest::keyClicks(child<QLineEdit>("searchField"), QStringLiteral("helm"));
    QTest::keyClick(child<QLineEdit>("searchField"), Qt::Key_Return);
    EXPECT_TRUE(view->isVisible());
    QTest::keyClick(child<QLineEdit>("searchField"), Qt::Key_Escape);
    EXPECT_FALSE(view->isVisible());
    EXPECT_TRUE(child<QLineEdit>("searchField")->text().isEmpty());
}

TEST_F(LogViewerSheet, SearchAndLevelNarrowTheShownLinesAndCopyTakesThem) {
    EXPECT_EQ(shownMessages().size(), 7); // three header lines and the four above

    QTest::keyClicks(child<QLineEdit>("searchField"), QStringLiteral("STATUS"));
    EXPECT_EQ(shownMessages(), (QStringList{QStringLiteral("执行命令: helm status devtron"),
                                            QStringLiteral(">> STATUS: deployed")}));

    pickLevel(QStringLiteral("结果"));
    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral(">> STATUS: deployed")});
    QTest::mouseClick(child<QPushButton>("copyButton"), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text().section(QStringLiteral("] "), 1),
              QStringLiteral(">> STATUS: deployed"));

    // A line logged while the sheet is open shows up under the chosen filters.
    state.appendLog(QStringLiteral(">> STATUS: second"));
    waitForIndex();
    EXPECT_EQ(shownMessages(), (QStringList{QStringLiteral(">> STATUS: deployed"),
                                            QStringLiteral(">> STATUS: second")}));
}

// The picker is one named choice of radio buttons; a filter that leaves nothing says so, once.
TEST_F(LogViewerSheet, ReadersMeetTheLevelsAsRadioButtonsAndHearWhenNothingMatches) {
    QAccessibleInterface* picker = QAccessible::queryAccessibleInterface(child("logLevelPicker"));
    EXPECT_EQ(picker->role(), QAccessible::Grouping);
    EXPECT_EQ(picker->text(QAccessible::Name), QStringLiteral("日志级别"));
    QString checked;
    for (int i = 0; i < picker->childCount(); ++i) {
        EXPECT_EQ(picker->child(i)->role(), QAccessible::RadioButton);
        checked += picker->child(i)->state().checked ? 'x' : '-';
    }
    EXPECT_EQ(checked, QStringLiteral("x----"));
    EXPECT_EQ(child<QLineEdit>("searchField")->findChild<QToolButton*>()->accessibleName(),
              QStringLiteral("清除搜索"));

    const AccessibilityRecorder recorder;
    auto* note = child("emptyNote");
    EXPECT_FALSE(note->isVisible());
    // No prefix of it may match: the header's log path holds random letters, and a prefix that
    // matched a line would be counted aloud when the machine is slow.
    QTest::keyClicks(child<QLineEdit>("searchField"), QStringLiteral("#@#"));
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(recorder.announcements(), QStringList{QStringLiteral("没有符合条件的日志")});
    QTest::keyClick(child<QLineEdit>("searchField"), Qt::Key_Backspace);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(recorder.announcements().size(), 1);
    // The note is part of the sheet a reader walks, not hidden inside the list's viewport.
    for (QAccessibleInterface* part = QAccessible::queryAccessibleInterface(note);
         part->object() != screen(); part = part->parent()) {
        ASSERT_GE(part->parent()->indexOfChild(part), 0)
            << part->object()->metaObject()->className();
    }
    // A search that finds lines says how many; a copy says it copied.
    QTest::keyClick(child<QLineEdit>("searchField"), Qt::Key_Backspace);
    QTest::keyClick(child<QLineEdit>("searchField"), Qt::Key_Backspace);
    EXPECT_EQ(recorder.announcements().constLast(),
              QStringLiteral("共%1行日志").arg(child<QListView>("logList")->model()->rowCount()));
    click("copyButton");
    EXPECT_EQ(recorder.announcements().constLast(), QStringLiteral("已复制"));
}

TEST_F(LogViewerSheet, CopyKeyTakesTheSelectedLinesInLogOrder) {
    auto* list = child<QListView>("logList");
    const QAbstractItemModel* model = list->model();
    list->selectionModel()->select(model->index(4, 0), QItemSelectionModel::Select);
    list->selectionModel()->select(model->index(3, 0), QItemSelectionModel::Select);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              model->index(3, 0).data().toString() + '\n' + model->index(4, 0).data().toString());
}

TEST_F(LogViewerSheet, ClosingWhileTheLogIsIndexedDropsTheIndex) {
    QSignalSpy logged(&state, &InstallationState::logsChanged);
    state.appendLog(QStringLiteral("安装完成"));
    ASSERT_TRUE(logged.wait());
    ASSERT_TRUE(view->controller().isIndexing());
    view.reset();
    BackgroundJobs::waitForDone();
    QTest::qWait(0);
}

} // namespace
