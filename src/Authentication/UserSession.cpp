#include "Authentication/UserSession.h"

#include "API/AuthenticatedBootstrapManager.h"
#include "API/TovrinServiceError.h"
#include "Authentication/AuthStorage.h"
#include "Blocked/BlockedUserManager.h"
#include "Cascade/Filter/CascadeFilterManager.h"
#include "Cascade/Filter/FilterManager.h"
#include "Chat/CurrentConversationManager.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "Persistence/TovrinPersistence.h"
#include "Preferences/LocalPreferences.h"
#include "RemoteNotifications/DeviceRegistrationService.h"
#include "RemoteNotifications/RemoteNotificationRegistrar.h"
#include "platform/di/Injector.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"

namespace tovrin {

namespace {

std::shared_ptr<UserSession>& sharedInstance() {
    static std::shared_ptr<UserSession> session;
    return session;
}

quint64 sessionGenerationCounter = 0;

}  // namespace

std::shared_ptr<UserSession> UserSession::initializeSharedSessionWithInjector(
    Injector& injector, std::shared_ptr<NotificationCenter> notificationCenter) {
    std::shared_ptr<UserSession>& session = sharedInstance();
    if (!session) session.reset(new UserSession());
    session->configureWithInjector(injector, std::move(notificationCenter));
    return session;
}

std::shared_ptr<UserSession> UserSession::sharedSession() {
    return sharedInstance();
}

void UserSession::clearSession() {
    sharedInstance().reset();
}

quint64 UserSession::currentSessionGeneration() {
    return sessionGenerationCounter;
}

void UserSession::configureWithInjector(Injector& injector,
                                        std::shared_ptr<NotificationCenter> notificationCenter) {
    authStorage_ = injector.get<AuthStorage>();
    userDefaults_ = injector.get<UserDefaults>();
    // The managed-field lists are taken and set up here once they exist.
    // Credentials left behind by a sign-in that failed never survive a launch.
    if (!profileID()) authStorage_->removeStoredLoginCredentials();
    // The chat client is taken here and told the stored profile id once it exists.
    remoteNotificationRegistrar_ = injector.get<RemoteNotificationRegistrar>();
    localPreferences_ = injector.get<LocalPreferences>();
    currentConversationManager_ = injector.get<CurrentConversationManager>();
    serverCurrentDateProvider_ = injector.get<ServerCurrentDateProvider>();
    notInjector_ = &injector;
    bindUserSessionScopedInstances();
    notificationCenter_ = std::move(notificationCenter);
}

bool UserSession::isSessionActive() const {
    return authStorage_->loginCredentials().has_value() && profileID().has_value();
}

std::optional<QString> UserSession::profileID() const {
    const QVariant stored = userDefaults_->objectForKey(UserSessionProfileIDUserDefaultsKey);
    if (!stored.isValid()) return std::nullopt;
    return stored.toString();
}

void UserSession::setProfileID(const std::optional<QString>& profileID) {
    if (profileID) {
        userDefaults_->setObject(*profileID, UserSessionProfileIDUserDefaultsKey);
    } else {
        userDefaults_->removeObjectForKey(UserSessionProfileIDUserDefaultsKey);
    }
}

void UserSession::startSessionWithProfileID(const QString& profileID, const SessionCredentials& credentials) {
    ++sessionGenerationCounter;
    deleteStoreHoldingAnotherMembersData(profileID);
    setProfileID(profileID);
    credentials_ = credentials;
    setupSessionResources();
    // The chat client connects here, with the profile id and the chat token, once it exists.
}

void UserSession::updateSessionWithNewCredentials(const SessionCredentials& credentials) {
    credentials_ = credentials;
    // The chat client reconnects here, with the stored profile id and the new chat token, once it exists.
}

void UserSession::logout() {
    ++sessionGenerationCounter;
    unregisterDeviceTokenWhenReady();
    // The chat client is disconnected here once it exists.
    if (tovrinPersistence_) tovrinPersistence_->deleteDatabase();
    dropMemberObjects();
    authStorage_->removeStoredLoginCredentials();
    setProfileID(std::nullopt);
    localPreferences_->reset();
    notificationCenter_->post(UserDidLogoutNotification);
}

// Every per-member field, in the order a sign-out drops them. The class key of a routed field
// yields the field's object of the moment. A new per-member class joins this list and the set-up.
template <class Visit>
void UserSession::forEachMemberObject(Visit&& visit) {
    visit(&UserSession::tovrinPersistence_, Routing::ClassKey);
    visit(&UserSession::bootstrapManager_, Routing::ClassKey);
    visit(&UserSession::filterManager_, Routing::ClassKey);
    visit(&UserSession::cascadeFilterManager_, Routing::ClassKey);
    visit(&UserSession::blockedUserManager_, Routing::ClassKey);
    visit(&UserSession::deviceRegistrationService_, Routing::None);
}

template <class T>
void UserSession::routeClassKey(std::shared_ptr<T> UserSession::*field) {
    notInjector_->bindFactory<T>(
        [weakSelf = weak_from_this(), field](Injector&, const Arguments&) -> std::shared_ptr<T> {
            const auto self = weakSelf.lock();
            return self ? (*self).*field : nullptr;
        });
}

void UserSession::bindUserSessionScopedInstances() {
    forEachMemberObject([this](auto field, Routing routing) {
        if (routing == Routing::ClassKey) routeClassKey(field);
    });
}

void UserSession::dropMemberObjects() {
    forEachMemberObject([this](auto field, Routing) { (this->*field).reset(); });
}

void UserSession::setupSessionResources() {
    tovrinPersistence_ = notInjector_->get<TovrinPersistence>(QStringLiteral("UserSessionScopedPersistence"));
    if (!isSessionActive()) return;
    bootstrapManager_ = notInjector_->get<AuthenticatedBootstrapManager>(
        QStringLiteral("UserSessionScopedAuthenticatedBootstrapManager"));
    filterManager_ = std::make_shared<FilterManager>(tovrinPersistence_);
    cascadeFilterManager_ = std::make_shared<CascadeFilterManager>(tovrinPersistence_);
    blockedUserManager_ =
        notInjector_->get<BlockedUserManager>(QStringLiteral("UserSessionScopedBlockedUserManager"));
    deviceRegistrationService_ = notInjector_->get<DeviceRegistrationService>();
    registerDeviceTokenWhenReady();
}

// Only the service of the session still running registers: one dropped meanwhile does nothing.
void UserSession::registerDeviceTokenWhenReady() {
    remoteNotificationRegistrar_->registerForRemoteNotifications().then(
        [service = std::weak_ptr(deviceRegistrationService_)](const QByteArray& deviceToken) {
            if (const auto current = service.lock()) current->registerDeviceToken(deviceToken);
        });
}

// The removal goes out after the sign-out, with the tokens still in memory.
void UserSession::unregisterDeviceTokenWhenReady() {
    remoteNotificationRegistrar_->registerForRemoteNotifications().then(
        [service = deviceRegistrationService_](const QByteArray& deviceToken) {
            if (service) service->unregisterDeviceToken(deviceToken);
        });
}

// A store opened while nobody was signed in may still hold the data of the member before.
void UserSession::deleteStoreHoldingAnotherMembersData(const QString& profileID) {
    if (tovrinPersistence_ && this->profileID() != profileID) tovrinPersistence_->deleteDatabase();
}

Promise<FullBootstrapInfo> UserSession::fetchBootstrapInfo() {
    if (!bootstrapManager_) {
        return Promise<FullBootstrapInfo>::rejected(
            tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    }
    return bootstrapManager_->retrieveFullBootstrapInfo().then(
        [persistence = tovrinPersistence_](const FullBootstrapInfo& info) {
            if (persistence) persistence->saveConfigurationRules(info.configurationRules());
            return info;
        });
}

Promise<std::shared_ptr<ConfigurationRules>> UserSession::fetchConfigurationRules() {
    if (bootstrapManager_ && !serverCurrentDateProvider_->isOffsetValid()) {
        bootstrapManager_->invalidateCurrentBootstrapPromise();
    }
    using Rules = std::shared_ptr<ConfigurationRules>;
    return fetchBootstrapInfo()
        .then([clock = serverCurrentDateProvider_](const FullBootstrapInfo& info) {
            const ConfigurationRules& rules = info.configurationRules();
            // Only a newly received server time says where the server's clock is now: an answer
            // without one, or the session's cached answer taken again, leaves the clock as it is.
            if (rules.serverTime() && rules.serverTime() != clock->cachedDate())
                clock->setServerTime(*rules.serverTime());
            return std::make_shared<ConfigurationRules>(rules);
        })
        .catchError([persistence = tovrinPersistence_](const Error&) {
            if (!persistence) return Promise<Rules>::resolved(nullptr);
            return persistence->getConfigurationRules();
        });
}

}  // namespace tovrin
