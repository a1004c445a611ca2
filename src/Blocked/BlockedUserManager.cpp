#include "Blocked/BlockedUserManager.h"

#include "Authentication/UserSession.h"
#include "Blocked/UserBlockingService.h"
#include "Persistence/TovrinPersistence.h"
#include "platform/foundation/NotificationCenter.h"

namespace tovrin {

BlockedUserManager::BlockedUserManager(std::shared_ptr<UserBlockingService> userBlockingService,
                                       std::shared_ptr<MarketingAnalytics> marketer,
                                       std::shared_ptr<TovrinPersistence> tovrinPersistence)
    : userBlockingService_(std::move(userBlockingService)),
      marketer_(std::move(marketer)),
      tovrinPersistence_(std::move(tovrinPersistence)),
      notificationCenter_(NotificationCenter::defaultCenter()) {}

// The generation tells whether the member who asked is still signed in: the store and the
// observers of a later session must not hear of an earlier member's block.
Promise<void> BlockedUserManager::blockUserWithProfileID(const QString& profileID) {
    return userBlockingService_->blockUserWithProfileID(profileID).then(
        [self = shared_from_this(), profileID,
         generation = UserSession::currentSessionGeneration()](const QJsonValue&) {
            if (generation != UserSession::currentSessionGeneration()) return;
            self->blockedUserSet_.insert(profileID);
            if (self->tovrinPersistence_) self->tovrinPersistence_->removeConversationForProfileID(profileID);
            self->postDidBlockUser(profileID);
        });
}

void BlockedUserManager::blockedByUserWithProfileID(const QString& profileID) {
    blockedUserSet_.insert(profileID);
    postDidBlockUser(profileID);
}

Promise<void> BlockedUserManager::unblockAllUsers() {
    return userBlockingService_->unblockAllUsers().then(
        [self = shared_from_this(), generation = UserSession::currentSessionGeneration()](const QJsonValue&) {
            if (generation != UserSession::currentSessionGeneration()) return;
            self->blockedUserSet_ = QSet<QString>();
            self->notificationCenter_->post(BlockedUserManagerDidUnblockAllNotification, self.get());
        });
}

bool BlockedUserManager::isProfileIDBlocked(const QString& profileID) const {
    return blockedUserSet_.contains(profileID);
}

void BlockedUserManager::postDidBlockUser(const QString& profileID) {
    notificationCenter_->post(BlockedUserManagerDidBlockUserNotification, this,
                              {{BlockedUserManagerBlockedProfileIDUserInfoKey, profileID}});
}

}  // namespace tovrin
