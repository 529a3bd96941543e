#include "app/MainWindow.h"

#include "app/ContentView.h"
#include "views/common/AccessibleWidgets.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

MainWindow::MainWindow(InstallationState& state, QWidget* parent)
    : QWidget(parent), m_contentView(new ContentView(state, this)) {
    setWindowTitle(QStringLiteral("Nimbrel"));
    // A plain widget is read as a filler; readers look for a window to name the application's.
    AccessibleWidgets::setRole(this, QAccessible::Window);
    setFixedSize(fixedWidth, fixedHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_contentView);

    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_wasShown) {
        m_wasShown = true;
        emit contentShown();
    }
}
