#pragma once

#include <QObject>

#include "platform/net/Reachability.h"

namespace tovrin::net {

// The system's reachability through Qt's network information, where the system offers a backend.
// Without one every host counts as reachable, so that no request is refused on a guess. Loopback
// hosts are always reachable.
class NetworkInformationReachability : public Reachability {
public:
    using Reachability::Reachability;
    ~NetworkInformationReachability() override;

    NetworkStatus currentReachabilityStatus() const override;
    bool startNotifier() override;
    void stopNotifier() override;

private:
    bool isLoopbackHost() const;

    // Receives the system's signals; deleted with the monitor, which ends them.
    std::unique_ptr<QObject> signalContext_;
};

}  // namespace tovrin::net
