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

TEST(AlertDialog, TheBoxAnswersWithTheClickedButtonOrTheEscapeButton) {
    auto parent = std::make_unique<QWidget>();
    parent->show();
    QList<int> answers;
    QMessageBox* box = AlertDialog::open(parent.get(), alert, [&](int b) { answers.append(b); });
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->informativeText(), QStringLiteral("详情"));
    ASSERT_EQ(box->buttons().size(), 2);
    box->buttons().at(1)->click();

    box = AlertDialog::open(parent.get(), alert, [&](int b) { answers.append(b); });
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(answers, (QList<int>{1, 0}));

    // A box still open when its screen goes answers nobody.
    AlertDialog::open(parent.get(), alert, [&](int b) { answers.append(b); });
    parent.reset();
    EXPECT_EQ(answers.size(), 2);
}

TEST(AlertDialog, APresenterAnswersInsteadOfABox) {
    QStringList seen;
    AlertDialog::setPresenter([&](const AlertDialog::Alert& shown) {
        seen << shown.title + '|' + shown.text + '|' + shown.informativeText + '|' +
                    shown.buttons.join(',');
        return 1;
    });
    QWidget parent;
    int answer = -1;
    EXPECT_EQ(AlertDialog::open(&parent, alert, [&](int b) { answer = b; }), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer == 1; }, 5000));

    EXPECT_EQ(AlertDialog::exec(nullptr, alert), 1);
    AlertDialog::setPresenter({});
    EXPECT_EQ(seen.size(), 2);
}

} // namespace
