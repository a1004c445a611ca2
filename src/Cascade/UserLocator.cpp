#include "Cascade/UserLocator.h"

#include <QtGlobal>

#include "Categories/Promise+InProgress.h"
#include "Helpers/TimerFactory.h"
#include "platform/foundation/NotificationCenter.h"

namespace tovrin {

namespace {

bool isValidFix(const Location& location) {
    return location.horizontalAccuracy >= 0;
}

bool isAccepted(const Location& location) {
    return isValidFix(location) && location.horizontalAccuracy <= UserLocator::RequiredAccuracy;
}

}  // namespace

// The manager holds its delegate weakly; this one lives exactly as long as the locator.
class UserLocator::DelegateProxy : public LocationManagerDelegate {
public:
    explicit DelegateProxy(UserLocator& locator) : locator_(locator) {}

    void locationManagerDidUpdateLocations(LocationManager& manager,
                                           const std::vector<Location>& locations) override {
        locator_.locationManagerDidUpdateLocations(manager, locations);
    }
    void locationManagerDidFailWithError(LocationManager& manager, const Error& error) override {
        locator_.locationManagerDidFailWithError(manager, error);
    }
    void locationManagerDidChangeAuthorizationStatus(LocationManager& manager,
                                                     LocationAuthorizationStatus status) override {
        locator_.locationManagerDidChangeAuthorizationStatus(manager, status);
    }

private:
    UserLocator& locator_;
};

UserLocator::UserLocator(std::shared_ptr<LocationManager> locationManager,
                         std::shared_ptr<NotificationCenter> notificationCenter,
                         std::shared_ptr<TimerFactory> timerFactory)
    : locationManager_(std::move(locationManager)),
      notificationCenter_(std::move(notificationCenter)),
      timerFactory_(std::move(timerFactory)),
      delegateProxy_(std::make_shared<DelegateProxy>(*this)) {
    locationManager_->setDelegate(delegateProxy_);
}

UserLocator::~UserLocator() = default;

Promise<Location> UserLocator::getUserLocation() {
    if (debugUserLocationPromise_) return debugUserLocationPromise_;
    if (!hasOngoingPromise()) setupPromiseForLocation();
    return getUserLocationDeferred_->promise;
}

bool UserLocator::hasOngoingPromise() const {
    return getUserLocationDeferred_ && ongoing(getUserLocationDeferred_->promise);
}

void UserLocator::setupPromiseForLocation() {
    auto [promise, resolver] = Promise<Location>::pending();
    getUserLocationDeferred_ = Deferred{promise, resolver};
    bestValidFix_.reset();
    requestTimer_.reset();

    if (locationManager_->authorizationStatus() != LocationAuthorizationStatus::NotDetermined) {
        // Denied or restricted, the manager answers with its denied failure.
        startUpdatingForRequest();
        return;
    }
    if (qEnvironmentVariableIsSet(AutomationWaitVariable)) {
        automationWaitTimer_ = timerFactory_->timerOnMainRunLoopWithInterval(
            AutomationWait,
            [this](Timer&) {
                automationWaitTimer_.reset();
                locationManager_->requestWhenInUseAuthorization();
            },
            {}, false);
        return;
    }
    locationManager_->requestWhenInUseAuthorization();
}

void UserLocator::startUpdatingForRequest() {
    locationManager_->startUpdatingLocation();
    if (!hasOngoingPromise() || requestTimer_) return;
    requestTimer_ = timerFactory_->timerOnMainRunLoopWithInterval(
        RequestTimeLimit, [this](Timer&) { requestTimedOut(); }, {}, false);
}

void UserLocator::requestTimedOut() {
    const std::optional<Location> best = bestValidFix_;
    std::optional<Resolver<Location>> resolver = takeRequest();
    locationManager_->stopUpdatingLocation();
    if (!resolver) return;
    if (best)
        resolver->fulfill(*best);
    else
        resolver->reject(Error(UserLocatorErrorDomain, UserLocatorErrorLocationFailure));
}

std::optional<Resolver<Location>> UserLocator::takeRequest() {
    std::optional<Resolver<Location>> resolver;
    if (getUserLocationDeferred_) resolver = getUserLocationDeferred_->resolver;
    getUserLocationDeferred_.reset();
    bestValidFix_.reset();
    requestTimer_.reset();
    return resolver;
}

void UserLocator::locationManagerDidUpdateLocations(LocationManager& manager,
                                                    const std::vector<Location>& locations) {
    if (locations.empty()) return;
    const Location& location = locations.back();
    if (!isAccepted(location)) {
        if (isValidFix(location) && hasOngoingPromise() &&
            (!bestValidFix_ || location.horizontalAccuracy < bestValidFix_->horizontalAccuracy))
            bestValidFix_ = location;
        return;
    }
    if (auto resolver = takeRequest()) resolver->fulfill(location);
    mostRecentLocation_ = location;
    manager.stopUpdatingLocation();
}

void UserLocator::locationManagerDidFailWithError(LocationManager& manager, const Error& error) {
    qint64 code = UserLocatorErrorOther;
    if (error.domain() == LocationErrorDomain)
        code = error.code() == LocationErrorDenied ? UserLocatorErrorPermissionDenied
                                                   : UserLocatorErrorLocationFailure;
    if (auto resolver = takeRequest()) resolver->reject(Error(UserLocatorErrorDomain, code));
    manager.stopUpdatingLocation();
}

void UserLocator::locationManagerDidChangeAuthorizationStatus(LocationManager&,
                                                              LocationAuthorizationStatus status) {
    switch (status) {
        case LocationAuthorizationStatus::AuthorizedWhenInUse:
            startUpdatingForRequest();
            break;
        case LocationAuthorizationStatus::Denied:
            if (auto resolver = takeRequest())
                resolver->reject(Error(UserLocatorErrorDomain, UserLocatorErrorPermissionDenied));
            break;
        default:
            break;
    }
}

void UserLocator::setDebugUserLocation(std::optional<Location> location) {
    debugUserLocation_ = location;
    if (location) {
        debugUserLocationPromise_ = Promise<Location>::resolved(*location);
    } else {
        debugUserLocationPromise_ = {};
    }
}

}  // namespace tovrin
