#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QHBoxLayout;
class QLabel;

// A list row: a 16 × 16 symbol slot, 10 px of space, the text (12 px, primary colour) and free
// space. A subclass fills the slot with a tinted symbol or a letter badge, and may add widgets at
// the right end (a copy button, say) through rowLayout().
class IconTextRow : public QWidget {
    Q_OBJECT

public:
    const QString& icon() const { return m_icon; }
    const QString& text() const { return m_text; }

protected:
    IconTextRow(const QString& icon, const QString& text, QWidget* parent);

    // The registry's symbol named icon(), tinted.
    void showSymbol(const QColor& tint, int pixelSize = 11);
    // A bold white letter on a rounded square.
    void showBadge(const QString& letter, const QColor& background);
    QHBoxLayout* rowLayout() const { return m_layout; }

private:
    QString m_icon;
    QString m_text;
    QHBoxLayout* m_layout;
    QLabel* m_symbol;
};
