#include "platform/system/Application.h"

#include <QDesktopServices>

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
    static const std::shared_ptr<Application> application =
        std::make_shared<Application>(NotificationCenter::defaultCenter());
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

}  // namespace tovrin
