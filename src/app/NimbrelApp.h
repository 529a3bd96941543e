#pragma once

#include <QApplication>

#include <memory>

class AppDelegate;
class InstallationState;
class MainWindow;

// The program: the application object, the one session and the window.
class NimbrelApp {
public:
    NimbrelApp(int& argc, char** argv);
    ~NimbrelApp();
    NimbrelApp(const NimbrelApp&) = delete;
    NimbrelApp& operator=(const NimbrelApp&) = delete;

    int exec();

private:
    QApplication m_application;
    // Declared in this order so that the window goes before the session it shows.
    std::unique_ptr<InstallationState> m_installationState;
    std::unique_ptr<AppDelegate> m_appDelegate;
    std::unique_ptr<MainWindow> m_window;
};
