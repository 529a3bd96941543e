#pragma once

#include <QCoreApplication>

#include <memory>
#include <optional>

class AppDelegate;
class InstallationState;
class MainWindow;
class QuitSignals;

// The program: the one session, the window, and the end of everything it started. Needs the
// QApplication, made by the caller.
class NimbrelApp {
    Q_DECLARE_TR_FUNCTIONS(NimbrelApp)

public:
    NimbrelApp();
    ~NimbrelApp();
    NimbrelApp(const NimbrelApp&) = delete;
    NimbrelApp& operator=(const NimbrelApp&) = delete;

    // Shows the window and runs until it is closed or a quit signal arrives; then ends every
    // process Nimbrel started. Gives the event loop's exit status.
    int exec();
    // The signal that ended the run, if one did: the process should then end by that signal.
    std::optional<int> quitSignal() const;

private:
    void endChildProcesses();

    std::unique_ptr<QuitSignals> m_quitSignals;
    // Declared in this order so that the window goes before the session it shows.
    std::unique_ptr<InstallationState> m_installationState;
    std::unique_ptr<AppDelegate> m_appDelegate;
    std::unique_ptr<MainWindow> m_window;
};
