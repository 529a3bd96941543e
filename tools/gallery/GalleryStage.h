#pragma once

#include "session/InstallationStep.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class InstallationState;
class MainWindow;
class QSemaphore;

// Puts the real main window into one named state of one of its screens (or of the log viewer
// over it), for screenshots. Everything it needs lives in a throw-away folder of its own: the
// state and runtime folders of the session, a stand-in kubectl and the kubeconfig files, so the
// user's files stay untouched. No cluster work runs: the engine's jobs are held or answered by
// the stand-in, and the screens' clocks are ticked by hand.
class GalleryStage : public QObject {
    Q_OBJECT

public:
    GalleryStage();
    ~GalleryStage() override;
    GalleryStage(const GalleryStage&) = delete;
    GalleryStage& operator=(const GalleryStage&) = delete;

    static QStringList stateNames();

    // Shows the window and walks it to the named state; false for a name it does not know.
    bool stage(const QString& name);
    bool hasSettled() const { return m_hasSettled; }

    MainWindow& window() { return *m_window; }
    InstallationState& state() { return *m_state; }
    QString validKubeconfigPath() const;

    // Lets held background work finish, so that the program can end without waiting forever.
    void release();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The named state is reached and has been on screen long enough to be drawn.
    void settled();

private:
    void writeFile(const QString& relativePath, const QByteArray& content) const;
    void writeStandInKubectl() const;
    void holdBackgroundPool();
    void poll();
    void choose(const QString& path);
    void onStep(InstallationStep step, bool installDevtron = true);
    void appendLogs(std::initializer_list<const char*> lines);
    void finishedInstallation();
    void startDashboard();
    void click(const char* objectName);
    QWidget* screen() const;

    QTemporaryDir m_dir;
    QTranslator m_sampleLines;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> m_savedEnvironment;
    std::unique_ptr<InstallationState> m_state;
    std::unique_ptr<MainWindow> m_window;

    // The steps that lead to the state, one per poll once the window is on screen.
    std::vector<std::function<void()>> m_actions;
    std::size_t m_nextAction = 0;
    std::function<bool()> m_reached;
    QTimer m_poll;
    int m_reachedPolls = 0;
    bool m_hasSettled = false;

    std::shared_ptr<QSemaphore> m_poolGate;
    int m_savedMaxThreadCount = 0;
    bool m_released = false;
    // Keeps the session's queued step changes from running, so that a screen whose controller
    // moves on by itself after a delay stays on screen.
    bool m_holdStep = false;
};
