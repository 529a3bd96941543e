#include "views/common/AlertDialog.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const AlertDialog::Alert alert{
    u"标题"_s, u"正文"_s, u"详情"_s, {u"我知道了"_s, u"返回上一步"_s}, 0};

TEST(AlertDialog, TheBoxAnswersWithTheClickedButtonOrTheEscapeButton) {
    auto parent = std::make_unique<QWidget>();
    parent->show();
    QList<int> answers;
    const auto record = [&](int button) { answers.append(button); };
    QMessageBox* box = AlertDialog::open(parent.get(), alert, record);
    ASSERT_EQ(box->buttons().size(), 2);
    EXPECT_EQ(box->informativeText(), u"详情"_s);
    box->buttons().at(1)->click();
    QTest::keyClick(AlertDialog::open(parent.get(), alert, record), Qt::Key_Escape);
    EXPECT_EQ(answers, (QList<int>{1, 0}));
}

} // namespace
