#pragma once

#include <QString>
#include <memory>

#include "Chat/CurrentConversationManagerDelegate.h"

namespace tovrin {

// Whether the member is chatting with someone right now, asked of the open chat screen. One for
// the process; the most recently set-up chat screen is its delegate, held weakly, so the answer is
// no for everyone once that screen is gone. Main thread only.
class CurrentConversationManager {
public:
    bool isChattingWith(const QString& profileID) const;

    std::shared_ptr<CurrentConversationManagerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CurrentConversationManagerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

private:
    std::weak_ptr<CurrentConversationManagerDelegate> delegate_;
};

}  // namespace tovrin
