#include "Chat/DirectedMessagesCategorizer.h"

#include "Chat/DirectedMessageCategorizer.h"

namespace tovrin {

DirectedMessagesCategorizer::DirectedMessagesCategorizer(const Messages& directedMessages) {
    for (const auto& message : directedMessages) {
        const DirectedMessage* kind = message.get();
        if (DirectedMessageCategorizer::isChatMessage(kind)) {
            chatMessages_.push_back(message);
        } else if (DirectedMessageCategorizer::isChatMessageDeletion(kind)) {
            chatMessageDeletions_.push_back(message);
        } else if (DirectedMessageCategorizer::isChatConversationDeletion(kind)) {
            chatMessageConversationDeletions_.push_back(message);
        } else if (DirectedMessageCategorizer::isChatMessageAcknowledgement(kind)) {
            chatMessageAcknowledgements_.push_back(message);
        }
    }
}

}  // namespace tovrin
