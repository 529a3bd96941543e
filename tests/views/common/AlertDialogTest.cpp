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
    const auto record = [&](int button) { answers.append(button); };
    QMessageBox* box = AlertDialog::open(parent.get(), alert, record);
    ASSERT_EQ(box->buttons().size(), 2);
    EXPECT_EQ(box->informativeText(), QStringLiteral("详情"));
    box->buttons().at(1)->click();
    QTest::keyClick(AlertDialog::open(parent.get(), alert, record), Qt::Key_Escape);
    EXPECT_EQ(answers, (QList<int>{1, 0}));
}

} // namespace
