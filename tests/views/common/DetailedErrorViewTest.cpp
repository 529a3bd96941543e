#include "views/common/DetailedErrorView.h"

#include <gtest/gtest.h>

namespace {

TEST(DetailedErrorView, ShowsTheMessageVerbatimAtAFixedSize) {
    const QString markup = QStringLiteral("<b>安装失败</b> %1 &amp;\n第二行");
    DetailedErrorView card(markup);
    EXPECT_EQ(card.errorMessage(), markup);
    const QSize shortSize = card.sizeHint();
    card.setErrorMessage(QStringLiteral("第N行错误输出\n").repeated(200));
    EXPECT_EQ(card.sizeHint(), shortSize) << "a long message scrolls inside the card";
}

} // namespace
