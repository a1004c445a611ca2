#pragma once

#include <QString>

namespace tovrin {

class CurrentConversationManager;

// Adopted by the chat screen: whether its conversation is with the given member.
class CurrentConversationManagerDelegate {
public:
    virtual ~CurrentConversationManagerDelegate() = default;
    virtual bool currentConversationManager(const CurrentConversationManager& manager,
                                            const QString& profileID) = 0;
};

}  // namespace tovrin
