#pragma once

#include "shell/ServicesPlugin.h"

#include <QObject>

// The plugin behind ServicesPlugin: QtKeychain for secrets, Qt Network for address probes.
class NimbrelServices : public QObject, public ServicesPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID NimbrelServicesPlugin_iid)
    Q_INTERFACES(ServicesPlugin)

public:
    SecretOutcome runSecretJob(const SecretRequest& request) override;
    std::unique_ptr<AddressProbe> createAddressProbe() override;
    std::optional<QString> fetchOnce(const QUrl& address, std::chrono::milliseconds limit) override;
};
