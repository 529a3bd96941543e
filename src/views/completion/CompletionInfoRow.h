#pragma once

#include <QString>
#include <QWidget>

// One line of the access box: a label, its value, and copy and open buttons as asked.
class CompletionInfoRow : public QWidget {
    Q_OBJECT

public:
    CompletionInfoRow(const QString& label, const QString& value, bool showCopy,
                      bool showOpen = false, QWidget* parent = nullptr);

    const QString& label() const { return m_label; }
    const QString& value() const { return m_value; }

private:
    QString m_label;
    QString m_value;
};
