#pragma once

#include <QString>
#include <QWidget>

// One line of the Devtron feature list: a blue symbol and its text.
class FeatureRow : public QWidget {
    Q_OBJECT

public:
    FeatureRow(const QString& icon, const QString& text, QWidget* parent = nullptr);

    const QString& icon() const { return m_icon; }
    const QString& text() const { return m_text; }

private:
    QString m_icon;
    QString m_text;
};
