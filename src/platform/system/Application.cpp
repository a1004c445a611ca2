#include "platform/system/Application.h"

#include <QDesktopServices>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Error.h"

namespace tovrin {

const QString Application::WillResignActiveNotification = QStringLiteral("WillResignActiveNotification");
const QString Application::DidEnterBackgroundNotification = QStringLiteral("DidEnterBackgroundNotification");
const QString Application::WillEnterForegroundNotification =
    QStringLiteral("WillEnterForegroundNotification");
const QString Application::DidBecomeActiveNotification = QStringLiteral("DidBecomeActiveNotification");

Application::Application(std::shared_ptr<NotificationCenter> notificationCenter)
    : notificationCenter_(std::move(notificationCenter)),
      urlOpener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

std::shared_ptr<Application> Application::shared() {
    static const std::shared_ptr<Application> application = [] {
        auto created = std::make_shared<Application>(NotificationCenter::defaultCenter());
        const QString token =
            Bundle::main()
                ->objectForInfoDictionaryKey(QStringLiteral("RemoteNotificationDeviceToken"))
                .toString();
        if (!token.isEmpty())
            created->setRemoteNotificationDeviceToken(QByteArray::fromHex(token.toLatin1()));
        return created;
    }();
    return application;
}

bool Application::finishLaunching(const QVariantMap& launchOptions) {
    auto delegate = delegate_.lock();
    return delegate ? delegate->didFinishLaunching(*this, launchOptions) : true;
}

void Application::setApplicationState(ApplicationState state) {
    while (state_ != state) {
        // Background and active are never neighbours: the way between them is through inactive.
        step(state_ == ApplicationState::Inactive ? state : ApplicationState::Inactive);
    }
}

void Application::step(ApplicationState next) {
    const ApplicationState previous = state_;
    state_ = next;
    auto delegate = delegate_.lock();
    QString notification;
    if (previous == ApplicationState::Active) {
        if (delegate) delegate->applicationWillResignActive(*this);
        notification = WillResignActiveNotification;
    } else if (next == ApplicationState::Background) {
        if (delegate) delegate->applicationDidEnterBackground(*this);
        notification = DidEnterBackgroundNotification;
    } else if (previous == ApplicationState::Background) {
        if (delegate) delegate->applicationWillEnterForeground(*this);
        notification = WillEnterForegroundNotification;
    } else {
        if (delegate) delegate->applicationDidBecomeActive(*this);
        notification = DidBecomeActiveNotification;
    }
    notificationCenter_->post(notification, this);
}

Application::BackgroundTaskIdentifier Application::beginBackgroundTask(Block expirationHandler) {
    if (refusesBackgroundTasks_) return InvalidBackgroundTask;
    const BackgroundTaskIdentifier identifier = nextBackgroundTask_++;
    backgroundTasks_.emplace(identifier, std::move(expirationHandler));
    return identifier;
}

void Application::endBackgroundTask(BackgroundTaskIdentifier identifier) {
    backgroundTasks_.erase(identifier);
}

void Application::expireBackgroundTasks() {
    // A handler ends its own task, and may begin or end others.
    while (!backgroundTasks_.empty()) {
        auto first = backgroundTasks_.begin();
        const BackgroundTaskIdentifier identifier = first->first;
        Block handler = first->second;
        if (handler) handler();
        backgroundTasks_.erase(identifier);
    }
}

bool Application::openURL(const QUrl& url) {
    return url.isValid() && urlOpener_ && urlOpener_(url);
}

void Application::setRemoteNotificationDeviceToken(std::optional<QByteArray> deviceToken) {
    deviceToken_ = std::move(deviceToken);
}

void Application::registerForRemoteNotifications() {
    MainQueue::async([weakSelf = weak_from_this()] {
        auto self = weakSelf.lock();
        if (!self) return;
        auto delegate = self->delegate_.lock();
        if (!delegate) return;
        if (self->deviceToken_) {
            delegate->didRegisterForRemoteNotificationsWithDeviceToken(*self, *self->deviceToken_);
        } else {
            delegate->didFailToRegisterForRemoteNotificationsWithError(
                *self,
                Error(QStringLiteral("RemoteNotificationErrorDomain"), 3010,
                      {{ErrorDescriptionKey, QStringLiteral("remote notifications are not supported")}}));
        }
    });
}

}  // namespace tovrin
