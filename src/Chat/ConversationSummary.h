#pragma once

#include <QString>
#include <memory>

#include "Chat/ChatMessage.h"

namespace tovrin {

// The data of one inbox row; never changed: a changed row is a new summary.
class ConversationSummary {
public:
    ConversationSummary(QString profileID, quint32 unread, bool unreadPhoto,
                        std::shared_ptr<ChatMessage> mostRecentMessage)
        : profileID_(std::move(profileID)),
          unread_(unread),
          unreadPhoto_(unreadPhoto),
          mostRecentMessage_(std::move(mostRecentMessage)) {}

    const QString& profileID() const { return profileID_; }
    quint32 unread() const { return unread_; }
    bool unreadPhoto() const { return unreadPhoto_; }
    // Absent when the source had none.
    const std::shared_ptr<ChatMessage>& mostRecentMessage() const { return mostRecentMessage_; }

private:
    QString profileID_;
    quint32 unread_;
    bool unreadPhoto_;
    std::shared_ptr<ChatMessage> mostRecentMessage_;
};

}  // namespace tovrin
