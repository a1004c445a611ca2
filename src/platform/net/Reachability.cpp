#include "platform/net/Reachability.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/net/NetworkInformationReachability.h"

namespace tovrin::net {

Reachability::Reachability(QString hostName, std::shared_ptr<NotificationCenter> notificationCenter)
    : hostName_(std::move(hostName)), notificationCenter_(std::move(notificationCenter)) {}

std::shared_ptr<Reachability> Reachability::reachabilityWithHostName(const QString& hostName) {
    return std::make_shared<NetworkInformationReachability>(hostName, NotificationCenter::defaultCenter());
}

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection() {
    return reachabilityWithHostName(QString());
}

bool Reachability::startNotifier() {
    lastStatus_ = currentReachabilityStatus();
    notifying_ = true;
    return true;
}

void Reachability::stopNotifier() {
    notifying_ = false;
}

void Reachability::statusMayHaveChanged() {
    if (!notifying_) return;
    const NetworkStatus status = currentReachabilityStatus();
    if (status == lastStatus_) return;
    lastStatus_ = status;
    notificationCenter_->post(ReachabilityChangedNotification, this);
}

}  // namespace tovrin::net
