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
    // Drawn at the size it is shown at, when it is first shown.
    static QIcon icon(const QString& name, const QColor& tint);
    // `pixelSize` in device-independent pixels, drawn for the screen's pixel ratio.
    static QPixmap pixmap(const QString& name, int pixelSize, const QColor& tint);
    // `physicalSize` device pixels, device pixel ratio 1.
    static QPixmap devicePixmap(const QString& name, int physicalSize, const QColor& tint);
};
