#pragma once

#include <QWidget>

class ContentView;
class InstallationState;

// The one window: fixed at 800 × 460, centred on the primary screen.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int fixedWidth = 800;
    static constexpr int fixedHeight = 460;

    explicit MainWindow(InstallationState& state, QWidget* parent = nullptr);

    ContentView* contentView() const { return m_contentView; }

signals:
    // The window's content was shown for the first time.
    void contentShown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ContentView* m_contentView;
    bool m_wasShown = false;
};
