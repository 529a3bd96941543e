#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class QPushButton;
class QTextEdit;

// The text the error card shows: the message, or "未知错误" when there is none worth showing.
QString errorCardText(const std::optional<QString>& message);

// The error card: a red warning header, the message in a scrollable box, and two ways to close
// it (and Escape). Closing only asks the owner to stop presenting it. A screen reader meets it as
// an alert named by its title and described by the message. While shown it holds the keyboard
// focus, on "确定" first, and hands it back to the window's earlier focus when it hides.
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
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void keepFocus(QWidget* old, QWidget* now);

    QTextEdit* m_message;
    QPushButton* m_okButton = nullptr;
    QPointer<QWidget> m_focusBehind;
};
