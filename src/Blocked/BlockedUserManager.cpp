#include "Blocked/BlockedUserManager.h"

#include "Authentication/SessionGeneration.h"
#include "Blocked/UserBlockingService.h"
#include "Persistence/TovrinPersistence.h"
#include "platform/foundation/NotificationCenter.h"

namespace tovrin {

BlockedUserManager::BlockedUserManager(std::shared_ptr<UserBlockingService> userBlockingService,
                                       std::shared_ptr<MarketingAnalytics> marketer,
                                       std::shared_ptr<TovrinPersistence> tovrinPersistence,
                                       std::shared_ptr<SessionGeneration> sessionGeneration)
    : userBlockingService_(std::move(userBlockingService)),
      marketer_(std::move(marketer)),
      tovrinPersistence_(std::move(tovrinPersistence)),
      notificationCenter_(NotificationCenter::defaultCenter()),
      sessionGeneration_(std::move(sessionGeneration)) {}

// The generation tells whether the member who asked is still signed in: the store and the
// observers of a later session must not hear of an earlier member's block.
Promise<void> BlockedUserManager::blockUserWithProfileID(const QString& profileID) {
    return userBlockingService_->blockUserWithProfileID(profileID).then(
        sessionGeneration_->whileCurrent([self = shared_from_this(), profileID](const QJsonValue&) {
            self->blockedUserSet_.insert(profileID);
            if (self->tovrinPersistence_) self->tovrinPersistence_->removeConversationForProfileID(profileID);
            self->postDidBlockUser(profileID);
        }));
}

void BlockedUserManager::blockedByUserWithProfileID(const QString& profileID) {
    blockedUserSet_.insert(profileID);
    postDidBlockUser(profileID);
}

Promise<void> BlockedUserManager::unblockAllUsers() {
    return userBlockingService_->unblockAllUsers().then(
        sessionGeneration_->whileCurrent([self = shared_from_this()](const QJsonValue&) {
            self->blockedUserSet_ = QSet<QString>();
            self->notificationCenter_->post(BlockedUserManagerDidUnblockAllNotification, self.get());
        }));
}

bool BlockedUserManager::isProfileIDBlocked(const QString& profileID) const {
    return blockedUserSet_.contains(profileID);
}

void BlockedUserManager::postDidBlockUser(const QString& profileID) {
    notificationCenter_->post(BlockedUserManagerDidBlockUserNotification, this,
                              {{BlockedUserManagerBlockedProfileIDUserInfoKey, profileID}});
}

}  // namespace tovrin
