#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "API/FullBootstrapInfo.h"
#include "API/SessionTokenSource.h"
#include "Authentication/SessionCredentials.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class AuthStorage;
class AuthenticatedBootstrapManager;
class BlockedUserManager;
class CascadeFilterManager;
class CurrentConversationManager;
class DeviceRegistrationService;
class FavoritesManager;
class FilterManager;
class NearbyUserManager;
class SavedPhrasesManager;
class UserImageHashManager;
class Injector;
class LocalPreferences;
class ChatCenter;
class ManagedFieldsManager;
class NotificationCenter;
class RemoteNotificationRegistrar;
class ServerCurrentDateProvider;
class SessionGeneration;
class TovrinPersistence;
class UserDefaults;

inline const QString UserSessionProfileIDUserDefaultsKey = QStringLiteral("UserSessionProfileID");
// Posted at the end of every sign-out, with no object and no user info.
inline const QString UserDidLogoutNotification = QStringLiteral("UserDidLogoutNotification");
// Posted by the chat client whenever its connection went down, with no object and no user info.
inline const QString XMPPStreamDidDisconnectNotification =
    QStringLiteral("XMPPStreamDidDisconnectNotification");

// Who is signed in. A session is active while login credentials and a profile id are stored; the
// tokens live in memory only, so a remembered member's first request renews them. The session makes
// the per-member objects (the container's per-member bindings) when a member's session starts and
// ends the container's member scope at sign-out, so their class keys yield an empty pointer while
// there is none. One per process, made by its own class operation; main thread only.
class UserSession : public std::enable_shared_from_this<UserSession>, public SessionTokenSource {
public:
    // Makes the shared session at the first call; every call configures it with the arguments.
    static std::shared_ptr<UserSession> initializeSharedSessionWithInjector(
        Injector& injector, std::shared_ptr<NotificationCenter> notificationCenter);
    static std::shared_ptr<UserSession> sharedSession();
    // Drops the session's per-member objects; the next initialization makes a new shared session.
    static void clearSession();

    void configureWithInjector(Injector& injector, std::shared_ptr<NotificationCenter> notificationCenter);

    bool isSessionActive() const;
    // Kept in the user defaults, read and written at each call; nothing removes it.
    std::optional<QString> profileID() const;
    void setProfileID(const std::optional<QString>& profileID);
    // The tokens of the running process; sign-out leaves the last ones in place.
    const std::optional<SessionCredentials>& credentials() const { return credentials_; }
    std::optional<QString> sessionToken() const override;

    // After a sign-in or sign-up.
    void startSessionWithProfileID(const QString& profileID, const SessionCredentials& credentials);
    // After a renewal or an e-mail or password change: the same member, new tokens.
    void updateSessionWithNewCredentials(const SessionCredentials& credentials);
    void logout();

    // Makes the store always, and every other per-member object when the session is active: the
    // container keeps them as the member's until the sign-out.
    void setupSessionResources();
    // The server's configuration rules; never rejects: when the bootstrap call fails, the stored
    // rules, or nothing. Repeats the bootstrap call when the server clock's offset is stale, and sets
    // the server clock from a newly received server time.
    Promise<std::shared_ptr<ConfigurationRules>> fetchConfigurationRules();
    // The session's bootstrap answer; its rules are saved to the store on the way.
    Promise<FullBootstrapInfo> fetchBootstrapInfo();

    // The per-member objects; nothing while none was made.
    std::shared_ptr<TovrinPersistence> tovrinPersistence() const;
    std::shared_ptr<AuthenticatedBootstrapManager> bootstrapManager() const;
    std::shared_ptr<FilterManager> filterManager() const;
    std::shared_ptr<CascadeFilterManager> cascadeFilterManager() const;
    std::shared_ptr<BlockedUserManager> blockedUserManager() const;
    std::shared_ptr<FavoritesManager> favoritesManager() const;
    std::shared_ptr<NearbyUserManager> nearbyUserManager() const;
    std::shared_ptr<UserImageHashManager> userImageHashManager() const;
    std::shared_ptr<SavedPhrasesManager> savedPhrasesManager() const;
    // Changes at every session start and sign-out: what began under one value belongs to that
    // member session only.
    quint64 currentSessionGeneration() const;
    const std::shared_ptr<DeviceRegistrationService>& deviceRegistrationService() const {
        return deviceRegistrationService_;
    }

    // The process-wide collaborators.
    const std::shared_ptr<AuthStorage>& authStorage() const { return authStorage_; }
    const std::shared_ptr<RemoteNotificationRegistrar>& remoteNotificationRegistrar() const {
        return remoteNotificationRegistrar_;
    }
    const std::shared_ptr<LocalPreferences>& localPreferences() const { return localPreferences_; }
    const std::shared_ptr<CurrentConversationManager>& currentConversationManager() const {
        return currentConversationManager_;
    }
    const std::shared_ptr<ServerCurrentDateProvider>& serverCurrentDateProvider() const {
        return serverCurrentDateProvider_;
    }
    const std::shared_ptr<ChatCenter>& chatCenter() const { return chatCenter_; }
    // The option lists of the whole process; nothing before the session is configured.
    const std::shared_ptr<ManagedFieldsManager>& managedFieldsManager() const {
        return managedFieldsManager_;
    }

private:
    UserSession() = default;

    void registerDeviceTokenWhenReady();
    void unregisterDeviceTokenWhenReady();
    void deleteStoreHoldingAnotherMembersData(const QString& profileID);
    void dropMemberObjects();
    template <class T>
    std::shared_ptr<T> memberObject() const;

    std::optional<SessionCredentials> credentials_;

    std::shared_ptr<AuthStorage> authStorage_;
    std::shared_ptr<UserDefaults> userDefaults_;
    std::shared_ptr<RemoteNotificationRegistrar> remoteNotificationRegistrar_;
    std::shared_ptr<LocalPreferences> localPreferences_;
    std::shared_ptr<CurrentConversationManager> currentConversationManager_;
    std::shared_ptr<ChatCenter> chatCenter_;
    std::shared_ptr<ServerCurrentDateProvider> serverCurrentDateProvider_;
    std::shared_ptr<ManagedFieldsManager> managedFieldsManager_;
    Injector* injector_ = nullptr;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    // Advanced at every session start and sign-out: work begun for one member must not go on under
    // another member's tokens.
    std::shared_ptr<SessionGeneration> sessionGeneration_;

    std::shared_ptr<DeviceRegistrationService> deviceRegistrationService_;
};

}  // namespace tovrin
