#pragma once

#include "views/common/IconTextRow.h"

// One line of the Devtron feature list: a blue symbol and its text.
class FeatureRow : public IconTextRow {
    Q_OBJECT

public:
    FeatureRow(const QString& icon, const QString& text, QWidget* parent = nullptr);
};
