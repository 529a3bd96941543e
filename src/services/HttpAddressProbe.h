#pragma once

#include "shell/ServicesPlugin.h"

#include <memory>

class QNetworkAccessManager;

class HttpAddressProbe : public AddressProbe {
public:
    HttpAddressProbe();
    ~HttpAddressProbe() override;
    HttpAddressProbe(const HttpAddressProbe&) = delete;
    HttpAddressProbe& operator=(const HttpAddressProbe&) = delete;

    void probe(const QUrl& address, std::chrono::milliseconds limit,
               std::function<void(bool answered)> done) override;

private:
    std::unique_ptr<QNetworkAccessManager> m_network;
};
