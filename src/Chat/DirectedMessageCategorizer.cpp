#include "Chat/DirectedMessageCategorizer.h"

#include "Chat/BlockMessage.h"
#include "Chat/ChatConversationDeletionMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "Chat/ChatMessageDeletion.h"
#include "Chat/FailedToSendImageMessage.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/LocationMessage.h"
#include "Chat/TextMessage.h"

namespace tovrin {

namespace {

template <class Kind>
bool isA(const DirectedMessage* message) {
    return dynamic_cast<const Kind*>(message) != nullptr;
}

}  // namespace

bool DirectedMessageCategorizer::isChatMessage(const DirectedMessage* message) {
    return isA<ChatMessage>(message) && !isBlockMessage(message);
}

bool DirectedMessageCategorizer::isChatMessageDeletion(const DirectedMessage* message) {
    return isA<ChatMessageDeletion>(message);
}

bool DirectedMessageCategorizer::isChatConversationDeletion(const DirectedMessage* message) {
    return isA<ChatConversationDeletionMessage>(message);
}

bool DirectedMessageCategorizer::isChatMessageAcknowledgement(const DirectedMessage* message) {
    return isA<ChatMessageAcknowledgement>(message);
}

bool DirectedMessageCategorizer::isBlockMessage(const DirectedMessage* message) {
    return isA<BlockMessage>(message);
}

bool DirectedMessageCategorizer::isTextMessage(const DirectedMessage* message) {
    return isA<TextMessage>(message);
}

bool DirectedMessageCategorizer::isImageHashMessage(const DirectedMessage* message) {
    return isA<ImageMediaHashMessage>(message);
}

bool DirectedMessageCategorizer::isFailedImageMessage(const DirectedMessage* message) {
    return isA<FailedToSendImageMessage>(message);
}

bool DirectedMessageCategorizer::isLocationMessage(const DirectedMessage* message) {
    return isA<LocationMessage>(message);
}

}  // namespace tovrin
