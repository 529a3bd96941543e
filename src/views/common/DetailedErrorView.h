#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QTextEdit;

// The text the error card shows: the message, or "未知错误" when there is none worth showing.
QString errorCardText(const std::optional<QString>& message);

// The error card: a red warning header, the message in a scrollable box, and two ways to close
// it. Closing only asks the owner to stop presenting it.
class DetailedErrorView : public QWidget {
    Q_OBJECT

public:
    explicit DetailedErrorView(const QString& errorMessage, QWidget* parent = nullptr);

    QString errorMessage() const;
    void setErrorMessage(const QString& errorMessage);

signals:
    // The user closed the card by its close mark or by "确定".
    void dismissed();

protected:
    void paintEvent(QPaintEvent* event) override;
    // Clicks on the card stay on the card instead of reaching the dim layer behind it.
    void mousePressEvent(QMouseEvent* event) override;

private:
    QTextEdit* m_message;
};
