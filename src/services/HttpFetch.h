#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

// A single bounded GET, waited for on the calling thread with an event loop of its own.
class HttpFetch {
    Q_DECLARE_TR_FUNCTIONS(HttpFetch)

public:
    HttpFetch() = delete;

    // Nothing when a 2xx answer came within `limit`; otherwise the reason, with the certificate's
    // fault named when TLS refused it.
    static std::optional<QString> run(const QUrl& address, std::chrono::milliseconds limit);
};
