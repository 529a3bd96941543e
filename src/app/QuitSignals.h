#pragma once

#include <QObject>

#include <optional>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP as a Qt signal on the GUI thread, so that they end Nimbrel the way
// closing its window does (its children ended, the log written) instead of on the spot. The
// handler only writes the signal's number to a pipe. A signal ignored at start stays ignored
// (nohup). One instance at a time; its destructor puts the previous handling back.
class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // The first signal received, if any.
    std::optional<int> received() const { return m_received; }

signals:
    void quitRequested(int signalNumber);

private:
    void readPending();

    QSocketNotifier* m_notifier = nullptr;
    std::optional<int> m_received;
};
