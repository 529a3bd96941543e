#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// Icons by the symbol names the screens use ("doc.badge.plus", "checkmark", ...): a freedesktop
// theme icon where one fits, else one of the project's own SVGs, tinted as asked.
class IconRegistry {
public:
    IconRegistry() = delete;

    static bool contains(const QString& name);
    static QStringList names();
    static QIcon icon(const QString& name, const QColor& tint);
    static QPixmap pixmap(const QString& name, int pixelSize, const QColor& tint);
};
