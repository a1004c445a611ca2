#pragma once

#include <QString>

namespace tovrin {

// Everything the chat client reports belongs to a conversation with one other member. Directed
// messages have identity, not value equality: they are shared objects (`shared_ptr`), and
// consumers that merge messages match them by message id. Kinds are told apart only through
// `DirectedMessageCategorizer`.
class DirectedMessage {
public:
    virtual ~DirectedMessage() = default;
    // The profile id of the other member of the conversation.
    virtual QString exchangedInConversationWithProfileID() const = 0;
};

}  // namespace tovrin
