#pragma once

#include <memory>

namespace tovrin {

class ChatMessageSourceDelegate;

// A link of the message-source chain: the chat client first, then each stage; one delegate at a
// time, held weakly.
class ChatMessageSource {
public:
    virtual ~ChatMessageSource() = default;
    virtual std::shared_ptr<ChatMessageSourceDelegate> messageSourceDelegate() const = 0;
    virtual void setMessageSourceDelegate(std::weak_ptr<ChatMessageSourceDelegate> delegate) = 0;
};

}  // namespace tovrin
