#include "app/ContentView.h"
#include "app/ErrorOverlay.h"
#include "app/MainWindow.h"
#include "app/StepListView.h"
#include "app/StepRow.h"
#include "session/InstallationState.h"
#include "support/AccessibilityRecorder.h"
#include "support/StandInTools.h"
#include "views/common/DetailedErrorView.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QThreadPool>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString focusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus == nullptr ? QString()
                            : QAccessible::queryAccessibleInterface(focus)->text(QAccessible::Name);
}

QString shownMessage(const ContentView& view) {
    return view.errorOverlay()->card()->findChild<QTextEdit*>(u"errorMessage"_s)->toPlainText();
}

} // namespace

TEST(MainWindow, HandsTheSessionOverOnTheFirstShowingOnly) {
    InstallationState state;
    MainWindow window(state);
    QSignalSpy shown(&window, &MainWindow::contentShown);
    window.show();
    window.hide();
    window.show();
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Window);
}

TEST(ContentView, EachNewScreenGivesTheFocusToItsFirstControlOrItsTitle) {
    const StandInTools tools;
    tools.hold();
    InstallationState state;
    state.setDevtronUrl(u"http://127.0.0.1:22443"_s);
    ContentView view(state);
    view.resize(800, 460);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QStringList focused;
    for (const int step : {1, 2, 3, 4, 0}) {
        state.setCurrentStep(static_cast<InstallationStep>(step));
        settle();
        focused << focusName();
    }
    EXPECT_EQ(focused,
              (QStringList{"安装Devtron平台", "复制", "等待服务启动", "复制地址", "浏览文件"}));
    tools.release();
}

TEST(ContentView, ReplacesTheScreenWhenTheStepChangesAndKeepsItOtherwise) {
    InstallationState state;
    ContentView view(state);
    view.resize(800, 460);
    ASSERT_NE(qobject_cast<KubeconfigSelectionView*>(view.currentScreen()), nullptr);

    const std::pair<InstallationStep, const char*> screens[] = {
        {InstallationStep::devtronChoice, "DevtronChoiceView"},
        {InstallationStep::installation, "InstallationView"},
        {InstallationStep::waitingForServices, "WaitingForServicesView"},
        {InstallationStep::completion, "CompletionView"},
    };
    for (const auto& [step, screen] : screens) {
        QPointer<QWidget> previous = view.currentScreen();
        state.setCurrentStep(step);
        settle();
        EXPECT_TRUE(previous.isNull()) << "the old screen is gone once events are handled";
        EXPECT_STREQ(view.currentScreen()->metaObject()->className(), screen);
        EXPECT_TRUE(view.stepList()->rows().at(static_cast<int>(step))->model().isActive);
    }

    // Assigning the same step again must not restart the running screen.
    QPointer<QWidget> running = view.currentScreen();
    state.setCurrentStep(InstallationStep::completion);
    settle();
    EXPECT_EQ(view.currentScreen(), running.data());

    // The completion screen is built as the step changes, before this run's time is stored.
    state.setInstallationTime(3600.0);
    state.setCurrentStep(InstallationStep::waitingForServices);
    state.setInstallationStartTime(QDateTime::currentDateTime().addSecs(-125));
    state.moveToNextStep();
    settle();
    const auto* time = view.currentScreen()->findChild<QLabel*>(u"timeText"_s);
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->text(), u"安装用时: 2分5秒"_s);
}

TEST(ContentView, ShowsTheErrorCardOverEverythingAndEveryWayOfClosingItClearsTheFlag) {
    InstallationState state;
    ContentView view(state);
    view.resize(800, 460);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    const auto card = [&] { return view.errorOverlay()->card(); };
    const auto closes = [&](QWidget* target, QPoint at = {}) {
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
        const bool closed = !state.isShowingError();
        settle();
        state.setIsShowingError(true);
        return closed;
    };
    const QString markup = u"<b>部署失败</b>: 超时 &amp;"_s;
    state.showError(markup);
    settle();
    ASSERT_NE(view.errorOverlay(), nullptr);
    EXPECT_EQ(view.errorOverlay()->geometry(), view.rect());
    QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(card());
    EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
    EXPECT_EQ(alert->text(QAccessible::Name) + alert->text(QAccessible::Description),
              u"安装错误"_s + markup);
    // Tab and Shift+Tab go round the card, never to "浏览文件" behind it; Escape closes it and the
    // focus goes back.
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_TRUE(card()->isAncestorOf(QApplication::focusWidget())) << focusName().toStdString();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(state.isShowingError());
    settle();
    const QString behind = focusName();
    state.setIsShowingError(true);
    settle();
    EXPECT_EQ(behind + focusName(), u"浏览文件确定"_s);
    EXPECT_EQ(shownMessage(view), markup) << "shown verbatim, never as rich text";
    EXPECT_TRUE(closes(card()->findChild<QPushButton*>(u"okButton"_s)));
    EXPECT_TRUE(closes(card()->findChild<QToolButton*>(u"closeButton"_s)));
    EXPECT_TRUE(closes(view.errorOverlay(), {5, 5})) << "a click on the dim layer closes";
    EXPECT_FALSE(closes(card(), {5, 5})) << "a click on the card itself keeps it";

    state.setErrorMessage(std::nullopt);
    EXPECT_EQ(shownMessage(view), u"未知错误"_s);
    state.setErrorMessage(u"新的错误"_s);
    EXPECT_EQ(shownMessage(view), u"新的错误"_s);
    state.setIsShowingError(false);
    settle();
    EXPECT_EQ(view.errorOverlay(), nullptr);
}

TEST(ContentView, AStepChangeBehindTheErrorCardLeavesTheReaderOnTheCard) {
    InstallationState state;
    ContentView view(state);
    view.resize(800, 460);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    const AccessibilityRecorder recorder;
    state.showError(u"安装失败"_s);
    settle();
    // A failed installation goes back to the options while the card is open.
    state.setCurrentStep(InstallationStep::devtronChoice);
    settle();
    EXPECT_EQ(recorder.focused().value(recorder.focused().size() - 1), u"确定"_s)
        << recorder.focused().join(u'|').toStdString();
    auto* message = view.errorOverlay()->card()->findChild<QTextEdit*>(u"errorMessage"_s);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(message)->text(QAccessible::Name),
              u"错误详情"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(focusName(), u"安装Devtron平台"_s);
}

// Qt's raster painter splits large fills over the global pool and waits for them: a cluster test
// stalled in kubectl must not sit there, or the window of a one-CPU machine stops painting.
TEST(ContentView, AStalledClusterTestLeavesQtsGlobalPoolToThePainter) {
    StandInTools tools;
    tools.hold();
    QThreadPool* global = QThreadPool::globalInstance();
    const int threads = global->maxThreadCount();
    global->setMaxThreadCount(1);
    InstallationState state;
    state.setCurrentStep(InstallationStep::devtronChoice);
    ContentView view(state);
    view.resize(800, 460);
    view.show();
    settle();
    QTest::mouseClick(view.currentScreen()->findChild<QPushButton*>(u"nextButton"_s),
                      Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tools.commandCalls().isEmpty(); }));
    const int busy = global->activeThreadCount();
    if (busy != 0) {
        tools.release();
    }
    EXPECT_EQ(busy, 0);
    QImage frame(1600, 920, QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(2);
    view.render(&frame);
    tools.release();
    global->setMaxThreadCount(threads);
}
