#include "GalleryStage.h"

#include "shell/UiLanguage.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

bool whole(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget); label && label->wordWrap()) {
        return label->height() >= label->heightForWidth(label->width());
    }
    // Outside a scroll area nothing may reach past the window's edge.
    for (const QWidget* up = widget.parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(up) != nullptr) {
            return widget.width() >= widget.minimumSizeHint().width();
        }
    }
    return widget.width() >= widget.minimumSizeHint().width() &&
           widget.window()->rect().contains(
               QRect(widget.mapTo(widget.window(), QPoint()), widget.size()));
}

// Labels and buttons of the window (dialogs are windows of their own) that are cut, or that
// overlap another label or button.
QStringList cutTexts(const QWidget& window) {
    QList<const QWidget*> shown;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        const auto* label = qobject_cast<const QLabel*>(widget);
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (!text.isEmpty() && widget->isVisible() && widget->window() == &window) {
            shown << widget;
        }
    }
    QStringList cut;
    for (const QWidget* widget : shown) {
        const QString name =
            widget->objectName() + QLatin1Char(' ') + widget->property("text").toString().left(40);
        if (!whole(*widget)) {
            cut << QStringLiteral("cut: %1 (%2 px)").arg(name).arg(widget->width());
        }
        for (const QWidget* other : shown) {
            if (other != widget && other->parentWidget() == widget->parentWidget() &&
                other->geometry().intersects(widget->geometry())) {
                cut << QStringLiteral("overlapped: ") + name;
            }
        }
    }
    return cut;
}

} // namespace

// Run once a language and scale: NIMBREL_TEST_LANGUAGE=en speaks English, QT_SCALE_FACTOR scales.
TEST(TextFit, EveryTextOfEveryStateIsWhole) {
    const UiLanguage language(qEnvironmentVariable("NIMBREL_TEST_LANGUAGE") == QLatin1String("en")
                                  ? UiLanguage::Language::english
                                  : UiLanguage::Language::chinese);
    for (const QString& name : GalleryStage::stateNames()) {
        GalleryStage stage;
        QSignalSpy settled(&stage, &GalleryStage::settled);
        ASSERT_TRUE(stage.stage(name));
        ASSERT_TRUE(settled.wait(60000)) << name.toStdString();
        QStringList cut;
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            cut << (window->isVisible() ? cutTexts(*window) : QStringList());
        }
        EXPECT_TRUE(cut.isEmpty()) << name.toStdString() << ":\n" << cut.join(u'\n').toStdString();
        stage.release();
    }
}
