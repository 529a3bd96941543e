#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class FilledLabel;
class QHBoxLayout;
class QLabel;
class QSpacerItem;

// A list row: a 16 × 16 symbol slot, 10 px of space, the text (12 px, primary colour) and free
// space. A subclass fills the slot with a tinted symbol or a letter badge, may put further parts
// right after the text (a status mark, a value) and widgets at the right end (a copy button, say)
// through rowLayout(). A row without an icon has no slot: its text starts the row.
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
    // For a text that names what follows it: a fixed width lines the following parts up from row
    // to row.
    void setTextLook(int pixelSize, const QColor& colour, int width);
    // Puts a part right after the text, before the free space.
    void addAfterText(QWidget* part, int stretch = 0);
    QLabel* textLabel() const { return m_label; }
    QHBoxLayout* rowLayout() const { return m_layout; }

private:
    QString m_icon;
    QString m_text;
    QHBoxLayout* m_layout;
    FilledLabel* m_symbol;
    QLabel* m_label;
    QSpacerItem* m_freeSpace;
};
