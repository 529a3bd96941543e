#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Nimbrel"));
    window.setFixedSize(800, 460);
    window.move(QApplication::primaryScreen()->availableGeometry().center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
