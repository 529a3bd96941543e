#include "GalleryStage.h"

#include "app/MainWindow.h"
#include "shell/UiLanguage.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

bool inScrollArea(const QWidget* widget) {
    for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(up) != nullptr) {
            return true;
        }
    }
    return false;
}

// A text is whole when its widget has the room the text asks for and lies inside its window;
// a visible sibling that covers part of it hides it as well.
QStringList cutTexts(const QWidget& window) {
    QStringList cut;
    const auto check = [&](const QWidget* widget, const QString& text, bool whole) {
        const QRect inWindow(widget->mapTo(widget->window(), QPoint()), widget->size());
        if (!whole || (!inScrollArea(widget) && !widget->window()->rect().contains(inWindow))) {
            cut << QStringLiteral("%1 \"%2\" %3x%4")
                           .arg(widget->objectName(), text)
                           .arg(widget->width())
                           .arg(widget->height()) +
                       QStringLiteral(" at %1,%2").arg(inWindow.x()).arg(inWindow.y());
        }
        for (const QWidget* sibling :
             widget->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (sibling != widget && sibling->isVisible() && !text.isEmpty() &&
                (qobject_cast<const QLabel*>(sibling) ||
                 qobject_cast<const QAbstractButton*>(sibling)) &&
                sibling->geometry().intersects(widget->geometry())) {
                cut << QStringLiteral("\"%1\" overlaps %2").arg(text, sibling->objectName());
            }
        }
    };
    // Dialogs are windows of their own among the main window's children.
    const auto shown = [&window](const QWidget* widget) {
        return widget->isVisible() && widget->window() == &window;
    };
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (shown(label) && !label->text().isEmpty()) {
            check(label, label->text(),
                  label->wordWrap() ? label->height() >= label->heightForWidth(label->width())
                                    : label->width() >= label->minimumSizeHint().width());
        }
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (shown(button) && !button->text().isEmpty()) {
            check(button, button->text(), button->width() >= button->minimumSizeHint().width());
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
            if (window->isVisible()) {
                cut << cutTexts(*window);
            }
        }
        EXPECT_TRUE(cut.isEmpty()) << name.toStdString() << ":\n" << cut.join(u'\n').toStdString();
        stage.release();
    }
}
