#pragma once

#include <QImage>
#include <QString>

// Rendered icons kept between runs. Finding a symbol in the desktop's icon theme means parsing
// the theme's whole index, about a fifth of a start's work; a stored rendering skips that for as
// long as the themes, their folders and the program stay the same.
class IconDiskCache {
public:
    IconDiskCache() = delete;

    // The image stored under `key` for the current themes and program; null when there is none
    // or the file does not hold a `physicalSize` square.
    static QImage find(const QString& key, int physicalSize);
    // Best effort: a cache that cannot be written only costs the next start the lookup.
    static void insert(const QString& key, const QImage& image);

    // The folder for the current themes and program. Whatever changes in them (theme name,
    // search paths, a theme folder, the executable) gives another folder.
    static QString generationDirectory();
};
