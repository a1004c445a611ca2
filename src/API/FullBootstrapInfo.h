#pragma once

#include "API/TovrinServicesInfo.h"
#include "Rules/ConfigurationRules.h"

namespace tovrin {

// What the signed-in bootstrap call answers: the service addresses and the server's configuration.
// Immutable.
class FullBootstrapInfo {
public:
    FullBootstrapInfo(TovrinServicesInfo tovrinServicesInfo, ConfigurationRules configurationRules)
        : tovrinServicesInfo_(std::move(tovrinServicesInfo)),
          configurationRules_(std::move(configurationRules)) {}

    const TovrinServicesInfo& tovrinServicesInfo() const { return tovrinServicesInfo_; }
    const ConfigurationRules& configurationRules() const { return configurationRules_; }

private:
    TovrinServicesInfo tovrinServicesInfo_;
    ConfigurationRules configurationRules_;
};

}  // namespace tovrin
