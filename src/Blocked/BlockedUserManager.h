#pragma once

#include <QSet>
#include <QString>
#include <memory>

#include "platform/promise/Promise.h"

namespace tovrin {

class MarketingAnalytics;
class NotificationCenter;
class SessionGeneration;
class TovrinPersistence;
class UserBlockingService;

// Posted on the default notification centre with the manager as object. A block by the member
// succeeded, or one by the other side arrived; the profile id under the key below.
inline const QString BlockedUserManagerDidBlockUserNotification =
    QStringLiteral("BlockedUserManagerDidBlockUserNotification");
inline const QString BlockedUserManagerBlockedProfileIDUserInfoKey =
    QStringLiteral("BlockedUserManagerBlockedProfileIDUserInfoKey");
// Unblocking everyone succeeded; no user info.
inline const QString BlockedUserManagerDidUnblockAllNotification =
    QStringLiteral("BlockedUserManagerDidUnblockAllNotification");

// The members blocked during one signed-in session, in either direction (the service's own list is
// never read), so that the grid, the conversations and the chat drop them at once. One per session,
// made by the user session; main thread only.
class BlockedUserManager : public std::enable_shared_from_this<BlockedUserManager> {
public:
    // The marketing analytics service is held, not used.
    BlockedUserManager(std::shared_ptr<UserBlockingService> userBlockingService,
                       std::shared_ptr<MarketingAnalytics> marketer,
                       std::shared_ptr<TovrinPersistence> tovrinPersistence,
                       std::shared_ptr<SessionGeneration> sessionGeneration);

    // Once the service accepted the block: the id joins the set, the conversation's row leaves the
    // store (the messages stay), the block is announced, and the promise is fulfilled. A failure
    // changes nothing. An answer that arrives after the session ended only settles the promise.
    Promise<void> blockUserWithProfileID(const QString& profileID);
    // The other side blocked the member: the set and the announcement, no call and no store change.
    void blockedByUserWithProfileID(const QString& profileID);
    // Once the service accepted: the set emptied and the announcement. A failure changes nothing.
    Promise<void> unblockAllUsers();
    bool isProfileIDBlocked(const QString& profileID) const;

private:
    void postDidBlockUser(const QString& profileID);

    std::shared_ptr<UserBlockingService> userBlockingService_;
    QSet<QString> blockedUserSet_;
    std::shared_ptr<MarketingAnalytics> marketer_;
    std::shared_ptr<TovrinPersistence> tovrinPersistence_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    std::shared_ptr<SessionGeneration> sessionGeneration_;
};

}  // namespace tovrin
