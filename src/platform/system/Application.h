#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/foundation/Error.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"

namespace tovrin {

class Application;

enum class ApplicationState { Active, Inactive, Background };

// What the application tells its delegate about its life; every operation is optional.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual bool didFinishLaunching(Application& application, const QVariantMap& launchOptions) {
        return true;
    }
    virtual void applicationWillResignActive(Application& application) {}
    virtual void applicationDidEnterBackground(Application& application) {}
    virtual void applicationWillEnterForeground(Application& application) {}
    virtual void applicationDidBecomeActive(Application& application) {}
    virtual void didRegisterForRemoteNotificationsWithDeviceToken(Application& application,
                                                                  const QByteArray& deviceToken) {}
    virtual void didFailToRegisterForRemoteNotificationsWithError(Application& application,
                                                                  const Error& error) {}
    virtual void didReceiveRemoteNotification(Application& application, const QVariantMap& userInfo) {}
};

// The running application: its state (driven by the window on the desktop and by tests),
// background tasks, the icon badge, the network-activity indicator, opening addresses and the
// registration for remote notifications.
class Application : public std::enable_shared_from_this<Application> {
public:
    using BackgroundTaskIdentifier = quint64;
    static constexpr BackgroundTaskIdentifier InvalidBackgroundTask = 0;

    // Each notification's value equals its name; the sender is the application.
    static const QString WillResignActiveNotification;
    static const QString DidEnterBackgroundNotification;
    static const QString WillEnterForegroundNotification;
    static const QString DidBecomeActiveNotification;

    explicit Application(std::shared_ptr<NotificationCenter> notificationCenter);

    // The process's application. Its remote-notification device token, if any, is the hexadecimal
    // text under "RemoteNotificationDeviceToken" in the main bundle's information dictionary.
    static std::shared_ptr<Application> shared();

    void setDelegate(std::weak_ptr<ApplicationDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<ApplicationDelegate> delegate() const { return delegate_.lock(); }

    // Tells the delegate that launching finished; the application is inactive until activated.
    bool finishLaunching(const QVariantMap& launchOptions = {});

    ApplicationState applicationState() const { return state_; }
    // Moves to the state through the steps the platform takes (active ↔ inactive ↔ background),
    // telling the delegate and then posting the notification at each step.
    void setApplicationState(ApplicationState state);

    // Background work: the task runs until ended; its expiration handler runs if the application
    // must stop it first (`expireBackgroundTasks`). While tasks are refused, as a phone may, the
    // answer is `InvalidBackgroundTask` and the handler is dropped.
    BackgroundTaskIdentifier beginBackgroundTask(Block expirationHandler);
    void setRefusesBackgroundTasks(bool refuses) { refusesBackgroundTasks_ = refuses; }
    void endBackgroundTask(BackgroundTaskIdentifier identifier);
    size_t backgroundTaskCount() const { return backgroundTasks_.size(); }
    void expireBackgroundTasks();

    qint64 applicationIconBadgeNumber() const { return badgeNumber_; }
    void setApplicationIconBadgeNumber(qint64 number) { badgeNumber_ = number; }

    bool isNetworkActivityIndicatorVisible() const { return networkActivityIndicatorVisible_; }
    void setNetworkActivityIndicatorVisible(bool visible) { networkActivityIndicatorVisible_ = visible; }

    // Opens an address outside the application (the system browser by default).
    bool openURL(const QUrl& url);
    void setURLOpener(std::function<bool(const QUrl&)> opener) { urlOpener_ = std::move(opener); }

    // A desktop has no push service. A device token given to the application stands in for one:
    // without it remote notifications cannot be delivered here, as in a phone simulator.
    void setRemoteNotificationDeviceToken(std::optional<QByteArray> deviceToken);
    bool canReceiveRemoteNotifications() const { return deviceToken_.has_value(); }
    // The alert (4), badge (1) and sound (2) bits the member was asked for.
    void registerUserNotificationSettings(quint64 types) { userNotificationTypes_ = types; }
    quint64 userNotificationTypes() const { return userNotificationTypes_; }
    // Answers later, on the main queue, through the delegate: the device token, or a failure.
    void registerForRemoteNotifications();

private:
    void step(ApplicationState next);

    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::weak_ptr<ApplicationDelegate> delegate_;
    ApplicationState state_ = ApplicationState::Inactive;
    std::map<BackgroundTaskIdentifier, Block> backgroundTasks_;
    BackgroundTaskIdentifier nextBackgroundTask_ = 1;
    bool refusesBackgroundTasks_ = false;
    qint64 badgeNumber_ = 0;
    bool networkActivityIndicatorVisible_ = false;
    std::function<bool(const QUrl&)> urlOpener_;
    std::optional<QByteArray> deviceToken_;
    quint64 userNotificationTypes_ = 0;
};

}  // namespace tovrin
