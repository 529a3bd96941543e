#include "views/style/IconDiskCache.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPixmapCache>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kName = QStringLiteral("doc.badge.plus");

QImage drawing() {
    return IconRegistry::pixmap(kName, 40, Palette::blue())
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// What the registry stores for a 40-pixel blue `kName` at ratio 1.
QString storedKey() {
    return kName + QStringLiteral("-40-") + Palette::blue().name(QColor::HexArgb).mid(1);
}

QImage marker() {
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    return image;
}

TEST(IconDiskCache, ALaterStartReusesTheStoredRenderingUntilTheThemesChange) {
    const QImage drawn = drawing();
    // What a later start finds on disk is what it shows, without asking the theme again.
    IconDiskCache::insert(storedKey(), marker());
    QPixmapCache::clear();
    EXPECT_EQ(drawing(), marker());

    const QString before = IconDiskCache::generationDirectory();
    QIcon::setThemeName(QStringLiteral("nimbrel-test-theme"));
    EXPECT_NE(IconDiskCache::generationDirectory(), before);
    QPixmapCache::clear();
    EXPECT_EQ(drawing(), drawn);
    EXPECT_FALSE(QFileInfo::exists(before)) << "the old renderings were left behind";
}

TEST(IconDiskCache, DamagedFilesAreDrawnAgainAndReplaced) {
    const QImage drawn = drawing();
    const QString path = IconDiskCache::generationDirectory() + QLatin1Char('/') + storedKey() +
                         QStringLiteral(".icon");
    ASSERT_TRUE(QFileInfo(path).isFile());
    QFile original(path);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray good = original.readAll();
    for (const QByteArray& damaged : {QByteArray(), good.left(100), good + QByteArray("extra")}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();
        QPixmapCache::clear();
        EXPECT_EQ(drawing(), drawn);
        EXPECT_FALSE(IconDiskCache::find(storedKey(), 40).isNull()) << "not written again";
    }
}

TEST(IconDiskCache, AnUnwritableCacheOnlyCostsTheLookup) {
    const QTemporaryDir folder;
    QFile blocker(folder.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray usable = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(blocker.fileName()));
    const QImage drawn = drawing();
    EXPECT_TRUE(IconDiskCache::find(storedKey(), 40).isNull());
    qputenv("XDG_CACHE_HOME", usable);
    QPixmapCache::clear();
    EXPECT_EQ(drawn, drawing());
}

TEST(IconDiskCache, ClearingOldRenderingsNeverFollowsALink) {
    const QTemporaryDir elsewhere;
    QFile precious(elsewhere.filePath(QStringLiteral("precious")));
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    precious.close();
    const QString icons = QFileInfo(IconDiskCache::generationDirectory()).path();
    ASSERT_TRUE(QDir().mkpath(icons));
    ASSERT_TRUE(QFile::link(elsewhere.path(), icons + QStringLiteral("/old")));
    QPixmapCache::clear();
    IconRegistry::pixmap(kName, 40, Palette::blue());
    EXPECT_TRUE(precious.exists());
}

} // namespace
