#pragma once

#include <QColor>
#include <QString>

class QPushButton;
class QWidget;

// The screens' three kinds of button, drawn flat in the palette's colours:
// - primary: white text on blue (the way on: "下一步", "浏览文件");
// - secondary: primary text on faint grey (the way back: "上一步");
// - link: blue text without a background ("点击注册", "更换文件").
class Buttons {
public:
    Buttons() = delete;

    // Label at 13 px, medium weight. `disabledFill` is the background while disabled.
    static QPushButton* primary(const QString& text, QWidget* parent,
                                const QColor& disabledFill = dimmedFill());
    static QPushButton* secondary(const QString& text, QWidget* parent);
    // Regular weight at `pixelSize`; secondary text colour while disabled.
    static QPushButton* link(const QString& text, int pixelSize, QWidget* parent);

    // Grey at 30 %: a primary button that cannot be pressed yet.
    static QColor dimmedFill();
};
