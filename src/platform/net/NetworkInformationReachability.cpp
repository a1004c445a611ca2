#include "platform/net/NetworkInformationReachability.h"

#include <QHostAddress>
#include <QNetworkInformation>

namespace tovrin::net {

namespace {

// Loaded once, at the first question, on the main thread; null when the system offers no backend.
QNetworkInformation* networkInformation() {
    static QNetworkInformation* const information = [] {
        const bool loaded =
            QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
        return loaded ? QNetworkInformation::instance() : nullptr;
    }();
    return information;
}

}  // namespace

NetworkInformationReachability::~NetworkInformationReachability() = default;

NetworkStatus NetworkInformationReachability::currentReachabilityStatus() const {
    if (isLoopbackHost()) return NetworkStatus::ReachableViaWiFi;
    const QNetworkInformation* information = networkInformation();
    if (information == nullptr) return NetworkStatus::ReachableViaWiFi;
    if (information->reachability() == QNetworkInformation::Reachability::Disconnected) {
        return NetworkStatus::NotReachable;
    }
    return information->transportMedium() == QNetworkInformation::TransportMedium::Cellular
               ? NetworkStatus::ReachableViaWWAN
               : NetworkStatus::ReachableViaWiFi;
}

bool NetworkInformationReachability::startNotifier() {
    if (isNotifying()) return true;
    Reachability::startNotifier();
    QNetworkInformation* information = networkInformation();
    if (information == nullptr) return true;
    signalContext_ = std::make_unique<QObject>();
    // `this` outlives the context, which it owns.
    QObject::connect(information, &QNetworkInformation::reachabilityChanged, signalContext_.get(),
                     [this] { statusMayHaveChanged(); });
    QObject::connect(information, &QNetworkInformation::transportMediumChanged, signalContext_.get(),
                     [this] { statusMayHaveChanged(); });
    return true;
}

void NetworkInformationReachability::stopNotifier() {
    signalContext_.reset();
    Reachability::stopNotifier();
}

bool NetworkInformationReachability::isLoopbackHost() const {
    if (hostName().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(hostName());
    return !address.isNull() && address.isLoopback();
}

}  // namespace tovrin::net
