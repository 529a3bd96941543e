#include "app/NimbrelApp.h"
#include "shell/UiLanguage.h"

#include <QApplication>

#include <csignal>
#include <optional>

int main(int argc, char* argv[]) {
    // Wayland shells match the window to its launcher entry, and so to its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(NIMBREL_APP_ID));
    const QApplication application(argc, argv);
    const UiLanguage language(UiLanguage::ofSystem());
    int status = 0;
    std::optional<int> quitSignal;
    {
        NimbrelApp app;
        status = app.exec();
        quitSignal = app.quitSignal();
    }
    // Whoever sent the signal learns that it ended the program, as it would without the cleanup.
    if (quitSignal) {
        std::signal(*quitSignal, SIG_DFL);
        std::raise(*quitSignal);
    }
    return status;
}
