#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"
#include "platform/system/LocationManager.h"

namespace tovrin {

class NotificationCenter;
class Timer;
class TimerFactory;

inline const QString UserLocatorErrorDomain = QStringLiteral("UserLocatorErrorDomain");
enum UserLocatorErrorCode : qint64 {
    UserLocatorErrorOther = 0,
    UserLocatorErrorPermissionDenied = 1,
    UserLocatorErrorLocationFailure = 2,
};

// The process's one source of the phone's position, as a promise. Callers during one request share
// it. A fix is accepted when its accuracy is between 0 and 100 m; a request that has none 30 s
// after its updates started settles with the most accurate valid fix seen, or fails with code 2.
class UserLocator : public LocationManagerDelegate {
public:
    static constexpr double RequiredAccuracy = 100;
    static constexpr double RequestTimeLimit = 30;
    // With this variable in the environment, the permission is asked for only after a wait, so that
    // an automation run can get ready to answer the prompt.
    static constexpr const char* AutomationWaitVariable = "SLEEP_FOR_AUTOMATION";
    static constexpr double AutomationWait = 10;

    UserLocator(std::shared_ptr<LocationManager> locationManager,
                std::shared_ptr<NotificationCenter> notificationCenter,
                std::shared_ptr<TimerFactory> timerFactory);
    ~UserLocator() override;

    using Dependencies = Inject<LocationManager, NotificationCenter, TimerFactory>;

    // Settles on the main thread, never inside the call.
    Promise<Location> getUserLocation();
    // The last accepted fix; a debug location never becomes it.
    std::optional<Location> mostRecentLocation() const { return mostRecentLocation_; }
    bool hasOngoingPromise() const;

    const std::shared_ptr<LocationManager>& locationManager() const { return locationManager_; }
    const std::shared_ptr<NotificationCenter>& notificationCenter() const { return notificationCenter_; }

    // Debug: a location that answers every later request at once, in memory only; nothing clears it.
    std::optional<Location> debugUserLocation() const { return debugUserLocation_; }
    void setDebugUserLocation(std::optional<Location> location);

    void locationManagerDidUpdateLocations(LocationManager& manager,
                                           const std::vector<Location>& locations) override;
    void locationManagerDidFailWithError(LocationManager& manager, const Error& error) override;
    void locationManagerDidChangeAuthorizationStatus(LocationManager& manager,
                                                     LocationAuthorizationStatus status) override;

private:
    struct Deferred {
        Promise<Location> promise;
        Resolver<Location> resolver;
    };
    class DelegateProxy;

    void setupPromiseForLocation();
    void startUpdatingForRequest();
    void requestTimedOut();
    // Ends the running request, if any, and returns its resolver.
    std::optional<Resolver<Location>> takeRequest();

    std::shared_ptr<LocationManager> locationManager_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::shared_ptr<TimerFactory> timerFactory_;
    std::shared_ptr<DelegateProxy> delegateProxy_;
    std::optional<Deferred> getUserLocationDeferred_;
    // Resolved with the debug location while one is set, else null.
    Promise<Location> debugUserLocationPromise_;
    std::optional<Location> mostRecentLocation_;
    std::optional<Location> debugUserLocation_;
    std::optional<Location> bestValidFix_;
    std::shared_ptr<Timer> requestTimer_;
    std::shared_ptr<Timer> automationWaitTimer_;
};

}  // namespace tovrin
