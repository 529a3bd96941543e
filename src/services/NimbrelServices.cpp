#include "services/NimbrelServices.h"

#include "services/HttpAddressProbe.h"
#include "services/HttpFetch.h"
#include "services/SecretStoreJobs.h"

ServicesPlugin::SecretOutcome NimbrelServices::runSecretJob(const SecretRequest& request) {
    return SecretStoreJobs::run(request);
}

std::unique_ptr<AddressProbe> NimbrelServices::createAddressProbe() {
    return std::make_unique<HttpAddressProbe>();
}

std::optional<QString> NimbrelServices::fetchOnce(const QUrl& address,
                                                  std::chrono::milliseconds limit) {
    return HttpFetch::run(address, limit);
}
