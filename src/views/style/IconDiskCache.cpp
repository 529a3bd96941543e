#include "views/style/IconDiskCache.h"

#include "shell/AppPaths.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSaveFile>

#include <cstring>

namespace {

// Raw pixels behind a short header: decoding a PNG through Qt's image readers costs more than
// the theme lookup it saves. The cache stays on this machine, so native byte order is fine.
constexpr char magic[8] = {'N', 'B', 'I', 'C', 'O', 'N', '0', '1'};
constexpr qint64 headerSize = sizeof(magic) + 2 * sizeof(quint32);

QString iconsDirectory() {
    return AppPaths::cacheDirectory() + QStringLiteral("/icons");
}

// Keys are the registry's names with a size and colour: no separators, but a stray one must
// not reach outside the folder.
QString fileName(const QString& key) {
    QString safe = key;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    return safe + QStringLiteral(".icon");
}

QByteArray stamp(const QFileInfo& info) {
    return info.absoluteFilePath().toUtf8() + ' ' +
           QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '\n';
}

// Installing or removing a theme changes its search path folder; updating one replaces its
// index or icon-theme.cache and so changes the theme's own folder.
QByteArray themeState() {
    QByteArray state =
        QIcon::themeName().toUtf8() + '\n' + QIcon::fallbackThemeName().toUtf8() + '\n';
    for (const QString& path : QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths()) {
        const QDir folder(path);
        state += stamp(QFileInfo(path));
        for (const QFileInfo& theme :
             folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            state += stamp(theme);
        }
    }
    return state;
}

void removeOtherGenerations(const QString& current) {
    const QDir icons(iconsDirectory());
    // Never through a link: only folders this cache made are removed.
    for (const QFileInfo& entry :
         icons.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        if (entry.absoluteFilePath() != current) {
            QDir(entry.absoluteFilePath()).removeRecursively();
        }
    }
}

} // namespace

QString IconDiskCache::generationDirectory() {
    // Folders are looked at again only when the theme settings change: a start asks for a few
    // icons at once, and a theme installed meanwhile is Qt's own loader's news too.
    static QStringList lastSettings;
    static QString lastDirectory;
    const QStringList settings =
        QStringList{QIcon::themeName(), QIcon::fallbackThemeName(), AppPaths::cacheDirectory()} +
        QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths();
    if (settings == lastSettings && !lastDirectory.isEmpty()) {
        return lastDirectory;
    }
    QByteArray state = QByteArray(qVersion()) + '\n' + themeState();
    // The program's own drawings change with the program.
    state += stamp(QFileInfo(QCoreApplication::applicationFilePath()));
    const QByteArray digest = QCryptographicHash::hash(state, QCryptographicHash::Sha256).toHex();
    lastSettings = settings;
    lastDirectory = iconsDirectory() + QLatin1Char('/') + QString::fromLatin1(digest.left(24));
    return lastDirectory;
}

QImage IconDiskCache::find(const QString& key, int physicalSize) {
    QFile file(generationDirectory() + QLatin1Char('/') + fileName(key));
    const qint64 pixelBytes = qint64{physicalSize} * physicalSize * 4;
    if (physicalSize <= 0 || !file.open(QIODevice::ReadOnly) ||
        file.size() != headerSize + pixelBytes) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    quint32 size[2] = {};
    if (bytes.size() != headerSize + pixelBytes ||
        std::memcmp(bytes.constData(), magic, sizeof(magic)) != 0) {
        return {};
    }
    std::memcpy(size, bytes.constData() + sizeof(magic), sizeof(size));
    if (size[0] != quint32(physicalSize) || size[1] != quint32(physicalSize)) {
        return {};
    }
    QImage image(physicalSize, physicalSize, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < physicalSize; ++y) {
        std::memcpy(image.scanLine(y),
                    bytes.constData() + headerSize + qint64{y} * physicalSize * 4,
                    size_t(physicalSize) * 4);
    }
    return image;
}

void IconDiskCache::insert(const QString& key, const QImage& image) {
    if (image.isNull() || image.width() != image.height()) {
        return;
    }
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QString generation = generationDirectory();
    if (!QFileInfo(generation).isDir()) {
        if (!QDir().mkpath(generation)) {
            return;
        }
        removeOtherGenerations(generation);
    }
    QByteArray bytes(magic, sizeof(magic));
    const quint32 size[2] = {quint32(pixels.width()), quint32(pixels.height())};
    bytes.append(reinterpret_cast<const char*>(size), sizeof(size));
    for (int y = 0; y < pixels.height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(pixels.constScanLine(y)),
                     qsizetype{pixels.width()} * 4);
    }
    QSaveFile file(generation + QLatin1Char('/') + fileName(key));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) {
        file.commit();
    }
}
