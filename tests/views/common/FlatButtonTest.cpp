#include "views/common/Buttons.h"
#include "views/style/Palette.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The look the buttons are drawn to, said declaratively by a style sheet: in every state, with and
// without an icon, the drawn button has its size and pixels.
TEST(FlatButton, SizedAndDrawnAsTheStyleSheetDescribesIt) {
    const QString text = QStringLiteral("浏览文件");
    const QString blue = Palette::css(Palette::blue());
    const QString sheets[] = {
        QStringLiteral(
            "QPushButton { background-color: %1; color: %2; border: none; border-radius: "
            "6px; padding: 8px 16px; } QPushButton:disabled { background-color: %3; }")
            .arg(blue, Palette::css(Palette::white()), Palette::css(Buttons::dimmedFill())),
        QStringLiteral("QPushButton { color: %1; background: transparent; border: none; padding: "
                       "0; } QPushButton:disabled { color: %2; }")
            .arg(blue, Palette::css(Palette::secondaryText()))};
    QPixmap icon(13, 13);
    icon.fill(Qt::red);
    for (const bool link : {false, true}) {
        for (int state = 0; state < 10; ++state) {
            QImage drawn[2];
            for (int version = 0; version < 2; ++version) {
                QWidget window;
                auto* button = version == 0 ? new QPushButton(text, &window)
                               : link       ? Buttons::link(text, 12, &window)
                                            : Buttons::primary(text, &window);
                if (version == 0) {
                    button->setFont(link ? Palette::font(12) : Palette::font(13, QFont::Medium));
                    button->setFlat(link);
                    button->setStyleSheet(sheets[link ? 1 : 0]);
                }
                button->move(4, 4);
                button->setIcon(state % 2 == 0 ? QIcon() : QIcon(icon));
                button->setIconSize(QSize(13, 13));
                button->setText(state / 2 == 1 ? QString() : text);
                button->setEnabled(state / 2 != 2);
                button->setDown(state / 2 == 3);
                button->resize(button->sizeHint());
                window.show();
                if (state / 2 == 4) {
                    window.activateWindow();
                    button->setFocus(Qt::TabFocusReason);
                    window.setAttribute(Qt::WA_KeyboardFocusChange);
                }
                QApplication::processEvents();
                drawn[version] = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
            }
            EXPECT_TRUE(drawn[0] == drawn[1]) << "link " << link << ", state " << state;
        }
    }
}

} // namespace
