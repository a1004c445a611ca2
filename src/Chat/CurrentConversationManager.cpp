#include "Chat/CurrentConversationManager.h"

namespace tovrin {

bool CurrentConversationManager::isChattingWith(const QString& profileID) const {
    const auto delegate = delegate_.lock();
    return delegate && delegate->currentConversationManager(*this, profileID);
}

}  // namespace tovrin
