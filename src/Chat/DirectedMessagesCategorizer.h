#pragma once

#include <memory>
#include <vector>

#include "Chat/DirectedMessage.h"

namespace tovrin {

// Splits a page of directed messages by kind once, at construction, keeping the input order.
// Block messages and anything else land in no list.
class DirectedMessagesCategorizer {
public:
    using Messages = std::vector<std::shared_ptr<DirectedMessage>>;

    explicit DirectedMessagesCategorizer(const Messages& directedMessages);

    const Messages& chatMessages() const { return chatMessages_; }
    const Messages& chatMessageDeletions() const { return chatMessageDeletions_; }
    const Messages& chatMessageConversationDeletions() const { return chatMessageConversationDeletions_; }
    const Messages& chatMessageAcknowledgements() const { return chatMessageAcknowledgements_; }

private:
    Messages chatMessages_;
    Messages chatMessageDeletions_;
    Messages chatMessageConversationDeletions_;
    Messages chatMessageAcknowledgements_;
};

}  // namespace tovrin
