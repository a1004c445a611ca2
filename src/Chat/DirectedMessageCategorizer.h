#pragma once

#include "Chat/DirectedMessage.h"

namespace tovrin {

// The kind tests every consumer of directed messages uses. "Is a" means the message's type is that
// type or derives from it. Nothing is none of the kinds.
class DirectedMessageCategorizer {
public:
    // Any `ChatMessage` but a block message: text, photo, location and failed-photo messages.
    static bool isChatMessage(const DirectedMessage* message);
    static bool isChatMessageDeletion(const DirectedMessage* message);
    static bool isChatConversationDeletion(const DirectedMessage* message);
    static bool isChatMessageAcknowledgement(const DirectedMessage* message);
    static bool isBlockMessage(const DirectedMessage* message);
    static bool isTextMessage(const DirectedMessage* message);
    static bool isImageHashMessage(const DirectedMessage* message);
    static bool isFailedImageMessage(const DirectedMessage* message);
    static bool isLocationMessage(const DirectedMessage* message);
};

}  // namespace tovrin
