#pragma once

#include <QString>
#include <QWidget>

#include <optional>

// One line of the tools list: a letter badge for the bundled tools, else a grey symbol, and text.
class ConfigItemRow : public QWidget {
    Q_OBJECT

public:
    ConfigItemRow(const QString& icon, const QString& text, QWidget* parent = nullptr);

    const QString& icon() const { return m_icon; }
    const QString& text() const { return m_text; }

    // "H" for "helm", "K" for "kubectl"; none for a symbol name.
    static std::optional<QString> badgeLetter(const QString& icon);

private:
    QString m_icon;
    QString m_text;
};
