// The start-up baseline: a plain Qt Widgets window with one Chinese label.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("你好"));
    label.show();
    return QApplication::exec();
}
