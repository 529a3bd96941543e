#pragma once

#include "views/common/IconTextRow.h"

#include <QList>
#include <QString>

class QLabel;
class QPushButton;

// One line of the access box: a label, its value, and copy and open buttons as asked. An empty
// value is one that could not be read: the row says so and offers nothing to copy or open. The
// label is the value's buddy, which names the value for a screen reader.
class CompletionInfoRow : public IconTextRow {
    Q_OBJECT

public:
    CompletionInfoRow(const QString& label, const QString& value, bool showCopy,
                      bool showOpen = false, QWidget* parent = nullptr);

    const QString& label() const { return text(); }
    const QString& value() const { return m_value; }
    // An empty value shows `missingText` in secondary colour, or "未能读取" in orange without it.
    void setValue(const QString& value, const QString& missingText = {});

    // The address row's label; that row shows its value in a monospace font.
    static QString addressLabel();
    // What stands where a value could not be read.
    static QString unreadText();

signals:
    // The copy button was pressed: the screen copies the value and says so.
    void copyRequested(const QString& value);

private:
    QString m_value;
    QLabel* m_text = nullptr;
    QList<QPushButton*> m_buttons;
};
