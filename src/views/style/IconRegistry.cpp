#include "views/style/IconRegistry.h"

#include "views/style/IconDiskCache.h"
#include "views/style/TintedIconEngine.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>

#include <array>

// Resources of a static library are only registered when something asks for them by name.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace {

struct IconEntry {
    const char* name;
    // A freedesktop symbolic icon that means the same thing, or nullptr when none fits.
    const char* themeName;
};

constexpr std::array kEntries{
    IconEntry{"arrow.up.forward.square", nullptr},
    IconEntry{"chart.xyaxis.line", nullptr},
    IconEntry{"checkmark", "object-select-symbolic"},
    IconEntry{"checkmark.circle.fill", nullptr},
    IconEntry{"chevron.right", "go-next-symbolic"},
    IconEntry{"clock", nullptr},
    IconEntry{"cube.box.fill", nullptr},
    IconEntry{"doc.badge.plus", "document-new-symbolic"},
    IconEntry{"doc.fill", nullptr},
    IconEntry{"doc.on.doc", "edit-copy-symbolic"},
    IconEntry{"doc.text.magnifyingglass", "edit-find-symbolic"},
    IconEntry{"exclamationmark.triangle", nullptr},
    IconEntry{"exclamationmark.triangle.fill", "dialog-warning-symbolic"},
    IconEntry{"eye", "view-reveal-symbolic"},
    IconEntry{"eye.slash", "view-conceal-symbolic"},
    IconEntry{"folder.badge.plus", "folder-new-symbolic"},
    IconEntry{"gearshape.2", "emblem-system-symbolic"},
    IconEntry{"xmark", "window-close-symbolic"},
    IconEntry{"xmark.circle.fill", nullptr},
};

const IconEntry* findEntry(const QString& name) {
    for (const IconEntry& entry : kEntries) {
        if (name == QLatin1String(entry.name)) {
            return &entry;
        }
    }
    return nullptr;
}

void ensureResources() {
    static const bool registered = [] {
        initIconResources();
        return true;
    }();
    Q_UNUSED(registered);
}

qreal screenPixelRatio() {
    return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

// The untinted shape: the theme's symbolic icon when the desktop has it, else our own drawing.
void paintShape(QPainter& painter, const IconEntry& entry, const QRect& target) {
    if (entry.themeName != nullptr) {
        const QString themeName = QLatin1String(entry.themeName);
        if (QIcon::hasThemeIcon(themeName)) {
            const QPixmap themed = QIcon::fromTheme(themeName).pixmap(target.size(), 1.0);
            if (!themed.isNull()) {
                painter.drawPixmap(target, themed);
                return;
            }
        }
    }
    // Through Qt's SVG image plugin, loaded on the first drawing: with the rendered icons cached,
    // most starts never need the SVG library.
    QImageReader reader(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(entry.name)), "svg");
    reader.setScaledSize(target.size());
    const QImage drawn = reader.read();
    if (!drawn.isNull()) {
        painter.drawImage(target, drawn);
    }
}

} // namespace

bool IconRegistry::contains(const QString& name) {
    return findEntry(name) != nullptr;
}

QStringList IconRegistry::names() {
    QStringList result;
    result.reserve(static_cast<qsizetype>(kEntries.size()));
    for (const IconEntry& entry : kEntries) {
        result.append(QLatin1String(entry.name));
    }
    return result;
}

QPixmap IconRegistry::pixmap(const QString& name, int pixelSize, const QColor& tint) {
    if (pixelSize <= 0 || pixelSize > 4096) {
        return {};
    }
    const qreal ratio = screenPixelRatio();
    QPixmap result = devicePixmap(name, qRound(pixelSize * ratio), tint);
    result.setDevicePixelRatio(ratio);
    return result;
}

QPixmap IconRegistry::devicePixmap(const QString& name, int physicalSize, const QColor& tint) {
    const IconEntry* entry = findEntry(name);
    if (entry == nullptr || physicalSize <= 0 || physicalSize > 4096 * 4) {
        return {};
    }
    const QString key = QStringLiteral("%1-%2-%3")
                            .arg(name)
                            .arg(physicalSize)
                            .arg(tint.name(QColor::HexArgb).mid(1));
    const QString memoryKey = QStringLiteral("nimbrel-icon/") + key;
    QPixmap cached;
    if (QPixmapCache::find(memoryKey, &cached)) {
        return cached;
    }

    QImage image = IconDiskCache::find(key, physicalSize);
    if (image.isNull()) {
        ensureResources();
        image = QImage(physicalSize, physicalSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            paintShape(painter, *entry, image.rect());
            // Keep the shape's coverage, replace its colour: every icon takes the colour it is
            // asked for.
            painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            painter.fillRect(image.rect(), tint);
        }
        IconDiskCache::insert(key, image);
    }
    QPixmap result = QPixmap::fromImage(image);
    QPixmapCache::insert(memoryKey, result);
    return result;
}

QIcon IconRegistry::icon(const QString& name, const QColor& tint) {
    if (!contains(name)) {
        return {};
    }
    return QIcon(new TintedIconEngine(name, tint));
}
