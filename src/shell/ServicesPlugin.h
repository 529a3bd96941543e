#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QtPlugin>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// Asks whether an address answers HTTP(S) at all; destroying it drops an unanswered question.
class AddressProbe {
public:
    virtual ~AddressProbe() = default;
    // `done` is called on the creating thread with whether any HTTP answer came within `limit`.
    virtual void probe(const QUrl& address, std::chrono::milliseconds limit,
                       std::function<void(bool answered)> done) = 0;
};

// What Nimbrel loads only when it first needs it: the secret store client and the network stack,
// with the libraries behind them, stay out of the program's start.
class ServicesPlugin {
public:
    enum class SecretOperation { write, read, remove };
    struct SecretRequest {
        SecretOperation operation = SecretOperation::read;
        QString service;
        QString key;
        QString value;
    };
    struct SecretOutcome {
        // A QKeychain::Error value.
        int error = 0;
        QString errorText;
        QByteArray data;
    };

    virtual ~ServicesPlugin() = default;

    // Runs one secret store job to its end; callable from any thread, it keeps the GUI thread
    // painting while it waits.
    virtual SecretOutcome runSecretJob(const SecretRequest& request) = 0;
    virtual std::unique_ptr<AddressProbe> createAddressProbe() = 0;
    // One HTTPS GET run to its end on the calling thread (a pool thread, never the GUI thread),
    // given up after `limit`: nothing when it got a 2xx answer, else what went wrong.
    virtual std::optional<QString> fetchOnce(const QUrl& address,
                                             std::chrono::milliseconds limit) = 0;
};

#define NimbrelServicesPlugin_iid "com.orvane.nimbrel.ServicesPlugin/2"
Q_DECLARE_INTERFACE(ServicesPlugin, NimbrelServicesPlugin_iid)
