#include "app/NimbrelApp.h"

int main(int argc, char* argv[]) {
    // Wayland shells match the window to its launcher entry, and so to its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(NIMBREL_APP_ID));
    NimbrelApp app(argc, argv);
    return app.exec();
}
