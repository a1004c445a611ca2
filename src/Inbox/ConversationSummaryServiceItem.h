#pragma once

#include <QtGlobal>
#include <memory>
#include <vector>

#include "API/NearbyUser.h"
#include "Chat/ChatMessage.h"

namespace tovrin {

// One conversation of the member's list on the service: the peer, the unread counters and the last
// messages, newest first. Made once by its mapper.
class ConversationSummaryServiceItem {
public:
    ConversationSummaryServiceItem(std::shared_ptr<NearbyUser> nearbyUser, quint32 unread, bool unreadPhoto,
                                   std::vector<std::shared_ptr<ChatMessage>> lastMessages)
        : nearbyUser_(std::move(nearbyUser)),
          unread_(unread),
          unreadPhoto_(unreadPhoto),
          lastMessages_(std::move(lastMessages)) {}

    const std::shared_ptr<NearbyUser>& nearbyUser() const { return nearbyUser_; }
    quint32 unread() const { return unread_; }
    bool unreadPhoto() const { return unreadPhoto_; }
    const std::vector<std::shared_ptr<ChatMessage>>& lastMessages() const { return lastMessages_; }

private:
    std::shared_ptr<NearbyUser> nearbyUser_;
    quint32 unread_;
    bool unreadPhoto_;
    std::vector<std::shared_ptr<ChatMessage>> lastMessages_;
};

}  // namespace tovrin
