#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "support/StandInTools.h"
#include "views/choice/DevtronChoiceView.h"
#include "views/common/FocusRing.h"
#include "views/completion/CompletionController.h"
#include "views/completion/CompletionView.h"
#include "views/installation/InstallationView.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"
#include "views/logviewer/LogViewerView.h"
#include "views/waiting/WaitingForServicesView.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// No scroll area around the widget hides any of it.
bool wholeInView(const QWidget* widget) {
    for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        const auto* area = qobject_cast<const QAbstractScrollArea*>(up->parentWidget());
        if (area != nullptr && area->viewport() == up &&
            !up->rect().contains(QRect(widget->mapTo(up, QPoint()), widget->size()))) {
            return false;
        }
    }
    return true;
}

// Builds a screen; a sheet takes `window` for its parent.
using Build = std::function<QWidget*(InstallationState&, QWidget& window)>;

class KeyboardUse : public ::testing::Test {
protected:
    KeyboardUse() {
        FocusRing::followKeyboardFocus();
        tools.hold();
        state.setDevtronUrl(QStringLiteral("http://127.0.0.1:22443"));
    }
    ~KeyboardUse() override {
        tools.release();
        screen.reset();
        BackgroundJobs::waitForDone(std::chrono::milliseconds(30000));
    }

    QWidget* show(const Build& build) {
        screen.reset(build(state, window));
        // As in the window, beside the step list: whether a body overflows depends on it.
        if (qobject_cast<QDialog*>(screen.get()) == nullptr) {
            screen->resize(590, 460);
        }
        window.show();
        screen->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen.get()));
        return screen.get();
    }

    // The accessible names Tab visits once round, from the first control that takes it.
    static QStringList tabRound(QWidget* screen) {
        QWidget* first = screen->nextInFocusChain();
        while (first != screen && !((first->focusPolicy() & Qt::TabFocus) && first->isVisible() &&
                                    first->isEnabled())) {
            first = first->nextInFocusChain();
        }
        QStringList names;
        first->setFocus(Qt::OtherFocusReason);
        for (QWidget* focus = first; focus != screen && names.size() < 20;) {
            names << QAccessible::queryAccessibleInterface(focus)->text(QAccessible::Name);
            QTest::keyClick(focus, Qt::Key_Tab);
            focus = QApplication::focusWidget();
            const auto* ring = screen->findChild<FocusRing*>();
            EXPECT_TRUE(ring != nullptr && ring->target() == focus && ring->isVisible());
            // Tab from the last control, past "names.last()", may wrap to one scrolled away.
            EXPECT_TRUE(wholeInView(focus)) << "after " << names.last().toStdString();
            // Whole around a control; only a list or text box filling its place may cut it.
            if (ring != nullptr && qobject_cast<QAbstractScrollArea*>(focus) == nullptr) {
                const int room = 2 * FocusRing::outset;
                EXPECT_EQ(ring->size(), focus->size() + QSize(room, room))
                    << "after " << names.last().toStdString();
            }
            focus = focus == first ? screen : focus;
        }
        return names;
    }

    StandInTools tools;
    InstallationState state;
    QWidget window;
    std::unique_ptr<QWidget> screen;
};

TEST_F(KeyboardUse, TabVisitsEachScreenInOrderAndEveryControlHasAName) {
    const QString service = QStringLiteral("com.orvane.nimbrel.test.keyboard");
    const struct Case {
        const char* screen;
        Build build;
        QStringList names;
    } cases[] = {
        {"kubeconfig",
         [](auto& s, auto&) { return new KubeconfigSelectionView(s); },
         {"浏览文件", "点击注册"}},
        {"choice",
         [](auto& s, auto&) { return new DevtronChoiceView(s); },
         {"安装Devtron平台", "CI/CD（2核/6 GB）", "GitHub", "安装选项", "上一步", "下一步"}},
        {"installation",
         [&](auto& s, auto&) {
             s.setKubeconfigPath(tools.scratchPath(QStringLiteral("config")));
             return new InstallationView(s);
         },
         {"复制", "安装日志"}},
        {"waiting", [](auto& s, auto&) { return new WaitingForServicesView(s); }, {}},
        {"completion",
         [&](auto& s, auto&) {
             s.setDevtronUrl(QStringLiteral("https://127.0.0.1:22443"));
             s.setDevtronPassword(QStringLiteral("pw"));
             return new CompletionView(new CompletionController(s, service, {}));
         },
         {"复制地址", "打开地址", "复制用户名", "显示密码", "复制密码", "复制命令", "查看安装日志",
          "完成"}},
        {"log viewer",
         [](auto& s, auto& w) { return new LogViewerView(s, &w); },
         {"关闭", "搜索日志内容", "全部", "安装日志", "复制到剪贴板"}},
        {"kubeconfig, a file chosen once the screen stands",
         [&](auto& s, auto&) {
             s.setKubeconfigPath({});
             auto* view = new KubeconfigSelectionView(s);
             s.setKubeconfigPath(tools.scratchPath(QStringLiteral("config")));
             return view;
         },
         {"更换文件", "下一步"}},
    };
    state.setInstallDevtron(true);
    state.setInstallationComplete(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        EXPECT_EQ(tabRound(show(c.build)), c.names);
    }
}

TEST_F(KeyboardUse, ReturnOnTheFocusedSwitchPressesNext) {
    auto* choice = static_cast<DevtronChoiceView*>(
        show([](auto& s, auto&) { return new DevtronChoiceView(s); }));
    const QSignalSpy next(choice->nextButton(), &QPushButton::clicked);
    auto* toggle = choice->findChild<QWidget*>(QStringLiteral("installDevtronSwitch"));
    toggle->setFocus();
    QTest::keyClick(toggle, Qt::Key_Return);
    EXPECT_EQ(next.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(),
              choice->findChild<QWidget*>(QStringLiteral("testingStatus")));
}

} // namespace
