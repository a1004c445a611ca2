#pragma once

#include <memory>

#include "Chat/ChatMessage.h"

namespace tovrin {

// Decides which chat markers to send for the messages the inbox shows.
class MessageAcknowledgementHandler {
public:
    virtual ~MessageAcknowledgementHandler() = default;
    virtual void addMessageToAcknowledgementPool(const std::shared_ptr<ChatMessage>& message) = 0;
};

}  // namespace tovrin
