#include "Authentication/UserSession.h"

#include "API/AuthenticatedBootstrapManager.h"
#include "API/TovrinServiceError.h"
#include "Authentication/AuthStorage.h"
#include "Authentication/SessionGeneration.h"
#include "Blocked/BlockedUserManager.h"
#include "Cascade/FavoritesManager.h"
#include "Cascade/Filter/CascadeFilterManager.h"
#include "Cascade/Filter/FilterManager.h"
#include "Cascade/NearbyUserManager.h"
#include "Chat/ChatCenter.h"
#include "Chat/CurrentConversationManager.h"
#include "Chat/SavedPhrasesManager.h"
#include "Chat/UserImageHashManager.h"
#include "Helpers/ServerCurrentDateProvider.h"
#include "Persistence/TovrinPersistence.h"
#include "Preferences/LocalPreferences.h"
#include "Profile/ManagedFieldsManager.h"
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
    std::shared_ptr<UserSession>& session = sharedInstance();
    // Work begun for the member must not go on once the session is gone, as after a sign-out.
    if (session && session->sessionGeneration_) session->sessionGeneration_->advance();
    if (session && session->injector_) session->injector_->endMemberScope();
    session.reset();
}

void UserSession::configureWithInjector(Injector& injector,
                                        std::shared_ptr<NotificationCenter> notificationCenter) {
    authStorage_ = injector.get<AuthStorage>();
    userDefaults_ = injector.get<UserDefaults>();
    // Set up once, before any screen exists; configuring again with the same lists fetches nothing.
    std::shared_ptr<ManagedFieldsManager> managedFieldsManager = injector.get<ManagedFieldsManager>();
    if (managedFieldsManager != managedFieldsManager_) {
        managedFieldsManager_ = std::move(managedFieldsManager);
        if (managedFieldsManager_) managedFieldsManager_->setupManagedFieldsDictionary();
    }
    // Credentials left behind by a sign-in that failed never survive a launch.
    if (!profileID()) authStorage_->removeStoredLoginCredentials();
    chatCenter_ = injector.get<ChatCenter>();
    if (const auto stored = profileID(); stored && chatCenter_) chatCenter_->setCurrentUserProfileID(*stored);
    remoteNotificationRegistrar_ = injector.get<RemoteNotificationRegistrar>();
    localPreferences_ = injector.get<LocalPreferences>();
    currentConversationManager_ = injector.get<CurrentConversationManager>();
    serverCurrentDateProvider_ = injector.get<ServerCurrentDateProvider>();
    injector_ = &injector;
    sessionGeneration_ = injector.get<SessionGeneration>();
    notificationCenter_ = std::move(notificationCenter);
}

std::optional<QString> UserSession::sessionToken() const {
    if (!credentials_ || credentials_->sessionToken().isEmpty()) return std::nullopt;
    return credentials_->sessionToken();
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
    sessionGeneration_->advance();
    deleteStoreHoldingAnotherMembersData(profileID);
    setProfileID(profileID);
    credentials_ = credentials;
    setupSessionResources();
    if (chatCenter_) chatCenter_->connectToChatWithProfileID(profileID, credentials.xmppToken());
}

void UserSession::updateSessionWithNewCredentials(const SessionCredentials& credentials) {
    credentials_ = credentials;
    if (const auto stored = profileID(); stored && chatCenter_)
        chatCenter_->connectToChatWithProfileID(*stored, credentials.xmppToken());
}

void UserSession::logout() {
    sessionGeneration_->advance();
    unregisterDeviceTokenWhenReady();
    if (chatCenter_) chatCenter_->disconnect();
    if (const auto store = tovrinPersistence()) store->deleteDatabase();
    dropMemberObjects();
    authStorage_->removeStoredLoginCredentials();
    setProfileID(std::nullopt);
    localPreferences_->reset();
    notificationCenter_->post(UserDidLogoutNotification);
}

template <class T>
std::shared_ptr<T> UserSession::memberObject() const {
    return injector_->get<T>();
}

std::shared_ptr<TovrinPersistence> UserSession::tovrinPersistence() const {
    return memberObject<TovrinPersistence>();
}
std::shared_ptr<AuthenticatedBootstrapManager> UserSession::bootstrapManager() const {
    return memberObject<AuthenticatedBootstrapManager>();
}
std::shared_ptr<FilterManager> UserSession::filterManager() const {
    return memberObject<FilterManager>();
}
std::shared_ptr<CascadeFilterManager> UserSession::cascadeFilterManager() const {
    return memberObject<CascadeFilterManager>();
}
std::shared_ptr<NearbyUserManager> UserSession::nearbyUserManager() const {
    return memberObject<NearbyUserManager>();
}
std::shared_ptr<BlockedUserManager> UserSession::blockedUserManager() const {
    return memberObject<BlockedUserManager>();
}
std::shared_ptr<FavoritesManager> UserSession::favoritesManager() const {
    return memberObject<FavoritesManager>();
}
std::shared_ptr<UserImageHashManager> UserSession::userImageHashManager() const {
    return memberObject<UserImageHashManager>();
}
std::shared_ptr<SavedPhrasesManager> UserSession::savedPhrasesManager() const {
    return memberObject<SavedPhrasesManager>();
}

quint64 UserSession::currentSessionGeneration() const {
    return sessionGeneration_ ? sessionGeneration_->current() : 0;
}

// The order of making is the order a sign-out drops them. A new per-member class is bound with
// `Scope::PerMember` and made here.
void UserSession::setupSessionResources() {
    injector_->make<TovrinPersistence>();
    if (!isSessionActive()) return;
    injector_->make<AuthenticatedBootstrapManager>();
    injector_->make<UserImageHashManager>();
    injector_->make<SavedPhrasesManager>();
    injector_->make<FilterManager>();
    injector_->make<CascadeFilterManager>();
    injector_->make<FavoritesManager>();
    injector_->make<NearbyUserManager>();
    injector_->make<BlockedUserManager>();
    deviceRegistrationService_ = injector_->get<DeviceRegistrationService>();
    registerDeviceTokenWhenReady();
}

void UserSession::dropMemberObjects() {
    injector_->endMemberScope();
    deviceRegistrationService_.reset();
}

// Only the service of the session still running registers: one dropped meanwhile does nothing.
void UserSession::registerDeviceTokenWhenReady() {
    remoteNotificationRegistrar_->registerForRemoteNotifications().then(
        std::weak_ptr(deviceRegistrationService_),
        [](DeviceRegistrationService& service, const QByteArray& deviceToken) {
            service.registerDeviceToken(deviceToken);
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
    const auto store = tovrinPersistence();
    if (store && this->profileID() != profileID) store->deleteDatabase();
}

Promise<FullBootstrapInfo> UserSession::fetchBootstrapInfo() {
    const auto bootstrapManager = this->bootstrapManager();
    if (!bootstrapManager) {
        return Promise<FullBootstrapInfo>::rejected(
            tovrinServiceError(TovrinServiceErrorSessionRenewalFailed));
    }
    return bootstrapManager->retrieveFullBootstrapInfo().then(
        [persistence = tovrinPersistence()](const FullBootstrapInfo& info) {
            if (persistence) persistence->saveConfigurationRules(info.configurationRules());
            return info;
        });
}

Promise<std::shared_ptr<ConfigurationRules>> UserSession::fetchConfigurationRules() {
    const auto bootstrapManager = this->bootstrapManager();
    if (bootstrapManager && !serverCurrentDateProvider_->isOffsetValid()) {
        bootstrapManager->invalidateCurrentBootstrapPromise();
    }
    using Rules = std::shared_ptr<ConfigurationRules>;
    return fetchBootstrapInfo()
        .then([clock = serverCurrentDateProvider_](const FullBootstrapInfo& info) {
            const ConfigurationRules& rules = info.configurationRules();
            // Only a newly received server time says where the server's clock is now: an answer
            // without one, or the session's cached answer taken again, leaves the clock as it is.
            // The offset counts from the answer's arrival, not from now.
            if (rules.serverTime() && rules.serverTime() != clock->cachedDate())
                clock->setServerTime(*rules.serverTime(), rules.receivedAt().value_or(clock->deviceDate()));
            return std::make_shared<ConfigurationRules>(rules);
        })
        .catchError([persistence = tovrinPersistence()](const Error&) {
            if (!persistence) return Promise<Rules>::resolved(nullptr);
            return persistence->getConfigurationRules();
        });
}

}  // namespace tovrin
