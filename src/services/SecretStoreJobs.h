#pragma once

#include "shell/ServicesPlugin.h"

// Runs QtKeychain jobs for callers on any thread, waiting in a local event loop.
class SecretStoreJobs {
public:
    SecretStoreJobs() = delete;

    static ServicesPlugin::SecretOutcome run(const ServicesPlugin::SecretRequest& request);
};
