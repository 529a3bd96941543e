#pragma once

#include "views/common/IconTextRow.h"

#include <optional>

// One line of the tools list: a letter badge for the bundled tools, else a grey symbol, and text.
class ConfigItemRow : public IconTextRow {
    Q_OBJECT

public:
    ConfigItemRow(const QString& icon, const QString& text, QWidget* parent = nullptr);

    // "H" for "helm", "K" for "kubectl"; none for a symbol name.
    static std::optional<QString> badgeLetter(const QString& icon);
};
