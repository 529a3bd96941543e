#include "views/completion/CompletionView.h"
#include "session/InstallationState.h"
#include "support/AccessibilityRecorder.h"
#include "support/ChildSession.h"
#include "support/ScreenTest.h"
#include "views/common/AlertDialog.h"
#include "views/completion/CompletionController.h"
#include "views/completion/CompletionInfoRow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

#include <gtest/gtest.h>

#include <memory>

namespace {

class CompletionScreen : public ::testing::Test, protected screen_test::Parts {
protected:
    CompletionScreen() {
        state.setDevtronUrl(QStringLiteral("http://127.0.0.1:22443"));
        state.setDevtronPassword(QStringLiteral("s3cret"));
    }

    void open(bool installDevtron, bool complete) {
        state.setInstallDevtron(installDevtron);
        state.setInstallationComplete(complete);
        view = std::make_unique<CompletionView>(
            new CompletionController(state, service, [this] { ++quits; }));
        view->show();
    }
    const QWidget* screen() const override { return view.get(); }

    // Parallel test processes share one keyring, so every case keeps to a service of its own.
    const QString service = QStringLiteral("com.orvane.nimbrel.test.") +
                            QUuid::createUuid().toString(QUuid::WithoutBraces);
    InstallationState state;
    int quits = 0;
    std::unique_ptr<CompletionView> view;
};

TEST_F(CompletionScreen, SectionsFollowTheLayout) {
    struct Case {
        bool installDevtron, complete, notice, access, rows, timeoutText;
    };
    const Case cases[] = {
        {false, true, false, false, false, false},
        {true, true, false, true, true, false},
        {true, false, true, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.installDevtron << c.complete);
        open(c.installDevtron, c.complete);
        EXPECT_EQ(text("subtitle"), view->controller().subtitle());
        EXPECT_EQ(shown("timeoutNotice"), c.notice);
        EXPECT_EQ(shown("accessSection"), c.access);
        EXPECT_EQ(shown("accessRows"), c.rows);
        EXPECT_EQ(shown("keepWarning"), c.rows);
        EXPECT_EQ(shown("accessTimeout"), c.timeoutText);
    }
}

TEST_F(CompletionScreen, EyeLogButtonAndEveryCopyIsSeenAndHeard) {
    open(true, true);
    for (const char* expected : {"s3cret", "••••••"}) {
        click("eyeButton");
        EXPECT_EQ(text("password"), QString::fromUtf8(expected));
    }
    QSignalSpy requested(view.get(), &CompletionView::logViewerRequested);
    click("logButton");
    EXPECT_EQ(requested.count(), 1);

    // Each value is named by its label, and each copy says "已复制" on screen and to the reader.
    const AccessibilityRecorder recorder;
    for (const auto* row : view->findChildren<CompletionInfoRow*>()) {
        QTest::mouseClick(row->findChild<QPushButton*>(QStringLiteral("copy")), Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), row->value());
    }
    click("copyPassword");
    click("copyCommand");
    EXPECT_EQ(recorder.announcements(), QStringList(4, QStringLiteral("已复制")));
    EXPECT_TRUE(child<QLabel>("notice")->isVisible());
    QStringList labels;
    for (QLabel* value : {child<QLabel>("value"), view->findChildren<QLabel*>("value").last(),
                          child<QLabel>("password")}) {
        EXPECT_TRUE(value->textInteractionFlags() & Qt::TextSelectableByMouse);
        for (const auto& [label, relation] :
             QAccessible::queryAccessibleInterface(value)->relations(QAccessible::Label)) {
            labels << label->text(QAccessible::Name);
        }
    }
    EXPECT_EQ(labels, (QStringList{"地址", "用户名", "密码"}));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(child("passwordRow"))->text(QAccessible::Name),
              QStringLiteral("密码"));
}

TEST_F(CompletionScreen, EscapeLeavesTheSaveAlertWithoutFinishing) {
    open(true, true);
    click("doneButton");
    auto* alert = child<QMessageBox>("saveAlert");
    ASSERT_TRUE(alert != nullptr && QTest::qWaitForWindowActive(alert));
    QTest::keyClick(alert, Qt::Key_Escape);
    EXPECT_FALSE(alert->isVisible());
    EXPECT_FALSE(view->controller().showSaveAlert() || view->controller().hasPendingFinish());
    EXPECT_EQ(quits, 0);
}

TEST_F(CompletionScreen, AValueNotReadIsMarkedWithWhyAndHowToReadItAndTheSaveFailureAlerts) {
    state.setDevtronPassword({});
    state.setDevtronPasswordFailure(QStringLiteral("NotFound"));
    open(true, true);
    EXPECT_EQ(text("password"), QStringLiteral("未能读取"));
    EXPECT_FALSE(shown("eyeButton") || shown("copyPassword"));
    EXPECT_TRUE(shown("unreadBox"));
    EXPECT_EQ(text("unreadReasons"), QStringLiteral("无法读取Devtron密码: NotFound"));
    EXPECT_EQ(view->findChildren<QWidget*>(QStringLiteral("manualCommand")).size(), 1);

    // Read again, as the button would: the marks go.
    state.setDevtronPassword(QStringLiteral("s3cret"));
    state.setDevtronPasswordFailure({});
    EXPECT_FALSE(shown("unreadBox"));
    EXPECT_TRUE(shown("copyPassword"));
}

TEST_F(CompletionScreen, WithoutSecretServiceTheSaveFailureAlertsAndTheWindowStays) {
    if (!ChildSession::isChild()) {
        ChildSession::rerun(ChildSession::Kind::noSessionBus);
        return;
    }
    QStringList alerts;
    // "返回" first, then "退出".
    QList<int> answers{0, 2};
    AlertDialog::setPresenter([&](const AlertDialog::Alert& alert) {
        alerts << alert.informativeText;
        return answers.takeFirst();
    });
    open(true, true);
    view->controller().finishWithoutCopy();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !view->controller().saveFailure().isEmpty() && alerts.size() == 1; }));
    EXPECT_TRUE(alerts.first().startsWith(QStringLiteral("没有可用的钥匙串服务")))
        << alerts.first().toStdString();
    QTest::qWait(50);
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(child<QPushButton>("doneButton")->isEnabled());
    view->controller().finishWithoutCopy();
    EXPECT_TRUE(QTest::qWaitFor([&] { return quits == 1; }));
    AlertDialog::setPresenter({});
}

} // namespace
