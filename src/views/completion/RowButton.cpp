#include "views/completion/RowButton.h"

#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QPushButton>

QPushButton* makeRowButton(const QString& icon, const QString& name, const QString& accessibleName,
                           QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setAccessibleName(accessibleName);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setIcon(IconRegistry::icon(icon, Palette::grey()));
    button->setIconSize(QSize(13, 13));
    button->setFixedSize(20, 20);
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    return button;
}
