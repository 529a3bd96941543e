#include "views/common/DetailedErrorView.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TEST(DetailedErrorView, MissingOrBlankMessagesReadAsUnknownError) {
    const std::pair<std::optional<QString>, QString> cases[] = {
        {std::nullopt, QStringLiteral("未知错误")},
        {QString(), QStringLiteral("未知错误")},
        {QStringLiteral(" \n\t"), QStringLiteral("未知错误")},
        {QStringLiteral("连接失败"), QStringLiteral("连接失败")},
    };
    for (const auto& [message, shown] : cases) {
        EXPECT_EQ(errorCardText(message), shown);
    }
}

TEST(DetailedErrorView, ShowsTheMessageVerbatimAtAFixedSizeAndBothButtonsClose) {
    const QString markup = QStringLiteral("<b>安装失败</b> %1 &amp;\n第二行");
    DetailedErrorView card(markup);
    EXPECT_EQ(card.errorMessage(), markup);
    const QSize shortSize = card.sizeHint();
    card.setErrorMessage(QStringLiteral("第N行错误输出\n").repeated(200));
    EXPECT_EQ(card.sizeHint(), shortSize);
    EXPECT_EQ(card.width(), 400);
    EXPECT_EQ(card.findChild<QTextEdit*>(QStringLiteral("errorMessage"))->height(), 100);

    QSignalSpy dismissed(&card, &DetailedErrorView::dismissed);
    QTest::mouseClick(card.findChild<QToolButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
    QTest::mouseClick(card.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    QTest::mouseClick(&card, Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(dismissed.count(), 2) << "a click on the card itself is not a close";
}

} // namespace
