// screen_gallery STATE: shows the real main window in the named state and stays open until it is
// ended. Once the state is on screen, the window's native id is printed on standard output, so
// that a screenshot tool can capture the window. screen_gallery --list names every state.

#include "GalleryStage.h"

#include "app/MainWindow.h"
#include "app/QuitSignals.h"
#include "shell/UiLanguage.h"
#include "views/common/FocusRing.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// Long enough for a slow, shared machine; a state that takes longer is broken.
constexpr int settleTimeoutMilliseconds = 60000;

int usage() {
    std::fputs("usage: screen_gallery STATE | --list\nstates:\n", stderr);
    for (const QString& name : GalleryStage::stateNames()) {
        std::fprintf(stderr, "  %s\n", qPrintable(name));
    }
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Answered before any window system is needed.
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const QString& name : GalleryStage::stateNames()) {
            std::printf("%s\n", qPrintable(name));
        }
        return 0;
    }
    if (argc != 2 || !GalleryStage::stateNames().contains(QString::fromLocal8Bit(argv[1]))) {
        return usage();
    }
    const QString name = QString::fromLocal8Bit(argv[1]);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));
    const UiLanguage language(UiLanguage::ofSystem());
    // As in the program: a key pressed into the window brings the focus ring into the picture.
    FocusRing::followKeyboardFocus();

    // SIGTERM and SIGINT end the event loop, so that held work is let go and the throw-away folder
    // is removed.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, &QApplication::quit);
    GalleryStage stage;
    QObject::connect(&stage, &GalleryStage::settled, &app, [&stage] {
        std::printf("%llu\n", static_cast<unsigned long long>(stage.window().winId()));
        std::fflush(stdout);
    });
    int status = 0;
    QTimer::singleShot(settleTimeoutMilliseconds, &app, [&stage, &status, &name] {
        if (!stage.hasSettled()) {
            std::fprintf(stderr, "screen_gallery: %s was not reached\n", qPrintable(name));
            status = 1;
            QApplication::quit();
        }
    });
    stage.stage(name);
    const int loopStatus = QApplication::exec();
    stage.release();
    return status != 0 ? status : loopStatus;
}
