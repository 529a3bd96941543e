#include "views/DetailedErrorView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(DetailedErrorView, MissingOrBlankMessagesReadAsUnknownError) {
    EXPECT_EQ(errorCardText(std::nullopt), QStringLiteral("未知错误"));
    EXPECT_EQ(errorCardText(QString()), QStringLiteral("未知错误"));
    EXPECT_EQ(errorCardText(QStringLiteral(" \n\t")), QStringLiteral("未知错误"));
    EXPECT_EQ(errorCardText(QStringLiteral("连接失败")), QStringLiteral("连接失败"));
}

TEST(DetailedErrorView, ShowsTheMessageVerbatimAndKeepsItsSizeForLongMessages) {
    const QString markup = QStringLiteral("<b>安装失败</b> %1 &amp;\n第二行");
    DetailedErrorView card(markup);
    EXPECT_EQ(card.errorMessage(), markup);
    EXPECT_EQ(card.findChild<QTextEdit*>(QStringLiteral("errorMessage"))->toPlainText(), markup);
    const QSize shortSize = card.sizeHint();
    EXPECT_EQ(card.width(), 400);

    QStringList lines;
    for (int i = 0; i < 200; ++i) {
        lines << QStringLiteral("第%1行错误输出").arg(i);
    }
    card.setErrorMessage(lines.join(QLatin1Char('\n')));
    EXPECT_EQ(card.sizeHint(), shortSize);
    EXPECT_EQ(card.findChild<QTextEdit*>(QStringLiteral("errorMessage"))->height(), 100);
}

TEST(DetailedErrorView, BothButtonsCloseTheCardAndTouchNothingElse) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    DetailedErrorView card(QStringLiteral("错误"));
    QSignalSpy dismissed(&card, &DetailedErrorView::dismissed);

    QTest::mouseClick(card.findChild<QToolButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
    EXPECT_EQ(dismissed.count(), 1);
    QTest::mouseClick(card.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    EXPECT_EQ(dismissed.count(), 2);

    QTest::mouseClick(&card, Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(dismissed.count(), 2) << "a click on the card itself is not a close";
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}
