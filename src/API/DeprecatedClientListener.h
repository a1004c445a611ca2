#pragma once

namespace tovrin {

// Told, before the request fails, each time the service refuses this version of the client.
class DeprecatedClientListener {
public:
    virtual ~DeprecatedClientListener() = default;
    virtual void clientIsDeprecated() = 0;
};

}  // namespace tovrin
