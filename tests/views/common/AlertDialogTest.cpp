#include "views/common/AlertDialog.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

const AlertDialog::Alert alert{QStringLiteral("标题"),
                               QStringLiteral("正文"),
                               QStringLiteral("详情"),
                               {QStringLiteral("我知道了"), QStringLiteral("返回上一步")},
                               0};

TEST(AlertDialog, TheBoxAnswersWithTheClickedButtonOrTheEscapeButtonWhileItsScreenLives) {
    auto parent = std::make_unique<QWidget>();
    parent->show();
    QList<int> answers;
    const auto record = [&](int button) { answers.append(button); };
    QMessageBox* box = AlertDialog::open(parent.get(), alert, record);
    ASSERT_EQ(box->buttons().size(), 2);
    EXPECT_EQ(box->informativeText(), QStringLiteral("详情"));
    box->buttons().at(1)->click();
    QTest::keyClick(AlertDialog::open(parent.get(), alert, record), Qt::Key_Escape);
    EXPECT_EQ(answers, (QList<int>{1, 0}));

    AlertDialog::open(parent.get(), alert, record);
    parent.reset();
    EXPECT_EQ(answers.size(), 2) << "a box still open when its screen goes answers nobody";
}

TEST(AlertDialog, APresenterAnswersInsteadOfABox) {
    QStringList seen;
    AlertDialog::setPresenter([&](const AlertDialog::Alert& shown) {
        seen << shown.title + '|' + shown.informativeText + '|' + shown.buttons.join(',');
        return 1;
    });
    QWidget parent;
    int answer = -1;
    EXPECT_EQ(AlertDialog::open(&parent, alert, [&](int b) { answer = b; }), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer == 1; }, 5000));
    EXPECT_EQ(AlertDialog::exec(nullptr, alert), 1);
    AlertDialog::setPresenter({});
    EXPECT_EQ(seen, QStringList(2, QStringLiteral("标题|详情|我知道了,返回上一步")));
}

} // namespace
