#pragma once

#include <QtGlobal>
#include <optional>

#include "platform/foundation/Date.h"

namespace tovrin {

// The application rules of the server's configuration.
class AppRules {
public:
    explicit AppRules(quint32 maxCascadePages) : maxCascadePages_(maxCascadePages) {}
    // The most pages of nearby users the grid may load (pages count from 1).
    quint32 maxCascadePages() const { return maxCascadePages_; }

private:
    quint32 maxCascadePages_;
};

// The "configuration" of a bootstrap answer. The server time is absent when the answer had none;
// the session then leaves the server clock alone.
class ConfigurationRules {
public:
    ConfigurationRules(std::optional<Date> serverTime, AppRules app,
                       std::optional<Date> receivedAt = std::nullopt)
        : serverTime_(serverTime), app_(app), receivedAt_(receivedAt) {}

    std::optional<Date> serverTime() const { return serverTime_; }
    const AppRules& app() const { return app_; }
    // The device time at which the answer arrived, which the server time was measured against; absent
    // for rules read from the local store (never stored).
    std::optional<Date> receivedAt() const { return receivedAt_; }

private:
    std::optional<Date> serverTime_;
    AppRules app_;
    std::optional<Date> receivedAt_;
};

}  // namespace tovrin
