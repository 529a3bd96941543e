#include "views/common/SlimScrollBarStyle.h"
#include "views/style/Palette.h"

#include <QImage>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

// Width, handle and clear ground as the style sheet that says the look declaratively, at either end
// of short and long ranges and in between.
TEST(SlimScrollBarStyle, DrawnAsTheStyleSheetDescribesIt) {
    const QString described =
        QStringLiteral(
            "QScrollBar { width: 8px; background: transparent; margin: 0; }"
            "QScrollBar::handle { background: %1; border-radius: 4px; min-height: 24px; }"
            "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
            "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(Palette::css(Palette::withOpacity(Palette::grey(), 0.45)));
    for (const int maximum : {0, 500, 7000}) {
        for (const int value : {0, maximum / 3, maximum}) {
            QImage drawn[2];
            for (int version = 0; version < 2; ++version) {
                QWidget window; // the ground that shows through
                auto* bar = new QScrollBar(Qt::Vertical, &window);
                version == 0 ? bar->setStyleSheet(described)
                             : bar->setStyle(SlimScrollBarStyle::instance());
                bar->setRange(0, maximum);
                bar->setPageStep(200);
                bar->setValue(value);
                bar->resize(bar->sizeHint().width(), 200);
                window.resize(20, 200);
                drawn[version] = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
            }
            EXPECT_TRUE(drawn[0] == drawn[1]) << maximum << ' ' << value;
        }
    }
}

} // namespace
