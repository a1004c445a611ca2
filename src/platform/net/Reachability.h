#pragma once

#include <QString>
#include <memory>
#include <optional>

namespace tovrin {
class NotificationCenter;
}

namespace tovrin::net {

enum class NetworkStatus { NotReachable = 0, ReachableViaWiFi = 1, ReachableViaWWAN = 2 };

// Posted on the monitor's notification centre, with the monitor as the object, whenever the status
// of a started monitor changes.
inline const QString ReachabilityChangedNotification = QStringLiteral("ReachabilityChangedNotification");

// Watches whether a host (or, with no host name, the internet at large) can be reached. Lives on the
// main thread.
class Reachability {
public:
    Reachability(QString hostName, std::shared_ptr<NotificationCenter> notificationCenter);
    virtual ~Reachability() = default;

    // The system's monitor, posting on the default notification centre.
    static std::shared_ptr<Reachability> reachabilityWithHostName(const QString& hostName);
    static std::shared_ptr<Reachability> reachabilityForInternetConnection();

    virtual NetworkStatus currentReachabilityStatus() const = 0;
    bool isReachable() const { return currentReachabilityStatus() != NetworkStatus::NotReachable; }

    // Starts or stops the change notifications; whether the monitor is notifying afterwards.
    virtual bool startNotifier();
    virtual void stopNotifier();
    bool isNotifying() const { return notifying_; }

    const QString& hostName() const { return hostName_; }

protected:
    // Subclasses call this when the system may have changed; posts only real changes.
    void statusMayHaveChanged();

private:
    QString hostName_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    bool notifying_ = false;
    std::optional<NetworkStatus> lastStatus_;
};

}  // namespace tovrin::net
